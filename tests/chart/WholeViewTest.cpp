// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "chart/WholeView.h"

namespace o5 {
namespace {

struct Point {
  int series;
  double x, y;
};

struct Case {
  std::string what;
  std::vector<Point> points;
  std::vector<int> hidden;
  double xStep, yStep;
  std::optional<AxisSpan> x, y;
};

TEST(WholeView, TimeOverEveryPointValuesOverTheShownSeriesRoundedOutToTheStep) {
  const std::vector<Case> cases = {
      {"nothing charted", {}, {}, 50, 50, std::nullopt, std::nullopt},
      {"one series", {{0, 3, 21}, {0, 90, 87}}, {}, 50, 50, AxisSpan{3, 90}, AxisSpan{0, 100}},
      {"bounds on a step stay",
       {{2, 0, -50}, {2, 10, 150}},
       {},
       50,
       50,
       AxisSpan{0, 10},
       AxisSpan{-50, 150}},
      {"negative values round down",
       {{0, 0, -7}, {0, 5, 3}},
       {},
       50,
       5,
       AxisSpan{0, 5},
       AxisSpan{-10, 5}},
      {"time over hidden series too, values over the shown only",
       {{0, 10, 40}, {0, 20, 45}, {4, 0, 900}, {4, 30, 1200}},
       {4},
       50,
       50,
       AxisSpan{0, 30},
       AxisSpan{0, 50}},
      {"no shown series: the value axis stays", {{4, 0, 900}, {4, 30, 1200}}, {4}, 50, 50, AxisSpan{0, 30},
       std::nullopt},
      {"a 24-hour run", {{11, 0, 0}, {0, 0, 12}, {0, 86399, 81}, {11, 86399, 0}}, {}, 50, 50,
       AxisSpan{0, 86399}, AxisSpan{0, 100}},
      {"one moment, a flat line on a step", {{0, 7, 50}}, {}, 20, 50, AxisSpan{7, 27}, AxisSpan{50, 100}},
      {"no steps", {{0, 7, 2.5}}, {}, 0, 0, AxisSpan{7, 8}, AxisSpan{2.5, 3.5}},
  };
  for (const Case& c : cases) {
    ChartModel m;
    m.BottomAxis().SetIncrement(c.xStep);
    m.LeftAxis().SetIncrement(c.yStep);
    for (const Point& p : c.points) m.AddPoint(p.series, p.x, p.y);
    for (int s : c.hidden) m.SetVisible(s, false);
    const std::optional<WholeView> v = WholeViewOf(m);
    ASSERT_EQ(v.has_value(), c.x.has_value()) << c.what;
    if (!v) continue;
    EXPECT_EQ(v->x, *c.x) << c.what;
    EXPECT_EQ(v->y, c.y) << c.what;
  }
}

}  // namespace
}  // namespace o5
