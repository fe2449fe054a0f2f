// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

std::uint8_t FrameChecksum(const Frame& frame) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < kChecksumIndex; ++i) sum += frame[i];
  return static_cast<std::uint8_t>(sum & 0xFF);
}

bool HasValidChecksum(const Frame& frame) {
  return frame[0] == kStartByte && frame[kChecksumIndex] == FrameChecksum(frame);
}

Frame BuildFrame(std::uint8_t control, std::uint8_t byte3, std::uint8_t byte4, std::uint8_t code,
                 const FrameData& data) {
  Frame frame{kStartByte, control, byte3, byte4, code, data[0], data[1], data[2], data[3], 0};
  frame[kChecksumIndex] = FrameChecksum(frame);
  return frame;
}

}  // namespace o5::sim
