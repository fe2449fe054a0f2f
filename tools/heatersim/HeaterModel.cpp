// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/HeaterModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/heatersim/FaultBits.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

namespace {

constexpr double kKelvinOffset = 273;
constexpr double kTickSeconds = 0.1;

// Time constants of the lags, seconds.
constexpr double kFanLag = 1.5;
constexpr double kFlameLag = 6;
constexpr double kFlameCoolLag = 25;
constexpr double kOverheatLag = 5;
constexpr double kBoardLag = 120;
constexpr double kLiquidLossPumped = 400;
constexpr double kLiquidLossStill = 1500;

// Flame detected from the seventh ignition stage on.
constexpr int kFirstFlameMode = kModeIgnitionFirst + 6;

bool IsIgnition(int mode) { return mode >= kModeIgnitionFirst && mode <= kModeIgnitionLast; }

// Check, ignition, burning and standby: the modes a stop request ends.
bool IsStoppable(int mode) {
  return mode == kModeCheck || IsIgnition(mode) || mode == kModeWarmUp || mode == kModeHigh ||
         mode == kModeLow || mode == kModeStandby;
}

template <typename T>
T Clamped(double value) {
  const double low = static_cast<double>(std::numeric_limits<T>::min());
  const double high = static_cast<double>(std::numeric_limits<T>::max());
  return static_cast<T>(std::lround(std::clamp(value, low, high)));
}

}  // namespace

HeaterModel::HeaterModel(const Settings& settings, BlackBox& blackBox)
    : settings_(settings),
      blackBox_(blackBox),
      liquid_(settings.ambientC),
      overheat_(settings.ambientC),
      flameK_(settings.ambientC + kKelvinOffset),
      board_(settings.ambientC) {}

bool HeaterModel::Start() {
  lastCommand_ = kCodeStart;
  if (IsStoppable(mode_)) return false;
  runTime_ = Milliseconds{0};
  attempt_ = 1;
  errorCode_ = 0;
  faultBytes_ = {};
  liquidAfter10s_ = liquid_;
  EnterMode(kModeCheck);
  return true;
}

bool HeaterModel::Stop() {
  lastCommand_ = kCodeStop;
  if (!IsStoppable(mode_)) return false;
  EnterMode(kModePrePurge);
  return true;
}

bool HeaterModel::SetFault(int code) {
  if (code == 0) {
    errorCode_ = 0;
    faultBytes_ = {};
    return true;
  }
  const auto bit = FaultBitForCode(code);
  if (!bit) return false;
  errorCode_ = bit->code;
  faultBytes_[bit->faultByte - 1] |= bit->mask;

  const HeaterState now = State();
  BlackBox::FaultRecord record;
  record.code = bit->code;
  record.timeSeconds = now.runSeconds;
  record.mode = now.mode;
  record.voltageTenths = now.voltageTenths;
  record.flameKelvin = now.flameKelvin;
  record.liquid = now.liquid;
  record.overheat = now.overheat;
  record.liquidAfter10s = Clamped<std::int8_t>(liquidAfter10s_);
  record.attempt = std::max<std::uint8_t>(attempt_, 1);
  record.faultBytes = faultBytes_;
  blackBox_.RecordFault(record);

  if (IsIgnition(mode_)) blackBox_.CountFailedStart();
  if (IsStoppable(mode_)) EnterMode(kModePrePurge);
  return true;
}

void HeaterModel::Advance(Milliseconds simulated) {
  pending_ += simulated;
  while (pending_ >= kTick) {
    pending_ -= kTick;
    Step();
  }
}

void HeaterModel::EnterMode(int mode) {
  mode_ = mode;
  modeTime_ = Milliseconds{0};
  if (mode == kModeOff) runTime_ = Milliseconds{0};
  UpdateTargets();
}

bool HeaterModel::Burning() const {
  return (IsIgnition(mode_) && mode_ >= kFirstFlameMode) || mode_ == kModeWarmUp || mode_ == kModeHigh ||
         mode_ == kModeLow;
}

void HeaterModel::Step() {
  modeTime_ += kTick;
  if (Running()) {
    const bool crossesTen = runTime_ < Milliseconds{10000} && runTime_ + kTick >= Milliseconds{10000};
    runTime_ += kTick;
    if (crossesTen) liquidAfter10s_ = liquid_;
    unbookedRunTime_ += kTick;
    while (unbookedRunTime_ >= Milliseconds{1000}) {
      unbookedRunTime_ -= Milliseconds{1000};
      const BlackBox::RunMode category = mode_ == kModeLow      ? BlackBox::RunMode::Low
                                         : mode_ == kModeHigh    ? BlackBox::RunMode::High
                                         : mode_ == kModeStandby ? BlackBox::RunMode::Standby
                                                                 : BlackBox::RunMode::Other;
      blackBox_.AddRunTime(category, 1);
    }
  }

  const double ambientK = settings_.ambientC + kKelvinOffset;
  switch (mode_) {
    case kModeCheck:
      if (modeTime_ >= kCheckTime) EnterMode(kModeIgnitionFirst);
      break;
    case kModeWarmUp:
      if (liquid_ >= kWarmUpEndC) EnterMode(kModeHigh);
      break;
    case kModeHigh:
      if (liquid_ >= kHighEndC) EnterMode(kModeLow);
      break;
    case kModeLow:
      if (liquid_ >= kStandbyC) EnterMode(kModeStandby);
      else if (liquid_ < kLowBackToHighC) EnterMode(kModeHigh);
      break;
    case kModeStandby:
      if (liquid_ < kReigniteC) EnterMode(kModeIgnitionFirst);
      break;
    case kModePrePurge:
      if (modeTime_ >= kPrePurgeTime) EnterMode(kModePurge);
      break;
    case kModePurge:
      if (modeTime_ >= kPurgeTime) EnterMode(kModeCooling);
      break;
    case kModeCooling:
      if ((modeTime_ >= kCoolingMinTime && flameK_ < ambientK + 60) || modeTime_ >= kCoolingMaxTime) {
        EnterMode(kModeOff);
      }
      break;
    default:
      if (IsIgnition(mode_) && modeTime_ >= kIgnitionStageTime) {
        if (mode_ < kModeIgnitionLast) {
          EnterMode(mode_ + 1);
        } else {
          blackBox_.CountStart(attempt_);
          EnterMode(kModeWarmUp);
        }
      }
      break;
  }
  UpdateTargets();

  fanMeasured_ += (fanSet_ - fanMeasured_) * kTickSeconds / kFanLag;
  if (Burning()) {
    flameK_ += (flameTarget_ - flameK_) * kTickSeconds / kFlameLag;
    liquid_ += heatRate_ * kTickSeconds;
  } else {
    flameK_ += (ambientK - flameK_) * kTickSeconds / kFlameCoolLag;
  }
  liquid_ -= (liquid_ - settings_.ambientC) * kTickSeconds / (pump_ ? kLiquidLossPumped : kLiquidLossStill);
  overheat_ += (liquid_ + overheatLead_ - overheat_) * kTickSeconds / kOverheatLag;
  board_ += (settings_.ambientC + (Running() ? 25.0 : 0.0) - board_) * kTickSeconds / kBoardLag;
  if (modeTime_.count() % 1000 == 0) voltageRipple_ = Ripple(1.0);
}

void HeaterModel::UpdateTargets() {
  const double stageTime = static_cast<double>(modeTime_.count()) / 1000.0;
  pump_ = Running();
  relay_ = Running();
  glow_ = 0;
  fuel_ = 0;
  fanSet_ = 0;
  heatRate_ = 0;
  flameTarget_ = 0;
  overheatLead_ = 0;
  if (mode_ == kModeCheck) {
    fanSet_ = 20;
    glow_ = stageTime < 2 ? 100 : 0;
  } else if (IsIgnition(mode_)) {
    const int stage = mode_ - kModeIgnitionFirst + 1;  // 1..18
    glow_ = stage <= 14 ? 100 : stage <= 16 ? 50 : 0;
    fanSet_ = 15 + stage;
    fuel_ = stage >= 4 ? 10 + stage : 0;
    flameTarget_ = 450 + 15.0 * (stage - 7);
    heatRate_ = 0.15;
    overheatLead_ = 1;
  } else if (mode_ == kModeWarmUp) {
    fanSet_ = 55;
    fuel_ = 30;
    flameTarget_ = 700;
    heatRate_ = 1.3;
    overheatLead_ = 5;
  } else if (mode_ == kModeHigh) {
    fanSet_ = 88;
    fuel_ = 48;
    flameTarget_ = 820;
    heatRate_ = 1.0;
    overheatLead_ = 8;
  } else if (mode_ == kModeLow) {
    fanSet_ = 40;
    fuel_ = 18;
    flameTarget_ = 640;
    heatRate_ = 0.5;
    overheatLead_ = 4;
  } else if (mode_ == kModePrePurge) {
    fanSet_ = 60;
  } else if (mode_ == kModePurge) {
    fanSet_ = 100;
  } else if (mode_ == kModeCooling) {
    fanSet_ = 35;
  }
}

double HeaterModel::Ripple(double amplitude) {
  // xorshift: cheap, and the same run every time, which keeps the tests repeatable.
  noise_ ^= noise_ << 13;
  noise_ ^= noise_ >> 17;
  noise_ ^= noise_ << 5;
  return amplitude * (static_cast<double>(noise_ % 2001) / 1000.0 - 1.0);
}

HeaterState HeaterModel::State() const {
  HeaterState s;
  s.runSeconds = Clamped<std::uint16_t>(static_cast<double>(runTime_.count() / 1000));
  s.modeSeconds = Clamped<std::uint8_t>(static_cast<double>(modeTime_.count() / 1000));
  s.errorCode = errorCode_;
  s.fuelPump = Clamped<std::uint8_t>(fuel_);
  s.fanSet = Clamped<std::uint8_t>(fanSet_);
  // The measured speed hovers around the lagging value, as a tachometer reading does.
  const double jitter = fanMeasured_ > 1 ? ((runTime_.count() / 1000) % 3) - 1.0 : 0.0;
  s.fanMeasured = Clamped<std::uint8_t>(fanMeasured_ + jitter);
  s.coolantPump = pump_ ? 1 : 0;
  s.relay = relay_ ? 1 : 0;
  s.glowPlug = Clamped<std::uint8_t>(glow_);
  s.voltageTenths = Clamped<std::uint8_t>(settings_.voltageTenths - 14.0 * glow_ / 100.0 - 3.0 * fanSet_ / 100.0 +
                                          voltageRipple_);
  s.mode = static_cast<std::uint8_t>(mode_);
  s.liquid = Clamped<std::int8_t>(liquid_);
  s.overheat = Clamped<std::int8_t>(overheat_);
  s.flameKelvin = Clamped<std::uint16_t>(flameK_);
  s.board = Clamped<std::int8_t>(board_);
  s.lastCommand = lastCommand_;
  s.attempt = attempt_;
  s.faultBytes = faultBytes_;
  return s;
}

}  // namespace o5::sim
