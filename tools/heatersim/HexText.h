// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bytes as text, the way the log, the commands and the test harness write them:
// upper-case pairs of hex digits separated by single blanks ("AA 09 00 00 68 00 00 00 00 1B").

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace o5::sim {

std::string ToHex(const std::uint8_t* bytes, std::size_t count);
std::string ToHex(const std::vector<std::uint8_t>& bytes);

// Accepts pairs of hex digits, optionally prefixed with 0x, separated by blanks, commas or
// colons, or written together ("AA09", "0xAA,0x09", "aa 09"). Returns nothing for any other
// character or an odd number of digits in a group.
std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text);

}  // namespace o5::sim
