// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's receiver: assembles the tool's bytes into 10-byte frames by the same rules the
// tool applies to the heater's bytes (a frame starts only at 0xAA, every byte of a started
// frame is data, 0xAA included, and a frame that stalls is dropped), and reports what it threw
// away so that the log shows every byte the tool wrote.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "tools/heatersim/SimClock.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

class RequestReceiver {
 public:
  enum class EventType {
    Frame,        // ten bytes with a correct checksum
    BadChecksum,  // ten bytes whose checksum does not match; dropped
    Partial,      // a started frame that stalled or was cut by the line going away; dropped
    Garbage,      // bytes outside any frame; discarded
  };
  struct Event {
    EventType type;
    std::vector<std::uint8_t> bytes;
  };

  // A started frame must be complete this long after its first byte: at 1200 baud a frame
  // takes 83 ms, so this leaves room for a slow writer and still drops a dead one quickly.
  static constexpr Milliseconds kPartialLimit{400};
  // Garbage is reported in runs; a run ends at a start byte, after this much quiet, or when
  // it has grown to kGarbageRunMax bytes, which keeps log lines short.
  static constexpr Milliseconds kGarbageQuiet{100};
  static constexpr std::size_t kGarbageRunMax = 32;

  std::vector<Event> Feed(const std::uint8_t* bytes, std::size_t count, TimePoint now);
  // Drops a stalled frame and closes a quiet garbage run.
  std::vector<Event> Expire(TimePoint now);
  // The line went away: whatever is held is reported and dropped.
  std::vector<Event> Flush();
  std::optional<TimePoint> NextDeadline() const;

 private:
  void FlushGarbage(std::vector<Event>& events);

  Frame frame_{};
  std::size_t count_ = 0;
  TimePoint frameStart_{};
  std::vector<std::uint8_t> garbage_;
  TimePoint lastGarbage_{};
};

}  // namespace o5::sim
