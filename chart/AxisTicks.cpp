// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/AxisTicks.h"

#include <algorithm>
#include <cmath>

#include "chart/NumberText.h"

namespace o5 {

namespace {

// A label count that no plot needs; guards against spans a step cannot cover
// in reasonable time.
constexpr double kMaxLabels = 1000;

double NextMultiplier(double m) {
  // 1, 2, 5, 10, 20, 50, ...
  const double decade = std::pow(10.0, std::floor(std::log10(m) + 1e-9));
  const double lead = m / decade;
  if (lead < 1.5) return 2 * decade;
  if (lead < 3.5) return 5 * decade;
  return 10 * decade;
}

double RoundStep(double atLeast) {
  const double decade = std::pow(10.0, std::floor(std::log10(atLeast)));
  for (double f : {1.0, 2.0, 5.0, 10.0})
    if (f * decade >= atLeast) return f * decade;
  return 10 * decade;
}

}  // namespace

AxisTicks ChooseTicks(double min, double max, double increment, double pixelsPerUnit, double minSpacing) {
  AxisTicks t;
  if (!std::isfinite(min) || !std::isfinite(max) || !(max >= min)) return t;
  if (max == min || !(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) {
    t.step = increment;
    t.values.push_back(min);
    return t;
  }
  const double need = std::max(minSpacing, 1.0) / pixelsPerUnit;  // data units between labels
  double step = increment > 0 ? increment : RoundStep(need);
  if (step < need) {
    double m = 1;
    for (int guard = 0; step * m < need && guard < 1000; ++guard) m = NextMultiplier(m);
    step *= m;
  }
  if ((max - min) / step > kMaxLabels) step = (max - min) / kMaxLabels;
  t.step = step;
  // A bound that misses a multiple only by rounding still gets its label.
  const double slack = step * 1e-9;
  const double first = std::ceil((min - slack) / step);
  const double last = std::floor((max + slack) / step);
  for (double k = first; k <= last; k += 1) t.values.push_back(k * step);
  return t;
}

std::string FormatAxisLabel(double value) { return NumberText(std::round(value), 0); }

}  // namespace o5
