// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's 32 fault bits and the fault code each one reports. Fault byte 1..4 is frame
// byte 6..9 of telemetry kind 'j' and offset 12..15 of a black-box fault record.

#include <array>
#include <cstdint>
#include <optional>

namespace o5::sim {

struct FaultBit {
  std::uint8_t code;       // the code the black box reports for this bit
  std::uint8_t faultByte;  // 1..4
  std::uint8_t mask;
};

// Every bit that carries a code; two bits of fault byte 3 carry none.
const std::array<FaultBit, 30>& FaultBitTable();

// The first bit (in the table's order) that reports the code; nothing for an unknown code.
std::optional<FaultBit> FaultBitForCode(int code);

// Fault code 13 (start attempts used up) is the one the black box does not count as a fault.
inline constexpr std::uint8_t kCodeStartAttemptsUsedUp = 13;

}  // namespace o5::sim
