// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/SessionRuns.h"

#include <algorithm>
#include <cstdio>

#include "heater/ModeNames.h"

namespace o5 {

namespace {

constexpr int64_t kDaySeconds = 86400;
// The heating modes a run may reach after warming up.
constexpr int kHeatingModes[] = {22, 23, 27};

// Days from 01.01.1970 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  int64_t year;
  int month;
  int day;
};

Civil CivilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = int(doy - (153 * mp + 2) / 5 + 1);
  const int m = int(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

bool IsIgnition(int mode) { return mode >= kFirstIgnitionMode && mode <= kLastIgnitionMode; }

bool Stands(const RunCycle& c) { return c.mode == 0 && c.runTimer < kFirstRunningSecond; }

RunModeTime& ModeTime(SessionRun& run, int mode) {
  for (RunModeTime& t : run.modes)
    if (t.mode == mode) return t;
  run.modes.push_back({mode, 0, 0});
  return run.modes.back();
}

}  // namespace

WallSeconds WallSecondsOf(int year, int month, int day, int hour, int minute, int second) {
  return DaysFromCivil(year, month, day) * kDaySeconds + hour * 3600 + minute * 60 + second;
}

std::string WallDateTimeText(WallSeconds t) {
  const int64_t days = FloorDiv(t, kDaySeconds);
  const int64_t s = t - days * kDaySeconds;
  const Civil c = CivilFromDays(days);
  char text[48];
  std::snprintf(text, sizeof text, "%02d.%02d.%04lld %02d:%02d:%02d", c.day, c.month,
                static_cast<long long>(c.year), int(s / 3600), int(s / 60 % 60), int(s % 60));
  return text;
}

std::string WallTimeText(WallSeconds t) {
  const int64_t s = t - FloorDiv(t, kDaySeconds) * kDaySeconds;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(s / 3600), int(s / 60 % 60), int(s % 60));
  return text;
}

CycleKind SessionRuns::Take(const RunCycle& cycle) {
  ++cycles_;
  if (Stands(cycle)) {
    if (!running_) return CycleKind::kStanding;
    // A young run that stands for a moment may come back.
    if (++standing_ <= kFlapCycles && runs_.back().length < kFirstRunningSecond) return CycleKind::kStanding;
    EndRun();
    return CycleKind::kStanding;
  }
  bool begins = !running_;
  int64_t offset = running_ ? runs_.back().timeOffset : 0;
  if (running_ && cycle.runTimer < lastTimer_) {
    const bool wraps = standing_ == 0 && lastTimer_ > kTimerWrapAbove && cycle.runTimer < kTimerWrapBelow;
    if (wraps)
      offset += kTimerModulus;
    else
      begins = true;
  }
  if (begins) {
    BeginRun(cycle);
    return CycleKind::kRunBegins;
  }
  runs_.back().timeOffset = offset;
  standing_ = 0;
  Book(cycle);
  return CycleKind::kRunGoesOn;
}

void SessionRuns::BeginRun(const RunCycle& cycle) {
  if (running_) EndRun();
  SessionRun run;
  run.firstCycle = cycles_ - 1;
  run.firstTimer = cycle.runTimer;
  run.foundGoingOn = cycle.runTimer >= kFirstRunningSecond;
  run.firstClock = cycle.clock;
  if (cycle.clock) run.start = *cycle.clock - cycle.runTimer;
  run.firstMode = cycle.mode;
  runs_.push_back(std::move(run));
  running_ = true;
  standing_ = 0;
  fault_ = 0;
  Book(cycle);
}

void SessionRuns::Book(const RunCycle& cycle) {
  SessionRun& run = runs_.back();
  const bool first = run.endCycle <= run.firstCycle;
  const int64_t second = run.RunSecond(cycle.runTimer);
  if (!first) ModeTime(run, lastMode_).seconds += second - lastSecond_;
  if (first || cycle.mode != lastMode_) {
    ++ModeTime(run, cycle.mode).entries;
    if (IsIgnition(cycle.mode) && (first || !IsIgnition(lastMode_))) ++run.ignitionAttempts;
    if (cycle.mode == kWarmUpMode && !run.warmUpAt) {
      run.warmUpAt = second;
      run.warmUpSeen = !(first && run.foundGoingOn);
    }
  }
  if (cycle.faultCode != fault_) {
    if (fault_ != 0)
      for (RunFault& f : run.faults)
        if (f.code == fault_ && !f.lasted) f.lasted = second - f.at;
    if (cycle.faultCode != 0) run.faults.push_back({cycle.faultCode, cycle.mode, second, cycle.clock, std::nullopt});
    fault_ = cycle.faultCode;
  }
  run.lastTimer = cycle.runTimer;
  run.length = second;
  run.lastMode = cycle.mode;
  run.endCycle = cycles_;
  lastTimer_ = cycle.runTimer;
  lastMode_ = cycle.mode;
  lastSecond_ = second;
}

void SessionRuns::EndRun() {
  runs_.back().ended = true;
  running_ = false;
  standing_ = 0;
}

void SessionRuns::Value(int series, double y) {
  if (!running_ || standing_ > 0 || series < 0 || series >= series::kCount) return;
  RunRange& r = runs_.back().ranges[static_cast<std::size_t>(series)];
  if (!r.seen) {
    r = {true, y, y};
    return;
  }
  r.low = std::min(r.low, y);
  r.high = std::max(r.high, y);
}

void SessionRuns::SetFirstClock(std::size_t run, WallSeconds clock) {
  if (run >= runs_.size()) return;
  SessionRun& r = runs_[run];
  r.firstClock = clock;
  r.start = clock - r.firstTimer;
  for (RunFault& f : r.faults) f.clock = *r.start + f.at;
}

std::string RunReachedText(const SessionRun& run) {
  const RunModeTime* heating = nullptr;
  bool warmUp = false;
  bool ignition = false;
  bool check = false;
  for (const RunModeTime& t : run.modes) {
    if (std::find(std::begin(kHeatingModes), std::end(kHeatingModes), t.mode) != std::end(kHeatingModes)) {
      if (!heating || t.seconds > heating->seconds) heating = &t;
    }
    warmUp |= t.mode == kWarmUpMode;
    ignition |= IsIgnition(t.mode);
    check |= t.mode == kCheckMode;
  }
  if (heating) return ModeNameText(heating->mode);
  if (warmUp) return ModeNameText(kWarmUpMode);
  if (ignition) return Translate("SessionRuns", kIgnitionName.data());
  if (check) return ModeNameText(kCheckMode);
  return {};
}

}  // namespace o5
