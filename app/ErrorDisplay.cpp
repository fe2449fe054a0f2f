#include "app/ErrorDisplay.h"

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

void ShowErrorText(const QString& message) {
  const QString text = ErrorDisplayText(message);
  if (auto& display = CurrentDisplay()) {
    display(text);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
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
