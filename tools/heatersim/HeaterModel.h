// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A heater run as the telemetry shows it: check, eighteen ignition stages, warm-up, high and
// low burning regulated on the liquid temperature, standby with re-ignition, and on stop the
// pre-purge, purge and cooling back to off. Time is simulated: the caller advances it.

#include <array>
#include <cstdint>

#include "tools/heatersim/BlackBox.h"
#include "tools/heatersim/HeaterState.h"
#include "tools/heatersim/SimClock.h"

namespace o5::sim {

class HeaterModel {
 public:
  struct Settings {
    int ambientC = -12;        // a cold start shows temperatures below zero
    int voltageTenths = 126;
  };

  // Durations of the timed modes, and the liquid temperatures that switch the burning modes.
  static constexpr Milliseconds kCheckTime{4000};
  static constexpr Milliseconds kIgnitionStageTime{2000};
  static constexpr Milliseconds kPrePurgeTime{5000};
  static constexpr Milliseconds kPurgeTime{20000};
  static constexpr Milliseconds kCoolingMinTime{10000};
  static constexpr Milliseconds kCoolingMaxTime{90000};
  static constexpr double kWarmUpEndC = 40;
  static constexpr double kHighEndC = 75;
  static constexpr double kLowBackToHighC = 65;
  static constexpr double kStandbyC = 85;
  static constexpr double kReigniteC = 55;

  HeaterModel(const Settings& settings, BlackBox& blackBox);

  // Start is ignored while the heater burns or checks; during the after-run it begins a new
  // run. Both return whether they changed anything.
  bool Start();
  bool Stop();
  // A fault of the given code: its bit and code appear in the telemetry, the black box gets a
  // record, and a burning heater stops. Code 0 clears the fault. False for an unknown code.
  bool SetFault(int code);
  void SetVoltage(int tenths) { settings_.voltageTenths = tenths; }

  void Advance(Milliseconds simulated);

  HeaterState State() const;
  int Mode() const { return mode_; }
  bool Running() const { return mode_ != kModeOff; }

 private:
  void Step();  // one tick of kTick
  void EnterMode(int mode);
  void UpdateTargets();
  bool Burning() const;
  double Ripple(double amplitude);

  static constexpr Milliseconds kTick{100};

  Settings settings_;
  BlackBox& blackBox_;
  int mode_ = kModeOff;
  Milliseconds runTime_{0};
  Milliseconds modeTime_{0};
  Milliseconds pending_{0};
  Milliseconds unbookedRunTime_{0};
  std::uint8_t lastCommand_ = 0;
  std::uint8_t attempt_ = 0;
  std::uint8_t errorCode_ = 0;
  std::array<std::uint8_t, 4> faultBytes_{};
  double liquidAfter10s_ = 0;

  double liquid_;
  double overheat_;
  double flameK_;
  double board_;
  double fanSet_ = 0;
  double fanMeasured_ = 0;
  double fuel_ = 0;
  double glow_ = 0;
  bool pump_ = false;
  bool relay_ = false;
  double heatRate_ = 0;      // degrees per second while the flame burns
  double flameTarget_ = 0;   // Kelvin
  double overheatLead_ = 0;  // overheat sensor above the liquid, degrees
  double voltageRipple_ = 0;
  std::uint32_t noise_ = 0x2545F491u;
};

}  // namespace o5::sim
