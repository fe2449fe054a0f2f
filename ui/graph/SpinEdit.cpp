// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/SpinEdit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace o5 {

SpinEdit::SpinEdit(int minimum, int maximum, int step, int value, QWidget* parent) : QSpinBox(parent) {
  setRange(minimum, maximum);
  setSingleStep(step);
  setValue(value);
  setAccelerated(false);
  // Read-only text, not a read-only box: the arrows must keep working.
  lineEdit()->setReadOnly(true);
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
  // Page keys would step ten times at once.
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
    event->ignore();
    return;
  }
  QSpinBox::keyPressEvent(event);
}

void SpinEdit::wheelEvent(QWheelEvent* event) { event->ignore(); }

}  // namespace o5
