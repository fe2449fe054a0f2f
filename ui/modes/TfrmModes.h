// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The modes and faults window "Информация": a bar naming the heater's current
// operating mode, the list of modes, and the legend of the 32 fault bits, in
// which the faults the heater reports now stand out (bold and red, and
// "активна" for a screen reader). An always-on-top tool window whose visibility follows the main
// window's toggle `bModes`, so its own close box refuses to close it.

#include <QWidget>

#include <array>
#include <cstdint>

#include "heater/FaultLegend.h"

class QCloseEvent;
class QFrame;
class QLabel;
class QPlainTextEdit;

namespace o5 {

inline constexpr const char* kFormModesTopKey = "FormModesTop";
inline constexpr const char* kFormModesLeftKey = "FormModesLeft";

class TfrmModes : public QWidget {
  Q_OBJECT

 public:
  // As laid out for the Russian texts; a longer language widens the window,
  // and a taller line makes the list of modes, and the window, taller.
  static constexpr int kClientWidth = 190;
  static constexpr int kClientHeight = 662;

  // Builds the window hidden and runs FormCreate.
  explicit TfrmModes(QWidget* parent = nullptr);

  // Places the window at the position kept in the settings file (the top-left
  // corner of the screen when none is kept).
  void FormCreate();
  // Keeps the window's position in the settings file; a failed write raises
  // SettingsError and leaves the second key unwritten.
  void SavePosition();

  // The mode bar, set by the telemetry decoding for every 'g' frame.
  void SetModeCaption(const QString& caption);
  QString ModeCaption() const;
  // The fault bytes of the telemetry ('j', frame order): the legend marks
  // the bits set and clears the marks of the others.
  void SetActiveFaults(const std::array<uint8_t, 4>& bytes);
  bool FaultActive(int index) const { return active_[static_cast<std::size_t>(index)]; }

  QLabel* Panel1;
  QPlainTextEdit* Memo1;
  QFrame* pErr;
  // l18, l17, ..., l41: in the order of the legend, top to bottom.
  std::array<QLabel*, kFaultBitCount> FaultLabels;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormClose(QCloseEvent* event);
  void BuildControls();
  int WidthForTexts() const;
  int HeightForLines() const;
  void PlaceControls();
  void MarkFault(std::size_t index, bool active);

  std::array<bool, kFaultBitCount> active_{};
};

}  // namespace o5
