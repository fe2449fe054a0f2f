#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <random>

#include "chart/ChartRenderer.h"
#include "chart/ChartWidget.h"
#include "tests/support/ErrorCapture.h"

namespace o5 {
namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void Drag(QWidget* w, Qt::MouseButton button, QPoint from, QPoint to, int steps = 4) {
  Mouse(w, QEvent::MouseButtonPress, from, button, button);
  for (int i = 1; i <= steps; ++i) Mouse(w, QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, button);
  Mouse(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

struct Bounds {
  double xMin, xMax, yMin, yMax;
  bool operator==(const Bounds&) const = default;
};
Bounds BoundsOf(ChartWidget& c) {
  return {c.BottomAxis().Minimum(), c.BottomAxis().Maximum(), c.LeftAxis().Minimum(), c.LeftAxis().Maximum()};
}
std::ostream& operator<<(std::ostream& os, const Bounds& b) {
  return os << "x " << b.xMin << ".." << b.xMax << " y " << b.yMin << ".." << b.yMax;
}

class ChartWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart.resize(800, 600);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.RequestRedraw();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chart.RedrawPending(); }, 20000));
  }
  QPoint PlotPoint(double fx, double fy) {
    const PlotMapping p = chart.Frame().plot;
    return {p.left + static_cast<int>(fx * (p.width - 1)), p.top + static_cast<int>(fy * (p.height - 1))};
  }
  ChartWidget chart;
};

TEST_F(ChartWidgetTest, ADragTowardsTheLowerRightZoomsToTheDataUnderTheRectangle) {
  const PlotMapping p = chart.Frame().plot;
  const QPoint a = PlotPoint(0.25, 0.25), b = PlotPoint(0.5, 0.75);
  Drag(&chart, Qt::LeftButton, a, b);
  const Bounds z = BoundsOf(chart);
  EXPECT_NEAR(z.xMin, p.PixelToX(a.x()), 1e-9);
  EXPECT_NEAR(z.xMax, p.PixelToX(b.x()), 1e-9);
  EXPECT_NEAR(z.yMin, p.PixelToY(b.y()), 1e-9);
  EXPECT_NEAR(z.yMax, p.PixelToY(a.y()), 1e-9);
  EXPECT_NEAR(z.xMin, 50, 1);
  EXPECT_NEAR(z.yMax, 525, 2);
  EXPECT_TRUE(chart.CanUndo());
}

TEST_F(ChartWidgetTest, DragsOfSixteenPixelsOrLessDoNothing) {
  const Bounds before = BoundsOf(chart);
  const QPoint a = PlotPoint(0.3, 0.3);
  Drag(&chart, Qt::LeftButton, a, a + QPoint(16, 300));
  Drag(&chart, Qt::LeftButton, a, a + QPoint(300, 16));
  Drag(&chart, Qt::LeftButton, a, a + QPoint(-16, -16));
  EXPECT_EQ(BoundsOf(chart), before);
  EXPECT_FALSE(chart.CanUndo());
  Drag(&chart, Qt::LeftButton, a, a + QPoint(17, 17));
  EXPECT_NE(BoundsOf(chart), before);
}

TEST_F(ChartWidgetTest, ADragInAnyOtherDirectionUndoesBackToBeforeTheFirstGesture) {
  const Bounds start = BoundsOf(chart);
  Drag(&chart, Qt::LeftButton, PlotPoint(0.1, 0.1), PlotPoint(0.9, 0.9));
  Drag(&chart, Qt::LeftButton, PlotPoint(0.1, 0.1), PlotPoint(0.5, 0.5));
  Drag(&chart, Qt::RightButton, PlotPoint(0.5, 0.5), PlotPoint(0.6, 0.6));
  ASSERT_NE(BoundsOf(chart), start);
  Drag(&chart, Qt::LeftButton, PlotPoint(0.6, 0.6), PlotPoint(0.7, 0.2));  // up and to the right
  EXPECT_EQ(BoundsOf(chart), start);
  EXPECT_FALSE(chart.CanUndo());
}

TEST_F(ChartWidgetTest, UndoWithNothingToUndoChangesNothing) {
  chart.BottomAxis().SetMinMax(10, 20);  // set by the program, not by a gesture
  const Bounds before = BoundsOf(chart);
  Drag(&chart, Qt::LeftButton, PlotPoint(0.8, 0.8), PlotPoint(0.2, 0.2));
  EXPECT_EQ(BoundsOf(chart), before);
}

TEST_F(ChartWidgetTest, APressOnAnAxisStartsAGestureButOneElsewhereDoesNot) {
  const ChartFrame f = chart.Frame();
  const Bounds before = BoundsOf(chart);
  Drag(&chart, Qt::LeftButton, QPoint(3, 3), QPoint(400, 400));  // above the plot, left of it
  EXPECT_EQ(BoundsOf(chart), before);
  const QPoint onLeftAxis(f.leftAxisArea.center().x(), f.plot.top + 10);
  Drag(&chart, Qt::LeftButton, onLeftAxis, PlotPoint(0.5, 0.5));
  EXPECT_NE(BoundsOf(chart), before);
}

TEST_F(ChartWidgetTest, ARightDragKeepsTheDataUnderThePointer) {
  const PlotMapping p = chart.Frame().plot;
  const QPoint a = PlotPoint(0.5, 0.5);
  const double x = p.PixelToX(a.x()), y = p.PixelToY(a.y());
  const QPoint b = a + QPoint(-120, 80);
  Drag(&chart, Qt::RightButton, a, b, 6);
  const PlotMapping q = chart.Frame().plot;
  EXPECT_NEAR(q.PixelToX(b.x()), x, 1e-6);
  EXPECT_NEAR(q.PixelToY(b.y()), y, 1e-6);
  EXPECT_NEAR(q.xMax - q.xMin, 200, 1e-9);
  EXPECT_NEAR(q.yMax - q.yMin, 700, 1e-9);
}

TEST_F(ChartWidgetTest, LeavingThePlotAreaEndsThePan) {
  const QPoint a = PlotPoint(0.5, 0.5);
  Mouse(&chart, QEvent::MouseButtonPress, a, Qt::RightButton, Qt::RightButton);
  Mouse(&chart, QEvent::MouseMove, a + QPoint(10, 0), Qt::NoButton, Qt::RightButton);
  const Bounds moved = BoundsOf(chart);
  EXPECT_NE(moved.xMin, 0);
  Mouse(&chart, QEvent::MouseMove, QPoint(2, 2), Qt::NoButton, Qt::RightButton);  // out
  Mouse(&chart, QEvent::MouseMove, a, Qt::NoButton, Qt::RightButton);             // back in
  Mouse(&chart, QEvent::MouseMove, a + QPoint(50, 50), Qt::NoButton, Qt::RightButton);
  Mouse(&chart, QEvent::MouseButtonRelease, a, Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(BoundsOf(chart), moved);
}

TEST_F(ChartWidgetTest, ARedrawIsFollowedByOneNotificationAndRequestsMerge) {
  QSignalSpy spy(&chart, &ChartWidget::AfterDraw);
  for (int i = 0; i < 500; ++i) chart.AddPoint(i % 13, i, i);
  EXPECT_TRUE(chart.RedrawPending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !chart.RedrawPending(); }, 20000));
  EXPECT_EQ(spy.count(), 1);
}

TEST_F(ChartWidgetTest, AHiddenChartDrawsNothingButKeepsTakingPoints) {
  chart.hide();
  QCoreApplication::processEvents();
  QSignalSpy spy(&chart, &ChartWidget::AfterDraw);
  chart.SetSeriesVisible(4, false);
  for (int i = 0; i < 10; ++i) chart.AddPoint(4, i, i);
  QTest::qWait(50);
  EXPECT_EQ(spy.count(), 0);
  EXPECT_EQ(chart.Series(4).Size(), 10u);
  chart.show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() > 0; }, 20000));
}

TEST_F(ChartWidgetTest, ErrorsRaisedByTheNotificationReachTheErrorDisplay) {
  test::TakeErrors();
  QObject::connect(&chart, &ChartWidget::AfterDraw, &chart, [&] { chart.BottomAxis().SetMinimum(1e9); },
                   Qt::SingleShotConnection);
  chart.RequestRedraw();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !test::CapturedErrors().isEmpty(); }, 20000));
  EXPECT_EQ(test::TakeErrors(), QStringList{"Axis Minimum Value must be <= Maximum."});
}

// The reduction must not change the picture: draw dense, noisy data with and
// without it and compare the pixels. Only single pixels where a line ends may
// differ (aliased line ends and square caps fall a little differently when a
// column's run is drawn as one stroke instead of many).
struct PictureDifference {
  int differing = 0;
  int inked = 0;  // pixels drawn in either picture
};

PictureDifference CompareReducedWithFull(int lineWidth) {
  ChartModel model;
  std::mt19937 rng(5);
  std::normal_distribution<double> noise(0, 20);
  for (int s = 0; s < 3; ++s) {
    double y = 300;
    for (int i = 0; i < 60000; ++i) model.AddPoint(s, i * 0.25, y = std::clamp(y + noise(rng), 0.0, 700.0));
    model.SetColor(s, 0xFF0000u >> (8 * s));
    model.SetWidth(s, lineWidth);
  }
  model.BottomAxis().SetMinMax(1000.3, 13000.7);
  QImage a(1000, 600, QImage::Format_ARGB32_Premultiplied), b(a.size(), a.format());
  ChartRenderer r;
  for (QImage* img : {&a, &b}) {
    QPainter painter(img);
    r.SetReduction(img == &a);
    r.Draw(painter, ChartRenderer::Layout(img->rect(), painter.font(), model), img->rect(), model);
  }
  const PlotMapping p = ChartRenderer::Layout(a.rect(), QFont(), model).plot;
  PictureDifference d;
  const QRgb grid = QColor(190, 190, 190).rgb();
  for (int y = p.top; y <= p.Bottom(); ++y)
    for (int x = p.left; x <= p.Right(); ++x) {
      const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
      d.differing += pa != pb;
      d.inked += (pa != 0xFFFFFFFFu && pa != grid) || (pb != 0xFFFFFFFFu && pb != grid);
    }
  return d;
}

TEST(ChartRendering, TheReducedDrawingLooksLikeDrawingEveryPoint) {
  for (int width : {1, 3}) {
    const PictureDifference d = CompareReducedWithFull(width);
    EXPECT_GT(d.inked, 50000) << "width " << width;
    EXPECT_LT(d.differing, d.inked / 500) << "width " << width << ": " << d.differing << " of " << d.inked;
  }
}

}  // namespace
}  // namespace o5
