#include "chart/ChartWidget.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace o5 {

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent), gestures_(model_.BottomAxis(), model_.LeftAxis()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(100, 80);
  model_.SetChangeHandler([this] { RequestRedraw(); });
}

void ChartWidget::SetSeriesColor(int index, const QColor& color) {
  model_.SetColor(index, color.rgb() & 0xFFFFFFu);
}

QColor ChartWidget::SeriesColor(int index) const { return QColor::fromRgb(model_.Style(index).rgb); }

void ChartWidget::RequestRedraw() {
  // Points arrive many times a second; one update() per pending redraw is enough.
  if (redrawPending_) return;
  redrawPending_ = true;
  update();
}

ChartFrame ChartWidget::Frame() const { return ChartRenderer::Layout(rect(), font(), model_); }

void ChartWidget::paintEvent(QPaintEvent*) {
  redrawPending_ = false;
  const ChartFrame frame = Frame();
  std::optional<QRect> band;
  if (gestures_.Zooming())
    band = QRect(QPoint(qRound(gestures_.BandX0()), qRound(gestures_.BandY0())),
                 QPoint(qRound(gestures_.BandX1()), qRound(gestures_.BandY1())));
  {
    QPainter painter(this);
    renderer_.Draw(painter, frame, rect(), model_, band);
  }
  NotifyAfterDraw();
}

void ChartWidget::NotifyAfterDraw() {
  // Handlers of the notification set axis bounds and may raise errors; neither
  // belongs inside a paint event, so it is delivered from the event loop.
  if (afterDrawPending_) return;
  afterDrawPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        afterDrawPending_ = false;
        emit AfterDraw();
      },
      Qt::QueuedConnection);
}

bool ChartWidget::InGestureArea(const QPoint& pos, const ChartFrame& frame) const {
  return frame.plot.Contains(pos.x(), pos.y()) || frame.leftAxisArea.contains(pos) ||
         frame.bottomAxisArea.contains(pos);
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const ChartFrame frame = Frame();
  if (gestures_.Zooming() || gestures_.Panning() || !InGestureArea(pos, frame)) {
    QWidget::mousePressEvent(event);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    gestures_.BeginZoom(pos.x(), pos.y());
    RequestRedraw();
  } else if (event->button() == Qt::RightButton) {
    gestures_.BeginPan(pos.x(), pos.y(), frame.plot);
    rightPress_ = pos;
    rightMoved_ = false;
  }
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (gestures_.Zooming()) {
    gestures_.MoveZoom(pos.x(), pos.y());
    RequestRedraw();
  } else if (gestures_.Panning()) {
    if (pos != rightPress_) rightMoved_ = true;
    gestures_.MovePan(pos.x(), pos.y(), Frame().plot);
  }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && gestures_.Zooming()) {
    gestures_.EndZoom(pos.x(), pos.y(), Frame().plot);
    RequestRedraw();  // the rubber band goes away
  } else if (event->button() == Qt::RightButton && gestures_.Panning()) {
    gestures_.EndPan();
    if (!rightMoved_ && pos == rightPress_)
      emit ContextMenuRequested(event->globalPosition().toPoint());
  }
}

void ChartWidget::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  // Over the plot and the axes the right button pans: the menu comes on the
  // release of a click that did not move (the platform sends this event on
  // the press, before it is known whether a drag follows).
  if (event->reason() == QContextMenuEvent::Mouse && InGestureArea(event->pos(), Frame())) return;
  emit ContextMenuRequested(event->globalPos());
}

}  // namespace o5
