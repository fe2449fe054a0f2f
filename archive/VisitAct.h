// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Акт диагностики": what the workshop hands the customer at the end of a
// visit, as texts in the customer's language — dates as dd.MM.yyyy, numbers
// with the decimal comma, run times in hours and durations in hours, minutes
// and seconds, every fault code named. The page and the printer draw these
// texts and nothing else; the chart of the chosen run is drawn from its
// points.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LocalTime.h"
#include "archive/VisitRuns.h"
#include "heater/BlackBoxExport.h"
#include "heater/TelemetrySeries.h"
#include "heater/TextTranslation.h"

namespace o5 {

inline constexpr std::string_view kVisitActTitle = O5_TEXT("VisitAct", "Акт диагностики отопителя Ортан 5");
// The captions of the workshop's fields, in the dialog and on the page.
inline constexpr std::string_view kActWorkshop = O5_TEXT("VisitAct", "Мастерская");
inline constexpr std::string_view kActCustomer = O5_TEXT("VisitAct", "Заказчик");
inline constexpr std::string_view kActVehicle = O5_TEXT("VisitAct", "Автомобиль");
inline constexpr std::string_view kActConclusion = O5_TEXT("VisitAct", "Заключение");
inline constexpr std::array<std::string_view, 2> kActSignatures = {O5_TEXT("VisitAct", "Мастер"),
                                                                   O5_TEXT("VisitAct", "Заказчик")};

// What the workshop writes in.
struct VisitActFields {
  std::string workshop;
  std::string customer;
  std::string vehicle;
  std::string conclusion;  // several lines
};

// The readout the act sums up, and an earlier one of the heater to say what
// changed since.
struct VisitActBlackBox {
  BlackBoxBytes image{};
  std::string readAt;  // "08.12.2026 15:20:03"
  std::optional<BlackBoxEarlier> earlier;
};

// The series the act's chart shows, with what the customer reads for them.
struct ActSeries {
  int series;
  std::string_view caption;
};
inline constexpr std::array<ActSeries, 3> kActChartSeries = {{
    {series::kLiquidIn, O5_TEXT("VisitAct", "Температура жидкости на входе")},
    {series::kLiquidOut, O5_TEXT("VisitAct", "Температура жидкости на выходе")},
    {series::kFlame, O5_TEXT("VisitAct", "Температура датчика пламени")},
}};
inline constexpr std::string_view kActChartTime = O5_TEXT("VisitAct", "Время от начала пуска, с");
inline constexpr std::string_view kActChartModes =
    O5_TEXT("VisitAct", "Полоса под графиком: режимы работы; отметки с номером — неисправности");

struct VisitActRunText {
  std::string heading;  // O5_TEXT("VisitAct", "Пуск 2")
  std::vector<std::string> lines;  // O5_TEXT("VisitAct", "Начало: …"), O5_TEXT("VisitAct", "Длительность:
                                   // …"), O5_TEXT("VisitAct", "До прогрева: …"), the faults
};

// Everything the page says, in its order.
struct VisitActContent {
  std::string title{Translate("VisitAct", kVisitActTitle.data())};
  std::string date;                                           // O5_TEXT("VisitAct", "Дата: 08.12.2026")
  std::vector<std::pair<std::string, std::string>> fields;    // workshop, customer, vehicle
  std::string heaterHeading;
  std::vector<std::string> heater;
  std::string blackBoxHeading;  // empty without a readout
  std::vector<std::string> blackBox;      // counters and run times
  std::string recordsHeading;
  std::vector<std::string> records;       // the fault records, newest first
  std::string changesHeading;  // O5_TEXT("VisitAct", "Изменения с чтения 07.12.2026 15:20"); empty without
  std::vector<std::string> changes;
  std::string runsHeading;
  std::vector<VisitActRunText> runs;
  std::string chartHeading;               // empty without a chart
  std::vector<std::string> modes;  // the modes the chart's strip shows: O5_TEXT("VisitAct", "21 — Прогрев")
  std::string conclusionHeading{Translate("VisitAct", kActConclusion.data())};
  std::string conclusion;
  std::string footer;
};

// "45 с", "5 мин 37 с", "1 ч 02 мин 05 с".
std::string ActDuration(double seconds);
// "08.12.2026".
std::string ActDate(const LocalTime& t);

// The run whose chart goes on the page by default: the last with a fault,
// else the last; nothing when there is no run.
std::optional<std::size_t> DefaultChartRun(const std::vector<VisitRun>& runs);

// The lines of one run: its start, length, warm-up and faults.
VisitActRunText ActRunText(const VisitRun& run, std::size_t number);

// The act of `runs` (those ticked, in the visit's order, numbered as in the
// visit by `numbers`), dated `date`; `chartRun` is an index of `runs`.
VisitActContent MakeVisitAct(const VisitActFields& fields, const LocalTime& date,
                             const std::vector<const VisitRun*>& runs, const std::vector<std::size_t>& numbers,
                             std::optional<std::size_t> chartRun, const std::optional<VisitActBlackBox>& blackBox,
                             const std::string& firmware, std::optional<uint32_t> serial);

}  // namespace o5
