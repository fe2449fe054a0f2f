#include "ui/graph/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace o5 {

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent), color_(Qt::white) {}

void ColorSwatch::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), color_);
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit MouseDown();
}

}  // namespace o5
