// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/WholeView.h"

#include <algorithm>
#include <cmath>

namespace o5 {

namespace {

// Widens a span of no width to one step above its value.
AxisSpan Widened(AxisSpan s, double step) {
  if (s.maximum <= s.minimum) s.maximum = s.minimum + (step > 0 ? step : 1);
  return s;
}

}  // namespace

std::optional<WholeView> WholeViewOf(const ChartModel& model) {
  std::optional<AxisSpan> x;
  std::optional<AxisSpan> y;
  for (int i = 0; i < ChartModel::kSeriesCount; ++i) {
    const SeriesData& s = model.Series(i);
    if (s.Empty()) continue;
    // The points run in order of X.
    const AxisSpan time{s.X(0), s.X(s.Size() - 1)};
    x = x ? AxisSpan{std::min(x->minimum, time.minimum), std::max(x->maximum, time.maximum)} : time;
    if (!model.Style(i).visible) continue;
    const SeriesData::Extremes e = s.RangeExtremes(0, s.Size());
    y = y ? AxisSpan{std::min(y->minimum, e.low.y), std::max(y->maximum, e.high.y)} : AxisSpan{e.low.y, e.high.y};
  }
  if (!x) return std::nullopt;
  WholeView view{Widened(*x, model.BottomAxis().Increment()), std::nullopt};
  if (y) {
    const double step = model.LeftAxis().Increment();
    if (step > 0) *y = {std::floor(y->minimum / step) * step, std::ceil(y->maximum / step) * step};
    view.y = Widened(*y, step);
  }
  return view;
}

}  // namespace o5
