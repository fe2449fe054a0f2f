// SPDX-License-Identifier: GPL-3.0-or-later
// Line pacing and the order of the heater's frames, on a simulated clock.

#include <gtest/gtest.h>

#include <numeric>

#include "tools/heatersim/TxLine.h"

namespace o5::sim {
namespace {

struct Written {
  TimePoint at;
  std::vector<std::uint8_t> bytes;
};

class TxLineTest : public ::testing::Test {
 protected:
  TxLine::PumpResult PumpAt(TimePoint now) {
    return line.Pump(now, [&](const std::uint8_t* bytes, std::size_t count) {
      writes.push_back({now, std::vector<std::uint8_t>(bytes, bytes + count)});
      return TxLine::WriteResult{count, false};
    });
  }
  // Pumps at every deadline the line asks for until it is empty; returns the finished items.
  std::vector<TxItem> Drain(TimePoint from) {
    std::vector<TxItem> done;
    TimePoint now = from;
    for (int guard = 0; guard < 100000 && !line.Empty(); ++guard) {
      auto result = PumpAt(now);
      for (auto& item : result.finished) done.push_back(std::move(item));
      const auto next = line.NextDeadline();
      if (!next) break;
      now = std::max(now, *next);
    }
    return done;
  }
  std::size_t BytesWritten() const {
    return std::accumulate(writes.begin(), writes.end(), std::size_t{0},
                           [](std::size_t sum, const Written& w) { return sum + w.bytes.size(); });
  }
  static TxItem Item(std::uint8_t marker, bool telemetry = true, std::size_t size = 10) {
    TxItem item;
    item.bytes.assign(size, marker);
    item.telemetry = telemetry;
    item.priority = !telemetry;
    return item;
  }

  TxLine line{1200};
  std::vector<Written> writes;
  TimePoint t0 = Clock::now();
};

TEST_F(TxLineTest, At1200BaudAByteTakesTenBitTimes) {
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::microseconds>(line.ByteTime()).count(), 8333);
}

TEST_F(TxLineTest, BytesNeverLeaveFasterThanTheLineAllows) {
  for (std::uint8_t k = 0; k < 7; ++k) line.Enqueue(Item(k));
  const auto done = Drain(t0);
  EXPECT_EQ(done.size(), 7u);
  EXPECT_EQ(BytesWritten(), 70u);
  // Byte n may leave no earlier than n byte times after the first.
  std::size_t index = 0;
  for (const Written& w : writes) {
    for (std::size_t i = 0; i < w.bytes.size(); ++i, ++index) {
      EXPECT_GE(w.at - t0, line.ByteTime() * static_cast<long>(index)) << "byte " << index;
    }
  }
  EXPECT_GE(writes.back().at - t0, line.ByteTime() * 69);
}

TEST_F(TxLineTest, LateWakeUpCatchesUpButDoesNotRunAhead) {
  line.Enqueue(Item(1));
  PumpAt(t0);
  ASSERT_EQ(BytesWritten(), 1u);
  PumpAt(t0 + line.ByteTime() * 4);  // woke up late: bytes 2..5 are due
  EXPECT_EQ(BytesWritten(), 5u);
  PumpAt(t0 + line.ByteTime() * 4);
  EXPECT_EQ(BytesWritten(), 5u);
}

TEST_F(TxLineTest, WithoutPacingAFrameIsOneWrite) {
  line.SetBaud(0);
  line.Enqueue(Item(1));
  line.Enqueue(Item(2));
  const auto result = PumpAt(t0);
  EXPECT_EQ(result.finished.size(), 2u);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].bytes.size(), 10u);
  EXPECT_FALSE(line.NextDeadline());
}

TEST_F(TxLineTest, ReplyOvertakesWaitingTelemetryButNotTheFrameOnTheLine) {
  line.Enqueue(Item(1));
  line.Enqueue(Item(2));
  PumpAt(t0);  // frame 1 has started
  line.Enqueue(Item(9, false));
  const auto done = Drain(t0);
  ASSERT_EQ(done.size(), 3u);
  EXPECT_EQ(done[0].bytes[0], 1);
  EXPECT_EQ(done[1].bytes[0], 9);
  EXPECT_EQ(done[2].bytes[0], 2);
}

TEST_F(TxLineTest, DelayedReplyWaitsWithoutHoldingUpTelemetry) {
  line.SetBaud(0);
  TxItem reply = Item(9, false);
  reply.notBefore = t0 + Milliseconds(500);
  line.Enqueue(std::move(reply));
  line.Enqueue(Item(1));
  auto result = PumpAt(t0);
  ASSERT_EQ(result.finished.size(), 1u);
  EXPECT_EQ(result.finished[0].bytes[0], 1);
  ASSERT_TRUE(line.NextDeadline());
  EXPECT_EQ(*line.NextDeadline(), t0 + Milliseconds(500));
  EXPECT_TRUE(PumpAt(t0 + Milliseconds(499)).finished.empty());
  EXPECT_EQ(PumpAt(t0 + Milliseconds(500)).finished.size(), 1u);
}

TEST_F(TxLineTest, SplitFramePausesBetweenItsPieces) {
  line.SetBaud(0);
  TxItem item = Item(1);
  item.splitAt = 4;
  item.splitGap = Milliseconds(300);
  line.Enqueue(std::move(item));
  EXPECT_TRUE(PumpAt(t0).finished.empty());
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].bytes.size(), 4u);
  EXPECT_EQ(*line.NextDeadline(), t0 + Milliseconds(300));
  EXPECT_TRUE(PumpAt(t0 + Milliseconds(299)).finished.empty());
  EXPECT_EQ(PumpAt(t0 + Milliseconds(300)).finished.size(), 1u);
  EXPECT_EQ(BytesWritten(), 10u);
}

TEST_F(TxLineTest, WaitingTelemetryCanBeDroppedRepliesStay) {
  line.Enqueue(Item(1));
  line.Enqueue(Item(2));
  PumpAt(t0);
  line.Enqueue(Item(9, false));
  EXPECT_EQ(line.DropWaitingTelemetry(), 1u);  // frame 1 is on the line already
  const auto done = Drain(t0);
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[1].bytes[0], 9);
}

TEST_F(TxLineTest, DroppingEverythingWaitingLetsTheFrameOnTheLineFinish) {
  line.Enqueue(Item(1));
  line.Enqueue(Item(2));
  PumpAt(t0);
  line.Enqueue(Item(9, false));
  line.DropWaiting();
  const auto done = Drain(t0);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].bytes.size(), 10u);
  EXPECT_EQ(done[0].bytes[0], 1);
}

TEST_F(TxLineTest, BytesTheDeviceRefusesAreCountedLost) {
  line.SetBaud(0);
  line.Enqueue(Item(1));
  const auto result = line.Pump(t0, [](const std::uint8_t*, std::size_t count) {
    return TxLine::WriteResult{count / 2, false};
  });
  ASSERT_EQ(result.finished.size(), 1u);
  EXPECT_EQ(result.finished[0].lost, 5u);
}

TEST_F(TxLineTest, LineGoneStopsThePump) {
  line.Enqueue(Item(1));
  const auto result = line.Pump(t0, [](const std::uint8_t*, std::size_t) { return TxLine::WriteResult{0, true}; });
  EXPECT_TRUE(result.lineGone);
  EXPECT_TRUE(result.finished.empty());
}

}  // namespace
}  // namespace o5::sim
