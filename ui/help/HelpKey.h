// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// F1 in every window of the tool, in one place: an event filter on the
// application takes the key wherever the focus is and opens the manual at the
// section of the window it was pressed in. Windows need no code of their own;
// a dialog the table does not know opens the section of the window it belongs
// to.

#include <QObject>
#include <QPointer>

#include "ui/help/HelpWindow.h"

class QWidget;

namespace o5 {

class HelpKey : public QObject {
 public:
  // Installs itself on the application; one for the program's life, made
  // after the application object and gone before it.
  HelpKey();
  ~HelpKey() override;

  // Opens the manual at the section of the window `widget` is in.
  void ShowFor(const QWidget* widget);
  // The help window, null until F1 was first pressed.
  THelpWindow* Window() const { return window_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<THelpWindow> window_;
};

// The manual's anchor for the window `widget` is in: "main", "modes",
// "graph", ...; "" (the beginning) for a window the tool does not know.
QString HelpSectionFor(const QWidget* widget);

}  // namespace o5
