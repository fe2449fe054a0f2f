// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the graph window dresses its chart: the colours a person can tell
// apart and the colours of the operating modes in the strip under the plot.
// A hover over the strip names a mode and a fault as the rest of the tool
// does (heater/ModeNames, heater/FaultLegend).

#include <array>
#include <cstdint>
#include <string>

#include "chart/ChartModel.h"

namespace o5 {

// Thirteen colours for the thirteen series that stay apart for colour-blind
// eyes too: Paul Tol's discrete rainbow scheme for thirteen classes, 0xRRGGBB.
extern const std::array<std::uint32_t, 13> kDistinctColors;

// The strip's colour of an operating mode: one per group the modes window
// lists (the eighteen ignition steps share one).
std::uint32_t ModeColor(int mode);

// The strip of the graph window: modes from "Режим", marks from "Неисправность".
ChartTimeline GraphTimeline(bool shown);

}  // namespace o5
