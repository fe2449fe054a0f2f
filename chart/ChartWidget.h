#pragma once
// The chart as a widget: thirteen line series against a left (Y) and a bottom
// (X) axis, both set by hand, with mouse zoom (left drag), pan (right drag) and
// undo (left drag in any direction but towards the lower right); a right click
// that does not move asks for the context menu. Any change
// asks for a redraw; requests merge until the redraw happens. AfterDraw is
// emitted from the event loop once a redraw has finished, so that its handlers
// may change the chart or raise errors without disturbing the painting.

#include <QColor>
#include <QWidget>

#include "chart/ChartGestures.h"
#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"

namespace o5 {

class ChartWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSeriesCount = ChartModel::kSeriesCount;

  explicit ChartWidget(QWidget* parent = nullptr);

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

  ChartAxis& LeftAxis() { return model_.LeftAxis(); }
  ChartAxis& BottomAxis() { return model_.BottomAxis(); }

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

 private:
  bool InGestureArea(const QPoint& pos, const ChartFrame& frame) const;
  void NotifyAfterDraw();

  ChartModel model_;
  ChartRenderer renderer_;
  ChartGestures gestures_;
  bool redrawPending_ = false;
  bool afterDrawPending_ = false;
  QPoint rightPress_;        // where the right button went down for a pan
  bool rightMoved_ = false;  // the pointer has moved since: a pan, not a click
};

}  // namespace o5
