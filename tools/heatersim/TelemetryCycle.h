// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven frames of one telemetry cycle, kinds 'e' to 'k', laid out byte by byte.

#include <array>

#include "tools/heatersim/HeaterState.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

std::array<Frame, kKindsPerCycle> BuildTelemetryCycle(const HeaterState& state);

}  // namespace o5::sim
