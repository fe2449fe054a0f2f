// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSummary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"

namespace o5 {

namespace {

// Below this the seconds read at a glance (and "Длительность: 99 с" reads as
// the heater's own count); from here on minutes and seconds follow.
constexpr long long kMinutesFrom = 100;
// The mode whose beginning ends the ignition.
constexpr int kWarmUpMode = 21;
// The quantities whose range is given, in this order.
constexpr int kRangeSeries[] = {series::kLiquidIn, series::kLiquidOut, series::kFlame, series::kBoard,
                                series::kVoltage};

std::string TwoDigits(long long value) {
  return std::string(value < 10 ? "0" : "") + std::to_string(value);
}

// As charted: telemetry values are whole numbers; anything else gets its
// shortest exact form, with a point whatever the program's locale.
std::string ValueText(double value) {
  if (value == std::nearbyint(value) && std::abs(value) < 1e15) return std::to_string(std::llround(value));
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

struct ModeTime {
  int mode;
  double seconds;
};

}  // namespace

std::string SecondsText(double seconds) {
  const long long s = std::llround(seconds);
  std::string text = std::to_string(s) + " с";
  if (s < kMinutesFrom) return text;
  const long long hours = s / 3600;
  const long long minutes = s / 60 % 60;
  text += " (";
  text += hours > 0 ? std::to_string(hours) + ":" + TwoDigits(minutes) : std::to_string(minutes);
  text += ":" + TwoDigits(s % 60) + ")";
  return text;
}

std::vector<std::string> RunSummaryLines(const RunColumns& run, const SeriesCaptions& captions) {
  double first = std::numeric_limits<double>::infinity();
  double last = -first;
  for (const SeriesColumn& c : run)
    if (!c.x.empty()) {
      first = std::min(first, c.x.front());
      last = std::max(last, c.x.back());
    }
  if (first > last) return {};

  std::vector<std::string> lines;
  lines.push_back("Длительность: " + SecondsText(last - first));

  // A mode's time ends where the next mode's first point is.
  const SeriesColumn& modes = run[series::kMode];
  std::vector<ModeTime> times;
  std::optional<double> warmUpAt;
  auto book = [&times](int mode, double seconds) {
    for (ModeTime& t : times)
      if (t.mode == mode) {
        t.seconds += seconds;
        return;
      }
    times.push_back({mode, seconds});
  };
  for (std::size_t i = 0; i < modes.x.size();) {
    const double mode = modes.y[i];
    std::size_t next = i + 1;
    while (next < modes.x.size() && modes.y[next] == mode) ++next;
    const double end = next < modes.x.size() ? modes.x[next] : last;
    book(int(mode), end - modes.x[i]);
    if (int(mode) == kWarmUpMode && !warmUpAt) warmUpAt = modes.x[i];
    i = next;
  }
  for (const ModeTime& t : times) lines.push_back(ModeCaptionText(t.mode) + ": " + SecondsText(t.seconds));
  if (warmUpAt) lines.push_back("До прогрева: " + SecondsText(*warmUpAt - first));

  // Each fault code once, when it first came.
  const SeriesColumn& faults = run[series::kError];
  std::vector<int> seen;
  for (std::size_t i = 0; i < faults.x.size(); ++i) {
    const int code = int(faults.y[i]);
    if (code == 0 || std::find(seen.begin(), seen.end(), code) != seen.end()) continue;
    seen.push_back(code);
    lines.push_back(FaultNotice(code) + " — на " + SecondsText(faults.x[i]));
  }

  for (int s : kRangeSeries) {
    const std::span<const double> y = run[s].y;
    if (y.empty()) continue;
    const auto [low, high] = std::minmax_element(y.begin(), y.end());
    lines.push_back(std::string(captions[s]) + ": от " + ValueText(*low) + " до " + ValueText(*high));
  }
  if (!modes.y.empty()) lines.push_back("Последний режим: " + ModeCaptionText(int(modes.y.back())));
  return lines;
}

}  // namespace o5
