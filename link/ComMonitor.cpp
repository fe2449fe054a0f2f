// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComMonitor.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QMetaObject>
#include <QPointer>
#include <cerrno>
#include <system_error>

#include "link/ComPort.h"
#include "link/ComPortPosix.h"

namespace o5 {

ComMonitorState::ComMonitorState()
    : stopFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      doneFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ComMonitorState::~ComMonitorState() {
  if (stopFd >= 0) close(stopFd);
  if (doneFd >= 0) close(doneFd);
}

ComMonitor::ComMonitor(TCustomComPort* port, int fd, TComEvents events)
    : state_(std::make_shared<ComMonitorState>()), port_(port), fd_(fd), events_(events) {}

ComMonitor::~ComMonitor() {
  if (!thread_.joinable()) return;
  RequestStop();
  // A thread blocked in a hand-over that is running further up this stack
  // cannot end before it returns; it needs nothing of ours but the shared
  // state it holds itself.
  if (state_->dispatching)
    thread_.detach();
  else
    thread_.join();
}

int ComMonitor::Start() {
  if (state_->stopFd < 0 || state_->doneFd < 0) return EMFILE;
  try {
    thread_ = std::thread(&ComMonitor::Run, state_, port_, fd_, events_);
  } catch (const std::system_error& e) {
    return e.code().value();
  }
  return 0;
}

void ComMonitor::RequestStop() {
  if (state_->stop.exchange(true)) return;
  eventfd_write(state_->stopFd, 1);
}

bool ComMonitor::WaitFinished(int ms) {
  pollfd p{state_->doneFd, POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

void ComMonitor::Join() {
  if (thread_.joinable()) thread_.join();
}

void ComMonitor::Run(std::shared_ptr<ComMonitorState> state, TCustomComPort* port, int fd,
                     TComEvents events) {
  const short inputEvents = events.Has(evRxChar) ? POLLIN : 0;
  // poll() reports waiting input for as long as it waits, while the handlers
  // expect an event when input arrives. After a dispatch that took none of the
  // waiting bytes the monitor stops asking for input and looks again every
  // kRecheckMs for a change of the count.
  bool watchInput = true;
  int pausedCount = 0;
  for (;;) {
    pollfd fds[2] = {{state->stopFd, POLLIN, 0},
                     {fd, static_cast<short>(watchInput ? inputEvents : 0), 0}};
    const int ready = poll(fds, 2, watchInput ? -1 : kRecheckMs);
    if (state->stop.load()) break;

    TComEvents set;
    bool lost = false;
    int lostErrno = 0;
    if (ready < 0) {
      if (errno == EINTR) continue;
      lost = true;
      lostErrno = errno;
    } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      // Hang-up or unplugged adapter: reported whatever was asked for, and
      // reported again at once on every further poll, so the monitor ends here.
      lost = true;
      lostErrno = EIO;
    } else if (fds[1].revents & POLLIN) {
      set.Add(evRxChar);
    } else if (ready == 0) {
      int count = 0;
      if (const int err = posix::InputCount(fd, &count)) {
        if (posix::ClassifyErrno(err) != posix::ErrnoKind::DeviceGone) continue;
        lost = true;
        lostErrno = err;
      } else if (count == 0) {
        watchInput = true;  // read meanwhile, or a spurious wake-up: watch again
        continue;
      } else if (count == pausedCount) {
        continue;
      } else {
        set.Add(evRxChar);
      }
    } else {
      continue;
    }
    // Line errors arrive with received bytes; the driver's counters are looked
    // at with every set.
    if (!lost && events.Has(evError)) set.Add(evError);

    bool stalled = false;
    QMetaObject::invokeMethod(
        port,
        [state, port, set, lost, lostErrno]() -> bool {
          QPointer<TCustomComPort> alive(port);
          state->dispatching = true;
          struct EndOfDispatch {
            ComMonitorState& state;
            QPointer<TCustomComPort>& alive;
            ~EndOfDispatch() {
              state.dispatching = false;
              if (state.retired && alive) alive->ReapMonitorsLater();
            }
          } end{*state, alive};
          // An error of a handler must not leave through the hand-over: the
          // monitor waits until the hand-over's event is gone, and the error
          // display may run a modal loop first. It is raised again from a
          // queued call, where the application's error display shows it.
          // Bytes that a failed dispatch left waiting are not offered again
          // until more arrive: poll() would report them at once, and the
          // same error would follow at full speed.
          try {
            return port->DispatchEvents(*state, set, lost, lostErrno);
          } catch (...) {
            if (alive) alive->RaiseLater(std::current_exception());
            return set.Has(evRxChar);
          }
        },
        Qt::BlockingQueuedConnection, &stalled);
    // The port may have closed the tty during the dispatch; its number may
    // already belong to another file.
    if (lost || state->stop.load()) break;

    watchInput = !stalled;
    if (stalled && posix::InputCount(fd, &pausedCount) != 0) pausedCount = -1;
  }
  eventfd_write(state->doneFd, 1);
}

}  // namespace o5
