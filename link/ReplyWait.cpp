// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ReplyWait.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace o5 {

bool ServeUntilReply(FrameReceiver& receiver, uint8_t expectedByte4, uint8_t expectedByte5,
                     const std::function<bool()>& cancelled, Frame* reply, int expectedByte6) {
  FrameReceiver::PendingReply wait(expectedByte4, expectedByte5, expectedByte6);
  receiver.Attach(wait);
  struct Detach {
    FrameReceiver& receiver;
    FrameReceiver::PendingReply& wait;
    ~Detach() { receiver.Detach(wait); }
  } detach{receiver, wait};
  for (;;) {
    if (cancelled && cancelled()) return false;
    if (wait.arrived) {
      if (reply) *reply = wait.reply;
      return true;
    }
    if (wait.Expired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

}  // namespace o5
