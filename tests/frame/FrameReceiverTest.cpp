// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "link/Frame.h"
#include "link/FrameReceiver.h"

namespace o5 {
namespace {

using Bytes = std::vector<uint8_t>;

// A frame from the heater with its checksum filled in.
Bytes Incoming(uint8_t control, uint8_t code, uint8_t d6 = 0, uint8_t d7 = 0, uint8_t d8 = 0,
               uint8_t d9 = 0, uint8_t b4 = 0) {
  const Frame f = BuildRequest(control, 0, b4, code, d6, d7, d8, d9);
  return Bytes(f.begin(), f.end());
}
Bytes Telemetry(uint8_t kind, uint8_t d6 = 0) { return Incoming(0x01, kind, d6); }
Bytes Reply(uint8_t code, uint8_t d6 = 0, uint8_t d7 = 0, uint8_t d8 = 0, uint8_t d9 = 0) {
  return Incoming(0x09 | kReplyFlag, code, d6, d7, d8, d9);
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Frame AsFrame(const Bytes& b) {
  Frame f{};
  for (int i = 0; i < kFrameSize; ++i) f[i] = b[i];
  return f;
}

class FrameReceiverTest : public ::testing::Test {
 protected:
  // One receive event.
  void Receive(const Bytes& bytes) {
    receiver_.Feed(bytes.data(), bytes.size(), [this](const Frame& f) {
      // The frame is whole and checked when it is handed on.
      EXPECT_TRUE(FrameChecksumValid(f));
      telemetry_.push_back(f);
    });
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) receiver_.Tick();
  }
  // A reply wait attached to the receiver for its lifetime.
  struct Wait : FrameReceiver::PendingReply {
    Wait(FrameReceiverTest& t, uint8_t code, int byte6 = kAnyByte)
        : PendingReply(0, code, byte6), receiver(t.receiver_) {
      receiver.Attach(*this);
    }
    ~Wait() { receiver.Detach(*this); }
    FrameReceiver& receiver;
  };

  FrameReceiver receiver_;
  std::vector<Frame> telemetry_;
};

TEST_F(FrameReceiverTest, StartsHuntingWithNothingStored) {
  EXPECT_TRUE(receiver_.hunting());
  EXPECT_EQ(receiver_.byteCount(), 0);
  EXPECT_EQ(receiver_.WaitDepth(), 0u);
  EXPECT_EQ(receiver_.buffer(), Frame{});
}

TEST_F(FrameReceiverTest, BytesBeforeTheFirstStartByteAreIgnored) {
  Receive({0x00, 0x01, 0x55, 0xFF, 0x1B, 0x68});
  EXPECT_TRUE(receiver_.hunting());
  EXPECT_EQ(receiver_.byteCount(), 0);
  EXPECT_EQ(receiver_.buffer(), Frame{});
  Receive(Join({{0x10, 0x09}, Telemetry('e', 7)}));
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(Telemetry('e', 7)));
}

TEST_F(FrameReceiverTest, ValidFrameCompletesAndWrongChecksumIsDropped) {
  const Bytes valid = {0xAA, 0x09, 0x00, 0x00, 0x68, 0x00, 0x00, 0x00, 0x00, 0x1B};
  Receive(valid);
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(valid));
  EXPECT_EQ(receiver_.counters().frames, 1u);
  EXPECT_TRUE(receiver_.hunting());
  EXPECT_EQ(receiver_.byteCount(), 0);

  Bytes wrong = valid;
  wrong[9] = 0x1C;
  Receive(wrong);
  EXPECT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(receiver_.counters().frames, 1u);
  EXPECT_EQ(receiver_.counters().badChecksum, 1u);
  EXPECT_TRUE(receiver_.hunting());
  EXPECT_EQ(receiver_.byteCount(), 0);
}

TEST_F(FrameReceiverTest, FrameSpreadOverTwoReceiveEvents) {
  const Bytes f = Telemetry('h', 42);
  Receive(Bytes(f.begin(), f.begin() + 4));
  EXPECT_TRUE(telemetry_.empty());
  EXPECT_EQ(receiver_.byteCount(), 4);
  EXPECT_FALSE(receiver_.hunting());
  Receive(Bytes(f.begin() + 4, f.end()));
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(f));
}

TEST_F(FrameReceiverTest, FrameInSingleBytes) {
  const Bytes f = Telemetry('i', 9);
  for (uint8_t b : f) Receive({b});
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(f));
}

TEST_F(FrameReceiverTest, TwoFramesInOneEventWithAByteBetween) {
  const Bytes first = Telemetry('e', 1);
  const Bytes second = Telemetry('f', 2);
  Receive(Join({first, {0x37}, second}));
  ASSERT_EQ(telemetry_.size(), 2u);
  EXPECT_EQ(telemetry_[0], AsFrame(first));
  EXPECT_EQ(telemetry_[1], AsFrame(second));
  EXPECT_EQ(receiver_.counters().frames, 2u);
}

TEST_F(FrameReceiverTest, EachFrameIsHandedOnBeforeTheNextByteIsTaken) {
  const Bytes first = Telemetry('e', 1);
  const Bytes second = Telemetry('f', 2);
  const Bytes both = Join({first, second});
  std::vector<int> countsSeen;
  receiver_.Feed(both.data(), both.size(), [&](const Frame& f) {
    countsSeen.push_back(receiver_.byteCount());
    EXPECT_EQ(receiver_.buffer(), f);
  });
  EXPECT_EQ(countsSeen, (std::vector<int>{0, 0}));
}

TEST_F(FrameReceiverTest, StartByteInsideAFrameIsData) {
  const Bytes f = Incoming(0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA);
  ASSERT_EQ(f.size(), 10u);
  Receive(f);
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(f));
  // A frame whose checksum happens to be 0xAA.
  Bytes tail = {0xAA, 0x01, 0x00, 0x00, 0x65, 0x00, 0x00, 0x00, 0x00};
  tail[8] = static_cast<uint8_t>(0xAA - FrameChecksum(AsFrame(Join({tail, {0}}))));
  tail.push_back(0xAA);
  ASSERT_TRUE(FrameChecksumValid(AsFrame(tail)));
  Receive(tail);
  EXPECT_EQ(telemetry_.size(), 2u);
  EXPECT_TRUE(receiver_.hunting());
}

TEST_F(FrameReceiverTest, StrayStartByteBeforeAFrameCostsThatFrame) {
  // After the stray 0xAA the real frame is read one byte late: its checksum
  // fails, and the receiver hunts again.
  Receive(Join({{0xAA}, Telemetry('e')}));
  EXPECT_TRUE(telemetry_.empty());
  EXPECT_EQ(receiver_.counters().badChecksum, 1u);
  EXPECT_EQ(receiver_.byteCount(), 0);
  Receive(Telemetry('f'));
  EXPECT_EQ(telemetry_.size(), 1u);
}

TEST_F(FrameReceiverTest, PartialFrameDroppedOnTheFourthTick) {
  const Bytes f = Telemetry('j');
  Receive(Bytes(f.begin(), f.begin() + 5));
  Ticks(3);
  EXPECT_EQ(receiver_.byteCount(), 5);
  EXPECT_FALSE(receiver_.hunting());
  Ticks(1);
  EXPECT_EQ(receiver_.byteCount(), 0);
  EXPECT_TRUE(receiver_.hunting());
  EXPECT_EQ(receiver_.counters().partialDropped, 1u);
  // The rest of the dropped frame is discarded; the next 0xAA starts anew.
  Receive(Bytes(f.begin() + 5, f.end()));
  EXPECT_EQ(receiver_.byteCount(), 0);
  const Bytes next = Telemetry('k', 3);
  Receive(next);
  ASSERT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(telemetry_[0], AsFrame(next));
}

TEST_F(FrameReceiverTest, FrameCompletedBeforeTheFourthTickIsKept) {
  const Bytes f = Telemetry('g', 21);
  Receive(Bytes(f.begin(), f.begin() + 1));
  Ticks(3);
  Receive(Bytes(f.begin() + 1, f.end()));
  ASSERT_EQ(telemetry_.size(), 1u);
  // The watchdog starts again with the next frame.
  Receive(Bytes(f.begin(), f.begin() + 2));
  Ticks(3);
  EXPECT_EQ(receiver_.byteCount(), 2);
}

TEST_F(FrameReceiverTest, TicksWhileHuntingDoNotCountAgainstTheNextFrame) {
  Ticks(25);
  const Bytes f = Telemetry('e');
  Receive(Bytes(f.begin(), f.begin() + 3));
  Ticks(3);
  Receive(Bytes(f.begin() + 3, f.end()));
  EXPECT_EQ(telemetry_.size(), 1u);
  EXPECT_EQ(receiver_.counters().partialDropped, 0u);
}

TEST_F(FrameReceiverTest, ReplyIsNotTelemetryAndStaysInTheBuffer) {
  Wait wait(*this, 104);
  const Bytes reply = Reply(104, 1, 2, 3, 4);
  Receive(reply);
  EXPECT_TRUE(telemetry_.empty());
  EXPECT_EQ(receiver_.counters().replies, 1u);
  EXPECT_TRUE(wait.arrived);
  EXPECT_EQ(wait.reply, AsFrame(reply));
  EXPECT_EQ(receiver_.buffer(), AsFrame(reply));
  EXPECT_EQ(receiver_.buffer()[5], 1);
  EXPECT_EQ(receiver_.buffer()[8], 4);
}

TEST_F(FrameReceiverTest, ReplyFlagAloneMakesAReply) {
  Wait wait(*this, 20);
  Receive(Incoming(kReplyFlag, 20));
  EXPECT_TRUE(telemetry_.empty());
  EXPECT_TRUE(wait.arrived);
}

TEST_F(FrameReceiverTest, AReplyBeforeTheWaitBeganDoesNotCount) {
  {
    Wait wait(*this, 104);
    EXPECT_FALSE(wait.arrived);
  }
  Receive(Reply(104));
  Wait wait(*this, 104);
  EXPECT_FALSE(wait.arrived);
}

TEST_F(FrameReceiverTest, FramesThatDoNotMatchDoNotEndTheWait) {
  struct Case {
    const char* what;
    Bytes frame;
  };
  Bytes corrupt = Reply(104);
  corrupt[9] ^= 0x80;
  const Case cases[] = {
      {"reply to another code", Reply(105)},
      {"frame without the reply flag", Incoming(0x09, 104)},
      {"reply with 1 in byte 4", Incoming(0x19, 104, 0, 0, 0, 0, 1)},
      {"reply with a wrong checksum", corrupt},
  };
  for (const Case& c : cases) {
    Wait wait(*this, 104);
    Receive(c.frame);
    EXPECT_FALSE(wait.arrived) << c.what;
  }
}

// A black-box read waits for its own address: a reply for another one (still
// on its way from a readout that was cut) passes it by.
TEST_F(FrameReceiverTest, AWaitForAnAddressTakesOnlyTheReplyForThatAddress) {
  Wait wait(*this, 119, 3);
  Receive(Reply(119, 42, 1, 2, 3));
  EXPECT_FALSE(wait.arrived);
  Receive(Reply(119, 3, 4, 5, 6));
  ASSERT_TRUE(wait.arrived);
  EXPECT_EQ(wait.reply[5], 3);
  EXPECT_EQ(wait.reply[6], 4);
}

TEST_F(FrameReceiverTest, MatchingReplyAfterOthersEndsTheWait) {
  Wait wait(*this, 105);
  Receive(Telemetry('e'));
  Receive(Reply(104));
  EXPECT_FALSE(wait.arrived);
  Receive(Reply(105, 9));
  ASSERT_TRUE(wait.arrived);
  EXPECT_EQ(wait.reply[5], 9);
  // The first awaited reply ends the wait; a later one does not replace it.
  Receive(Reply(105, 10));
  EXPECT_EQ(wait.reply[5], 9);
}

TEST_F(FrameReceiverTest, ReplyTicksStopAtTen) {
  Wait wait(*this, 104);
  for (int i = 1; i < FrameReceiver::kReplyTicks; ++i) {
    receiver_.Tick();
    EXPECT_EQ(wait.ticks, i);
    EXPECT_FALSE(wait.Expired());
  }
  receiver_.Tick();
  EXPECT_TRUE(wait.Expired());
  Ticks(50);
  EXPECT_EQ(wait.ticks, 10);
}

// A command started during another command's wait waits inside it. Each wait
// keeps its own expected code and its own time, and a reply for the outer
// wait that arrives during the inner one still ends the outer wait.
TEST_F(FrameReceiverTest, NestedWaitsKeepTheirOwnCodeAndTime) {
  Wait outer(*this, 119);
  Ticks(4);
  {
    Wait inner(*this, 104);
    EXPECT_EQ(receiver_.WaitDepth(), 2u);
    EXPECT_EQ(inner.ticks, 0);
    Receive(Reply(119, 7));
    Ticks(2);
    EXPECT_FALSE(inner.arrived);
    Receive(Reply(104, 1));
    EXPECT_TRUE(inner.arrived);
    EXPECT_EQ(inner.reply[4], 104);
    EXPECT_EQ(inner.ticks, 2);
  }
  EXPECT_EQ(receiver_.WaitDepth(), 1u);
  ASSERT_TRUE(outer.arrived);
  EXPECT_EQ(outer.reply[4], 119);
  EXPECT_EQ(outer.reply[5], 7);
  EXPECT_EQ(outer.ticks, 6);
}

// Two waits for the same code: each reply is the answer to one request, and
// the innermost wait sent the latest one.
TEST_F(FrameReceiverTest, AReplyAwaitedByTwoWaitsEndsTheInnermostOnly) {
  Wait outer(*this, 104);
  Wait inner(*this, 104);
  Receive(Reply(104, 3));
  EXPECT_FALSE(outer.arrived);
  ASSERT_TRUE(inner.arrived);
  EXPECT_EQ(inner.reply[5], 3);
  Receive(Reply(104, 4));
  ASSERT_TRUE(outer.arrived);
  EXPECT_EQ(outer.reply[5], 4);
}

TEST_F(FrameReceiverTest, AnOuterWaitRunsOutDuringALongInnerOne) {
  Wait outer(*this, 104);
  Wait inner(*this, 105);
  Ticks(FrameReceiver::kReplyTicks);
  EXPECT_TRUE(outer.Expired());
  EXPECT_TRUE(inner.Expired());
  // The reply came too late for either of them.
  Receive(Reply(105));
  Receive(Reply(104));
  EXPECT_FALSE(inner.arrived);
  EXPECT_FALSE(outer.arrived);
}

// The reply wait as the main window runs it, with received events and timer
// ticks standing in for the event loop: a heater that answers only with the
// wrong code leaves the wait to end after ten ticks.
TEST_F(FrameReceiverTest, WaitWithoutTheAwaitedReplyEndsAfterTenTicks) {
  Wait wait(*this, 104);
  int passes = 0;
  while (!wait.arrived && !wait.Expired()) {
    Receive(passes % 2 ? Reply(105) : Incoming(0x09, 104));
    receiver_.Tick();
    ++passes;
  }
  EXPECT_FALSE(wait.arrived);
  EXPECT_EQ(passes, 10);
}

// A reply that has arrived must end the wait even when more bytes came in the
// same receive event: the heater goes on sending telemetry on its own, and a
// busy user interface reads several frames at once.
TEST_F(FrameReceiverTest, ReplyFollowedByTheStartOfTheNextFrame) {
  Wait wait(*this, 104);
  const Bytes next = Telemetry('e');
  Receive(Join({Reply(104, 1, 2, 3, 4), Bytes(next.begin(), next.begin() + 3)}));
  EXPECT_TRUE(wait.arrived);
}

TEST_F(FrameReceiverTest, ReplyFollowedByAFrameWithAWrongChecksum) {
  Wait wait(*this, 104);
  Bytes corrupt = Telemetry('e');
  corrupt[9] ^= 0x01;
  Receive(Join({Reply(104, 1, 2, 3, 4), corrupt}));
  EXPECT_TRUE(wait.arrived);
}

TEST_F(FrameReceiverTest, ReplyFollowedByATelemetryFrame) {
  Wait wait(*this, 104);
  Receive(Join({Reply(104, 1, 2, 3, 4), Telemetry('e')}));
  EXPECT_EQ(telemetry_.size(), 1u);
  EXPECT_TRUE(wait.arrived);
}

}  // namespace
}  // namespace o5
