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
    lastReply_ = buffer_;
    replyArrived_ = true;
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
  replyArrived_ = false;
}

bool FrameReceiver::PollReply(uint8_t expectedByte4, uint8_t expectedByte5) {
  if (!frameArrived_) return false;
  if (replyArrived_ && lastReply_[3] == expectedByte4 && lastReply_[4] == expectedByte5) return true;
  frameArrived_ = false;
  replyArrived_ = false;
  return false;
}

}  // namespace o5
