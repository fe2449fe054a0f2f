// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSplitter.h"

namespace o5 {

namespace {

// A cycle produces at most thirteen points; more than this waiting means its
// 'g' and 'k' frames were lost, and the cycle is decided without them.
constexpr std::size_t kMostWaitingPoints = 64;

}  // namespace

void RunFeed::CycleBegins(int32_t runTimer) {
  // A cycle that lost its 'g' and its 'k' is decided when the next one begins.
  if (gate_ == Gate::kWaiting) Decide(lastMode_);
  runTimer_ = runTimer;
  gate_ = Gate::kWaiting;
}

void RunFeed::CycleMode(int mode) {
  // A second 'g' in one cycle (its 'e' lost) leaves the decision as it is.
  if (gate_ == Gate::kWaiting) Decide(mode);
}

void RunFeed::AddPoint(int series, double x, double y) {
  switch (gate_) {
    case Gate::kPass:
      Pass(series, x, y);
      return;
    case Gate::kDrop:
      return;
    case Gate::kWaiting:
      if (waiting_.size() >= kMostWaitingPoints) {
        Decide(lastMode_);
        AddPoint(series, x, y);
        return;
      }
      waiting_.push_back({series, x, y});
      return;
  }
}

void RunFeed::CycleEnds() {
  if (gate_ == Gate::kWaiting) Decide(lastMode_);
}

// The fault code comes in the cycle's 'e', with the first of its points.
void RunFeed::Decide(int mode) {
  lastMode_ = mode;
  for (const Point& p : waiting_)
    if (p.series == series::kError) fault_ = static_cast<int>(p.y);
  // The clock is read as the cycle is decided, as the timeline's events it
  // makes are.
  const CycleKind kind = runs_.Take({runTimer_, mode, fault_, clock_ ? clock_() : std::nullopt});
  if (kind == CycleKind::kStanding) {
    gate_ = Gate::kDrop;
  } else {
    if (kind == CycleKind::kRunBegins) chart_.BeginRun();
    for (const Point& p : waiting_) Pass(p.series, p.x, p.y);
    gate_ = Gate::kPass;
  }
  waiting_.clear();
  if (decided_) decided_(kind, runs_);
}

void RunFeed::Pass(int series, double x, double y) {
  const SessionRun* run = runs_.Latest();
  runs_.Value(series, y);
  chart_.AddPoint(series, x + static_cast<double>(run ? run->timeOffset : 0), y);
}

}  // namespace o5
