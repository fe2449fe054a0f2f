// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chart reads out at a time X: each shown series' value there (its
// last point at or before X), and, with both cursors set, the distance B - A
// in time and each series' change from A to B. Texts are UTF-8.

#include <optional>
#include <string>
#include <vector>

#include "chart/ChartModel.h"

namespace o5 {

struct ReadoutLine {
  int series = 0;
  std::optional<double> value;  // none before the series' first point
  std::optional<double> delta;  // B - A, with both cursors and a value at each
};

struct Readout {
  double x = 0;
  std::optional<double> dt;  // B - A
  std::vector<ReadoutLine> lines;  // the shown series in index order
};

// The value of a series at x: its last point at or before x.
std::optional<double> ValueAt(const SeriesData& series, double x);

Readout ReadAt(const ChartModel& model, double x);

// How many decimals tell times apart that lie a pixel column apart.
int TimeDecimals(double columnWidth);

// A number as the readouts show it: with up to `decimals` digits after a
// decimal comma, trailing zeros dropped, no "-0".
std::string FormatReadoutNumber(double value, int decimals);

// The lines of the readout box: "t = <x> с", then "Δt = <B-A> с" when both
// cursors are set, then per shown series "<name>: <value>" (and "  Δ = <d>"),
// "—" standing for a series without a value yet. `decimals` is how finely
// the time is given.
std::vector<std::string> ReadoutLines(const ChartModel& model, const Readout& readout, int decimals);

}  // namespace o5
