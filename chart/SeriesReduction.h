// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What of a series needs drawing for a view of `columns` pixel columns.
//
// The X range [from, to] is cut into equal columns. Of the points in a column
// only the first, the lowest, the highest and the last are kept, in their
// order: a polyline through them covers the same pixels of that column as the
// polyline through all of them, and it joins the neighbouring columns the same
// way. The nearest point on either side of the range is kept as well so that the
// line runs on to the edge. The cost follows the number of columns, not the
// number of points; the series itself is never changed.

#include <cstdint>
#include <vector>

#include "chart/SeriesData.h"

namespace o5 {

// Replaces `out` with the reduced points in ascending order of X. Nothing when
// columns < 1 or to < from; when to == from, the points at that X only.
void ReduceForView(const SeriesData& series, double from, double to, int columns,
                   std::vector<ChartPoint>& out);

// ReduceForView kept from one drawing to the next. While the view stays and
// the series only grows at its end (live telemetry), a drawing reduces only
// the newest pixel column again instead of the whole view.
class ViewReduction {
 public:
  const std::vector<ChartPoint>& Update(const SeriesData& series, double from, double to, int columns);
  // Changes whenever an update changes the points it returns, so that what
  // is derived from them may be kept while it stays.
  std::uint64_t Revision() const { return revision_; }

 private:
  void Run(const SeriesData& series, std::size_t i, std::size_t end);

  bool valid_ = false;
  double from_ = 0, to_ = 0;
  int columns_ = 0;
  const SeriesData* series_ = nullptr;
  std::uint64_t generation_ = 0;
  std::size_t size_ = 0;  // of the series when reduced
  std::size_t begin_ = 0;  // first index in the view then
  std::size_t end_ = 0;    // first index after the view then
  std::vector<ChartPoint> out_;
  std::uint64_t revision_ = 0;
  // Where the last column began: in the series and in out_.
  std::size_t lastColumnIndex_ = 0;
  std::size_t lastColumnOut_ = 0;
};

// Every point in [from, to] and its two outside neighbours, unreduced; what a
// drawing without the reduction would have to stroke.
void VisiblePoints(const SeriesData& series, double from, double to, std::vector<ChartPoint>& out);

}  // namespace o5
