// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSummary.h"

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
constexpr std::string_view kStartCaption = "Начало: ";
constexpr std::string_view kLengthCaption = "Длительность: ";
constexpr std::string_view kIgnitionCaption = "3..20 - ";
constexpr std::string_view kAttempts = ", попыток ";
constexpr std::string_view kWarmUpCaption = "До прогрева: ";
constexpr std::string_view kFaultAt = " — на ";
constexpr std::string_view kFaultLasted = ", длилась ";
constexpr std::string_view kRangeFrom = ": от ";
constexpr std::string_view kRangeTo = " до ";
constexpr std::string_view kDegrees = " °C";
constexpr std::string_view kVolts = " В";
constexpr std::string_view kLastModeCaption = "Последний режим: ";

std::string TwoDigits(long long value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

bool IsIgnition(int mode) { return mode >= kFirstIgnitionMode && mode <= kLastIgnitionMode; }

// The value as the record log's column means it: U in tenths of a volt.
std::string RangeValueText(int series, double value) {
  if (series == series::kVoltage) return TenthsText(std::llround(value), kDecimalComma);
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
  std::string text = std::to_string(s) + " с";
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
    lines.push_back(std::string(kStartCaption) + WallDateTimeText(*run.start) +
                    std::string(run.foundGoingOn ? kFoundGoingOnNote : ""));
  lines.push_back(std::string(kLengthCaption) + SecondsText(double(run.length)));

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
      lines.push_back(std::string(kIgnitionCaption) + std::string(kIgnitionName) + ": " +
                      SecondsText(double(ignition)) + std::string(kAttempts) + std::to_string(run.ignitionAttempts));
    }
  }
  if (WarmedUpUnseen(run))
    lines.push_back(std::string(kWarmUpCaption) + std::string(kWarmUpBeforeOpening));
  else if (run.warmUpAt)
    lines.push_back(std::string(kWarmUpCaption) + SecondsText(double(*run.warmUpAt)));

  for (const RunFault& f : run.faults) {
    std::string line = FaultNotice(f.code) + std::string(kFaultAt) + std::to_string(f.at) + " с";
    if (f.clock) line += " (" + WallTimeText(*f.clock) + ")";
    if (f.lasted)
      line += std::string(kFaultLasted) + SecondsText(double(*f.lasted));
    else
      line += kFaultToTheEnd;
    lines.push_back(std::move(line));
  }

  for (int s : kRangeSeries) {
    const RunRange& r = run.ranges[static_cast<std::size_t>(s)];
    if (!r.seen) continue;
    lines.push_back(std::string(captions[static_cast<std::size_t>(s)]) + std::string(kRangeFrom) +
                    RangeValueText(s, r.low) + std::string(kRangeTo) + RangeValueText(s, r.high) +
                    std::string(s == series::kVoltage ? kVolts : kDegrees));
  }
  lines.push_back(std::string(kLastModeCaption) + ModeCaptionText(run.lastMode));
  return lines;
}

}  // namespace o5
