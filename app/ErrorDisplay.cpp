// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ErrorDisplay.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace o5 {

namespace {
ErrorDisplayFunction& CurrentDisplay() {
  static ErrorDisplayFunction display;
  return display;
}
}  // namespace

QString ErrorDisplayText(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
  return message;
}

QString ErrorDisplayText(const std::exception& e) {
  return ErrorDisplayText(QString::fromUtf8(e.what()));
}

namespace {

void Display(const QString& text) {
  if (auto& display = CurrentDisplay()) {
    display(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, AppTitle(), text,
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

// The box is modal but serves events, so an error can come while one is up
// (an adapter that drops out again and again). Boxes are shown one at a time:
// a message equal to one shown or waiting adds nothing, another waits its
// turn.
bool showing = false;
QStringList pending;

}  // namespace

void ShowErrorText(const QString& message) {
  const QString text = ErrorDisplayText(message);
  if (showing) {
    if (!pending.contains(text)) pending << text;
    return;
  }
  showing = true;
  pending << text;
  struct Done {
    ~Done() {
      showing = false;
      pending.clear();
    }
  } done;
  while (!pending.isEmpty()) {
    Display(pending.front());
    pending.removeFirst();
  }
}

void ShowError(const std::exception& e) { ShowErrorText(QString::fromUtf8(e.what())); }

ErrorDisplayFunction SetErrorDisplay(ErrorDisplayFunction display) {
  ErrorDisplayFunction old = std::move(CurrentDisplay());
  CurrentDisplay() = std::move(display);
  return old;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowError(e);
  }
  return false;
}

}  // namespace o5
