// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSummary.h"

#include "heater/TextTranslation.h"

#include <algorithm>
#include <cmath>

#include "chart/NumberText.h"
#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"

namespace o5 {

namespace {

// Below this the seconds read at a glance (and "Длительность: 99 с" reads as
// the heater's own count); from here on minutes and seconds follow.
constexpr long long kMinutesFrom = 100;
// The quantities whose range is given, in this order.
constexpr int kRangeSeries[] = {series::kLiquidIn, series::kLiquidOut, series::kFlame, series::kBoard,
                                series::kVoltage};
// Heating modes: a run found going on in one of them warmed up before it was seen.
constexpr int kAfterWarmUpModes[] = {22, 23, 24, 27};

std::string TwoDigits(long long value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

bool IsIgnition(int mode) { return mode >= kFirstIgnitionMode && mode <= kLastIgnitionMode; }

// The value as the record log's column means it: U in tenths of a volt.
std::string RangeValueText(int series, double value) {
  if (series == series::kVoltage) return TenthsText(std::llround(value), DecimalSeparator());
  return NumberText(value, 1);
}

}  // namespace

std::string ClockLengthText(int64_t seconds) {
  const long long s = std::max<long long>(0, seconds);
  const long long hours = s / 3600;
  const long long minutes = s / 60 % 60;
  return (hours > 0 ? std::to_string(hours) + ":" + TwoDigits(minutes) : std::to_string(minutes)) + ":" +
         TwoDigits(s % 60);
}

std::string SecondsText(double seconds) {
  const long long s = std::llround(seconds);
  if (s < kMinutesFrom) return WithArgument(Translate("RunSummary", "%1 с"), std::to_string(s));
  //: A length in seconds, %1, and as a clock reads it, %2: "150 с (2:30)".
  return WithArgument(Translate("RunSummary", "%1 с (%2)"), {std::to_string(s), ClockLengthText(s)});
}

bool WarmedUpUnseen(const SessionRun& run) {
  if (!run.foundGoingOn || run.warmUpSeen) return false;
  if (run.warmUpAt) return true;
  for (int mode : kAfterWarmUpModes)
    if (run.firstMode == mode) return true;
  return false;
}

std::vector<std::string> RunSummaryLines(const SessionRun& run, const SeriesCaptions& captions) {
  // Each line is one sentence of the catalog; a mode's caption, a fault's
  // name and a length in seconds (SecondsText) fill it whole.
  std::vector<std::string> lines;
  if (run.start)
    lines.push_back(WithArgument(run.foundGoingOn ? Translate("RunSummary", "Начало: %1 (пуск шёл до открытия порта)")
                                                  : Translate("RunSummary", "Начало: %1"),
                                 WallDateTimeText(*run.start)));
  lines.push_back(WithArgument(Translate("RunSummary", "Длительность: %1"), SecondsText(double(run.length))));

  // The ignition modes make one line, where the first of them was reached.
  int64_t ignition = 0;
  for (const RunModeTime& t : run.modes)
    if (IsIgnition(t.mode)) ignition += t.seconds;
  bool ignitionTold = false;
  for (const RunModeTime& t : run.modes) {
    if (!IsIgnition(t.mode)) {
      //: A mode's caption, %1 ("21 - Прогрев"), and the time the run spent in it, %2.
      lines.push_back(
          WithArgument(Translate("RunSummary", "%1: %2"), {ModeCaptionText(t.mode), SecondsText(double(t.seconds))}));
    } else if (!ignitionTold) {
      ignitionTold = true;
      //: The ignition modes 3 to 20 together: %1 is the name of the ignition, %2 the time in them, %3 the
      //: number of ignition attempts.
      lines.push_back(WithArgument(Translate("RunSummary", "3..20 - %1: %2, попыток %3"),
                                   {Translate("SessionRuns", kIgnitionName.data()), SecondsText(double(ignition)),
                                    std::to_string(run.ignitionAttempts)}));
    }
  }
  if (WarmedUpUnseen(run))
    lines.push_back(Translate("RunSummary", "До прогрева: до открытия порта"));
  else if (run.warmUpAt)
    lines.push_back(WithArgument(Translate("RunSummary", "До прогрева: %1"), SecondsText(double(*run.warmUpAt))));

  for (const RunFault& f : run.faults) {
    const std::string code = std::to_string(f.code), name = FaultCodeText(f.code), at = std::to_string(f.at);
    const std::string clock = f.clock ? WallTimeText(*f.clock) : std::string();
    const std::string lasted = f.lasted ? SecondsText(double(*f.lasted)) : std::string();
    std::string line;
    if (f.clock && f.lasted)
      //: A fault of the run: its code %1 and name %2, the run second it came at %3, its clock time %4 and
      //: how long it lasted %5.
      line = WithArgument(Translate("RunSummary", "Неисправность %1: %2 — на %3 с (%4), длилась %5"),
                          {code, name, at, clock, lasted});
    else if (f.lasted)
      //: A fault of the run: its code %1 and name %2, the run second it came at %3 and how long it lasted %4.
      line =
          WithArgument(Translate("RunSummary", "Неисправность %1: %2 — на %3 с, длилась %4"), {code, name, at, lasted});
    else if (f.clock)
      //: A fault the heater still reported at the run's end: its code %1 and name %2, the run second it came
      //: at %3 and its clock time %4.
      line = WithArgument(Translate("RunSummary", "Неисправность %1: %2 — на %3 с (%4), длилась до конца пуска"),
                          {code, name, at, clock});
    else
      //: A fault the heater still reported at the run's end: its code %1 and name %2, the run second it came
      //: at %3.
      line = WithArgument(Translate("RunSummary", "Неисправность %1: %2 — на %3 с, длилась до конца пуска"),
                          {code, name, at});
    lines.push_back(std::move(line));
  }

  for (int s : kRangeSeries) {
    const RunRange& r = run.ranges[static_cast<std::size_t>(s)];
    if (!r.seen) continue;
    const std::string_view caption = captions[static_cast<std::size_t>(s)];
    const std::string low = RangeValueText(s, r.low), high = RangeValueText(s, r.high);
    lines.push_back(s == series::kVoltage
                        //: The range of the voltage: its caption %1, the lowest %2 and the highest %3 volts.
                        ? WithArgument(Translate("RunSummary", "%1: от %2 до %3 В"), {caption, low, high})
                        //: The range of a temperature: its caption %1, the lowest %2 and the highest %3 degrees.
                        : WithArgument(Translate("RunSummary", "%1: от %2 до %3 °C"), {caption, low, high}));
  }
  lines.push_back(WithArgument(Translate("RunSummary", "Последний режим: %1"), ModeCaptionText(run.lastMode)));
  return lines;
}

}  // namespace o5
