#include "link/FrameReceiver.h"

namespace o5 {

bool FrameReceiver::Complete() {
  byteCount_ = 0;
  partialTicks_ = 0;
  hunting_ = true;
  if (!FrameChecksumValid(buffer_)) {
    ++counters_.badChecksum;
    return false;
  }
  ++counters_.frames;
  frameArrived_ = true;
  if (buffer_[1] & kReplyFlag) {
    ++counters_.replies;
    return false;
  }
  return true;
}

void FrameReceiver::Tick() {
  if (byteCount_ > 0 && ++partialTicks_ > kPartialFrameTicks) {
    byteCount_ = 0;
    partialTicks_ = 0;
    hunting_ = true;
    ++counters_.partialDropped;
  }
  if (replyTicks_ < kReplyTicks) ++replyTicks_;
}

void FrameReceiver::BeginWait() {
  replyTicks_ = 0;
  frameArrived_ = false;
}

bool FrameReceiver::PollReply(uint8_t expectedByte4, uint8_t expectedByte5) {
  if (!frameArrived_) return false;
  if ((buffer_[1] & kReplyFlag) && buffer_[3] == expectedByte4 && buffer_[4] == expectedByte5)
    return true;
  frameArrived_ = false;
  return false;
}

}  // namespace o5
