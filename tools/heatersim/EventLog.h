// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's log on standard error, one line per event:
//
//   <seconds since start, %8.3f> <TAG> <text>
//
// for example "   12.345 RX AA 09 00 00 68 00 00 00 00 1B". Frames are upper-case hex pairs
// separated by single blanks. The tags are listed with --help; a reader splits a line at the
// first two runs of blanks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "tools/heatersim/SimClock.h"

namespace o5::sim {

class EventLog {
 public:
  EventLog(std::FILE* out, TimePoint origin) : out_(out), origin_(origin) {}

  void Line(std::string_view tag, std::string_view text);
  void Bytes(std::string_view tag, const std::uint8_t* bytes, std::size_t count);
  void Bytes(std::string_view tag, const std::vector<std::uint8_t>& bytes) { Bytes(tag, bytes.data(), bytes.size()); }

 private:
  std::FILE* out_;
  TimePoint origin_;
};

}  // namespace o5::sim
