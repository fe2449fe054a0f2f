// SPDX-License-Identifier: GPL-3.0-or-later
// The telemetry frames byte by byte, and the simulated run that fills them.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tools/heatersim/BlackBox.h"
#include "tools/heatersim/HeaterModel.h"
#include "tools/heatersim/HexText.h"
#include "tools/heatersim/TelemetryCycle.h"

namespace o5::sim {
namespace {

std::string Hex(const Frame& frame) { return ToHex(frame.data(), frame.size()); }

TEST(TelemetryCycle, LaysOutEveryKindAsTheToolDecodesIt) {
  HeaterState s;
  s.runSeconds = 307;
  s.modeSeconds = 5;
  s.errorCode = 0;
  s.fuelPump = 48;
  s.fanSet = 88;
  s.fanMeasured = 87;
  s.coolantPump = 1;
  s.relay = 1;
  s.glowPlug = 0;
  s.voltageTenths = 125;
  s.mode = 21;
  s.liquid = -5;
  s.overheat = 80;
  s.flameKelvin = 607;
  s.board = -16;
  s.lastCommand = 1;
  s.attempt = 2;
  s.faultBytes = {0x01, 0x00, 0x80, 0xFF};
  const auto cycle = BuildTelemetryCycle(s);
  ASSERT_EQ(cycle.size(), 7u);
  for (std::size_t i = 0; i < cycle.size(); ++i) {
    EXPECT_EQ(cycle[i][kCodeIndex], 'e' + i);
    EXPECT_EQ(cycle[i][kControlIndex] & kReplyFlag, 0) << "telemetry never carries the reply flag";
    EXPECT_TRUE(HasValidChecksum(cycle[i]));
  }
  EXPECT_EQ(Hex(cycle[0]).substr(15, 11), "01 33 05 00");  // run timer 307 high byte first
  EXPECT_EQ(Hex(cycle[1]).substr(15, 11), "30 58 57 01");
  EXPECT_EQ(Hex(cycle[2]).substr(15, 11), "01 00 7D 15");
  EXPECT_EQ(Hex(cycle[3]).substr(15, 11), "FB 50 02 5F");  // -5, 80, 607 K
  EXPECT_EQ(Hex(cycle[4]).substr(15, 11), "02 01 F0 00");  // attempt, command, board -16
  EXPECT_EQ(Hex(cycle[5]).substr(15, 11), "01 00 80 FF");
  EXPECT_EQ(Hex(cycle[6]), "AA 00 00 00 6B 00 00 00 00 15");
}

class HeaterModelTest : public ::testing::Test {
 protected:
  // Advances in small steps and keeps every mode seen, in order, without repeats.
  void RunFor(Milliseconds total, Milliseconds step = Milliseconds(100)) {
    for (Milliseconds done{0}; done < total; done += step) {
      model.Advance(step);
      const int mode = model.Mode();
      if (modes.empty() || modes.back() != mode) modes.push_back(mode);
    }
  }
  template <typename Predicate>
  bool RunUntil(Predicate done, Milliseconds limit) {
    for (Milliseconds spent{0}; spent < limit; spent += Milliseconds(100)) {
      if (done()) return true;
      RunFor(Milliseconds(100));
    }
    return done();
  }

  BlackBox box;
  HeaterModel model{HeaterModel::Settings{-12, 126}, box};
  std::vector<int> modes;
};

TEST_F(HeaterModelTest, IdleHeaterIsColdAndOff) {
  RunFor(Milliseconds(5000));
  const HeaterState s = model.State();
  EXPECT_EQ(s.mode, kModeOff);
  EXPECT_EQ(s.runSeconds, 0);
  EXPECT_EQ(s.liquid, -12);
  EXPECT_EQ(s.flameKelvin, 261);
  EXPECT_EQ(s.fanSet, 0);
  EXPECT_EQ(s.fuelPump, 0);
}

TEST_F(HeaterModelTest, RunGoesThroughCheckIgnitionWarmUpHighLowAndStandby) {
  ASSERT_TRUE(model.Start());
  modes.push_back(model.Mode());
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeStandby; }, Milliseconds(20 * 60 * 1000)));
  std::vector<int> expected{kModeCheck};
  for (int m = kModeIgnitionFirst; m <= kModeIgnitionLast; ++m) expected.push_back(m);
  expected.insert(expected.end(), {kModeWarmUp, kModeHigh, kModeLow, kModeStandby});
  EXPECT_EQ(modes, expected);
  // Standby lets the liquid cool until the heater ignites again.
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeIgnitionFirst; }, Milliseconds(20 * 60 * 1000)));
}

TEST_F(HeaterModelTest, ValuesMoveLikeARun) {
  model.Start();
  EXPECT_EQ(model.State().runSeconds, 0);
  RunFor(Milliseconds(1000));
  EXPECT_EQ(model.State().runSeconds, 1);
  const HeaterState cold = model.State();
  EXPECT_LT(cold.liquid, 0) << "a cold start shows temperatures below zero";
  EXPECT_LT(cold.overheat, 0);
  EXPECT_EQ(cold.coolantPump, 1);
  EXPECT_GT(cold.glowPlug, 0) << "the check tests the glow plug";
  EXPECT_LT(cold.voltageTenths, 126) << "the glow plug loads the supply";

  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeHigh; }, Milliseconds(10 * 60 * 1000)));
  const HeaterState high = model.State();
  EXPECT_GT(high.liquid, 30);
  EXPECT_GT(high.flameKelvin, 600);
  EXPECT_GT(high.fuelPump, 0);
  EXPECT_GT(high.fanSet, 50);
  EXPECT_NEAR(high.fanMeasured, high.fanSet, 40);
  EXPECT_EQ(high.glowPlug, 0);
  EXPECT_EQ(high.lastCommand, 1);
  EXPECT_EQ(high.attempt, 1);
  RunFor(Milliseconds(3000));
  EXPECT_GT(model.State().runSeconds, high.runSeconds);
  EXPECT_GT(model.State().liquid, high.liquid);
}

TEST_F(HeaterModelTest, StopPurgesCoolsAndEndsOff) {
  model.Start();
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeWarmUp; }, Milliseconds(5 * 60 * 1000)));
  modes.clear();
  ASSERT_TRUE(model.Stop());
  modes.push_back(model.Mode());
  EXPECT_EQ(model.State().lastCommand, 3);
  EXPECT_EQ(model.State().fuelPump, 0);
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeOff; }, Milliseconds(5 * 60 * 1000)));
  EXPECT_EQ(modes, (std::vector<int>{kModePrePurge, kModePurge, kModeCooling, kModeOff}));
  EXPECT_EQ(model.State().runSeconds, 0);
  EXPECT_FALSE(model.Stop()) << "nothing to stop";
}

TEST_F(HeaterModelTest, StartWhileRunningIsIgnoredAndStartDuringAfterRunBeginsANewRun) {
  model.Start();
  RunFor(Milliseconds(8000));
  const auto before = model.State().runSeconds;
  EXPECT_FALSE(model.Start());
  EXPECT_EQ(model.State().runSeconds, before);
  model.Stop();
  RunFor(Milliseconds(2000));
  EXPECT_TRUE(model.Start());
  EXPECT_EQ(model.Mode(), kModeCheck);
  EXPECT_EQ(model.State().runSeconds, 0);
}

TEST_F(HeaterModelTest, RunUpdatesTheBlackBoxCounters) {
  const auto firstStarts = box.Unsigned(BlackBox::kStartsFirstAttempt, 2);
  const auto total = box.Signed32(BlackBox::kRunTimeTotal);
  const auto high = box.Signed32(BlackBox::kRunTimeHigh);
  model.Start();
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeLow; }, Milliseconds(10 * 60 * 1000)));
  EXPECT_EQ(box.Unsigned(BlackBox::kStartsFirstAttempt, 2), firstStarts + 1);
  EXPECT_EQ(box.Signed32(BlackBox::kRunTimeTotal) - total, model.State().runSeconds);
  EXPECT_GT(box.Signed32(BlackBox::kRunTimeHigh), high);
}

TEST_F(HeaterModelTest, FaultShowsInTelemetryRecordsInTheBlackBoxAndStopsTheHeater) {
  model.Start();
  ASSERT_TRUE(RunUntil([&] { return model.Mode() == kModeHigh; }, Milliseconds(10 * 60 * 1000)));
  const std::size_t current = box.At(BlackBox::kCurrentRecord);
  const auto faults = box.Unsigned(BlackBox::kFaultCount, 2);
  ASSERT_TRUE(model.SetFault(1));
  const HeaterState s = model.State();
  EXPECT_EQ(s.errorCode, 1);
  EXPECT_EQ(s.faultBytes[3], 0x01) << "code 1 is bit 1 of fault byte 4";
  EXPECT_EQ(s.mode, kModePrePurge);
  const std::size_t next = (current + 1) % BlackBox::kRecordCount;
  EXPECT_EQ(box.At(BlackBox::kCurrentRecord), next);
  const auto record = box.Record(next);
  EXPECT_EQ(record.code, 1);
  EXPECT_EQ(record.mode, kModeHigh);
  EXPECT_EQ(record.faultBytes[3], 0x01);
  EXPECT_EQ(box.Unsigned(BlackBox::kFaultCount, 2), faults + 1);

  ASSERT_TRUE(model.SetFault(13));
  EXPECT_EQ(box.Unsigned(BlackBox::kFaultCount, 2), faults + 1) << "code 13 is not counted";
  EXPECT_FALSE(model.SetFault(22));
  ASSERT_TRUE(model.SetFault(0));
  EXPECT_EQ(model.State().errorCode, 0);
  EXPECT_EQ(model.State().faultBytes, (std::array<std::uint8_t, 4>{}));
}

TEST_F(HeaterModelTest, RunTimerHoldsAtItsLargestValueInsteadOfWrapping) {
  // Wrapping to 0 would tell the tool a new run had begun (it clears its charts below 2 s).
  model.Start();
  model.Advance(Milliseconds(70000LL * 1000));
  EXPECT_TRUE(model.Running());
  EXPECT_EQ(model.State().runSeconds, 65535);
}

}  // namespace
}  // namespace o5::sim
