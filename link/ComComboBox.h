// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A drop-down selector bound to one setting of a serial port. The main window's
// cbPort moves the port to the picked device at once; the setup dialog's six
// selectors hold their choices until the dialog applies them.

#include <QComboBox>
#include <string>
#include <string_view>
#include <vector>

#include "link/ComPort.h"

namespace o5 {

enum TComProperty : uint8_t {
  cpNone,
  cpPort,
  cpBaudRate,
  cpDataBits,
  cpStopBits,
  cpParity,
  cpFlowControl
};

// The selector's state apart from its item list: which setting of which port
// it stands for, and the value last picked or loaded, waiting to be applied.
// Plain C++, so the value rules can be checked without a widget.
class TComSelect {
 public:
  // The items a setting offers: the display texts in value order, or for
  // cpPort the system's port names (error 23 when they cannot be listed).
  static std::vector<std::string> ItemsFor(TComProperty property);
  // Index of the item equal to `text` with letter case ignored, or -1.
  static int FindItem(const std::vector<std::string>& items, std::string_view text);
  // The item naming the same device as the port name (paths and "COMn"
  // names alike), or -1.
  static int FindSameDevice(const std::vector<std::string>& items, const std::string& port);

  // The display text of the bound port's current value ("" without a port or
  // for cpNone); flow control gives its summary.
  std::string PortValueText() const;
  // Takes a picked or loaded text as the pending value of the bound setting;
  // a text that matches no value gives the setting's fallback value.
  void SetPendingText(const std::string& text);
  // Writes the pending value into the bound port; errors of the port (a new
  // name that cannot be opened) are passed on.
  void ApplyToPort() const;

  std::string PendingPort;
  TBaudRate PendingBaudRate = brCustom;
  TDataBits PendingDataBits = dbFive;
  TStopBits PendingStopBits = sbOneStopBit;
  TParityBits PendingParity = prNone;
  TFlowControl PendingFlowControl = fcHardware;
  TComProperty ComProperty = cpNone;
  TCustomComPort* ComPort = nullptr;
  bool AutoApply = false;
};

class TComComboBox : public QComboBox, private TComPortObserver {
  Q_OBJECT

 public:
  explicit TComComboBox(QWidget* parent = nullptr);
  ~TComComboBox() override;

  TCustomComPort* ComPort() const { return select_.ComPort; }
  void SetComPort(TCustomComPort* port);
  TComProperty ComProperty() const { return select_.ComProperty; }
  // Refills the items; for cpPort from the system's list (error 23 passed on).
  void SetComProperty(TComProperty property);
  bool AutoApply() const { return select_.AutoApply; }
  void SetAutoApply(bool v) { select_.AutoApply = v; }
  // The chosen item's text, "" when none is chosen.
  QString Text() const;
  // Chooses the item with that text (letter case ignored), if there is one.
  // This is not a pick: nothing becomes pending and nothing is applied.
  void SetText(const QString& text);

  // Chooses the item showing the bound port's current value.
  void LoadFromPort();
  // Writes the pending value into the bound port.
  void ApplyToPort();

  const TComSelect& Select() const { return select_; }

  // A port selector reads the system's list afresh each time it opens, so an
  // adapter plugged in after the start is offered and an unplugged one is not
  // (error 23 passed on; the list then stays closed with its old items).
  void showPopup() override;

 private:
  // Replaces the port items, each with its device's description as tooltip,
  // keeping the choice: the item shown, else the pending name's, else the
  // port's own (as LoadFromPort chooses it); none when it is not listed.
  void RefreshPorts(bool keepChoice);
  void ComPortDestroyed(TCustomComPort* port) override;
  void ItemPicked(int index);
  std::vector<std::string> ItemTexts() const;

  TComSelect select_;
};

}  // namespace o5
