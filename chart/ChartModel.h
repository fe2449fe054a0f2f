// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything a chart shows: a fixed list of line series with their display
// settings, and the left (Y) and bottom (X) axes. Any change is reported
// through one handler so the owner can schedule a redraw.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "chart/ChartAxis.h"
#include "chart/SeriesData.h"

namespace o5 {

// Two series that describe the heater's state rather than a quantity: the
// strip under the plot is coloured by the value of `modeSeries`, and a mark
// stands where `faultSeries` takes a new value other than 0. The texts and
// colours come from the owner; an index outside the list switches that part off.
struct ChartTimeline {
  int modeSeries = -1;
  int faultSeries = -1;
  bool shown = false;
  std::function<std::uint32_t(int)> modeColor;  // 0xRRGGBB of a mode number
  std::function<std::string(int)> modeText;     // UTF-8: what a hover says of a mode
  std::function<std::string(int)> faultText;    // UTF-8: what a hover says of a fault code
};

// The two cursors "A" and "B": positions on the time axis.
enum class Cursor { kA = 0, kB = 1 };

struct SeriesStyle {
  std::uint32_t rgb = 0x008000;  // 0xRRGGBB
  int width = 1;                 // pixels, kMinLineWidth..kMaxLineWidth
  bool visible = true;           // a hidden series still takes points
};

class ChartModel {
 public:
  static constexpr int kSeriesCount = 13;
  static constexpr int kMinLineWidth = 1;
  static constexpr int kMaxLineWidth = 9;

  ChartModel();
  ChartModel(const ChartModel&) = delete;
  ChartModel& operator=(const ChartModel&) = delete;

  static bool ValidSeries(int index) { return index >= 0 && index < kSeriesCount; }

  // An index outside 0..kSeriesCount-1 is ignored by the setters and the
  // point operations.
  const SeriesData& Series(int index) const { return series_[static_cast<std::size_t>(index)]; }
  void AddPoint(int index, double x, double y);
  void ClearSeries(int index);

  const SeriesStyle& Style(int index) const { return styles_[static_cast<std::size_t>(index)]; }
  void SetColor(int index, std::uint32_t rgb);
  void SetWidth(int index, int width);  // clamped into 1..9
  void SetVisible(int index, bool visible);
  // What the series is called where values are read out (UTF-8).
  const std::string& Name(int index) const { return names_[static_cast<std::size_t>(index)]; }
  void SetName(int index, std::string name);

  std::optional<double> CursorX(Cursor which) const { return cursors_[static_cast<std::size_t>(which)]; }
  // A value that is not finite is ignored.
  void SetCursor(Cursor which, double x);
  void ClearCursors();

  const ChartTimeline& Timeline() const { return timeline_; }
  void SetTimeline(ChartTimeline timeline);
  void SetTimelineShown(bool shown);

  ChartAxis& LeftAxis() { return left_; }
  ChartAxis& BottomAxis() { return bottom_; }
  const ChartAxis& LeftAxis() const { return left_; }
  const ChartAxis& BottomAxis() const { return bottom_; }

  void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 private:
  void Changed();

  std::array<SeriesData, kSeriesCount> series_;
  std::array<SeriesStyle, kSeriesCount> styles_;
  std::array<std::string, kSeriesCount> names_;
  std::array<std::optional<double>, 2> cursors_;
  ChartTimeline timeline_;
  ChartAxis left_;
  ChartAxis bottom_;
  std::function<void()> changed_;
};

}  // namespace o5
