// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/FrameReceiver.h"

#include <algorithm>

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
  if (buffer_[1] & kReplyFlag) {
    ++counters_.replies;
    lastReply_ = buffer_;
    // The innermost wait asked last, so the reply answers it. A wait whose
    // time ran out has ended, even if it has not returned yet because a wait
    // inside it still runs.
    for (auto it = waits_.rbegin(); it != waits_.rend(); ++it) {
      PendingReply* wait = *it;
      if (wait->arrived || wait->Expired()) continue;
      if (buffer_[3] != wait->byte4 || buffer_[4] != wait->byte5) continue;
      if (wait->byte6 != kAnyByte && buffer_[5] != wait->byte6) continue;
      wait->arrived = true;
      wait->reply = buffer_;
      break;
    }
    return false;
  }
  return true;
}

void FrameReceiver::DropPartialFrame() {
  if (byteCount_ == 0) return;
  byteCount_ = 0;
  partialTicks_ = 0;
  hunting_ = true;
  ++counters_.partialDropped;
}

void FrameReceiver::Tick() {
  if (byteCount_ > 0 && ++partialTicks_ > kPartialFrameTicks) DropPartialFrame();
  for (PendingReply* wait : waits_)
    if (wait->ticks < kReplyTicks) ++wait->ticks;
}

void FrameReceiver::Attach(PendingReply& wait) {
  wait.ticks = 0;
  wait.arrived = false;
  waits_.push_back(&wait);
}

void FrameReceiver::Detach(PendingReply& wait) {
  waits_.erase(std::remove(waits_.begin(), waits_.end(), &wait), waits_.end());
}

}  // namespace o5
