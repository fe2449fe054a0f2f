// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's states along the time axis, from a series whose value is a
// state (an operating mode, a fault code): where the value changes.

#include <vector>

#include "chart/SeriesData.h"

namespace o5 {

struct TimelineStep {
  double x;      // where the value begins
  double value;
};

struct TimelineSteps {
  std::vector<TimelineStep> steps;  // ascending X
  double end = 0;                   // the last point's X in the range: no value after it
};

// The value in force at `from` (that of the last point at or before it, or of
// the first point after it), then each change up to `to`. Changes closer than
// `minGap` to the step before are passed over in favour of the value in
// force a gap later, so a picture asks for at most one step per pixel column.
TimelineSteps StepsInRange(const SeriesData& series, double from, double to, double minGap);

}  // namespace o5
