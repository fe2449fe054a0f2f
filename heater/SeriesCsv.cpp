// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/SeriesCsv.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "heater/CsvText.h"

namespace o5 {

std::string SeriesCsv(std::string_view xCaption, const std::vector<CsvSeries>& series,
                      std::optional<WallSeconds> start) {
  std::string csv(kCsvByteOrderMark);
  csv += CsvField(xCaption);
  for (const CsvSeries& s : series) {
    csv += ';';
    csv += CsvField(s.caption);
  }
  csv += ';';
  csv += CsvField(Translate("SeriesCsv", kSeriesCsvClockCaption.data()));
  csv += kCsvLineEnd;

  std::vector<std::size_t> next(series.size(), 0);
  for (;;) {
    // The lowest X not yet written, then a row for each point any series has there.
    double x = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < series.size(); ++i)
      if (next[i] < series[i].points.size()) x = std::min(x, series[i].points[next[i]].first);
    if (std::isinf(x)) break;
    for (;;) {
      bool any = false;
      std::string row = CsvNumber(x);
      for (std::size_t i = 0; i < series.size(); ++i) {
        row += ';';
        const auto& points = series[i].points;
        if (next[i] < points.size() && points[next[i]].first == x) {
          row += CsvNumber(points[next[i]++].second);
          any = true;
        }
      }
      if (!any) break;
      row += ';';
      if (start) row += CsvField(WallDateTimeText(*start + static_cast<WallSeconds>(std::llround(x))));
      csv += row;
      csv += kCsvLineEnd;
    }
  }
  return csv;
}

}  // namespace o5
