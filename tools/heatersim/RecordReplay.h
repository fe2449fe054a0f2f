// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A saved record log played back: every complete line of the log becomes the telemetry
// cycle, kinds 'e' to 'k', that the heater sent for it. The reading is the simulator's own,
// written from the record's formats like its frame code, so that it checks the tool's
// telemetry decoding instead of sharing its mistakes. A line is complete when writing its
// values back with those formats gives the line itself; lines of cycles that lost frames, and
// anything else, are skipped.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

// Data bytes 6..9 of the frames 'e' to 'j' of one cycle.
using CycleData = std::array<FrameData, kKindsPerCycle - 1>;

// The cycle a record line was logged from; nothing when the line is not a complete record.
std::optional<CycleData> ParseRecordLine(std::string_view line);
// The record line the tool logs for a cycle.
std::string FormatRecordLine(const CycleData& cycle);

class RecordReplay {
 public:
  explicit RecordReplay(std::string_view text);
  // Throws std::runtime_error naming the file when it cannot be read or holds no complete
  // record.
  static RecordReplay Load(const std::string& path);

  std::size_t Records() const { return cycles_.size(); }
  std::size_t Skipped() const { return skipped_; }
  std::size_t Sent() const { return next_; }
  bool Done() const { return next_ >= cycles_.size(); }
  // The frames of the next record; only while not Done().
  std::array<Frame, kKindsPerCycle> NextCycle();

 private:
  std::vector<CycleData> cycles_;
  std::size_t skipped_ = 0;
  std::size_t next_ = 0;
};

}  // namespace o5::sim
