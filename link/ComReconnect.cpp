// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComReconnect.h"

#include <exception>

namespace o5 {

ComReconnect::ComReconnect(TCustomComPort* port, QObject* parent) : QObject(parent), port_(port) {
  timer_.setInterval(kIntervalMs);
  // Nothing here needs to be punctual; the system may gather the wake-ups.
  timer_.setTimerType(Qt::CoarseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Attempt(); });
  link_.NotifyDeviceLost = [this] { DeviceLost(); };
  if (port_) {
    port_->AddObserver(this);
    port_->AddLink(&link_);
  }
}

ComReconnect::~ComReconnect() {
  if (!port_) return;
  port_->RemoveObserver(this);
  port_->RemoveLink(&link_);
}

void ComReconnect::Stop() { timer_.stop(); }

void ComReconnect::PortChosen() {
  if (port_ && port_->Port() != name_) Stop();
}

void ComReconnect::ComPortDestroyed(TCustomComPort* port) {
  if (port != port_) return;
  Stop();
  port_->RemoveObserver(this);
  port_->RemoveLink(&link_);
  port_ = nullptr;
}

void ComReconnect::DeviceLost() {
  name_ = port_->Port();
  timer_.start();
}

void ComReconnect::Attempt() {
  if (attempting_) return;
  // Opened meanwhile, or moved to another name by a way that did not say so.
  if (!port_ || port_->Connected() || port_->Port() != name_) {
    Stop();
    return;
  }
  attempting_ = true;
  try {
    port_->OpenPort();
  } catch (const std::exception&) {
    ++failedAttempts_;
    // Not back yet, held by another program, or not yet readable: the error
    // is no news to the user, and the next attempt comes in a second.
  }
  attempting_ = false;
  // The user may have acted inside the opening (the lamp serves the event
  // loop); a timer stopped meanwhile stays stopped.
  if (port_ && port_->Connected()) Stop();
}

}  // namespace o5
