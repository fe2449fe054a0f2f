// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/VisitAct.h"

#include "heater/TextTranslation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/NumberText.h"
#include "heater/BlackBoxChanges.h"
#include "heater/BlackBoxReport.h"
#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"
#include "heater/RunSummary.h"

namespace o5 {

namespace {

// The page's own texts: each line is one sentence of the catalog, which a
// fault's or mode's name, a counter's caption and a duration (ActDuration)
// fill whole.
// A text of this file in the tool's language.
std::string T(std::string_view source) { return Translate("VisitAct", source.data()); }

constexpr std::string_view kHeaterHeading = O5_TEXT("VisitAct", "Отопитель");
constexpr std::string_view kNoBlackBox = O5_TEXT("VisitAct", "Черный ящик в этот визит не читался.");
constexpr std::string_view kRecordsHeading =
    O5_TEXT("VisitAct", "Записи неисправностей в черном ящике, последняя первой");
constexpr std::string_view kNoRecords = O5_TEXT("VisitAct", "Записей неисправностей нет.");
constexpr std::string_view kRunsHeading = O5_TEXT("VisitAct", "Пуски в этот визит");
constexpr std::string_view kNoRuns = O5_TEXT("VisitAct", "Пусков в этот визит не записано.");
constexpr std::string_view kNoFaults = O5_TEXT("VisitAct", "Неисправностей не было");

// Codes that mark an empty fault record: nothing written, or erased memory.
constexpr int kEmptyRecordCodes[] = {0, 0xFF};

// The counters of the black box and the run times, in the window's order
// (BlackBoxReport's label numbers); the run times read in hours.
constexpr int kCounterLabels[] = {4, 5, 6, 3, 11};
constexpr int kRunTimeLabels[] = {7, 8, 9, 10};
constexpr int kVersionLabel = 1;
constexpr int kProductCodeAddress = 31;

std::string TwoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

// A counter of the black box: its caption and its value.
std::string Line(std::string_view caption, std::string_view value) {
  //: A counter of the black box: its caption %1 and its value %2.
  return WithArgument(Translate("VisitAct", "%1: %2"), {caption, value});
}

std::string Hours(int64_t seconds) { return HoursText(seconds, DecimalSeparator()); }

bool IsRunTime(int label) { return std::find(std::begin(kRunTimeLabels), std::end(kRunTimeLabels), label) != std::end(kRunTimeLabels); }

std::vector<std::string> RecordLines(const BlackBoxBytes& image) {
  std::vector<std::string> lines;
  const int current = image[kBlackBoxCurrentRecordAddress] % kBlackBoxRecordCount;
  for (int back = 0; back < kBlackBoxRecordCount; ++back) {
    const int k = (current - back + kBlackBoxRecordCount) % kBlackBoxRecordCount;
    const std::size_t a = static_cast<std::size_t>(kBlackBoxFirstRecord + kBlackBoxRecordSize * k);
    const int code = image[a + 1];
    if (std::find(std::begin(kEmptyRecordCodes), std::end(kEmptyRecordCodes), code) != std::end(kEmptyRecordCodes))
      continue;
    //: A fault record of the black box: its number %1, the fault's code %2 and name %3, how many times it
    //: repeated %4, the mode it came in %5 ("21 - Прогрев") and the voltage then %6.
    std::string line =
        WithArgument(Translate("VisitAct", "Запись %1: код %2 — %3; повторов %4; режим %5; напряжение %6 В"),
                     {std::to_string(k), std::to_string(code), FaultCodeText(code), std::to_string(image[a]),
                      ModeCaptionText(image[a + 4]), VoltageText(image[a + 5], DecimalSeparator())});
    lines.push_back(std::move(line));
  }
  if (lines.empty()) lines.emplace_back(T(kNoRecords));
  return lines;
}

// What changed, with the run times in hours rather than in the window's
// "сек. (d-h:m:s)" form.
std::vector<std::string> ChangeLines(const BlackBoxChanges& changes, const BlackBoxBytes& earlier,
                                     const BlackBoxBytes& now) {
  std::vector<std::string> lines{changes.summary};
  for (const BlackBoxLabelChange& change : changes.labels) {
    if (!IsRunTime(change.label)) {
      lines.push_back(change.pageLine);
      continue;
    }
    const int64_t before = HeaderValue(earlier, change.label).number.value_or(0);
    const int64_t after = HeaderValue(now, change.label).number.value_or(0);
    //: A run time of the black box that changed: its caption %1, the hours at the earlier readout %2 and now %3.
    lines.push_back(WithArgument(Translate("VisitAct", "%1: было %2 ч, стало %3 ч"),
                                 {HeaderCaption(change.label), Hours(before), Hours(after)}));
  }
  if (!changes.newRecords.empty()) lines.push_back(changes.NewRecordsLine());
  return lines;
}

std::vector<std::string> ChartModes(const VisitRun& run) {
  std::vector<int> modes;
  for (const RunModeTime& t : run.model.modes) modes.push_back(t.mode);
  std::sort(modes.begin(), modes.end());
  // The ignition's steps share one colour in the strip, and one line here.
  std::vector<std::string> lines;
  bool ignition = false;
  for (int mode : modes) {
    if (mode >= kFirstIgnitionMode && mode <= kLastIgnitionMode) {
      if (!ignition)
        //: The ignition's steps in the chart's legend: its first mode %1 and its last %2.
        lines.push_back(WithArgument(Translate("VisitAct", "%1–%2 — Розжиг (шаги)"),
                                     {std::to_string(kFirstIgnitionMode), std::to_string(kLastIgnitionMode)}));
      ignition = true;
      continue;
    }
    //: A mode in the chart's legend: its number %1 and its name %2.
    lines.push_back(WithArgument(Translate("VisitAct", "%1 — %2"), {std::to_string(mode), ModeNameText(mode)}));
  }
  return lines;
}

}  // namespace

std::string ActDuration(double seconds) {
  const long long s = std::max(0LL, std::llround(seconds));
  if (s < 60) return WithArgument(Translate("VisitAct", "%1 с"), std::to_string(s));
  //: A duration of minutes %1 and seconds %2.
  if (s < 3600) return WithArgument(Translate("VisitAct", "%1 мин %2 с"), {std::to_string(s / 60), TwoDigits(s % 60)});
  //: A duration of hours %1, minutes %2 and seconds %3.
  return WithArgument(Translate("VisitAct", "%1 ч %2 мин %3 с"),
                      {std::to_string(s / 3600), TwoDigits(s / 60 % 60), TwoDigits(s % 60)});
}

std::string ActDate(const LocalTime& t) {
  return TwoDigits(t.day) + "." + TwoDigits(t.month) + "." + std::to_string(t.year);
}

std::optional<std::size_t> DefaultChartRun(const std::vector<VisitRun>& runs) {
  if (runs.empty()) return std::nullopt;
  for (std::size_t k = runs.size(); k-- > 0;)
    if (!runs[k].model.faults.empty()) return k;
  return runs.size() - 1;
}

VisitActRunText ActRunText(const VisitRun& visitRun, std::size_t number) {
  const SessionRun& run = visitRun.model;
  VisitActRunText text;
  text.heading = WithArgument(Translate("VisitAct", "Пуск %1"), std::to_string(number));
  if (!run.start)
    text.lines.push_back(Translate("VisitAct", "Начало: не записано (пуск начался до подключения)"));
  else if (run.foundGoingOn)
    text.lines.push_back(
        WithArgument(Translate("VisitAct", "Начало: %1 (пуск шёл до открытия порта)"), WallDateTimeText(*run.start)));
  else
    text.lines.push_back(WithArgument(Translate("VisitAct", "Начало: %1"), WallDateTimeText(*run.start)));
  text.lines.push_back(WithArgument(Translate("VisitAct", "Длительность: %1"), ActDuration(double(run.length))));
  if (WarmedUpUnseen(run))
    text.lines.push_back(Translate("VisitAct", "До прогрева: до открытия порта"));
  else if (run.warmUpAt)
    text.lines.push_back(WithArgument(Translate("VisitAct", "До прогрева: %1"), ActDuration(double(*run.warmUpAt))));
  else
    text.lines.push_back(Translate("VisitAct", "До прогрева: прогрев не достигнут"));
  if (run.faults.empty()) text.lines.emplace_back(T(kNoFaults));
  for (const RunFault& fault : run.faults) {
    const std::string code = std::to_string(fault.code), name = FaultCodeText(fault.code);
    const std::string lasted = fault.lasted ? ActDuration(double(*fault.lasted)) : std::string();
    const std::string at = fault.clock ? WallTimeText(*fault.clock) : ActDuration(double(fault.at));
    std::string line;
    if (fault.clock && fault.lasted)
      //: A fault of the run: its code %1 and name %2, the clock time it came at %3 and how long it lasted %4.
      line = WithArgument(Translate("VisitAct", "Неисправность %1: %2 — в %3, длилась %4"), {code, name, at, lasted});
    else if (fault.clock)
      //: A fault the heater still reported at the run's end: its code %1 and name %2, the clock time it came
      //: at %3.
      line =
          WithArgument(Translate("VisitAct", "Неисправность %1: %2 — в %3, длилась до конца пуска"), {code, name, at});
    else if (fault.lasted)
      //: A fault of the run: its code %1 and name %2, how long after the run's start it came %3 and how long
      //: it lasted %4.
      line = WithArgument(Translate("VisitAct", "Неисправность %1: %2 — через %3 от начала, длилась %4"),
                          {code, name, at, lasted});
    else
      //: A fault the heater still reported at the run's end: its code %1 and name %2, how long after the
      //: run's start it came %3.
      line = WithArgument(Translate("VisitAct", "Неисправность %1: %2 — через %3 от начала, длилась до конца пуска"),
                          {code, name, at});
    text.lines.push_back(std::move(line));
  }
  return text;
}

VisitActContent MakeVisitAct(const VisitActFields& fields, const LocalTime& date,
                             const std::vector<const VisitRun*>& runs, const std::vector<std::size_t>& numbers,
                             std::optional<std::size_t> chartRun, const std::optional<VisitActBlackBox>& blackBox,
                             const std::string& firmware, std::optional<uint32_t> serial) {
  VisitActContent act;
  act.date = WithArgument(Translate("VisitAct", "Дата: %1"), ActDate(date));
  act.fields = {{Translate("VisitAct", kActWorkshop.data()), fields.workshop},
                {Translate("VisitAct", kActCustomer.data()), fields.customer},
                {Translate("VisitAct", kActVehicle.data()), fields.vehicle}};

  act.heaterHeading = T(kHeaterHeading);
  if (blackBox) serial = BlackBoxSerialNumber(blackBox->image);
  if (serial) act.heater.push_back(WithArgument(Translate("VisitAct", "Серийный номер: %1"), std::to_string(*serial)));
  if (blackBox) {
    act.heater.push_back(
        WithArgument(Translate("VisitAct", "Код изделия: %1"), std::to_string(blackBox->image[kProductCodeAddress])));
    act.heater.push_back(WithArgument(Translate("VisitAct", "Версия черного ящика: %1"),
                                      HeaderValue(blackBox->image, kVersionLabel).text));
  }
  act.heater.push_back(firmware.empty()
                           ? Translate("VisitAct", "Версия программного обеспечения: не читалась")
                           : WithArgument(Translate("VisitAct", "Версия программного обеспечения: %1"), firmware));

  if (blackBox) {
    //: %1 is when the black box was read.
    act.blackBoxHeading = WithArgument(
        Translate("VisitAct", "Черный ящик (память неисправностей и статистики), прочитан %1"), blackBox->readAt);
    for (int label : kCounterLabels)
      act.blackBox.push_back(Line(HeaderCaption(label), HeaderValue(blackBox->image, label).text));
    for (int label : kRunTimeLabels)
      act.blackBox.push_back(
          //: A run time of the black box: its caption %1 and its hours %2.
          WithArgument(Translate("VisitAct", "%1: %2 ч"),
                       {HeaderCaption(label), Hours(HeaderValue(blackBox->image, label).number.value_or(0))}));
    act.recordsHeading = T(kRecordsHeading);
    act.records = RecordLines(blackBox->image);
    if (blackBox->earlier) {
      const BlackBoxChanges changes =
          CompareBlackBoxes(blackBox->earlier->image, blackBox->image, blackBox->earlier->time, DecimalSeparator());
      act.changesHeading = changes.heading;
      act.changes = ChangeLines(changes, blackBox->earlier->image, blackBox->image);
    }
  } else {
    act.blackBox.emplace_back(T(kNoBlackBox));
  }

  act.runsHeading = T(kRunsHeading);
  if (runs.empty()) act.runs.push_back({T(kNoRuns), {}});
  for (std::size_t k = 0; k < runs.size(); ++k)
    act.runs.push_back(ActRunText(*runs[k], k < numbers.size() ? numbers[k] : k + 1));

  if (chartRun && *chartRun < runs.size()) {
    const VisitRun& run = *runs[*chartRun];
    const std::string number = std::to_string(*chartRun < numbers.size() ? numbers[*chartRun] : *chartRun + 1);
    //: The chart of run %1, which started at %2.
    act.chartHeading = run.model.start ? WithArgument(Translate("VisitAct", "График пуска %1 (начало %2)"),
                                                      {number, WallDateTimeText(*run.model.start)})
                                       : WithArgument(Translate("VisitAct", "График пуска %1"), number);
    act.modes = ChartModes(run);
  }
  act.conclusion = fields.conclusion;
  return act;
}

}  // namespace o5
