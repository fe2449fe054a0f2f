// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A spin edit that takes no typing: its value changes only by the arrows, the
// Up and Down keys and the program, always by its spin step and always clamped
// into its range.

#include <QSpinBox>

namespace o5 {

class SpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  SpinEdit(int minimum, int maximum, int step, int value, QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace o5
