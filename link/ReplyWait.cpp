#include "link/ReplyWait.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace o5 {

namespace {
int waitDepth = 0;
}  // namespace

int ReplyWaitDepth() { return waitDepth; }

bool ServeUntilReply(FrameReceiver& receiver, uint8_t expectedByte4, uint8_t expectedByte5,
                     const bool* cancel) {
  receiver.BeginWait();
  ++waitDepth;
  struct Leave {
    ~Leave() { --waitDepth; }
  } leave;
  do {
    if (cancel && *cancel) return false;
    if (receiver.PollReply(expectedByte4, expectedByte5)) return true;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  } while (!receiver.WaitExpired());
  return false;
}

}  // namespace o5
