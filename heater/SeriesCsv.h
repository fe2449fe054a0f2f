// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart's series as a CSV text for a spreadsheet, in the conventions of
// CsvText. A header row (the X caption, then
// each series' caption), then one row per X value in ascending order with a
// cell per series, empty where the series has no point at that X.
//
// Where the clock time of the run's start is known, a last column "Время"
// gives each row's clock time (the start plus X, X being the run's second);
// its cells are empty where it is not known.
//
// A series can hold several points at one X (two records within the same
// second, or a run timer that went back): that X then takes as many rows as
// the series with the most points there, the k-th row holding each series'
// k-th point at it, so that no point is lost.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "heater/SessionRuns.h"
#include "heater/TextTranslation.h"

namespace o5 {

struct CsvSeries {
  std::string caption;
  std::vector<std::pair<double, double>> points;  // (X, Y), ascending X
};

inline constexpr std::string_view kSeriesCsvClockCaption = O5_TEXT("SeriesCsv", "Время");

std::string SeriesCsv(std::string_view xCaption, const std::vector<CsvSeries>& series,
                      std::optional<WallSeconds> start = std::nullopt);

}  // namespace o5
