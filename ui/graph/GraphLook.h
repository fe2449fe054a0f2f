#pragma once
// How the graph window dresses its chart: the colours a person can tell
// apart, the colours of the operating modes in the strip under the plot, and
// what a hover over the strip says of a mode or a fault code.

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

// A mode as the modes window's bar names it: "21 - Прогрев".
std::string ModeHint(int mode);

// The captions of the fault legend that carry this code, one a line.
std::string FaultHint(int code);

// The strip of the graph window: modes from "Режим", marks from "Неисправность".
ChartTimeline GraphTimeline(bool shown);

}  // namespace o5
