// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port setup dialog that TCustomComPort::ShowPortDialog runs: six
// selectors for port, bit rate, data bits, stop bits, parity and flow control,
// applied together when the user presses OK.

#include <QDialog>
#include <array>

#include "link/ComComboBox.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace o5 {

class TComSetupFrm : public QDialog {
  Q_OBJECT

 public:
  // Lists the system's ports for Combo1 (error 23 when they cannot be read).
  explicit TComSetupFrm(QWidget* parent = nullptr);

  QGroupBox* GroupBox1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  TComComboBox* Combo1;
  TComComboBox* Combo2;
  TComComboBox* Combo3;
  TComComboBox* Combo4;
  TComComboBox* Combo5;
  TComComboBox* Combo6;
  QPushButton* Button1;
  QPushButton* Button2;

  // Combo1 to Combo6, in the order they are bound and applied.
  std::array<TComComboBox*, 6> Combos() const {
    return {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6};
  }

 private:
  void FormCreate();
};

}  // namespace o5
