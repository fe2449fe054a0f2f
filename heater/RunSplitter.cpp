// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSplitter.h"

namespace o5 {

namespace {

// A cycle produces at most thirteen points; more than this waiting means its
// 'g' and 'k' frames were lost, and the cycle is decided without them.
constexpr std::size_t kMostWaitingPoints = 64;

}  // namespace

CycleKind RunSplitter::Take(int32_t runTimer, int mode) {
  if (mode == 0 && runTimer < kFirstRunningSecond) {
    running_ = false;
    return CycleKind::kStanding;
  }
  const bool restart = running_ && runTimer < kFirstRunningSecond && lastTimer_ >= kFirstRunningSecond;
  const bool begins = !running_ || restart;
  running_ = true;
  lastTimer_ = runTimer;
  return begins ? CycleKind::kRunBegins : CycleKind::kRunGoesOn;
}

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
      chart_.AddPoint(series, x, y);
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

void RunFeed::Decide(int mode) {
  lastMode_ = mode;
  const CycleKind kind = splitter_.Take(runTimer_, mode);
  if (kind == CycleKind::kStanding) {
    gate_ = Gate::kDrop;
  } else {
    if (kind == CycleKind::kRunBegins) chart_.BeginRun();
    for (const Point& p : waiting_) chart_.AddPoint(p.series, p.x, p.y);
    gate_ = Gate::kPass;
  }
  waiting_.clear();
}

}  // namespace o5
