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

// The texts of the lines.
// A text of this file in the tool's language.
std::string T(std::string_view source) { return Translate("RunSummary", source.data()); }

constexpr std::string_view kStartCaption = O5_TEXT("RunSummary", "Начало: ");
constexpr std::string_view kLengthCaption = O5_TEXT("RunSummary", "Длительность: ");
constexpr std::string_view kIgnitionCaption = "3..20 - ";
constexpr std::string_view kAttempts = O5_TEXT("RunSummary", ", попыток ");
constexpr std::string_view kWarmUpCaption = O5_TEXT("RunSummary", "До прогрева: ");
constexpr std::string_view kFaultAt = O5_TEXT("RunSummary", " — на ");
constexpr std::string_view kFaultLasted = O5_TEXT("RunSummary", ", длилась ");
constexpr std::string_view kRangeFrom = O5_TEXT("RunSummary", ": от ");
constexpr std::string_view kRangeTo = O5_TEXT("RunSummary", " до ");
constexpr std::string_view kDegrees = " °C";
constexpr std::string_view kVolts = O5_TEXT("RunSummary", " В");
constexpr std::string_view kLastModeCaption = O5_TEXT("RunSummary", "Последний режим: ");

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
  std::string text = std::to_string(s) + Translate("RunSummary", " с");
  if (s < kMinutesFrom) return text;
  return text + " (" + ClockLengthText(s) + ")";
}

bool WarmedUpUnseen(const SessionRun& run) {
  if (!run.foundGoingOn || run.warmUpSeen) return false;
  if (run.warmUpAt) return true;
  for (int mode : kAfterWarmUpModes)
    if (run.firstMode == mode) return true;
  return false;
}

std::vector<std::string> RunSummaryLines(const SessionRun& run, const SeriesCaptions& captions) {
  std::vector<std::string> lines;
  if (run.start)
    lines.push_back(T(kStartCaption) + WallDateTimeText(*run.start) +
                    std::string(run.foundGoingOn ? Translate("RunSummary", kFoundGoingOnNote.data()) : ""));
  lines.push_back(T(kLengthCaption) + SecondsText(double(run.length)));

  // The ignition modes make one line, where the first of them was reached.
  int64_t ignition = 0;
  for (const RunModeTime& t : run.modes)
    if (IsIgnition(t.mode)) ignition += t.seconds;
  bool ignitionTold = false;
  for (const RunModeTime& t : run.modes) {
    if (!IsIgnition(t.mode)) {
      lines.push_back(ModeCaptionText(t.mode) + ": " + SecondsText(double(t.seconds)));
    } else if (!ignitionTold) {
      ignitionTold = true;
      lines.push_back(std::string(kIgnitionCaption) + Translate("SessionRuns", kIgnitionName.data()) + ": " +
                      SecondsText(double(ignition)) + T(kAttempts) + std::to_string(run.ignitionAttempts));
    }
  }
  if (WarmedUpUnseen(run))
    lines.push_back(T(kWarmUpCaption) + Translate("RunSummary", kWarmUpBeforeOpening.data()));
  else if (run.warmUpAt)
    lines.push_back(T(kWarmUpCaption) + SecondsText(double(*run.warmUpAt)));

  for (const RunFault& f : run.faults) {
    std::string line =
        FaultNotice(f.code) + T(kFaultAt) + std::to_string(f.at) + Translate("RunSummary", " с");
    if (f.clock) line += " (" + WallTimeText(*f.clock) + ")";
    if (f.lasted)
      line += T(kFaultLasted) + SecondsText(double(*f.lasted));
    else
      line += Translate("RunSummary", kFaultToTheEnd.data());
    lines.push_back(std::move(line));
  }

  for (int s : kRangeSeries) {
    const RunRange& r = run.ranges[static_cast<std::size_t>(s)];
    if (!r.seen) continue;
    lines.push_back(std::string(captions[static_cast<std::size_t>(s)]) + T(kRangeFrom) +
                    RangeValueText(s, r.low) + T(kRangeTo) + RangeValueText(s, r.high) +
                    std::string(s == series::kVoltage ? T(kVolts) : kDegrees));
  }
  lines.push_back(T(kLastModeCaption) + ModeCaptionText(run.lastMode));
  return lines;
}

}  // namespace o5
