// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the heater's runs begin and end in its telemetry. Every run starts on
// an empty chart, and a finished run stays on the chart until the next one
// begins, so the end of a run, where a fault shows, can still be read while
// the heater stands.
//
// A cycle runs from an 'e' frame (its run timer) to a 'k' frame; its mode
// comes in the 'g' frame between them. A cycle stands when its mode is 0 and
// its run timer below kFirstRunningSecond: a standing heater adds nothing to
// the chart. A run begins at the first cycle after standing that does not
// stand, or where the run timer falls below kFirstRunningSecond while the
// heater runs (a restart without standing between the runs).
//
// One splitter decides for the live chart, for a record log or journal
// opened again, and so for the run summary: a run is the same run wherever it
// is shown.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace o5 {

// A run timer below this, with mode 0, means the heater stands; below this
// while it runs, it has restarted.
inline constexpr int32_t kFirstRunningSecond = 2;

enum class CycleKind { kStanding, kRunBegins, kRunGoesOn };

class RunSplitter {
 public:
  // Decides one cycle by its run timer and its mode, in the order they came.
  CycleKind Take(int32_t runTimer, int mode);
  bool Running() const { return running_; }

 private:
  bool running_ = false;
  int32_t lastTimer_ = 0;
};

// Where a run's chart points go.
class RunChart {
 public:
  // A run begins: empty the chart.
  virtual void BeginRun() = 0;
  virtual void AddPoint(int series, double x, double y) = 0;

 protected:
  ~RunChart() = default;
};

// The telemetry decoding's points on their way to a chart: the points of a
// cycle wait until its mode has come ('g'), or until the cycle ends without
// one, when the mode of the cycle before stands for it. Then the splitter
// decides, and the points go on, after an emptying where a run begins, or
// are dropped where the heater stands. No point of a new run is lost and none
// of the old one survives.
class RunFeed {
 public:
  explicit RunFeed(RunChart& chart) : chart_(chart) {}

  void CycleBegins(int32_t runTimer);
  void CycleMode(int mode);
  void AddPoint(int series, double x, double y);
  void CycleEnds();

  const RunSplitter& Splitter() const { return splitter_; }

 private:
  struct Point {
    int series;
    double x;
    double y;
  };
  enum class Gate { kWaiting, kPass, kDrop };

  void Decide(int mode);

  RunChart& chart_;
  RunSplitter splitter_;
  Gate gate_ = Gate::kWaiting;
  int32_t runTimer_ = 0;
  int lastMode_ = 0;
  std::vector<Point> waiting_;
};

}  // namespace o5
