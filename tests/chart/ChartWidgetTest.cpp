// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <QLabel>

#include "chart/ChartReadout.h"
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

// The reduction must not change the picture: dense, noisy data drawn with
// and without it gives the same pixels, at several ranges and widths.
QImage DrawModel(const ChartModel& model, bool reduce) {
  QImage img(1000, 600, QImage::Format_ARGB32_Premultiplied);
  ChartRenderer r;
  r.SetReduction(reduce);
  QPainter painter(&img);
  r.Draw(painter, ChartRenderer::Layout(img.rect(), painter.font(), model), img.rect(), model);
  return img;
}

int Inked(const QImage& img) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) != 0xFFFFFFFFu;
  return n;
}

TEST(ChartRendering, TheReducedDrawingIsTheSamePictureAsDrawingEveryPoint) {
  ChartModel model;
  std::mt19937 rng(5);
  std::normal_distribution<double> noise(0, 20);
  for (int s = 0; s < 4; ++s) {
    double y = 300;
    for (int i = 0; i < 60000; ++i) {
      // Noise, and stretches where the value stands still.
      const bool flat = (i / 500) % 3 == 0;
      if (!flat) y = std::clamp(y + noise(rng), 0.0, 700.0);
      model.AddPoint(s, i * 0.25, std::round(y));
    }
    model.SetColor(s, 0xFF0000u >> (8 * (s % 3)));
  }
  struct View {
    double from, to;
  };
  for (int width : {1, 2, 3, 9}) {
    for (int s = 0; s < 4; ++s) model.SetWidth(s, width);
    for (const View v : {View{0, 15000}, View{1000.3, 13000.7}, View{2000, 2300}, View{5000.1, 5100.9}}) {
      SCOPED_TRACE(testing::Message() << "width " << width << ", " << v.from << ".." << v.to);
      model.BottomAxis().SetMinMax(v.from, v.to);
      const QImage reduced = DrawModel(model, true);
      const QImage full = DrawModel(model, false);
      EXPECT_GT(Inked(full), 20000);
      int differing = 0;
      for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) differing += reduced.pixel(x, y) != full.pixel(x, y);
      EXPECT_EQ(differing, 0);
    }
  }
}

// Drawn straight into an image, the chart fills some of its pixels itself;
// drawn on a pixmap, QPainter draws all of them. The pictures are the same.
TEST(ChartRendering, PixelsFilledDirectlyAreThoseQPainterWouldDraw) {
  ChartModel model;
  std::mt19937 rng(6);
  std::normal_distribution<double> noise(0, 30);
  for (int s = 0; s < 13; ++s) {
    double y = 50 * s;
    for (int i = 0; i < 20000; ++i) model.AddPoint(s, i, y = std::clamp(y + noise(rng), -50.0, 750.0));
    model.SetColor(s, 0x101010u * s + 0x0000FFu);
    model.SetWidth(s, 1 + s % 9);
  }
  model.BottomAxis().SetMinMax(-100, 19000);
  QImage image(900, 500, QImage::Format_ARGB32_Premultiplied);
  QPixmap pixmap(image.size());
  ChartRenderer r;
  for (QPaintDevice* device : {static_cast<QPaintDevice*>(&image), static_cast<QPaintDevice*>(&pixmap)}) {
    QPainter painter(device);
    r.Draw(painter, ChartRenderer::Layout(image.rect(), painter.font(), model), image.rect(), model);
  }
  const QImage viaPainter = pixmap.toImage().convertToFormat(image.format());
  int differing = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) differing += image.pixel(x, y) != viaPainter.pixel(x, y);
  EXPECT_EQ(differing, 0);
}

// A line that stands still is one pixel row high, wherever its value falls
// between two rows and however many points share a pixel column.
TEST(ChartRendering, AFlatStretchIsOnePixelRow) {
  for (bool reduce : {true, false}) {
    ChartModel model;
    model.LeftAxis().SetMinMax(0, 30);
    model.BottomAxis().SetMinMax(0, 86400);
    // Thirteen lines at values that fall all over the rows' heights.
    for (int s = 0; s < 13; ++s) {
      for (int t = 0; t <= 86400; ++t) model.AddPoint(s, t, 1 + s * 2.13);
      model.SetColor(s, 0x000080u + s);
    }
    const QImage img = DrawModel(model, reduce);
    const PlotMapping p = ChartRenderer::Layout(img.rect(), QFont(), model).plot;
    for (int s = 0; s < 13; ++s) {
      const QRgb ink = QColor::fromRgb(0x000080u + s).rgb();
      for (int x = p.left; x <= p.Right(); x += 7) {
        int rows = 0;
        for (int y = p.top; y <= p.Bottom(); ++y) rows += img.pixel(x, y) == ink;
        ASSERT_EQ(rows, 1) << "series " << s << ", column " << x << (reduce ? ", reduced" : ", every point");
      }
    }
  }
}

// At a deep zoom both ends of a segment lie millions of pixels away; the
// part of it that crosses the plot is drawn where it crosses.
TEST(ChartRendering, ASegmentThroughADeepZoomCrossesThePlotWhereItShould) {
  for (bool reduce : {true, false}) {
    ChartModel model;
    // The line crosses 0 at t = 75, nearly upright at this zoom.
    model.AddPoint(0, 0, -300);
    model.AddPoint(0, 100, 100);
    model.SetColor(0, 0x0000C0u);
    model.BottomAxis().SetMinMax(74.99, 75.01);
    model.LeftAxis().SetMinMax(-0.001, 0.001);
    const QImage img = DrawModel(model, reduce);
    const PlotMapping p = ChartRenderer::Layout(img.rect(), QFont(), model).plot;
    const QRgb ink = QColor::fromRgb(0x0000C0u).rgb();
    const int middle = p.top + p.height / 2;
    int inked = -1;
    for (int x = p.left; x <= p.Right(); ++x)
      if (img.pixel(x, middle) == ink) inked = x;
    ASSERT_GE(inked, 0) << (reduce ? "reduced" : "every point");
    EXPECT_NEAR(inked, p.left + p.width / 2, 3);
  }
}

// A renderer keeps its reductions and their pixels from one drawing to the
// next: whatever changed in between, it draws what a new one draws.
TEST(ChartRendering, AKeptRendererDrawsWhatANewOneDraws) {
  ChartModel model;
  std::mt19937 rng(8);
  std::normal_distribution<double> noise(0, 15);
  const auto fill = [&](int s, int from, int to) {
    for (int t = from; t < to; ++t) model.AddPoint(s, t, 300 + 100 * std::sin(t / 700.0 + s) + noise(rng));
  };
  for (int s = 0; s < 3; ++s) fill(s, 0, 20000);
  model.BottomAxis().SetMinMax(0, 30000);
  ChartRenderer kept;
  QImage img(1000, 600, QImage::Format_ARGB32_Premultiplied);
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {"first drawing", [] {}},
      {"the same again", [] {}},
      {"points appended in view", [&] { fill(0, 20000, 20100); }},
      {"points appended beyond the view", [&] { fill(1, 31000, 31100); }},
      {"a late point", [&] { model.AddPoint(2, 5000.5, 650); }},
      {"a deep zoom", [&] { model.BottomAxis().SetMinMax(7000.001, 7000.002); }},
      {"the value axis moved", [&] { model.LeftAxis().SetMinMax(-100, 600); }},
      {"back to the whole", [&] { model.BottomAxis().SetMinMax(0, 30000); }},
      {"a series filled again, as many points", [&] { model.ClearSeries(0), fill(0, 0, 20100); }},
      {"a series hidden", [&] { model.SetVisible(1, false); }},
  };
  for (const auto& [what, change] : steps) {
    change();
    QPainter painter(&img);
    kept.Draw(painter, ChartRenderer::Layout(img.rect(), painter.font(), model), img.rect(), model);
    painter.end();
    EXPECT_TRUE(img == DrawModel(model, true)) << what;
  }
}

// ---- values under the mouse, cursors, modes and faults -----------------------

class ChartReadoutTest : public ChartWidgetTest {
 protected:
  void SetUp() override {
    ChartWidgetTest::SetUp();
    for (int s = 0; s < 13; ++s) chart.SetSeriesName(s, "Ряд " + std::to_string(s + 1));
    for (int t = 0; t <= 200; t += 10) {
      chart.AddPoint(0, t, t * 2);
      chart.AddPoint(1, t, 700 - t);
    }
    chart.SetSeriesColor(0, QColor(200, 0, 0));
    for (int s = 2; s < 13; ++s) chart.SetSeriesVisible(s, false);
    Settle();
  }
  void Settle() { ASSERT_TRUE(QTest::qWaitFor([&] { return !chart.RedrawPending(); }, 20000)); }
  void MoveTo(QPoint pos) { Mouse(&chart, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton); }
  QPoint AtTime(double x, double fy = 0.5) {
    const PlotMapping p = chart.Frame().plot;
    return {static_cast<int>(std::lround(p.XToPixel(x))), p.top + static_cast<int>(fy * (p.height - 1))};
  }
  QString BoxText() const { return chart.ReadoutBox()->accessibleName(); }
};

TEST_F(ChartReadoutTest, TheBoxReadsEachShownSeriesAtTheMousesTime) {
  EXPECT_FALSE(chart.ReadoutBox()->isVisible());
  MoveTo(AtTime(55));
  ASSERT_TRUE(chart.ReadoutBox()->isVisible());
  const PlotMapping p = chart.Frame().plot;
  // The point at or before the mouse's time, not the nearer one after it.
  const QStringList lines = BoxText().split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith("t = 55")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(" с")) << lines[0].toStdString();
  EXPECT_EQ(lines[1], "Ряд 1: 100");
  EXPECT_EQ(lines[2], "Ряд 2: 650");
  EXPECT_TRUE(chart.ReadoutBox()->text().contains("#c80000")) << chart.ReadoutBox()->text().toStdString();
  // A line at the mouse's X, drawn over the chart.
  const QImage shown = chart.grab().toImage();
  EXPECT_EQ(shown.pixelColor(AtTime(55).x(), p.top + 2), QColor(90, 90, 90));

  MoveTo(AtTime(-1, 0.5) - QPoint(5, 0));  // left of the plot
  EXPECT_FALSE(chart.ReadoutBox()->isVisible());
  MoveTo(AtTime(120));
  EXPECT_TRUE(chart.ReadoutBox()->isVisible());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&chart, &leave);
  EXPECT_FALSE(chart.ReadoutBox()->isVisible());

  // Hidden while a gesture runs.
  MoveTo(AtTime(120));
  Mouse(&chart, QEvent::MouseButtonPress, AtTime(120), Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(chart.ReadoutBox()->isVisible());
  Mouse(&chart, QEvent::MouseMove, AtTime(150, 0.8), Qt::NoButton, Qt::LeftButton);
  EXPECT_FALSE(chart.ReadoutBox()->isVisible());
  Mouse(&chart, QEvent::MouseButtonRelease, AtTime(150, 0.8), Qt::LeftButton, Qt::NoButton);
}

TEST_F(ChartReadoutTest, WithBothCursorsTheBoxGivesTheirDistanceAndEachChange) {
  chart.SetCursor(Cursor::kA, 20);
  MoveTo(AtTime(100));
  EXPECT_EQ(BoxText().split('\n').size(), 3);
  chart.SetCursor(Cursor::kB, 50);
  Settle();
  const QStringList lines = BoxText().split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[1], "Δt = 30 с");
  EXPECT_TRUE(lines[2].endsWith("  Δ = 60")) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].endsWith("  Δ = -30")) << lines[3].toStdString();

  // Each cursor is a line in the picture, and goes with the data on a zoom.
  auto cursorColumn = [&](double x) {
    const QImage img = chart.Picture();
    const PlotMapping p = chart.Frame().plot;
    const int px = static_cast<int>(std::lround(p.XToPixel(x)));
    int inked = 0;
    for (int y = p.top; y <= p.Bottom(); ++y) inked += img.pixelColor(px, y) == QColor(0, 0, 160);
    return inked;
  };
  EXPECT_GT(cursorColumn(20), 50);
  EXPECT_GT(cursorColumn(50), 50);
  chart.BottomAxis().SetMinMax(10, 60);
  EXPECT_GT(cursorColumn(20), 50);
  EXPECT_EQ(*chart.CursorX(Cursor::kB), 50);
  chart.ClearCursors();
  EXPECT_EQ(cursorColumn(20), 0);
  EXPECT_FALSE(chart.CursorX(Cursor::kA));
}

TEST_F(ChartReadoutTest, TheStripIsColouredByModeAndMarksWhereAFaultComes) {
  for (int t = 0; t <= 200; t += 10) {
    chart.AddPoint(10, t, t < 80 ? 3 : 21);
    chart.AddPoint(11, t, t < 120 ? 0 : t < 160 ? 13 : 5);
  }
  ChartTimeline timeline;
  timeline.modeSeries = 10;
  timeline.faultSeries = 11;
  timeline.shown = true;
  timeline.modeColor = [](int mode) { return mode == 3 ? 0xFF8000u : 0xFFFF00u; };
  timeline.modeText = [](int mode) { return std::to_string(mode) + " - режим"; };
  timeline.faultText = [](int code) { return "неисправность " + std::to_string(code); };
  const int plotHeight = chart.Frame().plot.height;
  chart.SetTimeline(timeline);
  Settle();
  const ChartFrame f = chart.Frame();
  ASSERT_FALSE(f.strip.isEmpty());
  EXPECT_LT(f.plot.height, plotHeight);
  const QImage img = chart.Picture();
  const int y = f.strip.center().y();
  EXPECT_EQ(img.pixelColor(AtTime(40).x(), y), QColor(0xFF, 0x80, 0));
  EXPECT_EQ(img.pixelColor(AtTime(100).x(), y), QColor(0xFF, 0xFF, 0));
  EXPECT_EQ(chart.TimelineHint(QPoint(AtTime(40).x(), y)), "3 - режим");
  EXPECT_EQ(chart.TimelineHint(QPoint(AtTime(100).x(), y)), "21 - режим");
  // Marks where the code becomes 13 and where it becomes 5, not where it is 0.
  const std::vector<FaultMark> marks = ChartRenderer::FaultMarks(f, chart.font(), chart.Model());
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].code, 13);
  EXPECT_EQ(marks[0].box.left(), AtTime(120).x());
  EXPECT_EQ(marks[1].code, 5);
  EXPECT_EQ(img.pixelColor(marks[0].box.left(), y), QColor(200, 0, 0));
  EXPECT_EQ(chart.TimelineHint(QPoint(marks[1].box.left() + 1, y)), "неисправность 5");
  EXPECT_TRUE(chart.TimelineHint(AtTime(100)).isEmpty());  // over the plot

  chart.SetTimelineShown(false);
  EXPECT_TRUE(chart.Frame().strip.isEmpty());
  EXPECT_EQ(chart.Frame().plot.height, plotHeight);
}
}  // namespace
}  // namespace o5
