#pragma once
// Everything a chart shows: a fixed list of line series with their display
// settings, and the left (Y) and bottom (X) axes. Any change is reported
// through one handler so the owner can schedule a redraw.

#include <array>
#include <cstdint>
#include <functional>

#include "chart/ChartAxis.h"
#include "chart/SeriesData.h"

namespace o5 {

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

  ChartAxis& LeftAxis() { return left_; }
  ChartAxis& BottomAxis() { return bottom_; }
  const ChartAxis& LeftAxis() const { return left_; }
  const ChartAxis& BottomAxis() const { return bottom_; }

  void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 private:
  void Changed();

  std::array<SeriesData, kSeriesCount> series_;
  std::array<SeriesStyle, kSeriesCount> styles_;
  ChartAxis left_;
  ChartAxis bottom_;
  std::function<void()> changed_;
};

}  // namespace o5
