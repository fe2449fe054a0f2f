// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSplitter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace o5 {
namespace {

using ::testing::ElementsAre;

// The chart's side of the feed, as text: "run" where it is emptied, "x:y" for
// a point (series 0) or "s@x" for a point of another series.
struct TextChart : RunChart {
  void BeginRun() override { events.push_back("run"); }
  void AddPoint(int series, double x, double y) override {
    events.push_back(std::to_string(series) + "@" + std::to_string(int(x)) + "=" + std::to_string(int(y)));
  }
  std::vector<std::string> events;
};

class RunFeedTest : public ::testing::Test {
 protected:
  // One cycle as the decoding tells it: the 'e' point, the 'f' point, the
  // mode ('g', unless lost) and its point, the end ('k', unless lost).
  void Cycle(int timer, int mode, bool lostG = false, bool lostK = false) {
    feed.CycleBegins(timer);
    feed.AddPoint(11, timer, 0);
    feed.AddPoint(6, timer, 1);
    if (!lostG) {
      feed.CycleMode(mode);
      feed.AddPoint(10, timer, mode);
    }
    if (!lostK) feed.CycleEnds();
  }
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(chart.events);
    return out;
  }

  TextChart chart;
  RunFeed feed{chart};
};

// The points of a cycle wait for its mode: the 'e' and 'f' points of the
// first cycle of a run come after the emptying, never before it.
TEST_F(RunFeedTest, NoPointOfTheNewRunIsLostAndNoneOfTheOldOneSurvives) {
  Cycle(5, 21);
  EXPECT_THAT(Take(), ElementsAre("run", "11@5=0", "6@5=1", "10@5=21"));
  Cycle(0, 0);
  Cycle(0, 0);
  EXPECT_THAT(Take(), ElementsAre());
  Cycle(0, 1);
  EXPECT_THAT(Take(), ElementsAre("run", "11@0=0", "6@0=1", "10@0=1"));
  Cycle(1, 1);
  EXPECT_THAT(Take(), ElementsAre("11@1=0", "6@1=1", "10@1=1"));
}

// A cycle without its 'g' takes the mode of the cycle before, decided at its
// 'k', or at the next 'e' when that was lost too.
TEST_F(RunFeedTest, ACycleThatLostItsModeTakesTheModeBefore) {
  Cycle(0, 0);
  Cycle(0, 0, true);
  EXPECT_THAT(Take(), ElementsAre());
  Cycle(0, 1);
  Cycle(1, 0, true);
  EXPECT_THAT(Take(), ElementsAre("run", "11@0=0", "6@0=1", "10@0=1", "11@1=0", "6@1=1"));
  Cycle(2, 0, true, true);
  EXPECT_THAT(Take(), ElementsAre());
  Cycle(3, 21);
  EXPECT_THAT(Take(), ElementsAre("11@2=0", "6@2=1", "11@3=0", "6@3=1", "10@3=21"));
}

}  // namespace
}  // namespace o5
