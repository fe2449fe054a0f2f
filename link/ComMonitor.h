// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The event monitor of an open port: a thread that sleeps in poll() on the tty
// and a stop signal, and hands every set of line events to the port on the
// user-interface thread, blocking until the port has handled it. It never
// touches the port's state or any widget, and never touches the tty again once
// the stop signal is set (the port may close it, and the number may be reused).

#include <atomic>
#include <memory>
#include <thread>

#include "link/ComTypes.h"

namespace o5 {

class TCustomComPort;

// What the monitor thread and the hand-overs it posts share. It outlives the
// ComMonitor when a hand-over is still running when the port goes away.
struct ComMonitorState {
  ComMonitorState();
  ~ComMonitorState();
  ComMonitorState(const ComMonitorState&) = delete;
  ComMonitorState& operator=(const ComMonitorState&) = delete;

  std::atomic<bool> stop{false};
  int stopFd = -1;  // eventfd, written once by RequestStop
  int doneFd = -1;  // eventfd, written by the thread as its last act
  // User-interface thread only: a hand-over of this monitor is running, so the
  // thread is blocked on the user-interface thread and cannot be joined there.
  bool dispatching = false;
  // User-interface thread only: the port has let go of this monitor while it
  // was dispatching and joins it once the dispatch has returned.
  bool retired = false;
};

class ComMonitor {
 public:
  // Bytes left unread by a dispatch are looked at again after this long, so a
  // port without a receive handler costs a few wake-ups a second, not a core.
  static constexpr int kRecheckMs = 100;

  ComMonitor(TCustomComPort* port, int fd, TComEvents events);
  ~ComMonitor();  // joins; detaches only a thread still blocked in a running hand-over
  ComMonitor(const ComMonitor&) = delete;
  ComMonitor& operator=(const ComMonitor&) = delete;

  // Starts the thread; an errno value on failure, else 0.
  int Start();
  // Sets the stop signal. From here on the thread does not touch the tty.
  void RequestStop();
  // Waits up to `ms` milliseconds for the thread to finish its loop.
  bool WaitFinished(int ms);
  void Join();

  ComMonitorState& State() { return *state_; }

 private:
  static void Run(std::shared_ptr<ComMonitorState> state, TCustomComPort* port, int fd,
                  TComEvents events);

  std::shared_ptr<ComMonitorState> state_;
  TCustomComPort* port_;
  int fd_;
  TComEvents events_;
  std::thread thread_;
};

}  // namespace o5
