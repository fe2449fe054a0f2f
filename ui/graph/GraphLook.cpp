// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/GraphLook.h"

#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"
#include "heater/TelemetrySeries.h"

namespace o5 {

const std::array<std::uint32_t, 13> kDistinctColors = {
    0xD1BBD7, 0xAE76A3, 0x882E72, 0x1965B0, 0x5289C7, 0x7BAFDE, 0x4EB265,
    0x90C987, 0xCAE0AB, 0xF7F056, 0xF4A736, 0xE8601C, 0xDC050C,
};

namespace {

// The first and the last mode of each group, with its colour.
struct ModeGroup {
  int first;
  int last;
  std::uint32_t rgb;
};

constexpr ModeGroup kModeGroups[] = {
    {0, 0, 0xC8C8C8},    // not working
    {1, 1, 0xA0C8FF},    // check before start
    {2, 2, 0x508CE6},    // cooling
    {3, 20, 0xFFA03C},   // ignition
    {21, 21, 0xFADC50},  // warm-up
    {22, 22, 0xE6463C},  // strong
    {23, 23, 0xF09696},  // low
    {24, 24, 0xAA6E3C},  // burn-out
    {25, 25, 0xA0DC8C},  // pre-purge
    {26, 26, 0x5AB45A},  // purge
    {27, 27, 0x78C8C8},  // standby
};
constexpr std::uint32_t kUnknownModeColor = 0x5A5A5A;

}  // namespace

std::uint32_t ModeColor(int mode) {
  for (const ModeGroup& g : kModeGroups)
    if (mode >= g.first && mode <= g.last) return g.rgb;
  return kUnknownModeColor;
}

ChartTimeline GraphTimeline(bool shown) {
  ChartTimeline t;
  t.modeSeries = series::kMode;
  t.faultSeries = series::kError;
  t.shown = shown;
  t.modeColor = ModeColor;
  t.modeText = ModeCaptionText;
  t.faultText = FaultNotice;
  return t;
}

}  // namespace o5
