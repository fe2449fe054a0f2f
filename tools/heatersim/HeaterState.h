// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one telemetry cycle reports, in the units the heater sends.

#include <array>
#include <cstdint>

namespace o5::sim {

// Operating modes as the heater numbers them.
inline constexpr int kModeOff = 0;
inline constexpr int kModeCheck = 1;
inline constexpr int kModeCooling = 2;
inline constexpr int kModeIgnitionFirst = 3;
inline constexpr int kModeIgnitionLast = 20;
inline constexpr int kModeWarmUp = 21;
inline constexpr int kModeHigh = 22;
inline constexpr int kModeLow = 23;
inline constexpr int kModePrePurge = 25;
inline constexpr int kModePurge = 26;
inline constexpr int kModeStandby = 27;

struct HeaterState {
  std::uint16_t runSeconds = 0;   // since the latest start
  std::uint8_t modeSeconds = 0;   // in the current mode, stops at 255
  std::uint8_t errorCode = 0;     // fault code of the latest fault, 0 for none
  std::uint8_t fuelPump = 0;      // pump rate, tenths of a hertz
  std::uint8_t fanSet = 0;        // blower set-point, revolutions per second
  std::uint8_t fanMeasured = 0;   // blower measured, revolutions per second
  std::uint8_t coolantPump = 0;   // 1 while running
  std::uint8_t relay = 0;         // 1 while closed
  std::uint8_t glowPlug = 0;      // power, percent
  std::uint8_t voltageTenths = 0; // supply voltage, tenths of a volt
  std::uint8_t mode = kModeOff;
  std::int8_t liquid = 0;         // degrees Celsius
  std::int8_t overheat = 0;       // degrees Celsius
  std::uint16_t flameKelvin = 0;
  std::int8_t board = 0;          // degrees Celsius
  std::uint8_t lastCommand = 0;   // code of the latest start or stop request
  std::uint8_t attempt = 0;       // ignition attempt of this run
  std::array<std::uint8_t, 4> faultBytes{};
};

}  // namespace o5::sim
