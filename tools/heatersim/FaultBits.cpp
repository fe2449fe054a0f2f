// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/FaultBits.h"

namespace o5::sim {

const std::array<FaultBit, 30>& FaultBitTable() {
  // In the legend's order: fault byte 1 bit 8 first, fault byte 4 bit 1 last.
  static const std::array<FaultBit, 30> kTable{{
      {16, 1, 0x80},  // flame sensor not cooled down enough
      {13, 1, 0x40},  // start attempts used up
      {20, 1, 0x20},  // no link on the serial channel
      {17, 1, 0x10},  // fuel pump short circuit
      {17, 1, 0x08},  // fuel pump open circuit
      {28, 1, 0x04},  // blower turns by itself
      {10, 1, 0x02},  // blower turns hard
      {27, 1, 0x01},  // blower does not turn
      {4, 2, 0x80},   // liquid temperature sensor short circuit
      {4, 2, 0x40},   // liquid temperature sensor open circuit
      {3, 2, 0x20},   // overheat sensor short circuit
      {3, 2, 0x10},   // overheat sensor open circuit
      {21, 2, 0x08},  // flame out during warm-up
      {5, 2, 0x04},   // flame sensor open circuit
      {6, 2, 0x02},   // board temperature sensor short circuit
      {6, 2, 0x01},   // board temperature sensor open circuit
      {9, 3, 0x80},   // glow plug short circuit
      {9, 3, 0x40},   // glow plug open circuit
      {14, 3, 0x20},  // coolant pump short circuit
      {14, 3, 0x10},  // coolant pump open circuit
      {12, 3, 0x08},  // supply voltage too high
      {15, 3, 0x04},  // supply voltage too low
      {18, 4, 0x80},  // relay short circuit
      {18, 4, 0x40},  // relay open circuit
      {7, 4, 0x20},   // flame out in the low mode
      {8, 4, 0x10},   // flame out in the high mode
      {19, 4, 0x08},  // flame out in the middle mode
      {11, 4, 0x04},  // overheat by rate of rise
      {2, 4, 0x02},   // possible overheat
      {1, 4, 0x01},   // overheat
  }};
  return kTable;
}

std::optional<FaultBit> FaultBitForCode(int code) {
  for (const FaultBit& bit : FaultBitTable()) {
    if (bit.code == code) return bit;
  }
  return std::nullopt;
}

}  // namespace o5::sim
