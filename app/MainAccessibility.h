// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader hears of the main window's controls that show no text
// of their own: the connection lamp (its state as its name, the last frame's
// time as its description), the emblem, the two panes. And the focus, drawn
// plainly from the start.

#include <QToolButton>

namespace o5 {

class TfMain;

void MakeMainAccessible(TfMain& main);

// A flat toolbar button whose focus is drawn as a dark frame: the style's own
// mark on a flat button is too faint on the sky-blue panel.
class ToolbarButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace o5
