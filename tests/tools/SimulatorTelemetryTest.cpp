// SPDX-License-Identifier: GPL-3.0-or-later
// Telemetry as the tool receives it: complete cycles, valid frames, values that move, the
// line's pace, and nothing stale for a program that opens the device late.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "tests/tools/SimTestSupport.h"

namespace o5::test {
namespace {

using Bytes = SlaveLine::Bytes;

std::size_t CountKind(const Bytes& stream, std::uint8_t kind) {
  std::size_t count = 0;
  for (const auto& frame : SlaveLine::Frames(stream)) count += frame[4] == kind ? 1 : 0;
  return count;
}

TEST(SimulatorTelemetry, CyclesArriveInOrderWithValidChecksumsAndMovingValues) {
  SimWithLine s({"--no-pacing", "--cycle", "100", "--speed", "10", "--running"});
  const Bytes stream = s.line->ReadUntil([](const Bytes& b) { return CountKind(b, 'k') >= 8; }, 15s);
  const auto frames = SlaveLine::Frames(stream);
  ASSERT_GE(frames.size(), 56u) << s.sim->LogText();

  int lastTimer = -1;
  int cycles = 0;
  std::size_t next = 0;  // index of the kind expected next, 'e' + next
  bool sawCold = false;
  for (const auto& frame : frames) {
    ASSERT_TRUE(SlaveLine::ChecksumValid(frame)) << HexOf(frame);
    EXPECT_EQ(frame[1] & 0x10, 0) << "telemetry carries no reply flag";
    EXPECT_EQ(frame[4], 'e' + next) << HexOf(frame);
    next = (next + 1) % 7;
    if (frame[4] == 'e') {
      const int timer = frame[5] * 256 + frame[6];
      EXPECT_GT(timer, lastTimer) << "the run timer counts one second a cycle at this speed";
      lastTimer = timer;
      ++cycles;
    }
    if (frame[4] == 'h' && static_cast<std::int8_t>(frame[5]) < 0) sawCold = true;
    if (frame[4] == 'h') {
      const int kelvin = frame[7] * 256 + frame[8];
      EXPECT_GT(kelvin, 200);
      EXPECT_LT(kelvin, 1200);
    }
  }
  EXPECT_GE(cycles, 8);
  EXPECT_TRUE(sawCold) << "a cold start reads below zero";
  EXPECT_GE(lastTimer, 7);
}

TEST(SimulatorTelemetry, AnIdleHeaterSendsCyclesInModeZero) {
  SimWithLine s({"--no-pacing", "--cycle", "100"});
  const Bytes stream = s.line->ReadUntil([](const Bytes& b) { return CountKind(b, 'k') >= 2; }, 10s);
  int modes = 0;
  for (const auto& frame : SlaveLine::Frames(stream)) {
    if (frame[4] == 'g') {
      EXPECT_EQ(frame[8], 0);
      ++modes;
    }
    if (frame[4] == 'e') {
      EXPECT_EQ(frame[5] * 256 + frame[6], 0);
    }
  }
  EXPECT_GE(modes, 2);
}

TEST(SimulatorTelemetry, At1200BaudACycleTakesTheLineTimeOfItsSeventyBytes) {
  SimWithLine s({});
  const auto end = std::chrono::steady_clock::now() + 10s;
  Bytes stream;
  std::chrono::steady_clock::time_point first{};
  std::chrono::steady_clock::time_point seventieth{};
  while (std::chrono::steady_clock::now() < end && stream.size() < 70) {
    const Bytes got = s.line->ReadFor(5ms);
    if (got.empty()) continue;
    if (stream.empty()) first = std::chrono::steady_clock::now();
    stream.insert(stream.end(), got.begin(), got.end());
    if (stream.size() >= 70) seventieth = std::chrono::steady_clock::now();
  }
  ASSERT_GE(stream.size(), 70u);
  // 69 byte times of 8.33 ms lie between the first and the seventieth byte; a busy machine
  // can only make it longer.
  EXPECT_GE(seventieth - first, 500ms);
}

TEST(SimulatorTelemetry, NothingStaleReachesAProgramThatOpensTheDeviceLate) {
  Simulator sim({"--no-pacing", "--cycle", "50"});
  // Ten cycles and more pass while nobody holds the device.
  std::this_thread::sleep_for(700ms);
  {
    SlaveLine line(sim.DevicePath());
    EXPECT_LT(line.ReadAvailable().size(), 70u);
    const Bytes live = line.ReadUntil([](const Bytes& b) { return CountKind(b, 'k') >= 1; }, 5s);
    EXPECT_GE(CountKind(live, 'k'), 1u) << "telemetry flows once the device is open";
  }
  ASSERT_TRUE(sim.WaitForLog("LINE", "closed", 5s));
  std::this_thread::sleep_for(700ms);
  SlaveLine again(sim.DevicePath());
  EXPECT_LT(again.ReadAvailable().size(), 70u);
}

TEST(SimulatorTelemetry, NoCoreIsSpentWhileNobodyHoldsTheDevice) {
  Simulator sim({"--cycle", "100"});
  const double before = CpuSeconds(sim.Pid());
  std::this_thread::sleep_for(2s);
  const double used = CpuSeconds(sim.Pid()) - before;
  // A loop on the device's endless hang-up would burn the whole two seconds.
  EXPECT_LT(used, 0.5);
  ASSERT_EQ(sim.Command("hangup"), "OK hangup");
  const double hungUp = CpuSeconds(sim.Pid());
  std::this_thread::sleep_for(1s);
  EXPECT_LT(CpuSeconds(sim.Pid()) - hungUp, 0.3);
}

// The first cycle after a start reports the time since the start, as a heater's does, however
// fast the simulated time runs: a standing heater (mode 0) starts at a run timer below 2, and
// so does one started again during its after-run.
TEST(SimulatorTelemetry, TheFirstCycleAfterAStartReportsARunTimerBelowTwo) {
  SimWithLine s({"--no-pacing", "--cycle", "100", "--speed", "40"});
  // Run timer and mode of each complete cycle read from now on.
  auto cycles = [&s](const std::function<bool(int timer, int mode)>& until) {
    Bytes stream;
    std::vector<std::pair<int, int>> seen;
    s.line->ReadUntil(
        [&](const Bytes& b) {
          seen.clear();
          int timer = -1;
          for (const auto& frame : SlaveLine::Frames(b)) {
            if (frame[4] == 'e') timer = frame[5] * 256 + frame[6];
            if (frame[4] == 'g' && timer >= 0) seen.emplace_back(timer, frame[8]);
          }
          return !seen.empty() && until(seen.back().first, seen.back().second);
        },
        20s);
    return seen;
  };
  cycles([](int, int) { return true; });
  ASSERT_EQ(s.sim->Command("start").rfind("OK", 0), 0u);
  auto seen = cycles([](int timer, int) { return timer >= 12; });
  auto running = std::find_if(seen.begin(), seen.end(), [](auto c) { return c.second != 0; });
  ASSERT_NE(running, seen.end()) << s.sim->LogText();
  EXPECT_LT(running->first, 2);
  ASSERT_EQ(s.sim->Command("stop").rfind("OK", 0), 0u);
  ASSERT_EQ(s.sim->Command("start").rfind("OK", 0), 0u);
  seen = cycles([](int timer, int) { return timer < 12; });
  ASSERT_FALSE(seen.empty()) << s.sim->LogText();
  EXPECT_LT(seen.back().first, 2);
}

}  // namespace
}  // namespace o5::test
