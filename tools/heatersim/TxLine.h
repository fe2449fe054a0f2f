// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's transmitter: a queue of frames that leave no faster than the line's bit rate
// allows (10 bits a byte for 8N1), one frame after another and never interleaved. Replies
// overtake telemetry that has not started yet, as the heater's firmware answers between
// telemetry frames.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/heatersim/SimClock.h"

namespace o5::sim {

struct TxItem {
  std::vector<std::uint8_t> bytes;
  std::string tag = "TX";      // the log's tag once the item has gone out
  bool telemetry = false;      // may be dropped while still waiting
  bool priority = false;       // goes before waiting telemetry
  TimePoint notBefore{};       // a delayed reply waits for this
  std::size_t splitAt = 0;     // 1..size-1: pause after this many bytes
  Duration splitGap{};
  std::size_t sent = 0;
  std::size_t lost = 0;        // bytes the device did not take (its buffer was full)
  TimePoint resumeAt{};
};

class TxLine {
 public:
  // Accepted bytes, and whether the line has gone (nobody holds the other end any more).
  struct WriteResult {
    std::size_t accepted = 0;
    bool lineGone = false;
  };
  using WriteFn = std::function<WriteResult(const std::uint8_t* bytes, std::size_t count)>;

  struct PumpResult {
    std::vector<TxItem> finished;
    bool lineGone = false;
  };

  // Bits a byte takes on the line: start bit, eight data bits, stop bit.
  static constexpr long kBitsPerByte = 10;

  // 0 baud: no pacing, every frame is written as soon as it is due.
  explicit TxLine(long baud);

  void SetBaud(long baud);
  long Baud() const { return baud_; }
  Duration ByteTime() const { return byteTime_; }

  void Enqueue(TxItem item);
  // Writes whatever is due at `now`; returns the items that have gone out completely.
  PumpResult Pump(TimePoint now, const WriteFn& write);
  std::optional<TimePoint> NextDeadline() const;
  // Telemetry still waiting in the queue; returns how many frames were dropped.
  std::size_t DropWaitingTelemetry();
  // Telemetry on the line or waiting for it.
  bool TelemetryWaiting() const;
  // Everything still waiting; the frame on the line finishes.
  void DropWaiting() { queue_.clear(); }
  void Clear();
  bool Empty() const { return !current_ && queue_.empty(); }
  std::size_t Waiting() const { return queue_.size(); }

 private:
  bool StartNext(TimePoint now);

  long baud_ = 0;
  Duration byteTime_{};
  TimePoint lineFree_{};
  std::optional<TxItem> current_;
  std::deque<TxItem> queue_;
};

}  // namespace o5::sim
