// SPDX-License-Identifier: GPL-3.0-or-later
// "Весь пуск": both axes over the whole run charted, whatever its length, and
// the range stays as drawn while the boxes show what they can hold.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <QToolButton>

#include <utility>

#include "tests/graph/GraphTestSupport.h"
#include "tests/graph/LiveTelemetry.h"

namespace o5 {
namespace {

using test::LiveSession;
using test::TakeErrors;

class GraphView : public test::GraphFixture {
 protected:
  using Range = std::pair<double, double>;
  static Range X(TfGraph& g) { return {g.Charts->BottomAxis().Minimum(), g.Charts->BottomAxis().Maximum()}; }
  static Range Y(TfGraph& g) { return {g.Charts->LeftAxis().Minimum(), g.Charts->LeftAxis().Maximum()}; }
  static std::pair<int, int> XBoxes(TfGraph& g) { return {g.edXMin->value(), g.edXMax->value()}; }
  static std::pair<int, int> YBoxes(TfGraph& g) { return {g.edYMin->value(), g.edYMax->value()}; }
  void PressWholeRun(TfGraph& g) {
    g.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g));
    QTest::keyClick(&g, Qt::Key_0, Qt::ControlModifier);
    Settle(g);
  }
};

// A day of run time: the time axis spans 0..86,399 s and the values of the
// series shown, one below its box's range, one hidden far above it.
TEST_F(GraphView, TheWholeRunOfADayIsShownAndKeptAsDrawn) {
  TfGraph g;
  Show(g);
  g.aFollow->trigger();
  ASSERT_TRUE(g.aFollow->isChecked());
  g.cb[4]->click();  // hidden: its values do not count
  for (int t = 0; t < 86400; ++t)
    for (int s = 0; s < TfGraph::kSeriesCount; ++s)
      g.AddPoint(s, t, s == 0 ? -130 + t % 1000 : s == 4 ? 5000 : 20 + s);
  Settle(g);
  PressWholeRun(g);
  EXPECT_EQ(g.aWholeRun->text(), "Весь пуск");
  EXPECT_FALSE(g.aFollow->isChecked());
  EXPECT_EQ(X(g), (Range{0, 86399}));
  EXPECT_EQ(Y(g), (Range{-150, 900}));
  EXPECT_EQ(XBoxes(g), (std::pair{0, 5000}));
  EXPECT_EQ(YBoxes(g), (std::pair{-100, 900}));
  // A pan leaves the range "Весь пуск" set: the boxes' rules hold again.
  g.bUp->click();
  Settle(g);
  EXPECT_EQ(Y(g), (Range{-100, 950}));
  EXPECT_EQ(YBoxes(g), (std::pair{-100, 950}));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A journal of a day's run, its 16-bit run timer wrapping once past 65,535 s,
// from its first cycle to its last.
TEST_F(GraphView, AJournalOfADaysRunIsShownFromItsFirstToItsLastCycle) {
  TfGraph live, g;
  LiveSession s(live);
  for (int t = 0; t < 86400; ++t) s.Cycle(t % 65536, "", t < 2 ? 1 : 21);
  const QString path = WriteFile("long.txt", s.log);
  Show(g);
  g.OpenRecordLog(path);
  Settle(g);
  EXPECT_EQ(X(g), (Range{0, 200}));
  PressWholeRun(g);
  EXPECT_EQ(X(g), (Range{0, 86399}));
  EXPECT_EQ(XBoxes(g), (std::pair{0, 5000}));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5
