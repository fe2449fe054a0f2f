// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A generated telemetry session: what a running heater sends, one cycle of
// seven frames ('e' to 'k') per second of run time, with plausible, slowly
// changing readings. Deterministic, so runs compare.

#include <cstdint>
#include <vector>

namespace o5 {

inline constexpr int kCyclesPerDay = 86400;
inline constexpr int kFramesPerCycle = 7;

// The bytes of `cycles` telemetry cycles, as they arrive on the line. The run
// timer counts the cycles and wraps at 16 bits, as the heater's does.
std::vector<uint8_t> GenerateTelemetrySession(int cycles = kCyclesPerDay);

}  // namespace o5
