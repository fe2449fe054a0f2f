#include "chart/SeriesReduction.h"

#include <algorithm>
#include <cmath>

namespace o5 {

namespace {

// Up to this many points a column is copied as it stands.
constexpr std::size_t kKeptPerColumn = 4;

void ReduceRange(const SeriesData& s, std::size_t begin, std::size_t end, std::vector<ChartPoint>& out) {
  if (end - begin <= kKeptPerColumn) {
    for (std::size_t i = begin; i < end; ++i) out.push_back(s.At(i));
    return;
  }
  const SeriesData::Extremes e = s.RangeExtremes(begin, end);
  const bool lowFirst = e.low.x <= e.high.x;
  const ChartPoint kept[4] = {s.At(begin), lowFirst ? e.low : e.high, lowFirst ? e.high : e.low, s.At(end - 1)};
  out.push_back(kept[0]);
  for (int k = 1; k < 4; ++k)
    if (kept[k].x != out.back().x || kept[k].y != out.back().y) out.push_back(kept[k]);
}

}  // namespace

void ReduceForView(const SeriesData& series, double from, double to, int columns,
                   std::vector<ChartPoint>& out) {
  out.clear();
  if (columns < 1 || !(to >= from) || series.Empty()) return;
  const std::size_t begin = series.LowerBound(from);
  const std::size_t end = series.UpperBound(to);
  if (to == from) {
    if (begin < end) ReduceRange(series, begin, end, out);
    return;
  }

  if (begin > 0) out.push_back(series.At(begin - 1));
  const double width = (to - from) / columns;
  std::size_t i = begin;
  std::size_t lastCount = 1;  // neighbouring columns hold about as many points
  while (i < end) {
    // Jump straight to the column of the next point: in a narrow view most
    // columns hold nothing.
    series.Prefetch(i + 4 * lastCount);
    const double offset = std::floor((series.X(i) - from) / width);
    const int column = static_cast<int>(std::clamp(offset, 0.0, static_cast<double>(columns - 1)));
    std::size_t next = end;
    if (column + 1 < columns) next = series.LowerBound(from + (column + 1) * width, i, end, i + lastCount);
    if (next <= i) next = i + 1;  // rounding at a column edge must not stall the walk
    ReduceRange(series, i, next, out);
    lastCount = next - i;
    i = next;
  }
  if (end < series.Size()) out.push_back(series.At(end));
}

void VisiblePoints(const SeriesData& series, double from, double to, std::vector<ChartPoint>& out) {
  out.clear();
  if (!(to >= from) || series.Empty()) return;
  std::size_t begin = series.LowerBound(from);
  std::size_t end = series.UpperBound(to);
  if (begin > 0) --begin;
  if (end < series.Size()) ++end;
  out.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) out.push_back(series.At(i));
}

}  // namespace o5
