// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decides which frames a rate-based fault hits. Seeded, so that a run can be repeated exactly.

#include <cstdint>
#include <random>

namespace o5::sim {

class FaultDice {
 public:
  explicit FaultDice(std::uint32_t seed) : engine_(seed) {}

  void Reseed(std::uint32_t seed) { engine_.seed(seed); }
  // True with the given chance in percent; 0 never, 100 always.
  bool Roll(double percent) {
    if (percent <= 0) return false;
    if (percent >= 100) return true;
    return std::uniform_real_distribution<double>(0, 100)(engine_) < percent;
  }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
  // A noise byte never looks like a start byte: noise between frames is to be discarded by
  // the tool, not to swallow the next frame.
  std::uint8_t NoiseByte() {
    for (;;) {
      const auto byte = static_cast<std::uint8_t>(Between(0, 255));
      if (byte != 0xAA) return byte;
    }
  }

 private:
  std::mt19937 engine_;
};

}  // namespace o5::sim
