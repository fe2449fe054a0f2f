// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartWidget.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "chart/ChartReadout.h"

namespace o5 {

ChartWidget::ChartWidget(QWidget* parent)
    : QWidget(parent), gestures_(model_.BottomAxis(), model_.LeftAxis()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(100, 80);
  setMouseTracking(true);
  // In the Tab order: the keyboard reads the series and opens the menu.
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QCoreApplication::translate("ChartWidget", "График"));
  SetShownDescription(QString());
  model_.SetChangeHandler([this] { RequestRedraw(); });
  readout_ = new QLabel(this);
  readout_->setObjectName("lReadout");
  readout_->setTextFormat(Qt::RichText);
  readout_->setAutoFillBackground(true);
  readout_->setFrameStyle(QFrame::Box | QFrame::Plain);
  readout_->setMargin(3);
  readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette tip = readout_->palette();
  tip.setColor(QPalette::Window, QColor(255, 255, 225));
  tip.setColor(QPalette::WindowText, Qt::black);
  readout_->setPalette(tip);
  readout_->hide();
}

void ChartWidget::SetSeriesColor(int index, const QColor& color) {
  model_.SetColor(index, color.rgb() & 0xFFFFFFu);
}

QColor ChartWidget::SeriesColor(int index) const { return QColor::fromRgb(model_.Style(index).rgb); }

void ChartWidget::RequestRedraw() {
  pictureStale_ = true;
  // Points arrive many times a second; one update() per pending redraw is enough.
  if (redrawPending_) return;
  redrawPending_ = true;
  update();
}

double ChartWidget::XAt(const QPoint& pos) const { return Frame().plot.PixelToX(pos.x()); }

ChartFrame ChartWidget::Frame() const { return ChartRenderer::Layout(rect(), font(), model_); }

void ChartWidget::RenderPicture() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (picture_.size() != pixels) picture_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  picture_.setDevicePixelRatio(ratio);
  // Its own pixels (a copy handed out by Picture() shares them until now):
  // the renderer may write to them while the painter is open.
  picture_.bits();
  const ChartFrame frame = Frame();
  std::optional<QRect> band;
  if (gestures_.Zooming())
    band = QRect(QPoint(qRound(gestures_.BandX0()), qRound(gestures_.BandY0())),
                 QPoint(qRound(gestures_.BandX1()), qRound(gestures_.BandY1())));
  QPainter painter(&picture_);
  painter.setFont(font());
  renderer_.Draw(painter, frame, rect(), model_, band);
  pictureStale_ = false;
}

QImage ChartWidget::Picture() {
  if (pictureStale_ || picture_.size() != size() * devicePixelRatioF()) RenderPicture();
  return picture_;
}

void ChartWidget::paintEvent(QPaintEvent*) {
  redrawPending_ = false;
  const bool redraw = pictureStale_ || picture_.size() != size() * devicePixelRatioF();
  if (redraw) RenderPicture();
  {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
    if (hoverX_) {
      const PlotMapping p = Frame().plot;
      painter.setPen(QPen(QColor(90, 90, 90), 1));
      painter.drawLine(*hoverX_, p.top, *hoverX_, p.Bottom());
    }
    if (hasFocus()) PaintFocus(painter);
  }
  if (redraw) {
    if (hoverX_) ShowReadout();  // the values under a still mouse may have changed
    NotifyAfterDraw();
  }
}

void ChartWidget::Hover(const QPoint& pos) {
  const ChartFrame frame = Frame();
  if (!frame.plot.Drawable() || !frame.plot.Contains(pos.x(), pos.y())) return EndHover();
  if (keyX_) SetKeyboardX(std::nullopt);
  if (hoverX_ == pos.x() && readout_->isVisible()) return;
  hoverX_ = pos.x();
  ShowReadout();
  update();
}

void ChartWidget::EndHover() {
  // The keyboard's cursor stays where the mouse passes by.
  if (keyX_) return;
  readout_->hide();
  if (!hoverX_) return;
  hoverX_.reset();
  update();
}

void ChartWidget::ShowReadout() {
  const PlotMapping p = Frame().plot;
  if (keyX_) hoverX_ = std::clamp(static_cast<int>(std::lround(p.XToPixel(*keyX_))), p.left, p.Right());
  const double x = keyX_ ? *keyX_ : p.PixelToX(*hoverX_);
  const int decimals = TimeDecimals(p.ColumnWidth());
  const Readout r = ReadAt(model_, x);
  const std::vector<std::string> lines = ReadoutLines(model_, r, decimals);
  const std::size_t header = lines.size() - r.lines.size();
  QString html = QStringLiteral("<table cellspacing=0 cellpadding=0>");
  QStringList plain;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const QString text = QString::fromStdString(lines[k]);
    plain << text;
    QString swatch;
    if (k >= header)
      swatch = QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;")
                   .arg(QColor::fromRgb(model_.Style(r.lines[k - header].series).rgb).name());
    // The change from A to B in a column of its own.
    const qsizetype delta = text.indexOf(QStringLiteral("  Δ"));
    const QString value = delta < 0 ? text : text.left(delta);
    const QString change = delta < 0 ? QString() : text.mid(delta + 2);
    html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>&nbsp;&nbsp;%3</td></tr>")
                .arg(swatch, value.toHtmlEscaped(), change.toHtmlEscaped());
  }
  html += QStringLiteral("</table>");
  readout_->setText(html);
  readout_->setAccessibleName(plain.join('\n'));
  if (keyX_) DescribeReadout(plain);
  readout_->adjustSize();
  // Beside the line, on the side where there is room.
  constexpr int kGap = 12;
  int left = *hoverX_ + kGap;
  if (left + readout_->width() > width()) left = std::max(0, *hoverX_ - kGap - readout_->width());
  readout_->move(left, p.top + 4);
  readout_->show();
  readout_->raise();
}

QString ChartWidget::TimelineHint(const QPoint& pos) const {
  const ChartFrame frame = Frame();
  if (!frame.strip.contains(pos)) return {};
  const ChartTimeline& t = model_.Timeline();
  for (const FaultMark& m : ChartRenderer::FaultMarks(frame, font(), model_))
    if (m.box.contains(pos)) return t.faultText ? QString::fromStdString(t.faultText(m.code)) : QString();
  if (!ChartModel::ValidSeries(t.modeSeries) || !t.modeText) return {};
  const std::optional<double> mode = ValueAt(model_.Series(t.modeSeries), frame.plot.PixelToX(pos.x()));
  return mode ? QString::fromStdString(t.modeText(static_cast<int>(*mode))) : QString();
}

bool ChartWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString hint = TimelineHint(help->pos());
    if (hint.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), hint, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void ChartWidget::leaveEvent(QEvent* event) {
  EndHover();
  QWidget::leaveEvent(event);
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
    EndHover();
    gestures_.BeginZoom(pos.x(), pos.y());
    RequestRedraw();
  } else if (event->button() == Qt::RightButton) {
    EndHover();
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
  } else if (event->buttons() == Qt::NoButton) {
    Hover(pos);
  }
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && gestures_.Zooming()) {
    gestures_.EndZoom(pos.x(), pos.y(), Frame().plot);
    RequestRedraw();  // the rubber band goes away
  } else if (event->button() == Qt::RightButton && gestures_.Panning()) {
    gestures_.EndPan();
    menuFromKeyboard_ = false;
    if (!rightMoved_ && pos == rightPress_)
      emit ContextMenuRequested(event->globalPosition().toPoint());
  }
}

void ChartWidget::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  menuFromKeyboard_ = event->reason() == QContextMenuEvent::Keyboard;
  // Over the plot and the axes the right button pans: the menu comes on the
  // release of a click that did not move (the platform sends this event on
  // the press, before it is known whether a drag follows).
  if (event->reason() == QContextMenuEvent::Mouse && InGestureArea(event->pos(), Frame())) return;
  emit ContextMenuRequested(event->globalPos());
}

}  // namespace o5
