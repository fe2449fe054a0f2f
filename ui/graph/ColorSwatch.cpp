#include "ui/graph/ColorSwatch.h"

#include <QAccessibleWidget>
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
}

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
