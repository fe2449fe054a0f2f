// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>

#include "app/TfMain.h"
#include "link/ComLed.h"

namespace o5 {

namespace {

constexpr const char* kPortOpen = QT_TRANSLATE_NOOP("MainAccessibility", "Порт открыт");
constexpr const char* kPortClosed = QT_TRANSLATE_NOOP("MainAccessibility", "Порт закрыт");

// The lamp's name follows its state; its description is its tooltip, made
// when asked for, so that the time of the last frame is the latest.
class AccessibleLamp : public QAccessibleWidget {
 public:
  explicit AccessibleLamp(TComLed* lamp) : QAccessibleWidget(lamp, QAccessible::StaticText) {}
  QString text(QAccessible::Text t) const override {
    const auto* lamp = static_cast<const TComLed*>(widget());
    if (t == QAccessible::Name)
      return QCoreApplication::translate("MainAccessibility",
                                         lamp->State() == lsOn ? kPortOpen : kPortClosed);
    if (t == QAccessible::Description)
      if (const auto* main = qobject_cast<const TfMain*>(lamp->window())) return main->LampHint();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = static_cast<const TComLed*>(widget())->State() == lsOn;
    return s;
  }
};

QAccessibleInterface* LampFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(TComLed::staticMetaObject.className()))
    if (auto* lamp = qobject_cast<TComLed*>(object)) return new AccessibleLamp(lamp);
  return nullptr;
}

class FocusShownFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) {
      auto* window = static_cast<QWidget*>(watched);
      window->setAttribute(Qt::WA_KeyboardFocusChange);
      if (QWidget* focus = window->focusWidget()) focus->update();
    }
    return false;
  }
};

}  // namespace

void ToolbarButton::paintEvent(QPaintEvent* event) {
  QToolButton::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void MakeMainAccessible(TfMain& main) {
  static const bool factoryInstalled = (QAccessible::installFactory(LampFactory), true);
  (void)factoryInstalled;
  main.ComLed1->OnChange = [](QObject* lamp, TLedState) {
    QAccessibleEvent named(lamp, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent state(lamp, changed);
    QAccessible::updateAccessibility(&state);
  };
  main.Image1->setAccessibleName(QCoreApplication::translate("MainAccessibility", "Эмблема программы"));
  main.MC->setAccessibleName(QCoreApplication::translate("MainAccessibility", "Консоль"));
  main.MR->setAccessibleName(QCoreApplication::translate("MainAccessibility", "Журнал записей"));
  // The focus is drawn from the start, not only after the first Tab: the
  // toolkit forgets it at each activation.
  main.installEventFilter(new FocusShownFilter(&main));
  // The focus frame is drawn in the highlight colour: a dark one stands out
  // on the sky-blue panels.
  QPalette palette = main.palette();
  palette.setColor(QPalette::Highlight, QColor(0, 70, 170));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  main.setPalette(palette);
}

}  // namespace o5
