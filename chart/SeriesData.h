// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The points of one chart series, kept in ascending order of X, with min/max
// summaries of Y over blocks of points so that a drawing can ask for the
// extremes of any index range without reading every point in it.
//
// Level 0 summarises blocks of kFanOut points, level k blocks of kFanOut blocks
// of level k-1. Only complete blocks are summarised, so appending keeps every
// level up to date at O(1) amortised cost.
//
// A point that comes out of order (its X below the last point's) waits aside
// until the points are next read; then all that waited are sorted and merged
// in at once, and the summaries rebuilt from the first place that changed. A
// series filled in any order so costs a sort, never a move of the whole series
// per point.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace o5 {

struct ChartPoint {
  double x;
  double y;
};

class SeriesData {
 public:
  static constexpr std::size_t kFanOut = 8;

  // The lowest and the highest point of a range.
  struct Extremes {
    ChartPoint low;
    ChartPoint high;
  };

  std::size_t Size() const { return xs_.size() + late_.size(); }
  bool Empty() const { return xs_.empty() && late_.empty(); }
  double X(std::size_t i) const {
    Settle();
    return xs_[i];
  }
  double Y(std::size_t i) const {
    Settle();
    return ys_[i];
  }
  ChartPoint At(std::size_t i) const {
    Settle();
    return {xs_[i], ys_[i]};
  }
  // All X, all Y, in the points' order.
  std::span<const double> Xs() const {
    Settle();
    return xs_;
  }
  std::span<const double> Ys() const {
    Settle();
    return ys_;
  }

  // Puts the point after every point whose X is at most x: at the end in the
  // usual case, with the next reading otherwise. A point with a coordinate that is
  // not finite has no place in the order and is not taken (returns false).
  bool Add(double x, double y);
  // Drops every point and gives the memory back.
  void Clear();
  // Counts the changes other than appending a point at the end (emptying, a
  // point put before others): what was derived from the points before is
  // still true of the same points after an append.
  std::uint64_t Generation() const {
    Settle();
    return generation_;
  }

  // First index in [from, to) whose X is >= x (to when there is none). The
  // search starts at `hint`, so a good guess of the answer makes it cheap.
  std::size_t LowerBound(double x, std::size_t from, std::size_t to, std::size_t hint) const;
  std::size_t LowerBound(double x) const { return LowerBound(x, 0, Size(), 0); }
  // First index whose X is > x.
  std::size_t UpperBound(double x) const;

  // The first index after i whose Y differs from Y(i) (Size() when none).
  // Blocks whose extremes both equal Y(i) are passed over whole, so a long
  // flat stretch costs a few steps per summary level.
  std::size_t NextChange(std::size_t i) const;

  // Asks the processor to fetch the memory of point i ahead of use (no effect
  // on the data). A wide view visits one pixel column after the other, each in
  // new memory; fetching the next one early hides the wait for it.
  void Prefetch(std::size_t i) const {
    if (late_.empty() && i < xs_.size()) {
      FetchLine(xs_.data() + i);
      FetchLine(ys_.data() + i);
    }
  }
  // What RangeExtremes(begin, end) will read: the points on either side of
  // `begin` (the range's first points, its neighbour's last), and the
  // summaries of the first level between begin and end.
  void PrefetchRange(std::size_t begin, std::size_t end) const {
    Prefetch(begin - kFanOut);
    Prefetch(begin);
    Prefetch(begin + kFanOut);
    if (levels_.empty()) return;
    const std::vector<Block>& blocks = levels_.front();
    // Two blocks a cache line.
    for (std::size_t u = begin / kFanOut; u <= end / kFanOut + 1 && u < blocks.size(); u += 2)
      FetchLine(&blocks[u].min);
  }

  // The points with the lowest and the highest Y in [begin, end), begin < end.
  // The summaries carry the X of their extremes, so a drawing of a wide view
  // never has to read the points in the middle of a pixel column.
  Extremes RangeExtremes(std::size_t begin, std::size_t end) const;

  // Summary blocks held (for memory accounting and tests).
  std::size_t SummaryLevels() const {
    Settle();
    return levels_.size();
  }

 private:
  // GCC 12 drops __builtin_prefetch of a vector's elements in some forms,
  // Prefetch's among them (nothing was fetched); on x86 the instruction is
  // written out so that it stays.
  static void FetchLine(const double* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(*p));
#else
    __builtin_prefetch(p);
#endif
  }

  struct Block {
    double min;
    double max;
    double minX;
    double maxX;
  };

  Block Summarise(int level, std::size_t unit) const;
  void SummariseTail();
  void RebuildFrom(std::size_t index) const;
  // Merges the points that came out of order into the series.
  void Settle() const {
    if (!late_.empty()) MergeLate();
  }
  void MergeLate() const;

  // Reading settles the late points in: the order is the points' own, not
  // the reader's business, so these change in const functions.
  mutable std::vector<double> xs_;
  mutable std::vector<double> ys_;
  mutable std::vector<std::vector<Block>> levels_;
  mutable std::uint64_t generation_ = NewGeneration();
  mutable std::vector<ChartPoint> late_;  // out of order, in the order they came

  // Unique over all series, so that nothing derived from one series is
  // taken for another.
  static std::uint64_t NewGeneration();
};

}  // namespace o5
