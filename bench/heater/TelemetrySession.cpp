// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/heater/TelemetrySession.h"

#include "heater/TelemetryDecoder.h"
#include "link/Frame.h"

namespace o5 {

namespace {

// Telemetry carries no request bits and never the reply flag.
constexpr uint8_t kTelemetryControl = 0x00;

class Noise {
 public:
  int Next(int range) {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(range));
  }

 private:
  uint32_t state_ = 12345;
};

void Put(std::vector<uint8_t>& out, uint8_t kind, int b6, int b7, int b8, int b9) {
  const Frame f = BuildRequest(kTelemetryControl, 0, 0, kind, static_cast<uint8_t>(b6),
                               static_cast<uint8_t>(b7), static_cast<uint8_t>(b8),
                               static_cast<uint8_t>(b9));
  out.insert(out.end(), f.begin(), f.end());
}

}  // namespace

std::vector<uint8_t> GenerateTelemetrySession(int cycles) {
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(cycles) * kFramesPerCycle * kFrameSize);
  Noise noise;
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const int runTimer = cycle & 0xFFFF;
    const int warm = runTimer < 600 ? runTimer / 10 : 60;
    const int mode = runTimer < 30 ? 1 : runTimer < 120 ? 3 + runTimer % 18 : 21 + (runTimer / 900) % 3;
    const int flameKelvin = 273 + 20 + warm * 8 + noise.Next(20);
    Put(out, kTelemetryRunTime, runTimer >> 8, runTimer, mode, 0);
    Put(out, kTelemetryFan, 40 + noise.Next(10), 55, 50 + noise.Next(10), runTimer > 30);
    Put(out, kTelemetryOutputs, 1, runTimer < 90, 120 + noise.Next(8), mode);
    Put(out, kTelemetryTemperatures, warm - 10, warm - 5 + noise.Next(3), flameKelvin >> 8, flameKelvin);
    Put(out, kTelemetryBoard, noise.Next(4), 100, 25 + noise.Next(3), 0);
    Put(out, kTelemetryFaults, 0, 0, 0, noise.Next(1000) == 0 ? 0x04 : 0);
    Put(out, kTelemetryEndOfCycle, 0, 0, 0, 0);
  }
  return out;
}

}  // namespace o5
