// SPDX-License-Identifier: GPL-3.0-or-later
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
  ViewReduction r;
  out = r.Update(series, from, to, columns);
}

const std::vector<ChartPoint>& ViewReduction::Update(const SeriesData& series, double from, double to,
                                                     int columns) {
  // The view held points already (begin_ < size_): what is appended lies
  // at or after them, so nothing before the view changes.
  const bool sameView = valid_ && series_ == &series && from_ == from && to_ == to && columns_ == columns &&
                        generation_ == series.Generation() && series.Size() >= size_ && begin_ < size_;
  if (sameView) {
    if (series.Size() == size_ || end_ < size_) {
      // Nothing new, or only points beyond the view (its right neighbour stays).
      size_ = series.Size();
      return out_;
    }
    // New points at the end, in view: the last column is done again.
    ++revision_;
    out_.resize(lastColumnOut_);
    size_ = series.Size();
    const std::size_t end = series.UpperBound(to);
    Run(series, lastColumnIndex_, end);
    return out_;
  }
  ++revision_;
  valid_ = true;
  series_ = &series;
  from_ = from;
  to_ = to;
  columns_ = columns;
  generation_ = series.Generation();
  size_ = series.Size();
  out_.clear();
  lastColumnIndex_ = 0;
  lastColumnOut_ = 0;
  end_ = 0;
  if (columns < 1 || !(to >= from) || series.Empty()) {
    valid_ = false;
    return out_;
  }
  const std::size_t begin = series.LowerBound(from);
  const std::size_t end = series.UpperBound(to);
  begin_ = begin;
  if (to == from) {
    valid_ = false;
    if (begin < end) ReduceRange(series, begin, end, out_);
    return out_;
  }
  // At most four points a column, and the two neighbours.
  out_.reserve(4 * static_cast<std::size_t>(columns) + 2);
  if (begin > 0) out_.push_back(series.At(begin - 1));
  lastColumnIndex_ = begin;
  lastColumnOut_ = out_.size();
  Run(series, begin, end);
  return out_;
}

void ViewReduction::Run(const SeriesData& series, std::size_t i, std::size_t end) {
  const double width = (to_ - from_) / columns_;
  std::size_t lastCount = 1;  // neighbouring columns hold about as many points
  while (i < end) {
    // Jump straight to the column of the next point: in a narrow view most
    // columns hold nothing.
    const std::size_t ahead = i + 4 * lastCount;
    series.PrefetchRange(ahead, ahead + lastCount);
    const double offset = std::floor((series.X(i) - from_) / width);
    const int column = static_cast<int>(std::clamp(offset, 0.0, static_cast<double>(columns_ - 1)));
    std::size_t next = end;
    if (column + 1 < columns_) next = series.LowerBound(from_ + (column + 1) * width, i, end, i + lastCount);
    if (next <= i) next = i + 1;  // rounding at a column edge must not stall the walk
    lastColumnIndex_ = i;
    lastColumnOut_ = out_.size();
    ReduceRange(series, i, next, out_);
    lastCount = next - i;
    i = next;
  }
  end_ = end;
  if (end < series.Size()) out_.push_back(series.At(end));
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
