// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/SeriesData.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace o5 {

std::uint64_t SeriesData::NewGeneration() {
  static std::atomic<std::uint64_t> next{1};
  return next++;
}

bool SeriesData::Add(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  // Every point waiting aside lies below the last point, so one at or past
  // it is still appended.
  if (xs_.empty() || x >= xs_.back()) {
    xs_.push_back(x);
    ys_.push_back(y);
    SummariseTail();
    return true;
  }
  late_.push_back({x, y});
  return true;
}

// A late point goes after every point with the same X that came before it:
// the merge takes the series' own points first on a tie, and the sort keeps
// the late points' order among equals.
void SeriesData::MergeLate() const {
  std::stable_sort(late_.begin(), late_.end(), [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
  const auto first = static_cast<std::size_t>(std::upper_bound(xs_.begin(), xs_.end(), late_.front().x) - xs_.begin());
  std::vector<double> xs;
  std::vector<double> ys;
  xs.reserve(xs_.size() + late_.size());
  ys.reserve(xs_.size() + late_.size());
  xs.assign(xs_.begin(), xs_.begin() + static_cast<std::ptrdiff_t>(first));
  ys.assign(ys_.begin(), ys_.begin() + static_cast<std::ptrdiff_t>(first));
  std::size_t i = first;
  std::size_t k = 0;
  while (i < xs_.size() || k < late_.size()) {
    if (k == late_.size() || (i < xs_.size() && xs_[i] <= late_[k].x)) {
      xs.push_back(xs_[i]);
      ys.push_back(ys_[i++]);
    } else {
      xs.push_back(late_[k].x);
      ys.push_back(late_[k++].y);
    }
  }
  xs_.swap(xs);
  ys_.swap(ys);
  std::vector<ChartPoint>().swap(late_);
  generation_ = NewGeneration();
  RebuildFrom(first);
}

void SeriesData::Clear() {
  generation_ = NewGeneration();
  std::vector<ChartPoint>().swap(late_);
  std::vector<double>().swap(xs_);
  std::vector<double>().swap(ys_);
  std::vector<std::vector<Block>>().swap(levels_);
}

SeriesData::Block SeriesData::Summarise(int level, std::size_t unit) const {
  const std::size_t first = unit * kFanOut;
  Block b;
  if (level == 0) {
    b = {ys_[first], ys_[first], xs_[first], xs_[first]};
    for (std::size_t i = first + 1; i < first + kFanOut; ++i) {
      const double y = ys_[i];
      if (y < b.min) b.min = y, b.minX = xs_[i];
      if (y > b.max) b.max = y, b.maxX = xs_[i];
    }
    return b;
  }
  const std::vector<Block>& below = levels_[static_cast<std::size_t>(level - 1)];
  b = below[first];
  for (std::size_t i = first + 1; i < first + kFanOut; ++i) {
    const Block& c = below[i];
    if (c.min < b.min) b.min = c.min, b.minX = c.minX;
    if (c.max > b.max) b.max = c.max, b.maxX = c.maxX;
  }
  return b;
}

// Completes whatever blocks the last appended point closed, level by level.
void SeriesData::SummariseTail() {
  std::size_t units = xs_.size();
  for (int level = 0; units % kFanOut == 0; ++level) {
    const std::size_t blocks = units / kFanOut;
    if (levels_.size() <= static_cast<std::size_t>(level)) levels_.emplace_back();
    std::vector<Block>& here = levels_[static_cast<std::size_t>(level)];
    if (here.size() == blocks) break;
    here.push_back(Summarise(level, blocks - 1));
    units = here.size();
  }
}

// After an insertion at `index` every block from the one holding it onwards is
// stale; they are dropped and built again from the points.
void SeriesData::RebuildFrom(std::size_t index) const {
  std::size_t unit = index;
  for (std::size_t level = 0; level < levels_.size(); ++level) {
    unit /= kFanOut;
    levels_[level].resize(std::min(levels_[level].size(), unit));
  }
  std::size_t units = xs_.size();
  for (std::size_t level = 0; units >= kFanOut; ++level) {
    if (levels_.size() <= level) levels_.emplace_back();
    std::vector<Block>& here = levels_[level];
    const std::size_t blocks = units / kFanOut;
    for (std::size_t b = here.size(); b < blocks; ++b) here.push_back(Summarise(static_cast<int>(level), b));
    units = blocks;
  }
}

std::size_t SeriesData::LowerBound(double x, std::size_t from, std::size_t to, std::size_t hint) const {
  Settle();
  if (from >= to) return to;
  hint = std::clamp(hint, from, to);
  // Gallop away from the hint, then search the bracket found. The answer lies
  // in [lo, hi].
  std::size_t lo;
  std::size_t hi;
  std::size_t step = 1;
  if (hint < to && xs_[hint] < x) {
    lo = hint + 1;
    hi = lo;
    while (hi < to && xs_[hi] < x) {
      lo = hi + 1;
      hi = std::min(to, hi + step);
      step *= 2;
    }
  } else {
    lo = hint;
    hi = hint;
    while (lo > from && xs_[lo - 1] >= x) {
      hi = lo - 1;
      lo = lo - from > step ? lo - step : from;
      step *= 2;
    }
  }
  return static_cast<std::size_t>(std::lower_bound(xs_.begin() + static_cast<std::ptrdiff_t>(lo),
                                                   xs_.begin() + static_cast<std::ptrdiff_t>(hi), x) -
                                  xs_.begin());
}

std::size_t SeriesData::UpperBound(double x) const {
  Settle();
  return static_cast<std::size_t>(std::upper_bound(xs_.begin(), xs_.end(), x) - xs_.begin());
}

std::size_t SeriesData::NextChange(std::size_t i) const {
  Settle();
  const std::size_t n = xs_.size();
  if (i >= n) return n;
  const double value = ys_[i];
  std::size_t j = i + 1;
  while (j < n) {
    // The widest flat block that starts at j: a block that is not flat has
    // no flat block above it.
    std::size_t skip = 0;
    std::size_t unit = kFanOut;
    for (std::size_t level = 0; level < levels_.size() && j % unit == 0; ++level, unit *= kFanOut) {
      const std::size_t b = j / unit;
      if (b >= levels_[level].size()) break;
      const Block& block = levels_[level][b];
      if (block.min != value || block.max != value) break;
      skip = unit;
    }
    if (skip > 0) {
      j += skip;
      continue;
    }
    if (ys_[j] != value) return j;
    ++j;
  }
  return n;
}

SeriesData::Extremes SeriesData::RangeExtremes(std::size_t begin, std::size_t end) const {
  Settle();
  // Noisy data makes the comparisons unpredictable; the updates are written
  // so that they compile to conditional moves instead of branches: each side
  // keeps only its value and which point or block holds it (a point's index,
  // or a block's level and number with kBlock set), and the X is looked up
  // once at the end.
  constexpr std::size_t kBlock = std::size_t{1} << 63;
  constexpr int kLevelShift = 56;
  double min = ys_[begin];
  double max = min;
  std::size_t minWho = begin;
  std::size_t maxWho = begin;
  auto takePoints = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      const double y = ys_[i];
      const bool lower = y < min;
      const bool higher = y > max;
      min = lower ? y : min;
      minWho = lower ? i : minWho;
      max = higher ? y : max;
      maxWho = higher ? i : maxWho;
    }
  };
  auto takeBlocks = [&](std::size_t level, std::size_t from, std::size_t to) {
    const Block* blocks = levels_[level].data();
    const std::size_t tag = kBlock | (level << kLevelShift);
    // The loop counts the blocks' tags, as the loop over points counts their
    // indices: so written, the compiler moves instead of branching.
    for (std::size_t who = tag | from; who < (tag | to); ++who) {
      const Block& b = blocks[who - tag];
      const bool lower = b.min < min;
      const bool higher = b.max > max;
      min = lower ? b.min : min;
      minWho = lower ? who : minWho;
      max = higher ? b.max : max;
      maxWho = higher ? who : maxWho;
    }
  };
  auto roundUp = [](std::size_t u) { return (u + kFanOut - 1) / kFanOut * kFanOut; };
  auto roundDown = [](std::size_t u) { return u / kFanOut * kFanOut; };

  // Read the loose units at both ends of the range on each level until the
  // rest is made of whole blocks of the level above, then climb.
  std::size_t lo = roundUp(begin);
  std::size_t hi = roundDown(end);
  if (levels_.empty() || lo >= hi) {
    takePoints(begin, end);
  } else {
    takePoints(begin, lo);
    takePoints(hi, end);
    lo /= kFanOut;
    hi /= kFanOut;
    for (std::size_t level = 0;; ++level) {
      const std::size_t up = roundUp(lo);
      const std::size_t down = roundDown(hi);
      if (level + 1 == levels_.size() || up >= down) {
        takeBlocks(level, lo, hi);
        break;
      }
      takeBlocks(level, lo, up);
      takeBlocks(level, down, hi);
      lo = up / kFanOut;
      hi = down / kFanOut;
    }
  }
  const auto xOf = [&](std::size_t who, bool low) {
    if (!(who & kBlock)) return xs_[who];
    const std::size_t level = (who & ~kBlock) >> kLevelShift;
    const Block& b = levels_[level][who & ((std::size_t{1} << kLevelShift) - 1)];
    return low ? b.minX : b.maxX;
  };
  return {{xOf(minWho, true), min}, {xOf(maxWho, false), max}};
}

}  // namespace o5
