// SPDX-License-Identifier: GPL-3.0-or-later
// The chart read by the keyboard: the cursor's keys, its focus mark, and what
// an assistive tool hears of the chart.

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "chart/ChartWidget.h"

namespace o5 {

namespace {

constexpr const char* kDefaultDescription = QT_TRANSLATE_NOOP(
    "ChartKeyboard",
    "Графики телеметрии. Стрелки влево и вправо читают значения в точке, Shift+F10 открывает меню.");
// Shift with an arrow moves this many points at once.
constexpr int kLongStep = 10;

}  // namespace

std::vector<double> ChartWidget::KeyboardStops() const {
  const double low = model_.BottomAxis().Minimum();
  const double high = model_.BottomAxis().Maximum();
  std::vector<double> stops;
  for (int i = 0; i < kSeriesCount; ++i) {
    if (!model_.Style(i).visible) continue;
    const SeriesData& s = model_.Series(i);
    for (std::size_t k = s.LowerBound(low); k < s.Size() && s.X(k) <= high; ++k) stops.push_back(s.X(k));
  }
  std::sort(stops.begin(), stops.end());
  stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
  // Without points the cursor walks the axis in its own steps.
  const double step = model_.BottomAxis().Increment();
  if (stops.empty() && step > 0 && high >= low)
    for (double x = low; x <= high; x += step) stops.push_back(x);
  return stops;
}

void ChartWidget::SetKeyboardX(std::optional<double> x) {
  keyX_ = x;
  if (!keyX_) {
    hoverX_.reset();
    readout_->hide();
    setAccessibleDescription(shownDescription_.isEmpty()
                                 ? QCoreApplication::translate("ChartKeyboard", kDefaultDescription)
                                 : shownDescription_);
  } else if (Frame().plot.Drawable()) {
    hoverX_ = 0;  // placed by the readout
    ShowReadout();
  }
  update();
}

void ChartWidget::SetShownDescription(const QString& text) {
  shownDescription_ = text;
  if (!keyX_)
    setAccessibleDescription(
        text.isEmpty() ? QCoreApplication::translate("ChartKeyboard", kDefaultDescription) : text);
}

void ChartWidget::DescribeReadout(const QStringList& lines) {
  const QString text = lines.join(QStringLiteral("; "));
  if (accessibleDescription() != text) setAccessibleDescription(text);
}

void ChartWidget::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  // The menu keys, as a right click: Shift+F10 is no menu key to the toolkit.
  if (key == Qt::Key_Menu || (key == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier))) {
    event->accept();
    menuFromKeyboard_ = true;
    emit ContextMenuRequested(mapToGlobal(rect().center()));
    return;
  }
  if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Home && key != Qt::Key_End)
    return QWidget::keyPressEvent(event);
  event->accept();
  const std::vector<double> stops = KeyboardStops();
  if (stops.empty()) return;
  const auto last = static_cast<std::ptrdiff_t>(stops.size()) - 1;
  std::ptrdiff_t at = 0;
  if (key == Qt::Key_End) {
    at = last;
  } else if (key != Qt::Key_Home && keyX_) {
    // Where the cursor stands, or the stop before it when it stands between.
    at = std::upper_bound(stops.begin(), stops.end(), *keyX_) - stops.begin() - 1;
    const std::ptrdiff_t step = (event->modifiers() & Qt::ShiftModifier) ? kLongStep : 1;
    if (key == Qt::Key_Right) at = at < 0 ? 0 : at + step;
    if (key == Qt::Key_Left) at -= step;
    at = std::clamp<std::ptrdiff_t>(at, 0, last);
  }
  SetKeyboardX(stops[static_cast<std::size_t>(at)]);
}

void ChartWidget::focusInEvent(QFocusEvent* event) {
  if (accessibleDescription().isEmpty()) SetShownDescription(shownDescription_);
  update();
  QWidget::focusInEvent(event);
}

void ChartWidget::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

// A frame inside the chart's edge, seen on the white plot and on the grey
// margins alike.
void ChartWidget::PaintFocus(QPainter& painter) const {
  const QRect r = rect().adjusted(1, 1, -2, -2);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0, 90, 200), 2));
  painter.drawRect(r);
}

}  // namespace o5
