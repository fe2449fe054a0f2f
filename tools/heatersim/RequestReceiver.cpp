// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/RequestReceiver.h"

namespace o5::sim {

std::vector<RequestReceiver::Event> RequestReceiver::Feed(const std::uint8_t* bytes, std::size_t count,
                                                          TimePoint now) {
  std::vector<Event> events = Expire(now);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[i];
    if (count_ == 0) {
      if (byte != kStartByte) {
        garbage_.push_back(byte);
        lastGarbage_ = now;
        if (garbage_.size() >= kGarbageRunMax) FlushGarbage(events);
        continue;
      }
      FlushGarbage(events);
      frame_[0] = byte;
      count_ = 1;
      frameStart_ = now;
      continue;
    }
    frame_[count_++] = byte;
    if (count_ == kFrameSize) {
      count_ = 0;
      const EventType type = HasValidChecksum(frame_) ? EventType::Frame : EventType::BadChecksum;
      events.push_back({type, std::vector<std::uint8_t>(frame_.begin(), frame_.end())});
    }
  }
  return events;
}

std::vector<RequestReceiver::Event> RequestReceiver::Expire(TimePoint now) {
  std::vector<Event> events;
  if (!garbage_.empty() && now - lastGarbage_ >= kGarbageQuiet) FlushGarbage(events);
  if (count_ > 0 && now - frameStart_ >= kPartialLimit) {
    events.push_back({EventType::Partial, std::vector<std::uint8_t>(frame_.begin(), frame_.begin() + count_)});
    count_ = 0;
  }
  return events;
}

std::vector<RequestReceiver::Event> RequestReceiver::Flush() {
  std::vector<Event> events;
  FlushGarbage(events);
  if (count_ > 0) {
    events.push_back({EventType::Partial, std::vector<std::uint8_t>(frame_.begin(), frame_.begin() + count_)});
    count_ = 0;
  }
  return events;
}

std::optional<TimePoint> RequestReceiver::NextDeadline() const {
  std::optional<TimePoint> deadline;
  if (!garbage_.empty()) deadline = lastGarbage_ + kGarbageQuiet;
  if (count_ > 0) {
    const TimePoint partial = frameStart_ + kPartialLimit;
    if (!deadline || partial < *deadline) deadline = partial;
  }
  return deadline;
}

void RequestReceiver::FlushGarbage(std::vector<Event>& events) {
  if (garbage_.empty()) return;
  events.push_back({EventType::Garbage, std::move(garbage_)});
  garbage_.clear();
}

}  // namespace o5::sim
