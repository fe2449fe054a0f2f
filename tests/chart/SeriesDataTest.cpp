// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "chart/SeriesData.h"

namespace o5 {
namespace {

std::vector<double> Ys(const SeriesData& s) {
  std::vector<double> out;
  for (std::size_t i = 0; i < s.Size(); ++i) out.push_back(s.Y(i));
  return out;
}

void ExpectAscending(const SeriesData& s) {
  for (std::size_t i = 1; i < s.Size(); ++i) ASSERT_LE(s.X(i - 1), s.X(i)) << "at " << i;
}

// The summaries must agree with a plain scan for every range, after appends
// and after late insertions alike.
void ExpectExtremesMatchScan(const SeriesData& s, std::mt19937& rng, int probes) {
  std::uniform_int_distribution<std::size_t> pick(0, s.Size() - 1);
  for (int k = 0; k < probes; ++k) {
    std::size_t a = pick(rng), b = pick(rng);
    if (a > b) std::swap(a, b);
    ++b;
    double min = s.Y(a), max = s.Y(a);
    for (std::size_t i = a; i < b; ++i) min = std::min(min, s.Y(i)), max = std::max(max, s.Y(i));
    const SeriesData::Extremes e = s.RangeExtremes(a, b);
    ASSERT_EQ(e.low.y, min) << a << ".." << b;
    ASSERT_EQ(e.high.y, max) << a << ".." << b;
    // The X given is that of a point in the range with that Y.
    for (const ChartPoint& p : {e.low, e.high}) {
      const std::size_t i = std::max(a, s.LowerBound(p.x));
      ASSERT_LT(i, b) << a << ".." << b;
      std::size_t j = i;
      while (j < b && s.X(j) == p.x && s.Y(j) != p.y) ++j;
      ASSERT_TRUE(j < b && s.X(j) == p.x) << a << ".." << b;
    }
  }
}

TEST(SeriesData, KeepsAscendingXWithLatePointsInsertedInPlace) {
  SeriesData s;
  for (double x : {1.0, 2.0, 5.0, 3.0, 0.5, 4.0, 6.0}) s.Add(x, x * 10);
  ASSERT_EQ(s.Size(), 7u);
  ExpectAscending(s);
  EXPECT_EQ(Ys(s), (std::vector<double>{5, 10, 20, 30, 40, 50, 60}));
}

TEST(SeriesData, EqualXGoesAfterExistingPointsAtEndAndInTheMiddle) {
  SeriesData s;
  s.Add(1, 100);
  s.Add(2, 200);
  s.Add(2, 201);  // at the end
  s.Add(3, 300);
  s.Add(1, 101);  // late, after the earlier point at X = 1
  s.Add(2, 202);  // late, after both points at X = 2
  EXPECT_EQ(Ys(s), (std::vector<double>{100, 101, 200, 201, 202, 300}));
}

TEST(SeriesData, ClearDropsEverythingAndTheSeriesFillsAgain) {
  SeriesData s;
  for (int i = 0; i < 1000; ++i) s.Add(i, i);
  s.Clear();
  EXPECT_TRUE(s.Empty());
  EXPECT_EQ(s.SummaryLevels(), 0u);
  s.Add(5, 1);
  s.Add(4, 2);
  EXPECT_EQ(s.Size(), 2u);
  EXPECT_EQ(s.X(0), 4);
}

TEST(SeriesData, PointsThatAreNotFiniteAreNotTaken) {
  SeriesData s;
  EXPECT_FALSE(s.Add(std::numeric_limits<double>::quiet_NaN(), 1));
  EXPECT_FALSE(s.Add(1, std::numeric_limits<double>::infinity()));
  EXPECT_TRUE(s.Add(1, 1));
  EXPECT_EQ(s.Size(), 1u);
}

TEST(SeriesData, BoundsFindTheFirstPointAtOrAfterX) {
  SeriesData s;
  for (double x : {1.0, 2.0, 2.0, 2.0, 7.0}) s.Add(x, 0);
  EXPECT_EQ(s.LowerBound(2), 1u);
  EXPECT_EQ(s.UpperBound(2), 4u);
  EXPECT_EQ(s.LowerBound(0), 0u);
  EXPECT_EQ(s.LowerBound(8), 5u);
  // Whatever the hint, the answer is the same.
  for (std::size_t hint = 0; hint <= 6; ++hint) {
    EXPECT_EQ(s.LowerBound(2, 0, 5, hint), 1u) << hint;
    EXPECT_EQ(s.LowerBound(7, 2, 5, hint), 4u) << hint;
    EXPECT_EQ(s.LowerBound(1.5, 1, 5, hint), 1u) << hint;
    EXPECT_EQ(s.LowerBound(9, 0, 5, hint), 5u) << hint;
    EXPECT_EQ(s.LowerBound(7, 5, 5, hint), 5u) << hint;
  }
}

TEST(SeriesData, ExtremesAgreeWithAScanAfterAppends) {
  std::mt19937 rng(7);
  std::normal_distribution<double> step(0, 3);
  SeriesData s;
  double y = 0;
  for (int i = 0; i < 20000; ++i) s.Add(i, y += step(rng));
  EXPECT_GE(s.SummaryLevels(), 4u);
  ExpectExtremesMatchScan(s, rng, 3000);
}

TEST(SeriesData, ExtremesAgreeWithAScanAfterLateInsertions) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> value(-100, 100);
  std::uniform_int_distribution<int> when(0, 5000);
  SeriesData s;
  for (int i = 0; i < 5000; ++i) {
    s.Add(i, value(rng));
    if (i % 50 == 0) s.Add(when(rng) % (i + 1), value(rng));
  }
  ExpectAscending(s);
  ExpectExtremesMatchScan(s, rng, 3000);
}

// Points out of time order from any source (two halves of a day swapped, a
// day backwards, late points among the reads) end as the same series as the
// points in order, read between the additions or not.
TEST(SeriesData, ADayInAnyOrderIsTheDayInOrder) {
  constexpr int kDay = 86400;
  SeriesData inOrder;
  for (int t = 0; t < kDay; ++t) inOrder.Add(t, t % 701);
  const auto orders = {std::pair{"halves swapped", +[](int i) { return (i + kDay / 2) % kDay; }},
                       std::pair{"backwards", +[](int i) { return kDay - 1 - i; }}};
  for (const auto& [name, order] : orders)
    for (const int readEvery : {0, 1000}) {
      SCOPED_TRACE(std::string(name) + ", read every " + std::to_string(readEvery));
      SeriesData s;
      for (int i = 0; i < kDay; ++i) {
        const int t = order(i);
        s.Add(t, t % 701);
        if (readEvery > 0 && i % readEvery == 0) EXPECT_EQ(s.Size(), std::size_t(i + 1));
        if (readEvery > 0 && i % readEvery == 0) EXPECT_LE(s.X(0), t);
      }
      ASSERT_EQ(Ys(s), Ys(inOrder));
      EXPECT_EQ(s.SummaryLevels(), inOrder.SummaryLevels());
      const SeriesData::Extremes e = s.RangeExtremes(0, s.Size());
      EXPECT_EQ(e.high.y, 700);
    }
}

}  // namespace
}  // namespace o5

namespace o5 {
namespace {

// A long flat stretch is passed over block by block; every change is found.
TEST(SeriesDataChanges, NextChangeFindsEachChangeAndPassesFlatStretches) {
  SeriesData s;
  std::vector<std::size_t> changes;
  double y = 0;
  for (std::size_t i = 0; i < 70000; ++i) {
    if (i == 3 || i == 4 || i == 513 || i == 40000 || i == 69999) {
      y += 1;
      changes.push_back(i);
    }
    s.Add(double(i), y);
  }
  std::vector<std::size_t> found;
  for (std::size_t i = 0; (i = s.NextChange(i)) < s.Size();) found.push_back(i);
  EXPECT_EQ(found, changes);
  EXPECT_EQ(s.NextChange(s.Size()), s.Size());
}

}  // namespace
}  // namespace o5
