// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Frame.h"

#include <cstdio>

namespace o5 {

namespace {
// Weight of each character of an eight-character bit string, leftmost first.
constexpr std::array<uint8_t, 8> kBitWeights = {128, 64, 32, 16, 8, 4, 2, 1};
}  // namespace

uint8_t FrameChecksum(const Frame& frame) {
  unsigned sum = 0;
  for (int i = 0; i < kFrameSize - 1; ++i) sum += frame[i];
  return static_cast<uint8_t>(sum);
}

bool FrameChecksumValid(const Frame& frame) { return FrameChecksum(frame) == frame[9]; }

Frame BuildRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6,
                   uint8_t b7, uint8_t b8, uint8_t b9) {
  Frame f{kStartByte, control, b3, b4, b5, b6, b7, b8, b9, 0};
  f[9] = FrameChecksum(f);
  return f;
}

uint8_t ControlByteFromBits(std::string_view bits) {
  std::string digits;
  for (char c : bits)
    if (c == '0' || c == '1') digits.push_back(c);
  if (digits.size() > 8) digits.erase(0, digits.size() - 8);
  digits.insert(0, 8 - digits.size(), '0');
  unsigned value = 0;
  for (size_t i = 0; i < 8; ++i)
    if (digits[i] == '1') value += kBitWeights[i];
  return static_cast<uint8_t>(value);
}

std::string BitString(uint32_t value, int bits) {
  if (bits > 32) bits = 32;
  std::string s;
  for (int i = bits - 1; i >= 0; --i) s.push_back((value >> i) & 1u ? '1' : '0');
  return s;
}

std::string FrameToHex(const Frame& frame) {
  std::string s;
  char buf[4];
  for (int i = 0; i < kFrameSize; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", frame[i]);
    s += buf;
  }
  return s;
}

}  // namespace o5
