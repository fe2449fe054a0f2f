// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "chart/AxisError.h"
#include "chart/AxisTicks.h"
#include "chart/ChartAxis.h"

namespace o5 {
namespace {

std::string RefusalOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AxisError& e) {
    return e.what();
  }
  return {};
}

TEST(ChartAxis, RefusesAnInvertedRangeAndKeepsItsValues) {
  ChartAxis a(0, 200, 20);
  int changes = 0;
  a.SetChangeHandler([&] { ++changes; });
  EXPECT_EQ(RefusalOf([&] { a.SetMaximum(-1); }), "Axis Maximum Value must be >= Minimum");
  EXPECT_EQ(RefusalOf([&] { a.SetMinimum(201); }), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(RefusalOf([&] { a.SetIncrement(-0.5); }), "Axis increment must be >= 0");
  EXPECT_EQ(RefusalOf([&] { a.SetMinimum(std::numeric_limits<double>::quiet_NaN()); }),
            "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(a.Minimum(), 0);
  EXPECT_EQ(a.Maximum(), 200);
  EXPECT_EQ(a.Increment(), 20);
  EXPECT_EQ(changes, 0);
}

TEST(ChartAxis, AllowsEqualBoundsAndAZeroIncrement) {
  ChartAxis a(0, 200, 20);
  a.SetMinimum(200);
  a.SetMaximum(200);
  a.SetIncrement(0);
  EXPECT_EQ(a.Minimum(), 200);
  EXPECT_EQ(a.Increment(), 0);
}

TEST(ChartAxis, BothBoundsAtOnceAreNeverRefused) {
  ChartAxis a(0, 200, 20);
  a.SetMinMax(500, 900);  // the minimum alone would be refused
  EXPECT_EQ(a.Minimum(), 500);
  EXPECT_EQ(a.Maximum(), 900);
  a.SetMinMax(10, -10);
  EXPECT_EQ(a.Minimum(), -10);
  EXPECT_EQ(a.Maximum(), 10);
  a.SetMinMax(std::numeric_limits<double>::infinity(), 0);
  EXPECT_EQ(a.Minimum(), -10);
}

TEST(ChartAxis, ReportsEveryChange) {
  ChartAxis a(0, 200, 20);
  int changes = 0;
  a.SetChangeHandler([&] { ++changes; });
  a.SetMaximum(300);
  a.SetMaximum(300);  // no change, no report
  a.SetMinMax(1, 2);
  a.SetTitle("t");
  EXPECT_EQ(changes, 3);
}

TEST(AxisTicks, LabelsSitOnMultiplesOfTheStep) {
  const AxisTicks t = ChooseTicks(-30, 170, 50, 5.0, 20);
  EXPECT_EQ(t.values, (std::vector<double>{0, 50, 100, 150}));
  const AxisTicks b = ChooseTicks(0, 200, 50, 5.0, 20);
  EXPECT_EQ(b.values, (std::vector<double>{0, 50, 100, 150, 200}));
}

TEST(AxisTicks, ACrowdingStepIsMultiplied) {
  // A 24-hour range with step 2 on 1200 pixels.
  const AxisTicks t = ChooseTicks(0, 86400, 2, 1200.0 / 86400, 40);
  EXPECT_GE(t.step * 1200.0 / 86400, 40);
  EXPECT_EQ(std::fmod(t.step, 2), 0);
  EXPECT_LE(t.values.size(), 31u);
  EXPECT_EQ(t.values.front(), 0);
}

TEST(AxisTicks, AZeroStepGetsARoundOne) {
  const AxisTicks t = ChooseTicks(0, 700, 0, 1.0, 30);
  EXPECT_EQ(t.step, 50);
}

TEST(AxisTicks, AnEmptySpanShowsOneLabel) {
  EXPECT_EQ(ChooseTicks(5, 5, 1, 0, 20).values, (std::vector<double>{5}));
  EXPECT_TRUE(ChooseTicks(5, 4, 1, 1, 20).values.empty());
}

TEST(AxisTicks, LabelFormatIsAWholeNumberWithoutGrouping) {
  EXPECT_EQ(FormatAxisLabel(0), "0");
  EXPECT_EQ(FormatAxisLabel(86400), "86400");
  EXPECT_EQ(FormatAxisLabel(-50), "-50");
  EXPECT_EQ(FormatAxisLabel(-0.3), "0");
  EXPECT_EQ(FormatAxisLabel(12.5), "13");
  EXPECT_EQ(FormatAxisLabel(1234567), "1234567");
}

}  // namespace
}  // namespace o5
