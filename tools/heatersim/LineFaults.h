// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults of the line and of the heater's answers that can be switched on by option at start
// or by command while the simulator runs. One parser serves both, so an option and the command
// of the same name always mean the same thing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/heatersim/ArgParse.h"
#include "tools/heatersim/SimClock.h"

namespace o5::sim {

struct LineFaults {
  double badChecksumPercent = 0;  // frames sent with their checksum off by one
  double partialPercent = 0;      // frames cut after 1..9 bytes
  double noisePercent = 0;        // 1..4 noise bytes (never 0xAA) put before a frame
  double splitPercent = 0;        // frames written in two pieces with a pause between
  Milliseconds splitGap{50};
  CodeList noReply;               // request codes left unanswered
  Milliseconds replyDelay{0};     // added before every reply
  bool wrongByte4 = false;        // replies carry 1 instead of 0 in byte 4
  bool noBlackBox = false;        // the signature reads 0x55 0x38

  bool Unanswered(std::uint8_t code) const { return noReply.all || noReply.codes.count(code) > 0; }
  // Every fault of this set off.
  void Clear() { *this = LineFaults{}; }
  // One line, "name=value" pairs, for the status report.
  std::string Describe() const;
};

// Names of the settings, as commands and, with "--" before them, as options.
inline constexpr std::string_view kFaultBadChecksum = "bad-checksum";
inline constexpr std::string_view kFaultPartial = "partial";
inline constexpr std::string_view kFaultNoise = "noise";
inline constexpr std::string_view kFaultSplit = "split";
inline constexpr std::string_view kFaultSplitGap = "split-gap";
inline constexpr std::string_view kFaultNoReply = "no-reply";
inline constexpr std::string_view kFaultReplyDelay = "reply-delay";
inline constexpr std::string_view kFaultWrongByte4 = "wrong-byte4";
inline constexpr std::string_view kFaultNoBlackBox = "no-blackbox";

bool IsFaultSetting(std::string_view name);
// Applies one setting with its arguments as typed. A switch without an argument means "on".
// Returns an error text for a bad value; the faults are then unchanged.
std::optional<std::string> ApplyFaultSetting(LineFaults& faults, std::string_view name,
                                             const std::vector<std::string>& args);

}  // namespace o5::sim
