// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's copy of the heater's 256-byte black box, index = black-box
// address. Zero at start; each readout overwrites it in place, chunk by chunk,
// and the report is decoded from it.

#include <array>
#include <cstdint>

namespace o5 {

inline constexpr int kBlackBoxSize = 256;
using BlackBoxBytes = std::array<uint8_t, kBlackBoxSize>;

// Firmware with a black box keeps "U7" at addresses 3 and 4.
inline constexpr int kBlackBoxSignatureAddress = 3;
inline constexpr uint8_t kBlackBoxSignature1 = 0x55;
inline constexpr uint8_t kBlackBoxSignature2 = 0x37;

extern BlackBoxBytes BlackBoxImage;

}  // namespace o5
