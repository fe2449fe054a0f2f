// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartAxis.h"

#include <cmath>
#include <utility>

#include "chart/AxisError.h"

namespace o5 {

ChartAxis::ChartAxis(double minimum, double maximum, double increment)
    : minimum_(minimum), maximum_(maximum), increment_(increment) {}

void ChartAxis::SetMinimum(double value) {
  // Written as "not <=" so that a NaN is refused as well.
  if (!(value <= maximum_)) throw AxisError(kAxisMinimumAboveMaximum);
  if (value == minimum_) return;
  minimum_ = value;
  Changed();
}

void ChartAxis::SetMaximum(double value) {
  if (!(value >= minimum_)) throw AxisError(kAxisMaximumBelowMinimum);
  if (value == maximum_) return;
  maximum_ = value;
  Changed();
}

void ChartAxis::SetIncrement(double value) {
  if (!(value >= 0)) throw AxisError(kAxisNegativeIncrement);
  if (value == increment_) return;
  increment_ = value;
  Changed();
}

void ChartAxis::SetMinMax(double minimum, double maximum) {
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return;
  if (minimum > maximum) std::swap(minimum, maximum);
  if (minimum == minimum_ && maximum == maximum_) return;
  minimum_ = minimum;
  maximum_ = maximum;
  Changed();
}

void ChartAxis::SetTitle(std::string title) {
  if (title == title_) return;
  title_ = std::move(title);
  Changed();
}

void ChartAxis::Changed() {
  if (changed_) changed_();
}

}  // namespace o5
