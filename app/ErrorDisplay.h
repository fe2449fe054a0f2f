// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's one error display. No handler catches the errors it raises:
// they leave the handler, reach TApplication::notify, and are shown here as a
// message box with the error icon and the application's title as caption.

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

#include "ui/AppTitle.h"

namespace o5 {

// The message as shown: the error text with a full stop appended when its last
// character sorts after "." (so a text ending in ")" gets none).
QString ErrorDisplayText(const QString& message);
QString ErrorDisplayText(const std::exception& e);

// Shows an error through the current display.
void ShowError(const std::exception& e);
void ShowErrorText(const QString& message);

// Replaces the display (tests record the messages instead of a modal box);
// returns the previous one. An empty function restores the message box.
using ErrorDisplayFunction = std::function<void(const QString& text)>;
ErrorDisplayFunction SetErrorDisplay(ErrorDisplayFunction display);

// The one catch point: every event handler runs inside notify(), which shows
// any std::exception that leaves a handler and lets the program go on.
class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace o5
