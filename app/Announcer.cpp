// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace o5 {

namespace {

class AccessibleAnnouncer : public QAccessibleWidget {
 public:
  explicit AccessibleAnnouncer(Announcer* announcer)
      : QAccessibleWidget(announcer, QAccessible::Notification) {}
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<Announcer*>(widget())->Text();
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* AnnouncerFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(Announcer::staticMetaObject.className()))
    if (auto* announcer = qobject_cast<Announcer*>(object)) return new AccessibleAnnouncer(announcer);
  return nullptr;
}

}  // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = (QAccessible::installFactory(AnnouncerFactory), true);
  (void)factoryInstalled;
  setObjectName("Announcer");
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  // Shown, as a notification must be, but a single pixel under the window's
  // corner that paints nothing.
  setGeometry(0, 0, 1, 1);
}

void Announcer::Announce(const QString& text) {
  if (text.trimmed().isEmpty()) return;
  // The lines of one reply (the version and its date) are heard together: a
  // reader asked for the name of the first would hear the last, twice.
  if (pending_.isEmpty()) QTimer::singleShot(0, this, &Announcer::Flush);
  pending_ << text.trimmed();
}

void Announcer::Flush() {
  if (pending_.isEmpty()) return;
  text_ = pending_.join(QStringLiteral(" "));
  pending_.clear();
  if (!QAccessible::isActive()) return;
  QAccessibleEvent named(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&named);
  // A notification is spoken when it appears.
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
  QAccessibleEvent alert(this, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

}  // namespace o5
