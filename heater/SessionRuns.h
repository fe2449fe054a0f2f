// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run of the heater is: one model, fed the session's telemetry cycles
// in the order they came, that every view of a run reads (the live chart, a
// record log or journal opened again, the list of a journal's runs, the run
// summary, the timeline's run events, the chart's caption, documents).
//
// A cycle stands when its mode is 0 and its run timer below
// kFirstRunningSecond. A run begins
//   - at the first cycle after standing that does not stand;
//   - where the run timer falls below the last one seen while the heater runs
//     (a restart, the port opened again on another run, a lost stretch of
//     line, a saved log holding several heaters' runs).
// The run timer is a 16-bit count: a fall from above kTimerWrapAbove to below
// kTimerWrapBelow while the heater runs is the count wrapping, and the run's
// time axis goes on past 65,535 s. A mode that falls to 0 and comes back within
// the run's first seconds (kFlapCycles standing cycles at most, the timer
// going on) continues the run: no run of 0 s is made of it.
//
// A run's length is the run timer at its last cycle (wrapping undone); its
// start is the clock time of its first cycle minus that cycle's run timer.
// A run whose first timer is kFirstRunningSecond or more was found going on:
// what happened before it was seen is not known.
//
// Clock times are "wall seconds": the local clock as it read at the cycle
// (date and time of day, whatever the zone), counted in seconds from
// 01.01.1970 00:00 of that clock. The timeline writes the same clock, so a
// run's start reads the same in the timeline and the summary, and a change
// of the system's time zone shows in both at once.
//
// Plain C++: no widgets, no toolkit.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "heater/TextTranslation.h"
#include <vector>

#include "heater/TelemetrySeries.h"

namespace o5 {

// A run timer below this, with mode 0, means the heater stands; a run whose
// first timer is this or more was found going on.
inline constexpr int32_t kFirstRunningSecond = 2;
// A fall from above the first to below the second is the 16-bit count wrapping.
inline constexpr int32_t kTimerWrapAbove = 65000;
inline constexpr int32_t kTimerWrapBelow = 1000;
inline constexpr int64_t kTimerModulus = 65536;
// Standing cycles a run may have in its first seconds and still go on.
inline constexpr int kFlapCycles = 2;
// Mode numbers the runs are described by.
inline constexpr int kCheckMode = 1;          // "Проверка перед пуском"
inline constexpr int kFirstIgnitionMode = 3;  // "Розжиг1" ... "Розжиг18"
inline constexpr int kLastIgnitionMode = 20;
inline constexpr int kWarmUpMode = 21;  // "Прогрев"
// The eighteen ignition modes together.
inline constexpr std::string_view kIgnitionName = O5_TEXT("SessionRuns", "Розжиг");

// The local clock, in seconds (see above).
using WallSeconds = int64_t;
WallSeconds WallSecondsOf(int year, int month, int day, int hour, int minute, int second);
// "08.12.2026 10:03:35".
std::string WallDateTimeText(WallSeconds t);
// "10:02:26".
std::string WallTimeText(WallSeconds t);

enum class CycleKind { kStanding, kRunBegins, kRunGoesOn };

// One telemetry cycle as the model takes it.
struct RunCycle {
  int32_t runTimer = 0;  // the 16-bit count as the heater sent it
  int mode = 0;
  int faultCode = 0;                 // 0: none
  std::optional<WallSeconds> clock;  // when the cycle came, where known
};

// Time spent in one mode of a run.
struct RunModeTime {
  int mode = 0;
  int64_t seconds = 0;  // from each entry to the next cycle of another mode
  int entries = 0;      // times entered from another mode
};

// A fault code the heater reported during a run, from its first cycle with
// the code to the first cycle without it.
struct RunFault {
  int code = 0;
  int mode = 0;                      // the mode of the cycle it came in
  int64_t at = 0;                    // run second it came at (wrapping undone)
  std::optional<WallSeconds> clock;  // clock time it came at, where known
  std::optional<int64_t> lasted;     // seconds; none while it lasts / lasted to the run's end
};

// The lowest and highest value of a series during a run.
struct RunRange {
  bool seen = false;
  double low = 0;
  double high = 0;
};

struct SessionRun {
  std::size_t firstCycle = 0;  // the model's cycles [firstCycle, endCycle) are the run's
  std::size_t endCycle = 0;
  int32_t firstTimer = 0;  // the run timer of its first cycle, as sent
  int32_t lastTimer = 0;   // and of its last cycle, as sent
  int64_t timeOffset = 0;  // added to a timer as sent gives the run's time axis (wraps x 65536)
  int64_t length = 0;      // seconds: the run timer at its last cycle, wrapping undone
  bool foundGoingOn = false;            // first timer >= kFirstRunningSecond
  std::optional<WallSeconds> firstClock;  // clock time of its first cycle, where known
  std::optional<WallSeconds> start;       // firstClock - firstTimer
  std::vector<RunModeTime> modes;         // in the order first reached
  int firstMode = 0;
  int lastMode = 0;
  int ignitionAttempts = 0;            // entries into 3..20 from a mode outside them
  std::optional<int64_t> warmUpAt;     // run second of the first cycle in mode 21
  bool warmUpSeen = false;             // 21 was entered from another mode while watched
  std::vector<RunFault> faults;        // in the order they came
  std::array<RunRange, series::kCount> ranges;  // by series (temperatures and U are kept)
  bool ended = false;                  // a later cycle stood or began another run

  // The run's time axis for a run timer as sent during this run.
  int64_t RunSecond(int32_t runTimer) const { return runTimer + timeOffset; }
};

class SessionRuns {
 public:
  // Decides one cycle (its mode known) and books it into its run.
  CycleKind Take(const RunCycle& cycle);
  // A value of the latest cycle's telemetry (series index, as charted), for
  // the run's ranges; ignored while the heater stands.
  void Value(int series, double y);

  // In a run, and not standing for a moment at its beginning.
  bool Running() const { return running_ && standing_ == 0; }
  // Oldest first; the last may still be going on.
  const std::vector<SessionRun>& Runs() const { return runs_; }
  // The latest run, nullptr before the first one.
  const SessionRun* Latest() const { return runs_.empty() ? nullptr : &runs_.back(); }
  // Cycles taken so far.
  std::size_t CycleCount() const { return cycles_; }
  // The clock of run `run`'s first cycle, learnt afterwards (a journal's
  // timeline): sets its start and its faults' clock times.
  void SetFirstClock(std::size_t run, WallSeconds clock);

 private:
  void BeginRun(const RunCycle& cycle);
  void Book(const RunCycle& cycle);
  void EndRun();

  std::vector<SessionRun> runs_;
  std::size_t cycles_ = 0;
  bool running_ = false;
  int standing_ = 0;        // standing cycles since the last running one
  int32_t lastTimer_ = 0;   // of the latest running cycle, as sent
  int lastMode_ = 0;        // of the latest running cycle
  int64_t lastSecond_ = 0;  // run second of the latest running cycle
  int fault_ = 0;           // the fault code of the latest running cycle
};

// How far a run got, for the list of runs: the furthest of "Проверка перед
// пуском", "Розжиг", "Прогрев", and the heating mode (22, 23, 27) it spent
// longest in, by the modes window's caption ("22 - Сильный"), in the tool's
// language; empty when it reached none of them.
std::string RunReachedText(const SessionRun& run);

}  // namespace o5
