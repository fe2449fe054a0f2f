#include "app/MainAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/TfMain.h"
#include "link/ComLed.h"

namespace o5 {

namespace {

constexpr const char* kPortOpen = "Порт открыт";
constexpr const char* kPortClosed = "Порт закрыт";

// The lamp's name follows its state; its description is its tooltip, made
// when asked for, so that the time of the last frame is the latest.
class AccessibleLamp : public QAccessibleWidget {
 public:
  explicit AccessibleLamp(TComLed* lamp) : QAccessibleWidget(lamp, QAccessible::StaticText) {}
  QString text(QAccessible::Text t) const override {
    const auto* lamp = static_cast<const TComLed*>(widget());
    if (t == QAccessible::Name) return QString::fromUtf8(lamp->State() == lsOn ? kPortOpen : kPortClosed);
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

}  // namespace

void NameMainControls(TfMain& main) {
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
  main.Image1->setAccessibleName(QString::fromUtf8("Эмблема программы"));
  main.MC->setAccessibleName(QString::fromUtf8("Консоль"));
  main.MR->setAccessibleName(QString::fromUtf8("Журнал записей"));
  // The focus is drawn from the start, not only after the first Tab.
  main.setAttribute(Qt::WA_KeyboardFocusChange);
}

}  // namespace o5
