// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Escape closes a window as its close box does, wherever its focus is, and
// only that window. A window-wide shortcut would also fire while a tool
// window or a dialog of this window is the active one (they count as part of
// it), so Escape in "Итоги пуска" would close the graph window behind it; the
// shortcut therefore belongs to the window's focus chain alone, which stops at
// every window of its own (every window of the tool has a control that takes
// the focus).

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace o5 {

inline QAction* CloseOnEscape(QWidget* window) {
  auto* close = new QAction(window);
  close->setObjectName("aCloseOnEscape");
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  close->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  window->addAction(close);
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  return close;
}

}  // namespace o5
