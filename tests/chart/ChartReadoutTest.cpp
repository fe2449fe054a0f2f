// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "chart/ChartReadout.h"
#include "chart/ChartTimeline.h"

namespace o5 {
namespace {

TEST(ChartReadout, EachShownSeriesIsReadAtItsLastPointAtOrBeforeTheTime) {
  ChartModel m;
  m.SetName(0, "Тжидкости");
  m.SetName(3, "U");
  for (int t = 0; t < 10; ++t) m.AddPoint(0, t, t * 1.5);
  m.AddPoint(3, 5, 12);
  for (int s = 0; s < 13; ++s) m.SetVisible(s, s == 0 || s == 3);
  const Readout r = ReadAt(m, 4.99);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0].value, 6.0);
  EXPECT_FALSE(r.lines[1].value);
  EXPECT_EQ(ReadoutLines(m, r, 1), (std::vector<std::string>{"t = 5 с", "Тжидкости: 6", "U: —"}));

  m.SetCursor(Cursor::kA, 2);
  m.SetCursor(Cursor::kB, 7.5);
  const Readout d = ReadAt(m, 9);
  EXPECT_EQ(ReadoutLines(m, d, 1),
            (std::vector<std::string>{"t = 9 с", "Δt = 5,5 с", "Тжидкости: 13,5  Δ = 7,5", "U: 12  Δ = —"}));
}

TEST(ChartReadout, NumbersHaveADecimalCommaAndNoTrailingZeros) {
  EXPECT_EQ(FormatReadoutNumber(12, 2), "12");
  EXPECT_EQ(FormatReadoutNumber(-0.001, 2), "0");
  EXPECT_EQ(FormatReadoutNumber(3.14159, 2), "3,14");
  EXPECT_EQ(FormatReadoutNumber(-20.5, 0), "-20");  // halves to even
  EXPECT_EQ(FormatReadoutNumber(1234.25, 1), "1234,2");
}

TEST(ChartTimeline, StepsGiveTheValueInForceAndEachChangeInTheRange) {
  SeriesData s;
  for (int t = 0; t < 100; ++t) s.Add(t, t < 30 ? 0 : t < 60 ? 21 : 2);
  TimelineSteps steps = StepsInRange(s, 10, 80, 0);
  ASSERT_EQ(steps.steps.size(), 3u);
  EXPECT_EQ(steps.steps[0].x, 10);
  EXPECT_EQ(steps.steps[0].value, 0);
  EXPECT_EQ(steps.steps[1].x, 30);
  EXPECT_EQ(steps.steps[1].value, 21);
  EXPECT_EQ(steps.steps[2].x, 60);
  EXPECT_EQ(steps.end, 80);
  // Changes closer together than a pixel column come out as one step.
  SeriesData noisy;
  for (int t = 0; t < 1000; ++t) noisy.Add(t, t % 2);
  EXPECT_LE(StepsInRange(noisy, 0, 999, 100).steps.size(), 11u);
  EXPECT_TRUE(StepsInRange(SeriesData(), 0, 10, 1).steps.empty());
}

}  // namespace
}  // namespace o5
