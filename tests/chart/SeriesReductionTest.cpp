// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "chart/SeriesReduction.h"

namespace o5 {
namespace {

SeriesData Ramp(int n, double dx = 1) {
  SeriesData s;
  for (int i = 0; i < n; ++i) s.Add(i * dx, std::sin(i * 0.1) * 100);
  return s;
}

void ExpectFinite(const std::vector<ChartPoint>& pts) {
  for (const ChartPoint& p : pts) {
    ASSERT_TRUE(std::isfinite(p.x));
    ASSERT_TRUE(std::isfinite(p.y));
  }
}

// Every reduced point must be a point of the series, and the X values must
// not go backwards.
void ExpectPointsOfSeriesInOrder(const SeriesData& s, const std::vector<ChartPoint>& pts) {
  for (std::size_t k = 0; k < pts.size(); ++k) {
    if (k > 0) {
      ASSERT_LE(pts[k - 1].x, pts[k].x);
    }
    bool found = false;
    for (std::size_t i = s.LowerBound(pts[k].x); i < s.Size() && s.X(i) == pts[k].x && !found; ++i)
      found = s.Y(i) == pts[k].y;
    ASSERT_TRUE(found) << "(" << pts[k].x << ", " << pts[k].y << ") is not a point of the series";
  }
}

TEST(SeriesReduction, EmptySeriesOrNoColumnsGiveNothing) {
  SeriesData empty;
  std::vector<ChartPoint> out{{1, 1}};
  ReduceForView(empty, 0, 100, 500, out);
  EXPECT_TRUE(out.empty());
  const SeriesData s = Ramp(10);
  ReduceForView(s, 0, 100, 0, out);
  EXPECT_TRUE(out.empty());
  ReduceForView(s, 100, 0, 10, out);
  EXPECT_TRUE(out.empty());
}

TEST(SeriesReduction, AViewLeftOrRightOfTheDataKeepsOnlyTheNearestPoint) {
  const SeriesData s = Ramp(100);  // X 0..99
  std::vector<ChartPoint> out;
  ReduceForView(s, -50, -10, 200, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].x, 0);
  ReduceForView(s, 150, 300, 200, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].x, 99);
}

TEST(SeriesReduction, AViewInsideAGapKeepsBothNeighboursSoTheLineCrossesIt) {
  SeriesData s;
  s.Add(0, 1);
  s.Add(1000, 2);
  std::vector<ChartPoint> out;
  ReduceForView(s, 400, 600, 300, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].x, 0);
  EXPECT_EQ(out[1].x, 1000);
}

TEST(SeriesReduction, ASinglePointIsKept) {
  SeriesData s;
  s.Add(5, 7);
  std::vector<ChartPoint> out;
  ReduceForView(s, 0, 10, 100, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].y, 7);
}

TEST(SeriesReduction, ASparseViewKeepsEveryPoint) {
  const SeriesData s = Ramp(1000);
  std::vector<ChartPoint> out;
  ReduceForView(s, 500, 700, 1280, out);
  // 201 points inside, one neighbour either side.
  ASSERT_EQ(out.size(), 203u);
  EXPECT_EQ(out.front().x, 499);
  EXPECT_EQ(out.back().x, 701);
  ExpectPointsOfSeriesInOrder(s, out);
}

TEST(SeriesReduction, EqualXKeepsTheVerticalSegmentInPointOrder) {
  SeriesData s;
  s.Add(0, 0);
  s.Add(10, 1);
  s.Add(10, 9);
  s.Add(20, 0);
  std::vector<ChartPoint> out;
  ReduceForView(s, 0, 20, 100, out);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[1].y, 1);
  EXPECT_EQ(out[2].y, 9);
}

TEST(SeriesReduction, AZeroWidthViewKeepsThePointsAtThatX) {
  SeriesData s;
  for (int i = 0; i < 10; ++i) s.Add(i / 2, i);  // two points per X
  std::vector<ChartPoint> out;
  ReduceForView(s, 3, 3, 100, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].y, 6);
  EXPECT_EQ(out[1].y, 7);
}

// Per column the reduction keeps exactly the first, lowest, highest and last
// point, which is what makes its polyline cover the same pixels.
TEST(SeriesReduction, EachColumnKeepsFirstLowestHighestAndLast) {
  std::mt19937 rng(3);
  std::normal_distribution<double> noise(0, 5);
  std::uniform_real_distribution<double> gap(0.0, 2.0);
  SeriesData s;
  double x = 0, y = 0;
  for (int i = 0; i < 50000; ++i) s.Add(x += gap(rng), y += noise(rng));

  const double from = 3000.5, to = 41000.25;
  const int columns = 977;
  std::vector<ChartPoint> out;
  ReduceForView(s, from, to, columns, out);
  ExpectFinite(out);
  ExpectPointsOfSeriesInOrder(s, out);
  EXPECT_LE(out.size(), 4u * columns + 2);

  const double w = (to - from) / columns;
  auto columnOf = [&](double px) {
    int c = static_cast<int>(std::floor((px - from) / w));
    c = std::clamp(c, 0, columns - 1);
    while (c + 1 < columns && px >= from + (c + 1) * w) ++c;
    while (c > 0 && px < from + c * w) --c;
    return c;
  };
  struct Col {
    std::vector<ChartPoint> raw, kept;
  };
  std::map<int, Col> cols;
  for (std::size_t i = s.LowerBound(from); i < s.UpperBound(to); ++i) cols[columnOf(s.X(i))].raw.push_back(s.At(i));
  ASSERT_LT(out.front().x, from);
  ASSERT_GT(out.back().x, to);
  for (std::size_t i = 1; i + 1 < out.size(); ++i) cols[columnOf(out[i].x)].kept.push_back(out[i]);

  for (auto& [c, col] : cols) {
    ASSERT_FALSE(col.raw.empty()) << "column " << c << " got points it does not hold";
    ASSERT_FALSE(col.kept.empty()) << "column " << c;
    ASSERT_LE(col.kept.size(), 4u);
    auto byY = [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; };
    EXPECT_EQ(col.kept.front().x, col.raw.front().x) << "column " << c;
    EXPECT_EQ(col.kept.back().x, col.raw.back().x) << "column " << c;
    EXPECT_EQ(std::min_element(col.kept.begin(), col.kept.end(), byY)->y,
              std::min_element(col.raw.begin(), col.raw.end(), byY)->y);
    EXPECT_EQ(std::max_element(col.kept.begin(), col.kept.end(), byY)->y,
              std::max_element(col.raw.begin(), col.raw.end(), byY)->y);
  }
}

TEST(SeriesReduction, VisiblePointsIsEveryPointInRangeWithItsNeighbours) {
  const SeriesData s = Ramp(100);
  std::vector<ChartPoint> out;
  VisiblePoints(s, 10.5, 20.5, out);
  ASSERT_EQ(out.size(), 12u);
  EXPECT_EQ(out.front().x, 10);
  EXPECT_EQ(out.back().x, 21);
}

// Kept from one drawing to the next, the reduction of a view is what a new
// reduction gives: after points at the end, in the view and beyond it, and
// after a point put among the others.
TEST(SeriesReduction, AKeptReductionFollowsTheSeries) {
  SeriesData s;
  ViewReduction kept;
  std::vector<ChartPoint> fresh;
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> y(0, 700);
  auto same = [&](double from, double to, int columns) {
    const std::vector<ChartPoint>& k = kept.Update(s, from, to, columns);
    ReduceForView(s, from, to, columns, fresh);
    ASSERT_EQ(k.size(), fresh.size());
    for (std::size_t i = 0; i < k.size(); ++i) {
      ASSERT_EQ(k[i].x, fresh[i].x) << i;
      ASSERT_EQ(k[i].y, fresh[i].y) << i;
    }
  };
  for (int t = 0; t < 3000; ++t) {
    s.Add(t * 0.5, y(rng));
    if (t % 37 == 0) same(100, 1200, 300);
  }
  same(100, 1200, 300);
  s.Add(600.25, 1);  // among the others
  same(100, 1200, 300);
  same(0, 2000, 1280);  // another view
  s.Clear();
  same(0, 2000, 1280);
}

}  // namespace
}  // namespace o5
