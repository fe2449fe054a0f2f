// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Assembles received bytes into frames and keeps the link state that the reply
// wait relies on. One instance serves the whole program; it is driven by the
// receive handler (Feed) and by the 100 ms timer (Tick).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/Frame.h"

namespace o5 {

class FrameReceiver {
 public:
  // Ticks after which a partly assembled frame is dropped: it must complete by
  // the fourth tick after its first byte.
  static constexpr int kPartialFrameTicks = 3;
  // Timer ticks a reply wait lasts.
  static constexpr int kReplyTicks = 10;

  struct Counters {
    uint64_t frames = 0;        // completed with a valid checksum
    uint64_t badChecksum = 0;   // completed and dropped
    uint64_t replies = 0;       // valid frames with the reply flag
    uint64_t partialDropped = 0;
  };

  // Takes bytes in order. Every valid telemetry frame (checksum correct, reply
  // flag clear) is passed to onTelemetry before the next byte is taken; a reply
  // stays in the frame buffer for the reply wait.
  template <class OnTelemetry>
  void Feed(const uint8_t* data, size_t size, OnTelemetry&& onTelemetry) {
    for (size_t i = 0; i < size; ++i) {
      const uint8_t b = data[i];
      if (hunting_) {
        if (b != kStartByte) continue;
        buffer_[0] = b;
        byteCount_ = 1;
        hunting_ = false;
        continue;
      }
      buffer_[byteCount_++] = b;
      if (byteCount_ == kFrameSize && Complete()) onTelemetry(static_cast<const Frame&>(buffer_));
    }
  }

  // Forgets a frame that is only partly assembled.
  void DropPartialFrame();

  // The watchdog: drops a partial frame on its fourth tick and counts the
  // ticks of every attached wait up to their limit.
  void Tick();

  // One reply wait: the reply it expects, the timer ticks it has waited and
  // the reply that ended it. A command started during another command's wait
  // waits inside it, so every wait keeps its own expectation and time. Every
  // attached wait sees every tick, and a reply for the outer wait that arrives
  // during an inner one still ends the outer one; but one reply ends one wait
  // only, the innermost that expects it, so that two commands can never both
  // take the answer that the heater gave to one of them.
  struct PendingReply {
    // byte6, when given, is the value reply byte 6 must carry (a black-box
    // read's address): a reply to some other request that is still on its
    // way (one sent before the port was last opened, say) leaves the wait.
    PendingReply(uint8_t expectedByte4, uint8_t expectedByte5, int expectedByte6 = kAnyByte)
        : byte4(expectedByte4), byte5(expectedByte5), byte6(expectedByte6) {}
    bool Expired() const { return ticks >= kReplyTicks; }
    uint8_t byte4;
    uint8_t byte5;
    int byte6;
    int ticks = 0;
    bool arrived = false;
    Frame reply{};
  };
  // A wait takes part from Attach until Detach; replies and ticks from before
  // it began do not count.
  void Attach(PendingReply& wait);
  void Detach(PendingReply& wait);
  size_t WaitDepth() const { return waits_.size(); }

  const Frame& buffer() const { return buffer_; }
  // The latest reply frame. It is kept apart from the frame buffer, which the
  // bytes of the next frame overwrite: a reply followed in the same receive
  // event by more bytes (telemetry, noise) must still end its wait.
  const Frame& lastReply() const { return lastReply_; }
  int byteCount() const { return byteCount_; }
  bool hunting() const { return hunting_; }
  const Counters& counters() const { return counters_; }

 private:
  // Ends the frame in the buffer; true when it is telemetry to decode.
  bool Complete();

  Frame buffer_{};
  Frame lastReply_{};
  int byteCount_ = 0;
  bool hunting_ = true;
  int partialTicks_ = 0;
  std::vector<PendingReply*> waits_;  // outermost first
  Counters counters_;
};

}  // namespace o5
