// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The telemetry decoding's points on their way to a chart, split into the
// heater's runs by the one model of runs (SessionRuns). Every run starts on
// an empty chart, and a finished run stays on the chart until the next one
// begins, so the end of a run, where a fault shows, can still be read while
// the heater stands.
//
// A cycle runs from an 'e' frame (its run timer and fault code) to a 'k'
// frame; its mode comes in the 'g' frame between them. The points of a cycle
// wait until its mode has come, or until the cycle ends without one, when the
// mode of the cycle before stands for it. Then the model decides, and the
// points go on, after an emptying where a run begins, or are dropped where
// the heater stands. No point of a new run is lost and none of the old one
// survives. A point's X is the run's time axis: the run timer with its
// wrapping undone.
//
// The live chart and a record log or journal opened again are fed the same
// way, and so give the same runs.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "heater/SessionRuns.h"

namespace o5 {

// Where a run's chart points go.
class RunChart {
 public:
  // A run begins: empty the chart.
  virtual void BeginRun() = 0;
  virtual void AddPoint(int series, double x, double y) = 0;

 protected:
  ~RunChart() = default;
};

class RunFeed {
 public:
  explicit RunFeed(RunChart& chart) : chart_(chart) {}

  // The local clock, read as each cycle is decided; none: cycles have no clock.
  using Clock = std::function<std::optional<WallSeconds>()>;
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  void CycleBegins(int32_t runTimer);
  void CycleMode(int mode);
  void AddPoint(int series, double x, double y);
  void CycleEnds();

  // Told every cycle the model decided, after the chart was given it: the
  // timeline's run events read the same model as the chart.
  using Decided = std::function<void(CycleKind kind, const SessionRuns& runs)>;
  void SetDecided(Decided decided) { decided_ = std::move(decided); }

  const SessionRuns& Runs() const { return runs_; }
  SessionRuns& Runs() { return runs_; }

 private:
  struct Point {
    int series;
    double x;
    double y;
  };
  enum class Gate { kWaiting, kPass, kDrop };

  void Decide(int mode);
  void Pass(int series, double x, double y);

  RunChart& chart_;
  SessionRuns runs_;
  Clock clock_;
  Decided decided_;
  Gate gate_ = Gate::kWaiting;
  int32_t runTimer_ = 0;
  int lastMode_ = 0;
  int fault_ = 0;  // of the cycle's 'e', or of the cycle before where it was lost
  std::vector<Point> waiting_;
};

}  // namespace o5
