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

// The page's own texts.
// A text of this file in the tool's language.
std::string T(std::string_view source) { return Translate("VisitAct", source.data()); }

constexpr std::string_view kDateCaption = O5_TEXT("VisitAct", "Дата");
constexpr std::string_view kHeaterHeading = O5_TEXT("VisitAct", "Отопитель");
constexpr std::string_view kSerialCaption = O5_TEXT("VisitAct", "Серийный номер");
constexpr std::string_view kProductCaption = O5_TEXT("VisitAct", "Код изделия");
constexpr std::string_view kBlackBoxVersionCaption = O5_TEXT("VisitAct", "Версия черного ящика");
constexpr std::string_view kFirmwareCaption = O5_TEXT("VisitAct", "Версия программного обеспечения");
constexpr std::string_view kNoFirmware = O5_TEXT("VisitAct", "не читалась");
constexpr std::string_view kBlackBoxHeading =
    O5_TEXT("VisitAct", "Черный ящик (память неисправностей и статистики), прочитан ");
constexpr std::string_view kNoBlackBox = O5_TEXT("VisitAct", "Черный ящик в этот визит не читался.");
constexpr std::string_view kRecordsHeading =
    O5_TEXT("VisitAct", "Записи неисправностей в черном ящике, последняя первой");
constexpr std::string_view kNoRecords = O5_TEXT("VisitAct", "Записей неисправностей нет.");
constexpr std::string_view kRecord = O5_TEXT("VisitAct", "Запись ");
constexpr std::string_view kRecordCode = O5_TEXT("VisitAct", ": код ");
constexpr std::string_view kRecordRepeats = O5_TEXT("VisitAct", "; повторов ");
constexpr std::string_view kRecordMode = O5_TEXT("VisitAct", "; режим ");
constexpr std::string_view kRecordVoltage = O5_TEXT("VisitAct", "; напряжение ");
constexpr std::string_view kVolts = O5_TEXT("VisitAct", " В");
constexpr std::string_view kRunsHeading = O5_TEXT("VisitAct", "Пуски в этот визит");
constexpr std::string_view kNoRuns = O5_TEXT("VisitAct", "Пусков в этот визит не записано.");
constexpr std::string_view kRun = O5_TEXT("VisitAct", "Пуск ");
constexpr std::string_view kUnknownStart = O5_TEXT("VisitAct", "не записано (пуск начался до подключения)");
constexpr std::string_view kNoWarmUp = O5_TEXT("VisitAct", "прогрев не достигнут");
constexpr std::string_view kNoFaults = O5_TEXT("VisitAct", "Неисправностей не было");
constexpr std::string_view kFaultAt = O5_TEXT("VisitAct", " — в ");
constexpr std::string_view kFaultFromStart = O5_TEXT("VisitAct", " — через ");
constexpr std::string_view kFaultFromStartEnd = O5_TEXT("VisitAct", " от начала");
constexpr std::string_view kFaultLasted = O5_TEXT("VisitAct", ", длилась ");
constexpr std::string_view kChartHeading = O5_TEXT("VisitAct", "График пуска ");
constexpr std::string_view kChartStart = O5_TEXT("VisitAct", " (начало ");
constexpr std::string_view kWas = O5_TEXT("VisitAct", "было ");
constexpr std::string_view kNow = O5_TEXT("VisitAct", ", стало ");
constexpr std::string_view kHours = O5_TEXT("VisitAct", " ч");
// A duration's parts: "1 ч 02 мин 05 с".
constexpr std::string_view kDurationHours = O5_TEXT("VisitAct", " ч ");
constexpr std::string_view kDurationMinutes = O5_TEXT("VisitAct", " мин ");
constexpr std::string_view kDurationSeconds = O5_TEXT("VisitAct", " с");

// The ignition's steps, as the act names them.
constexpr std::string_view kIgnitionSteps = O5_TEXT("VisitAct", "Розжиг (шаги)");

// Codes that mark an empty fault record: nothing written, or erased memory.
constexpr int kEmptyRecordCodes[] = {0, 0xFF};

// The counters of the black box and the run times, in the window's order
// (BlackBoxReport's label numbers); the run times read in hours.
constexpr int kCounterLabels[] = {4, 5, 6, 3, 11};
constexpr int kRunTimeLabels[] = {7, 8, 9, 10};
constexpr int kVersionLabel = 1;
constexpr int kProductCodeAddress = 31;

std::string TwoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string Line(std::string_view caption, std::string_view value) {
  return std::string(caption) + ": " + std::string(value);
}

std::string Hours(int64_t seconds) { return HoursText(seconds, DecimalSeparator()) + T(kHours); }

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
    std::string line =
        T(kRecord) + std::to_string(k) + T(kRecordCode) + std::to_string(code) + " — " + FaultCodeText(code);
    line += T(kRecordRepeats) + std::to_string(image[a]);
    line += T(kRecordMode) + ModeCaptionText(image[a + 4]);
    line += T(kRecordVoltage) + VoltageText(image[a + 5], DecimalSeparator()) + T(kVolts);
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
    lines.push_back(HeaderCaption(change.label) + ": " + T(kWas) + Hours(before) + T(kNow) + Hours(after));
  }
  if (!changes.newRecords.empty()) {
    std::string line = Translate("BlackBoxChanges", kNewRecordsCaption.data()) + ": ";
    for (std::size_t i = 0; i < changes.newRecords.size(); ++i)
      line += (i ? ", " : "") + std::to_string(changes.newRecords[i]);
    lines.push_back(line);
  }
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
        lines.push_back(std::to_string(kFirstIgnitionMode) + "–" + std::to_string(kLastIgnitionMode) + " — " +
                        T(kIgnitionSteps));
      ignition = true;
      continue;
    }
    lines.push_back(std::to_string(mode) + " — " + ModeNameText(mode));
  }
  return lines;
}

}  // namespace

std::string ActDuration(double seconds) {
  const long long s = std::max(0LL, std::llround(seconds));
  const std::string sec = T(kDurationSeconds), min = T(kDurationMinutes), hours = T(kDurationHours);
  if (s < 60) return std::to_string(s) + sec;
  if (s < 3600) return std::to_string(s / 60) + min + TwoDigits(s % 60) + sec;
  return std::to_string(s / 3600) + hours + TwoDigits(s / 60 % 60) + min + TwoDigits(s % 60) + sec;
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
  text.heading = T(kRun) + std::to_string(number);
  text.lines.push_back(Line(
      Translate("VisitAct", kActStart.data()),
      run.start ? WallDateTimeText(*run.start) +
                      std::string(run.foundGoingOn ? Translate("RunSummary", kFoundGoingOnNote.data()) : "")
                : T(kUnknownStart)));
  text.lines.push_back(Line(Translate("VisitAct", kActLength.data()), ActDuration(double(run.length))));
  text.lines.push_back(Line(Translate("VisitAct", kActWarmUp.data()),
                            WarmedUpUnseen(run) ? Translate("RunSummary", kWarmUpBeforeOpening.data())
                            : run.warmUpAt      ? ActDuration(double(*run.warmUpAt))
                                                : T(kNoWarmUp)));
  if (run.faults.empty()) text.lines.emplace_back(T(kNoFaults));
  for (const RunFault& fault : run.faults) {
    std::string line = FaultNotice(fault.code);
    line += fault.clock ? T(kFaultAt) + WallTimeText(*fault.clock)
                        : T(kFaultFromStart) + ActDuration(double(fault.at)) + T(kFaultFromStartEnd);
    line += fault.lasted ? T(kFaultLasted) + ActDuration(double(*fault.lasted))
                         : Translate("RunSummary", kFaultToTheEnd.data());
    text.lines.push_back(std::move(line));
  }
  return text;
}

VisitActContent MakeVisitAct(const VisitActFields& fields, const LocalTime& date,
                             const std::vector<const VisitRun*>& runs, const std::vector<std::size_t>& numbers,
                             std::optional<std::size_t> chartRun, const std::optional<VisitActBlackBox>& blackBox,
                             const std::string& firmware, std::optional<uint32_t> serial) {
  VisitActContent act;
  act.date = Line(T(kDateCaption), ActDate(date));
  act.fields = {{Translate("VisitAct", kActWorkshop.data()), fields.workshop},
                {Translate("VisitAct", kActCustomer.data()), fields.customer},
                {Translate("VisitAct", kActVehicle.data()), fields.vehicle}};

  act.heaterHeading = T(kHeaterHeading);
  if (blackBox) serial = BlackBoxSerialNumber(blackBox->image);
  if (serial) act.heater.push_back(Line(T(kSerialCaption), std::to_string(*serial)));
  if (blackBox) {
    act.heater.push_back(Line(T(kProductCaption), std::to_string(blackBox->image[kProductCodeAddress])));
    act.heater.push_back(Line(T(kBlackBoxVersionCaption), HeaderValue(blackBox->image, kVersionLabel).text));
  }
  act.heater.push_back(Line(T(kFirmwareCaption), firmware.empty() ? T(kNoFirmware) : firmware));

  if (blackBox) {
    act.blackBoxHeading = T(kBlackBoxHeading) + blackBox->readAt;
    for (int label : kCounterLabels)
      act.blackBox.push_back(Line(HeaderCaption(label), HeaderValue(blackBox->image, label).text));
    for (int label : kRunTimeLabels)
      act.blackBox.push_back(
          Line(HeaderCaption(label), Hours(HeaderValue(blackBox->image, label).number.value_or(0))));
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
    act.chartHeading =
        T(kChartHeading) + std::to_string(*chartRun < numbers.size() ? numbers[*chartRun] : *chartRun + 1);
    if (run.model.start) act.chartHeading += T(kChartStart) + WallDateTimeText(*run.model.start) + ")";
    act.modes = ChartModes(run);
  }
  act.conclusion = fields.conclusion;
  return act;
}

}  // namespace o5
