// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SilenceWatch.h"

#include <gtest/gtest.h>

namespace o5 {
namespace {

using namespace std::chrono_literals;
using Clock = SilenceWatch::Clock;

class SilenceWatchTest : public ::testing::Test {
 protected:
  Clock::time_point At(std::chrono::milliseconds ms) const { return start + ms; }
  Clock::time_point start = Clock::now();
  SilenceWatch watch;
};

TEST_F(SilenceWatchTest, SpeaksOnceFiveSecondsAfterTheOpeningWithoutAFrame) {
  watch.Opened(At(0ms));
  EXPECT_FALSE(watch.Due(At(4999ms)));
  EXPECT_TRUE(watch.Due(At(5000ms)));
  EXPECT_FALSE(watch.Due(At(5100ms)));
  EXPECT_FALSE(watch.Due(At(60000ms)));
  EXPECT_FALSE(watch.LastFrame().has_value());
}

TEST_F(SilenceWatchTest, EachNewSilenceAfterAFrameIsToldAgain) {
  watch.Opened(At(0ms));
  watch.FrameArrived(At(3000ms));
  EXPECT_FALSE(watch.Due(At(7999ms)));
  EXPECT_TRUE(watch.Due(At(8000ms)));
  watch.FrameArrived(At(9000ms));
  EXPECT_EQ(watch.LastFrame(), At(9000ms));
  EXPECT_FALSE(watch.Due(At(13999ms)));
  EXPECT_TRUE(watch.Due(At(14000ms)));
}

TEST_F(SilenceWatchTest, AClosedPortIsNotSilentAndAReopenedOneCountsAfresh) {
  watch.Opened(At(0ms));
  watch.Closed();
  EXPECT_FALSE(watch.Due(At(10000ms)));
  watch.Opened(At(10000ms));
  EXPECT_FALSE(watch.Due(At(14999ms)));
  EXPECT_TRUE(watch.Due(At(15000ms)));
  watch.Closed();
  watch.Opened(At(16000ms));
  EXPECT_TRUE(watch.Due(At(21000ms)));
}

TEST_F(SilenceWatchTest, ACommandHoldsTheCountUntilItEnds) {
  watch.Opened(At(0ms));
  watch.Hold(At(4000ms));
  EXPECT_FALSE(watch.Due(At(8999ms)));
  EXPECT_TRUE(watch.Due(At(9000ms)));
  // The same silence goes on through the next command: told once.
  watch.Hold(At(12000ms));
  EXPECT_FALSE(watch.Due(At(20000ms)));
}

}  // namespace
}  // namespace o5
