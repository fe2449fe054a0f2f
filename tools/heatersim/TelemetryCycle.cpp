// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/TelemetryCycle.h"

#include <cstdint>

namespace o5::sim {

namespace {

std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t Raw(std::int8_t value) { return static_cast<std::uint8_t>(value); }

Frame Telemetry(std::uint8_t kind, const FrameData& data) {
  return BuildFrame(kTelemetryControl, 0, 0, kind, data);
}

}  // namespace

std::array<Frame, kKindsPerCycle> BuildTelemetryCycle(const HeaterState& s) {
  // 16-bit values travel high byte first.
  return {
      Telemetry(kKindRunTime, {High(s.runSeconds), Low(s.runSeconds), s.modeSeconds, s.errorCode}),
      Telemetry(kKindFanPump, {s.fuelPump, s.fanSet, s.fanMeasured, s.coolantPump}),
      Telemetry(kKindPower, {s.relay, s.glowPlug, s.voltageTenths, s.mode}),
      Telemetry(kKindTemperatures, {Raw(s.liquid), Raw(s.overheat), High(s.flameKelvin), Low(s.flameKelvin)}),
      Telemetry(kKindBoard, {s.attempt, s.lastCommand, Raw(s.board), 0}),
      Telemetry(kKindFaults, {s.faultBytes[0], s.faultBytes[1], s.faultBytes[2], s.faultBytes[3]}),
      Telemetry(kKindEndOfCycle, {0, 0, 0, 0}),
  };
}

}  // namespace o5::sim
