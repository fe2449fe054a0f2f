// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where an axis puts its labels. The labels sit on whole multiples of the
// axis's step; when that step would crowd them, a whole multiple of it is used
// instead (2, 5, 10, 20, 50, ... times), and a step of 0 gets a round one.

#include <string>
#include <vector>

namespace o5 {

struct AxisTicks {
  double step = 0;
  std::vector<double> values;  // ascending, within [min, max]
};

// pixelsPerUnit: the axis's scale; minSpacing: the least distance in pixels
// between two labels.
AxisTicks ChooseTicks(double min, double max, double increment, double pixelsPerUnit, double minSpacing);

// The label format "###0": a whole number, no digit grouping, no "-0".
std::string FormatAxisLabel(double value);

}  // namespace o5
