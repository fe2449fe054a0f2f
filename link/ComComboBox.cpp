// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComComboBox.h"

#include <cctype>
#include <exception>

namespace o5 {

namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

// --- TComSelect ---

std::vector<std::string> TComSelect::ItemsFor(TComProperty property) {
  switch (property) {
    case cpNone:
      return {};
    case cpPort: {
      std::vector<std::string> names;
      TCustomComPort::ListSerialPorts(names);
      return names;
    }
    case cpBaudRate:
      return BaudRateTexts();
    case cpDataBits:
      return DataBitsTexts();
    case cpStopBits:
      return StopBitsTexts();
    case cpParity:
      return ParityTexts();
    case cpFlowControl:
      return FlowControlTexts();
  }
  return {};
}

int TComSelect::FindItem(const std::vector<std::string>& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (SameTextIgnoringCase(items[i], text)) return static_cast<int>(i);
  }
  return -1;
}

int TComSelect::FindSameDevice(const std::vector<std::string>& items, const std::string& port) {
  if (port.empty()) return -1;
  const std::string device = TCustomComPort::DevicePath(port);
  for (size_t i = 0; i < items.size(); ++i) {
    if (TCustomComPort::DevicePath(items[i]) == device) return static_cast<int>(i);
  }
  return -1;
}

std::string TComSelect::PortValueText() const {
  if (!ComPort) return {};
  switch (ComProperty) {
    case cpNone:
      return {};
    case cpPort:
      return ComPort->Port();
    case cpBaudRate:
      return BaudRateToStr(ComPort->BaudRate());
    case cpDataBits:
      return DataBitsToStr(ComPort->DataBits());
    case cpStopBits:
      return StopBitsToStr(ComPort->StopBits());
    case cpParity:
      return ParityToStr(ComPort->Parity().Bits());
    case cpFlowControl:
      return FlowControlToStr(ComPort->FlowControl().FlowControl());
  }
  return {};
}

void TComSelect::SetPendingText(const std::string& text) {
  switch (ComProperty) {
    case cpNone:
      break;
    case cpPort:
      PendingPort = text;
      break;
    case cpBaudRate:
      PendingBaudRate = StrToBaudRate(text);
      break;
    case cpDataBits:
      PendingDataBits = StrToDataBits(text);
      break;
    case cpStopBits:
      PendingStopBits = StrToStopBits(text);
      break;
    case cpParity:
      PendingParity = StrToParity(text);
      break;
    case cpFlowControl:
      PendingFlowControl = StrToFlowControl(text);
      break;
  }
}

void TComSelect::ApplyToPort() const {
  if (!ComPort) return;
  switch (ComProperty) {
    case cpNone:
      break;
    case cpPort:
      ComPort->SetPort(PendingPort);
      break;
    case cpBaudRate:
      ComPort->SetBaudRate(PendingBaudRate);
      break;
    case cpDataBits:
      ComPort->SetDataBits(PendingDataBits);
      break;
    case cpStopBits:
      ComPort->SetStopBits(PendingStopBits);
      break;
    case cpParity:
      ComPort->Parity().SetBits(PendingParity);
      break;
    case cpFlowControl:
      ComPort->FlowControl().SetFlowControl(PendingFlowControl);
      break;
  }
}

// --- TComComboBox ---

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  // Only a pick by the user: items chosen from code (loading, Text) must not
  // become pending or reach the port.
  connect(this, &QComboBox::activated, this, &TComComboBox::ItemPicked);
}

TComComboBox::~TComComboBox() {
  if (select_.ComPort) select_.ComPort->RemoveObserver(this);
}

void TComComboBox::SetComPort(TCustomComPort* port) {
  if (port == select_.ComPort) return;
  if (select_.ComPort) select_.ComPort->RemoveObserver(this);
  select_.ComPort = port;
  if (port) {
    port->AddObserver(this);
    LoadFromPort();
  }
}

void TComComboBox::SetComProperty(TComProperty property) {
  select_.ComProperty = property;
  if (property == cpPort) {
    RefreshPorts(false);
    return;
  }
  // Listed before the old items go, so a failing port list leaves them.
  const std::vector<std::string> items = TComSelect::ItemsFor(property);
  clear();
  for (const std::string& item : items) addItem(QString::fromStdString(item));
  if (items.empty()) return;
  if (select_.ComPort) {
    LoadFromPort();
  } else {
    setCurrentIndex(0);
  }
}

void TComComboBox::RefreshPorts(bool keepChoice) {
  // Listed before the old items go, so a failing port list leaves them.
  std::vector<SerialPortEntry> entries;
  TCustomComPort::ListSerialPorts(entries);
  const std::string shown = Text().toStdString();
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const SerialPortEntry& e : entries) names.push_back(e.path);
  if (names != ItemTexts()) {
    clear();
    for (const std::string& name : names) addItem(QString::fromStdString(name));
  }
  // The same path may stand for another adapter now.
  for (size_t i = 0; i < entries.size(); ++i) {
    const QString tip = QString::fromStdString(entries[i].description);
    setItemData(static_cast<int>(i), tip.isEmpty() ? QVariant() : QVariant(tip), Qt::ToolTipRole);
  }
  if (names.empty()) return;
  if (!keepChoice) {
    if (select_.ComPort)
      LoadFromPort();
    else
      setCurrentIndex(0);
    return;
  }
  int index = shown.empty() ? -1 : TComSelect::FindItem(names, shown);
  if (index < 0 && !select_.PendingPort.empty()) {
    index = TComSelect::FindItem(names, select_.PendingPort);
    if (index < 0) index = TComSelect::FindSameDevice(names, select_.PendingPort);
  }
  // A choice whose device is away (an adapter pulled out) is still the
  // choice: the box keeps its name, greyed, until the device is listed again
  // or another port is chosen.
  const QString remembered = shown.empty() ? placeholderText() : QString::fromStdString(shown);
  if (index >= 0) {
    setCurrentIndex(index);
  } else if (select_.ComPort) {
    LoadFromPort();
  } else {
    setCurrentIndex(-1);
  }
  setPlaceholderText(currentIndex() < 0 ? remembered : QString());
}

void TComComboBox::showPopup() {
  if (select_.ComProperty == cpPort) {
    // The toolkit opens the list from inside its own mouse and key handling,
    // which an error must not unwind (what those frames hold would never be
    // released). A list that cannot be read stays shut, and its error is
    // raised from the event loop, where the application's catch point shows it.
    try {
      RefreshPorts(true);
    } catch (const std::exception&) {
      QMetaObject::invokeMethod(
          this, [error = std::current_exception()] { std::rethrow_exception(error); },
          Qt::QueuedConnection);
      return;
    }
  }
  QComboBox::showPopup();
}

QString TComComboBox::Text() const {
  return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

void TComComboBox::SetText(const QString& text) {
  const int index = TComSelect::FindItem(ItemTexts(), text.toStdString());
  if (index >= 0) setCurrentIndex(index);
}

void TComComboBox::LoadFromPort() {
  if (!select_.ComPort) return;
  if (select_.ComProperty == cpNone) {
    setCurrentIndex(-1);
    return;
  }
  const std::vector<std::string> items = ItemTexts();
  int index = TComSelect::FindItem(items, select_.PortValueText());
  if (index >= 0) {
    select_.SetPendingText(items[static_cast<size_t>(index)]);
  } else if (select_.ComProperty == cpPort) {
    // The system lists device paths: "COM1" is listed as "/dev/ttyS0". The
    // item of the same device is shown, and the pending name stays the
    // port's own, so applying it again does not reopen the device.
    index = TComSelect::FindSameDevice(items, select_.ComPort->Port());
    if (index >= 0) select_.SetPendingText(select_.ComPort->Port());
  }
  // A port name the system does not list leaves the selector showing
  // nothing, and the pending name as it was.
  if (index < 0) setPlaceholderText(QString());
  setCurrentIndex(index);
}

void TComComboBox::ApplyToPort() { select_.ApplyToPort(); }

void TComComboBox::ItemPicked(int index) {
  select_.SetPendingText(index < 0 ? std::string() : itemText(index).toStdString());
  if (select_.AutoApply) ApplyToPort();
}

void TComComboBox::ComPortDestroyed(TCustomComPort* port) {
  if (port != select_.ComPort) return;
  port->RemoveObserver(this);
  select_.ComPort = nullptr;
  if (count() > 0) setCurrentIndex(0);
}

std::vector<std::string> TComComboBox::ItemTexts() const {
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(count()));
  for (int i = 0; i < count(); ++i) items.push_back(itemText(i).toStdString());
  return items;
}

}  // namespace o5
