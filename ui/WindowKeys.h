// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Escape closes a window as its close box does, wherever its focus is.

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace o5 {

inline QAction* CloseOnEscape(QWidget* window) {
  auto* close = new QAction(window);
  close->setObjectName("aCloseOnEscape");
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  close->setShortcutContext(Qt::WindowShortcut);
  window->addAction(close);
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  return close;
}

}  // namespace o5
