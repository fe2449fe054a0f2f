// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Brings a port back after its device went away: an adapter pulled out and
// plugged in again, a line that hung up and returned under the same name.
// After a loss (and only then) it opens the port again by the same name with
// the same settings, about once a second and without a word, until the port
// is open or the user acts. A failed attempt (no device yet, held by another
// program, not yet readable) is simply tried again next time. It opens also
// while a command waits for a reply or the loss's error box is up: the waits
// of a command whose port has gone end by themselves (see the main window's
// reply wait), so nothing on the new opening is taken for the old command.

#include <QObject>
#include <QTimer>

#include <string>

#include "link/ComPort.h"

namespace o5 {

class ComReconnect : public QObject, private TComPortObserver {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 1000;

  explicit ComReconnect(TCustomComPort* port, QObject* parent = nullptr);
  ~ComReconnect() override;

  // The user acted on the port (opened or closed it by hand, closes the
  // tool): the port is not opened again by itself.
  void Stop();
  // The user chose a port (in a selector or the setup dialog): another one
  // than the lost one ends the waiting.
  void PortChosen();
  bool Waiting() const { return timer_.isActive(); }
  // The name waited for.
  const std::string& LostName() const { return name_; }
  // Diagnostics for tests: attempts that found no device it could open.
  int FailedAttempts() const { return failedAttempts_; }

 private:
  void ComPortDestroyed(TCustomComPort* port) override;
  void DeviceLost();
  void Attempt();

  TCustomComPort* port_;
  TComLink link_;
  QTimer timer_;
  std::string name_;
  bool attempting_ = false;
  int failedAttempts_ = 0;
};

}  // namespace o5
