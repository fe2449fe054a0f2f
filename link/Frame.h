// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 10-byte frame of the heater's diagnostic line, in both directions.
//
//   byte 1  start byte 0xAA          byte 5     command code / telemetry kind
//   byte 2  control byte (0x10=reply) bytes 6-9 data
//   byte 3, 4                         byte 10    sum of bytes 1..9, modulo 256
//
// Frame indices in code are 0-based: frame[0] is byte 1, frame[9] is byte 10.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace o5 {

inline constexpr int kFrameSize = 10;
inline constexpr uint8_t kStartByte = 0xAA;
inline constexpr uint8_t kReplyFlag = 0x10;
// An expected byte that a reply may carry with any value.
inline constexpr int kAnyByte = -1;

using Frame = std::array<uint8_t, kFrameSize>;

// Low eight bits of the sum of the first nine bytes, start byte included.
uint8_t FrameChecksum(const Frame& frame);
bool FrameChecksumValid(const Frame& frame);

// Lays out a request: 0xAA, control byte, bytes 3..9, checksum.
Frame BuildRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6,
                   uint8_t b7, uint8_t b8, uint8_t b9);

// Reads an eight-character string of '0' and '1' as a byte, most significant bit
// first. Other characters are dropped, only the last eight digits count, and a
// shorter string is padded with '0' in front ("1x0" reads as "10").
uint8_t ControlByteFromBits(std::string_view bits);

// The low `bits` bits of `value`, most significant first ("00000101" for 5, 8).
// More than 32 bits is read as 32; zero or fewer gives the empty string.
std::string BitString(uint32_t value, int bits);

// "AA 09 00 ..." for traces and test messages.
std::string FrameToHex(const Frame& frame);

}  // namespace o5
