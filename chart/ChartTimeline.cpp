// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartTimeline.h"

namespace o5 {

TimelineSteps StepsInRange(const SeriesData& series, double from, double to, double minGap) {
  TimelineSteps out;
  if (series.Empty() || !(to >= from)) return out;
  const std::size_t end = series.UpperBound(to);
  std::size_t i = series.UpperBound(from);
  i = i > 0 ? i - 1 : 0;
  if (i >= end) return out;
  out.end = series.X(end - 1);
  out.steps.push_back({series.X(i), series.Y(i)});
  for (;;) {
    std::size_t next = series.NextChange(i);
    if (next >= end) break;
    const double last = out.steps.back().x;
    if (series.X(next) < last + minGap) {
      // Too close to draw apart: the value a gap later stands for them all.
      const std::size_t later = series.UpperBound(last + minGap);
      if (later >= end) break;
      next = later > 0 ? later - 1 : 0;
      if (next <= i) next = i + 1;
      if (series.Y(next) == out.steps.back().value) {
        i = next;
        continue;
      }
    }
    out.steps.push_back({series.X(next), series.Y(next)});
    i = next;
  }
  return out;
}

}  // namespace o5
