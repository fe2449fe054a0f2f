// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QColorDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <memory>

#include "chart/AxisError.h"
#include "tests/graph/GraphTestSupport.h"

namespace o5 {
namespace {

using test::CapturedErrors;
using test::TakeErrors;

struct Range {
  double min, max;
  bool operator==(const Range&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Range& r) { return os << r.min << ".." << r.max; }
Range XRange(TfGraph& g) { return {g.Charts->BottomAxis().Minimum(), g.Charts->BottomAxis().Maximum()}; }
Range YRange(TfGraph& g) { return {g.Charts->LeftAxis().Minimum(), g.Charts->LeftAxis().Maximum()}; }

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void LeftDrag(QWidget* w, QPoint from, QPoint to) {
  Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  Mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

class GraphWindow : public test::GraphFixture {
 protected:
  TfGraph& Create() {
    graph_ = std::make_unique<TfGraph>();
    return *graph_;
  }
  TfGraph& CreateShown() {
    TfGraph& g = Create();
    Show(g);
    return g;
  }
  std::unique_ptr<TfGraph> graph_;
};

// ---- Creation and settings ------------------------------------------------

TEST_F(GraphWindow, FirstStartWithoutASettingsFile) {
  TfGraph& g = Create();
  EXPECT_FALSE(g.isVisible());
  EXPECT_EQ(g.windowTitle(), QString("Графики"));
  EXPECT_TRUE(g.windowFlags() & Qt::Tool);
  EXPECT_EQ(g.minimumSize(), QSize(640, 480));
  EXPECT_EQ(g.size(), QSize(640, 480));
  EXPECT_EQ(g.pos(), QPoint(0, 0));
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(g.Charts->SeriesColor(i), QColor(0, 128, 0)) << i;
    EXPECT_EQ(g.sp[i]->Color(), QColor(0, 128, 0)) << i;
    EXPECT_EQ(g.Charts->SeriesWidth(i), 1) << i;
    EXPECT_TRUE(g.Charts->SeriesVisible(i)) << i;
    EXPECT_TRUE(g.cb[i]->isChecked()) << i;
  }
  EXPECT_EQ(XRange(g), (Range{0, 200}));
  EXPECT_EQ(g.Charts->BottomAxis().Increment(), 50);
  EXPECT_EQ(g.edXStep->value(), 50);
  EXPECT_EQ(YRange(g), (Range{0, 700}));
  EXPECT_EQ(g.Charts->LeftAxis().Increment(), 50);
  EXPECT_EQ(g.Charts->BottomAxis().Title(), "Время, с");
}

TEST_F(GraphWindow, RowCaptionsAndControlsAreBoundByTheirNumber) {
  TfGraph& g = Create();
  EXPECT_EQ(g.cb[0]->text(), QString("Тжидкости"));
  EXPECT_EQ(g.cb[12]->text(), QString("U"));
  EXPECT_EQ(g.sp[4]->toolTip(), QString("Изменить цвет"));
  EXPECT_EQ(g.Button1->text(), QString("Очистить"));
  g.ed[6]->setValue(5);
  EXPECT_EQ(g.Charts->SeriesWidth(6), 5);
  g.cb[11]->setChecked(false);
  EXPECT_FALSE(g.Charts->SeriesVisible(11));
  EXPECT_TRUE(g.Charts->SeriesVisible(10));
}

TEST_F(GraphWindow, StoredWidthsAreClampedIntoTheirBoxes) {
  WriteConfig("W3=0\nW4=12\nW5=7\n");
  TfGraph& g = Create();
  EXPECT_EQ(g.ed[2]->value(), 1);
  EXPECT_EQ(g.Charts->SeriesWidth(2), 1);
  EXPECT_EQ(g.ed[3]->value(), 9);
  EXPECT_EQ(g.Charts->SeriesWidth(3), 9);
  EXPECT_EQ(g.Charts->SeriesWidth(4), 7);
}

TEST_F(GraphWindow, StoredVisibilityIsNonZeroOrNotANumber) {
  WriteConfig("C5=0\nC6=7\nC7=abc\n");
  TfGraph& g = Create();
  EXPECT_FALSE(g.cb[4]->isChecked());
  EXPECT_FALSE(g.Charts->SeriesVisible(4));
  EXPECT_TRUE(g.Charts->SeriesVisible(5));
  EXPECT_TRUE(g.Charts->SeriesVisible(6));
}

TEST_F(GraphWindow, AHexadecimalColourIsRead) {
  WriteConfig("S2=0xFF\nS3=$FF0000\n");
  TfGraph& g = Create();
  EXPECT_EQ(g.Charts->SeriesColor(1), QColor(255, 0, 0));
  EXPECT_EQ(g.sp[1]->Color(), QColor(255, 0, 0));
  EXPECT_EQ(g.Charts->SeriesColor(2), QColor(0, 0, 255));
}

TEST_F(GraphWindow, StoredStepsAreClampedAndPositionsTakenAsTheyStand) {
  WriteConfig("XStep=1000\nYStep=1\nFormGraphTop=-5\nFormGraphLeft=30\nFormGraphWidth=500\nFormGraphHeight=900\n");
  TfGraph& g = Create();
  EXPECT_EQ(g.edXStep->value(), 300);
  EXPECT_EQ(g.Charts->BottomAxis().Increment(), 300);
  EXPECT_EQ(g.edYStep->value(), 2);
  EXPECT_EQ(g.pos(), QPoint(30, -5));
  EXPECT_EQ(g.size(), QSize(640, 900));
}

TEST_F(GraphWindow, AStoredMaximumEqualToTheMinimumIsIgnoredUntilTheFirstRedraw) {
  WriteConfig("YMax=0\nYMin=0\n");
  TfGraph& g = Create();
  EXPECT_EQ(YRange(g), (Range{0, 700}));
  EXPECT_EQ(g.edYMax->value(), 0);
  Show(g);
  EXPECT_EQ(g.edYMax->value(), 700);
  EXPECT_EQ(YRange(g), (Range{0, 700}));
}

TEST_F(GraphWindow, StoredBoundsApplyMaximumFirst) {
  WriteConfig("XMin=300\nXMax=500\n");
  TfGraph& g = Create();
  EXPECT_EQ(XRange(g), (Range{300, 500}));
}

TEST_F(GraphWindow, AStoredMinimumAboveTheMaximumIsIgnored) {
  WriteConfig("XMin=300\n");  // XMax stays 200
  TfGraph& g = Create();
  EXPECT_EQ(XRange(g), (Range{0, 200}));
  Show(g);
  EXPECT_EQ(g.edXMin->value(), 0);
}

TEST_F(GraphWindow, SaveSettingsWritesWhatTheBoxesShow) {
  WriteConfig("W2=3\nC4=0\nS5=255\n");
  TfGraph& g = CreateShown();
  g.bLeftClick();  // 0..200 becomes -50..150
  Settle(g);
  g.SaveSettings();
  SettingsFile f;
  const char* o = kSettingsSection;
  EXPECT_EQ(f.ReadInteger(o, "XMin", -1), 0);
  EXPECT_EQ(f.ReadInteger(o, "XMax", -1), 150);
  EXPECT_EQ(f.ReadInteger(o, "XStep", -1), 50);
  EXPECT_EQ(f.ReadInteger(o, "YMax", -1), 700);
  EXPECT_EQ(f.ReadInteger(o, "W2", -1), 3);
  EXPECT_EQ(f.ReadInteger(o, "C4", -1), 0);
  EXPECT_EQ(f.ReadInteger(o, "C1", -1), 1);
  EXPECT_EQ(f.ReadInteger(o, "S5", -1), 255);
  EXPECT_EQ(f.ReadInteger(o, "S1", -1), 32768);
  EXPECT_EQ(f.ReadInteger(o, "FormGraphWidth", -1), g.width());
  EXPECT_EQ(f.ReadInteger(o, "FormGraphTop", -99), g.y());
  EXPECT_TRUE(ConfigText().contains("C1=1\n")) << ConfigText().toStdString();
}

TEST_F(GraphWindow, SavedSettingsComeBackAtTheNextStart) {
  {
    TfGraph& g = Create();
    g.ed[8]->setValue(6);
    g.cb[9]->setChecked(false);
    g.edYStep->setValue(25);
    g.edXMax->setValue(600);
    g.SaveSettings();
  }
  TfGraph& g = Create();
  EXPECT_EQ(g.Charts->SeriesWidth(8), 6);
  EXPECT_FALSE(g.Charts->SeriesVisible(9));
  EXPECT_EQ(g.Charts->LeftAxis().Increment(), 25);
  EXPECT_EQ(XRange(g), (Range{0, 600}));
}

TEST_F(GraphWindow, AKeyThatCannotBeWrittenStopsTheSaveAndGoesToTheCaller) {
  TfGraph& g = Create();
  // A folder where the file should be makes every write fail.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("config.ini"));
  try {
    g.SaveSettings();
    FAIL() << "no error";
  } catch (const SettingsError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + SettingsFilePath());
  }
}

// ---- Bound boxes, steps and pans -----------------------------------------

TEST_F(GraphWindow, PanLeftPastTheBoxRangeKeepsTheAxisOutsideIt) {
  TfGraph& g = CreateShown();  // time axis 0..200, step 50
  g.bLeft->click();
  EXPECT_EQ(XRange(g), (Range{-50, 150}));
  Settle(g);
  EXPECT_EQ(g.edXMin->value(), 0);  // clamped, unchanged, nothing re-applied
  EXPECT_EQ(g.edXMax->value(), 150);
  EXPECT_EQ(XRange(g), (Range{-50, 150}));
  EXPECT_TRUE(CapturedErrors().isEmpty());
}

// The time boxes show a range past theirs clamped, and the chart keeps
// drawing it: a pan left of 0 stays where it went, and the next pan goes on
// from there.
TEST_F(GraphWindow, PanLeftPastTheMinimumBoxStaysWhereItWent) {
  TfGraph& g = CreateShown();
  g.edXMax->setValue(220);
  g.edXMin->setValue(20);
  Settle(g);
  ASSERT_EQ(XRange(g), (Range{20, 220}));
  g.bLeft->click();  // -30..170
  Settle(g);
  EXPECT_EQ(g.edXMin->value(), 0);
  EXPECT_EQ(g.edXMax->value(), 170);
  EXPECT_EQ(XRange(g), (Range{-30, 170}));
  g.bRight->click();
  Settle(g);
  EXPECT_EQ(XRange(g), (Range{20, 220}));
  EXPECT_EQ(g.edXMin->value(), 20);
}

TEST_F(GraphWindow, PanDownBelowZeroEndsWithTheMaximumClampedToo) {
  TfGraph& g = CreateShown();
  g.edYMax->setValue(30);  // value axis 0..30, step 50
  Settle(g);
  g.bDown->click();  // -50..-20, no error
  EXPECT_EQ(YRange(g), (Range{-50, -20}));
  Settle(g);
  EXPECT_EQ(g.edYMin->value(), -50);
  EXPECT_EQ(g.edYMax->value(), 0);
  EXPECT_EQ(YRange(g), (Range{-50, 0}));
  EXPECT_TRUE(CapturedErrors().isEmpty());
}

TEST_F(GraphWindow, PansUpAndRightKeepTheSpan) {
  TfGraph& g = CreateShown();
  g.bUp->click();
  g.bRight->click();
  EXPECT_EQ(YRange(g), (Range{50, 750}));
  EXPECT_EQ(XRange(g), (Range{50, 250}));
  Settle(g);
  EXPECT_EQ(g.edYMin->value(), 50);
  EXPECT_EQ(g.edXMax->value(), 250);
}

TEST_F(GraphWindow, RaisingTheMinimumToTheMaximumIsIgnoredAndUndoneOnScreen) {
  TfGraph& g = CreateShown();
  g.edXMin->setValue(200);
  EXPECT_EQ(XRange(g), (Range{0, 200}));
  Settle(g);
  EXPECT_EQ(g.edXMin->value(), 200);  // nothing redrew: the edit changed nothing
  g.Charts->RequestRedraw();
  Settle(g);
  EXPECT_EQ(g.edXMin->value(), 0);
}

TEST_F(GraphWindow, LoweringTheMaximumBelowAnAxisMinimumOutsideItsBoxIsRefused) {
  TfGraph& g = CreateShown();
  g.edYStep->setValue(500);
  g.edYMax->setValue(2000);
  g.edYMin->setValue(1700);
  Settle(g);
  g.bUp->click();  // 2200..2500, boxes keep 1700 and 2000
  Settle(g);
  ASSERT_EQ(YRange(g), (Range{2200, 2500}));
  ASSERT_EQ(g.edYMin->value(), 1700);
  ASSERT_EQ(g.edYMax->value(), 2000);
  QTest::keyClick(g.edYMax, Qt::Key_Down);
  EXPECT_EQ(TakeErrors(), QStringList{"Axis Maximum Value must be >= Minimum."});
  EXPECT_EQ(YRange(g), (Range{2200, 2500}));
}

TEST_F(GraphWindow, RaisingTheMinimumPastAnAxisMaximumOutsideItsBoxIsRefused) {
  TfGraph& g = CreateShown();
  g.edXMax->setValue(30);
  g.edXStep->setValue(10);
  Settle(g);
  g.bLeft->click();  // -10..20
  Settle(g);
  ASSERT_EQ(XRange(g), (Range{-10, 20}));
  ASSERT_EQ(g.edXMin->value(), 0);
  ASSERT_EQ(g.edXMax->value(), 30);
  for (int v = 1; v <= 20; ++v) {
    QTest::keyClick(g.edXMin, Qt::Key_Up);
    Settle(g);
  }
  EXPECT_EQ(XRange(g), (Range{20, 20}));
  EXPECT_TRUE(CapturedErrors().isEmpty());
  QTest::keyClick(g.edXMin, Qt::Key_Up);  // 21 < 30 passes the box test
  EXPECT_EQ(TakeErrors(), QStringList{"Axis Minimum Value must be <= Maximum."});
  EXPECT_EQ(XRange(g), (Range{20, 20}));
}

// The copy-back pulls the minimum up to its box's lowest value, above the
// axis maximum: the axis refuses, the message is shown, and the rest of the
// copy-back is not carried out.
TEST_F(GraphWindow, AFarPanBelowTheBoxRangeIsRefusedByTheCopyBack) {
  TfGraph& g = CreateShown();
  g.edYMax->setValue(50);
  g.edYStep->setValue(250);
  Settle(g);
  g.bDown->click();  // -250..-200
  Settle(g);
  EXPECT_EQ(TakeErrors(), QStringList{"Axis Minimum Value must be <= Maximum."});
  EXPECT_EQ(YRange(g), (Range{-250, -200}));
  EXPECT_EQ(g.edYMin->value(), -100);
  EXPECT_EQ(g.edYMax->value(), 50);
}

TEST_F(GraphWindow, TheCopyBackRoundsHalvesToEven) {
  TfGraph& g = CreateShown();
  g.Charts->BottomAxis().SetMinMax(10.5, 100.5);
  g.Charts->LeftAxis().SetMinMax(11.5, 101.5);
  Settle(g);
  EXPECT_EQ(XRange(g), (Range{10, 100}));
  EXPECT_EQ(YRange(g), (Range{12, 102}));
}

TEST_F(GraphWindow, AHiddenWindowCopiesNothing) {
  TfGraph& g = Create();
  g.bRightClick();
  QTest::qWait(50);
  EXPECT_EQ(g.edXMin->value(), 0);
  Show(g);
  EXPECT_EQ(g.edXMin->value(), 50);
}

// ---- Spin edits -------------------------------------------------------------

TEST_F(GraphWindow, SpinEditsTakeNoTypingAndStepOnlyByTheirStep) {
  TfGraph& g = CreateShown();
  g.edXMax->setFocus();
  QTest::keyClicks(g.edXMax, "5");
  QTest::keyClick(g.edXMax, Qt::Key_Backspace);
  EXPECT_EQ(g.edXMax->value(), 200);
  EXPECT_EQ(g.edXMax->text(), QString("200"));
  QTest::keyClick(g.edXMax, Qt::Key_Up);
  EXPECT_EQ(g.edXMax->value(), 210);
  EXPECT_EQ(XRange(g), (Range{0, 210}));
  QTest::keyClick(g.edXMax, Qt::Key_PageUp);
  EXPECT_EQ(g.edXMax->value(), 210);
  QTest::keyClick(g.edYMin, Qt::Key_Down);
  EXPECT_EQ(g.edYMin->value(), -5);
}

TEST_F(GraphWindow, ValuesGivenToSpinEditsAreClamped) {
  TfGraph& g = Create();
  g.edXMax->setValue(100000);
  EXPECT_EQ(g.edXMax->value(), 5000);
  g.edYMin->setValue(-1000);
  EXPECT_EQ(g.edYMin->value(), -100);
  g.ed[0]->setValue(0);
  EXPECT_EQ(g.ed[0]->value(), 1);
}

// ---- Series rows, colours, points -----------------------------------------

TEST_F(GraphWindow, TheColourDialogOpensOnTheSeriesColour) {
  WriteConfig("S5=255\n");
  TfGraph& g = CreateShown();
  QColor openedOn;
  auto answer = [&](QColor choice, bool accept) {
    QTimer::singleShot(0, &g, [&g, &openedOn, choice, accept] {
      openedOn = g.dlgColor->currentColor();
      g.dlgColor->setCurrentColor(choice);
      accept ? g.dlgColor->accept() : g.dlgColor->reject();
    });
  };
  answer(Qt::blue, true);
  QTest::mouseClick(g.sp[2], Qt::LeftButton);
  EXPECT_EQ(openedOn, QColor(0, 128, 0));
  EXPECT_EQ(g.sp[2]->Color(), QColor(Qt::blue));
  EXPECT_EQ(g.Charts->SeriesColor(2), QColor(Qt::blue));

  answer(Qt::yellow, false);  // a right click opens it too; cancelled
  QTest::mouseClick(g.sp[4], Qt::RightButton);
  EXPECT_EQ(openedOn, QColor(255, 0, 0));
  EXPECT_EQ(g.sp[4]->Color(), QColor(255, 0, 0));
  EXPECT_EQ(g.Charts->SeriesColor(4), QColor(255, 0, 0));

  answer(Qt::yellow, true);
  QTest::mouseClick(g.sp[2], Qt::LeftButton);
  EXPECT_EQ(openedOn, QColor(Qt::blue));
  EXPECT_EQ(g.Charts->SeriesColor(2), QColor(Qt::yellow));
}

TEST_F(GraphWindow, AHiddenLineKeepsTakingPointsAndShowsThemAllAgain) {
  TfGraph& g = CreateShown();
  QTest::mouseClick(g.cb[1], Qt::LeftButton, {}, QPoint(6, g.cb[1]->height() / 2));
  ASSERT_FALSE(g.cb[1]->isChecked());
  EXPECT_FALSE(g.Charts->SeriesVisible(1));
  for (int t = 0; t < 50; ++t) g.AddPoint(1, t, t);
  EXPECT_EQ(g.Charts->Series(1).Size(), 50u);
  g.cb[1]->setChecked(true);
  EXPECT_TRUE(g.Charts->SeriesVisible(1));
}

TEST_F(GraphWindow, ClearEmptiesEverySeriesButKeepsTheSettings) {
  TfGraph& g = CreateShown();
  g.ed[3]->setValue(4);
  g.cb[7]->setChecked(false);
  g.bRight->click();
  for (int s = 0; s < 13; ++s) g.AddPoint(s, s, s);
  QTest::mouseClick(g.Button1, Qt::LeftButton);
  for (int s = 0; s < 13; ++s) EXPECT_TRUE(g.Charts->Series(s).Empty()) << s;
  EXPECT_EQ(g.Charts->SeriesWidth(3), 4);
  EXPECT_FALSE(g.Charts->SeriesVisible(7));
  EXPECT_EQ(XRange(g), (Range{50, 250}));
}

TEST_F(GraphWindow, PointsKeepTheirXOrderAndIndicesOutsideTheListAreIgnored) {
  TfGraph& g = Create();
  g.AddPoint(11, 5, 1);
  g.AddPoint(11, 3, 2);
  g.AddPoint(11, 5, 3);
  g.AddPoint(13, 1, 1);
  g.AddPoint(-1, 1, 1);
  const SeriesData& s = g.Charts->Series(11);
  ASSERT_EQ(s.Size(), 3u);
  EXPECT_EQ(s.Y(0), 2);
  EXPECT_EQ(s.Y(1), 1);
  EXPECT_EQ(s.Y(2), 3);
}

TEST_F(GraphWindow, ClosingOnlyHides) {
  TfGraph& g = CreateShown();
  g.AddPoint(0, 1, 1);
  g.close();
  EXPECT_FALSE(g.isVisible());
  EXPECT_EQ(g.Charts->Series(0).Size(), 1u);
  Show(g);
  EXPECT_TRUE(g.isVisible());
}

// ---- Mouse gestures through the window -------------------------------------

TEST_F(GraphWindow, AZoomOnFractionalBoundsEndsOnWholeNumbers) {
  TfGraph& g = CreateShown();
  const PlotMapping p = g.Charts->Frame().plot;
  const QPoint a(p.left + p.width / 5 + 1, p.top + p.height / 7 + 1);
  const QPoint b(p.left + p.width * 3 / 5 + 2, p.top + p.height * 4 / 5 + 3);
  LeftDrag(g.Charts, a, b);
  const Range zx = XRange(g);
  EXPECT_NE(zx.min, std::round(zx.min));
  Settle(g);
  for (double v : {XRange(g).min, XRange(g).max, YRange(g).min, YRange(g).max}) EXPECT_EQ(v, std::round(v)) << v;
  EXPECT_EQ(g.edXMin->value(), XRange(g).min);
  EXPECT_NEAR(XRange(g).min, zx.min, 0.5);
  EXPECT_NEAR(XRange(g).max, zx.max, 0.5);
  // And back with a drag up and to the left.
  LeftDrag(g.Charts, b, a);
  Settle(g);
  EXPECT_EQ(XRange(g), (Range{0, 200}));
  EXPECT_EQ(YRange(g), (Range{0, 700}));
}

TEST_F(GraphWindow, ShortLeftDragsNeitherZoomNorUndo) {
  TfGraph& g = CreateShown();
  const PlotMapping p = g.Charts->Frame().plot;
  const QPoint a(p.left + 50, p.top + 50);
  LeftDrag(g.Charts, a, a + QPoint(200, 200));
  Settle(g);
  const Range x = XRange(g), y = YRange(g);
  LeftDrag(g.Charts, a + QPoint(100, 100), a + QPoint(84, 84));  // 16 up-left: no undo
  LeftDrag(g.Charts, a, a + QPoint(16, 100));                    // 16 across: no zoom
  Settle(g);
  EXPECT_EQ(XRange(g), x);
  EXPECT_EQ(YRange(g), y);
}

}  // namespace
}  // namespace o5
