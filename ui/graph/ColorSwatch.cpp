// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/ColorSwatch.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace o5 {

namespace {

// What an assistive tool sees of a swatch: a button whose press action does
// what a mouse press on it does.
class AccessibleSwatch : public QAccessibleWidget {
 public:
  explicit AccessibleSwatch(ColorSwatch* swatch) : QAccessibleWidget(swatch, QAccessible::Button) {}

  QStringList actionNames() const override {
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != pressAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    // Queued: the press opens a modal dialog, and the tool that asked must
    // get its answer first.
    QMetaObject::invokeMethod(static_cast<ColorSwatch*>(widget()), &ColorSwatch::MouseDown,
                              Qt::QueuedConnection);
  }
};

QAccessibleInterface* AccessibleSwatchFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(ColorSwatch::staticMetaObject.className()))
    if (auto* swatch = qobject_cast<ColorSwatch*>(object)) return new AccessibleSwatch(swatch);
  return nullptr;
}

}  // namespace

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent), color_(Qt::white) {
  static const bool factoryInstalled = (QAccessible::installFactory(AccessibleSwatchFactory), true);
  (void)factoryInstalled;
  // Reached by Tab like a button; Space or Enter opens the dialog.
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleDescription(DescribeColor(color_));
}

QString ColorSwatch::DescribeColor(const QColor& color) {
  return QStringLiteral("%1 (%2, %3, %4)").arg(color.name()).arg(color.red()).arg(color.green()).arg(color.blue());
}

void ColorSwatch::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  setAccessibleDescription(DescribeColor(color_));
  update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), color_);
  if (!hasFocus()) return;
  // A focus ring the eye finds on any colour: dark and light dashes.
  QPen pen(Qt::black, 2, Qt::DashLine);
  painter.setPen(pen);
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
  pen.setColor(Qt::white);
  pen.setDashOffset(3);
  painter.setPen(pen);
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void ColorSwatch::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      emit MouseDown();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit MouseDown();
}

}  // namespace o5
