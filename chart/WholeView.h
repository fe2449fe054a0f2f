// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The view of the whole of what a chart holds: the time axis from its first to
// its last point, the value axis over the values of the series shown, rounded
// out to the value axis's step.

#include <optional>

#include "chart/ChartModel.h"

namespace o5 {

struct AxisSpan {
  double minimum;
  double maximum;
  bool operator==(const AxisSpan&) const = default;
};

struct WholeView {
  AxisSpan x;
  // Nothing when no series shown holds a point: the value axis stays.
  std::optional<AxisSpan> y;
};

// Nothing when the chart holds no point. A span of no width (one point in
// time, or a flat line on a step) is widened to one step of its axis, or to 1
// where the axis has no step.
std::optional<WholeView> WholeViewOf(const ChartModel& model);

}  // namespace o5
