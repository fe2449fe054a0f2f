// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart as a widget: thirteen line series against a left (Y) and a bottom
// (X) axis, both set by hand, with mouse zoom (left drag), pan (right drag) and
// undo (left drag in any direction but towards the lower right); a right click
// that does not move asks for the context menu. Any change
// asks for a redraw; requests merge until the redraw happens. AfterDraw is
// emitted from the event loop once a redraw has finished, so that its handlers
// may change the chart or raise errors without disturbing the painting.
//
// Over the plot the mouse reads the series out: a thin line at its X and a box
// beside it with the time and each shown series' value there (and the
// changes from cursor A to B). Over the strip of modes a hover names the mode,
// over a fault mark the fault. The chart is kept as a picture between
// redraws, so that the line and the box follow the mouse without drawing the
// series again.
//
// The keyboard reads the series out as the mouse does: with the focus on the
// chart, Left and Right move a cursor from point to point along the time
// axis (Shift: ten points; Home, End: the first and the last shown), with
// the same line and box; the chart's accessible description then reads the
// box's lines, otherwise it says what the chart shows.

#include <QColor>
#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPainter;

#include "chart/ChartGestures.h"
#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"

namespace o5 {

class ChartWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSeriesCount = ChartModel::kSeriesCount;

  explicit ChartWidget(QWidget* parent = nullptr);

  const ChartModel& Model() const { return model_; }
  const SeriesData& Series(int index) const { return model_.Series(index); }
  // Index 0..12; others are ignored.
  void AddPoint(int index, double x, double y) { model_.AddPoint(index, x, y); }
  void ClearSeries(int index) { model_.ClearSeries(index); }

  void SetSeriesColor(int index, const QColor& color);
  QColor SeriesColor(int index) const;
  void SetSeriesWidth(int index, int width) { model_.SetWidth(index, width); }
  int SeriesWidth(int index) const { return model_.Style(index).width; }
  void SetSeriesVisible(int index, bool visible) { model_.SetVisible(index, visible); }
  bool SeriesVisible(int index) const { return model_.Style(index).visible; }

  void SetSeriesName(int index, const std::string& name) { model_.SetName(index, name); }

  ChartAxis& LeftAxis() { return model_.LeftAxis(); }
  ChartAxis& BottomAxis() { return model_.BottomAxis(); }

  // Cursors A and B, at a time; cleared together.
  void SetCursor(Cursor which, double x) { model_.SetCursor(which, x); }
  std::optional<double> CursorX(Cursor which) const { return model_.CursorX(which); }
  void ClearCursors() { model_.ClearCursors(); }
  // The time under a point of the widget (its X only).
  double XAt(const QPoint& pos) const;

  // Where the keyboard's cursor stands; none until Left, Right, Home or End
  // is pressed, and again once the mouse reads the chart.
  std::optional<double> KeyboardX() const { return keyX_; }
  // The keyboard's cursor at x (none: taken away).
  void SetKeyboardX(std::optional<double> x);
  // The latest request for the menu came from the keyboard.
  bool MenuFromKeyboard() const { return menuFromKeyboard_; }
  // What the chart shows, for its accessible description.
  void SetShownDescription(const QString& text);

  void SetTimeline(ChartTimeline timeline) { model_.SetTimeline(std::move(timeline)); }
  void SetTimelineShown(bool shown) { model_.SetTimelineShown(shown); }
  bool TimelineShown() const { return model_.Timeline().shown; }

  // The chart as drawn, without the mouse's line and box, in device pixels.
  QImage Picture();
  // The box of values under the mouse; hidden while the mouse is elsewhere.
  QLabel* ReadoutBox() const { return readout_; }
  // What a hover over the strip says at this point of the widget; empty
  // where there is nothing to name.
  QString TimelineHint(const QPoint& pos) const;

  void RequestRedraw();
  // A redraw, or the notification after one, is still to come.
  bool RedrawPending() const { return redrawPending_ || afterDrawPending_; }
  // Geometry of the chart as it is drawn now (mouse gestures use it too).
  ChartFrame Frame() const;
  bool CanUndo() const { return gestures_.CanUndo(); }

 signals:
  void AfterDraw();
  // A right click without a drag, or the keyboard's menu key: the owner shows
  // its context menu at `globalPos`.
  void ContextMenuRequested(const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool InGestureArea(const QPoint& pos, const ChartFrame& frame) const;
  void NotifyAfterDraw();
  void RenderPicture();
  void Hover(const QPoint& pos);
  void EndHover();
  void ShowReadout();
  // The distinct times of the shown series' points within the time axis.
  std::vector<double> KeyboardStops() const;
  void DescribeReadout(const QStringList& lines);
  void PaintFocus(QPainter& painter) const;

  ChartModel model_;
  ChartRenderer renderer_;
  ChartGestures gestures_;
  bool redrawPending_ = false;
  bool afterDrawPending_ = false;
  QPoint rightPress_;        // where the right button went down for a pan
  bool rightMoved_ = false;  // the pointer has moved since: a pan, not a click
  QImage picture_;            // the chart as last drawn
  bool pictureStale_ = true;  // the model changed since
  std::optional<int> hoverX_;  // pixel column of the mouse over the plot
  QLabel* readout_;
  std::optional<double> keyX_;
  bool menuFromKeyboard_ = false;
  QString shownDescription_;
};

}  // namespace o5
