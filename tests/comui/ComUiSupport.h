// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pseudo-terminals standing in for serial devices, and helpers that act like a
// user on the selectors and on the modal setup dialog.

#include <termios.h>

#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "link/ComSetupFrm.h"
#include "tests/support/PtyLine.h"

namespace o5::test {

// One pseudo-terminal; the port opens its slave side by path. The slave stays
// open here as well, so the line survives the port closing and its termios
// settings can be read and changed behind the port's back.
class Pty : public PtyLine {
 public:
  QString QPath() const { return QString::fromStdString(Path()); }
  // Bytes that reach the far end within `timeoutMs`.
  std::string ReadFromFarEnd(size_t count, int timeoutMs = 5000) {
    return Receive(count, std::chrono::milliseconds(timeoutMs));
  }
};

// A path no device has: opening it fails with "No such file or directory".
inline constexpr const char* kMissingDevice = "/dev/o5-comui-no-such-tty";

// A pseudo-terminal whose slave side is still locked: it is listed, and
// opening it as a port fails (an input/output error).
class LockedPty {
 public:
  LockedPty();
  ~LockedPty();
  LockedPty(const LockedPty&) = delete;
  LockedPty& operator=(const LockedPty&) = delete;
  const std::string& Path() const { return path_; }
  QString QPath() const { return QString::fromStdString(path_); }

 private:
  int master_ = -1;
  std::string path_;
};

// Makes ListSerialPorts list these names besides the system's own; restores the
// previous value when it goes.
class ExtraPorts {
 public:
  explicit ExtraPorts(const std::vector<std::string>& names);
  ~ExtraPorts();

 private:
  std::string old_;
  bool hadOld_ = false;
};

// A port that counts how often all settings are applied to its device.
class CountingPort : public TComPort {
 public:
  using TComPort::TComPort;
  void ApplyAllSettings() override {
    ++applyAllCount;
    TComPort::ApplyAllSettings();
  }
  int applyAllCount = 0;
};

// The main window's port: 1200 baud 8N1, no flow control.
void SetUpLikeMainWindow(TCustomComPort& port, const std::string& name);

// A user's pick: opens the drop-down list, highlights the item with `text`
// and presses Enter. Returns false when there is no such item.
bool PickItem(TComComboBox* combo, const QString& text);

// Runs `action` on the setup dialog as soon as it is shown modally (the test
// itself is blocked in ShowPortDialog meanwhile).
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(TComSetupFrm*)> action);
  bool Seen() const { return seen_; }

 private:
  QTimer timer_;
  bool seen_ = false;
  std::function<void(TComSetupFrm*)> action_;
};

// Number of setup dialogs that exist right now.
int LiveSetupDialogs();

}  // namespace o5::test
