// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's frame code checked against the literal frames of the protocol, and its
// receiver against the receive rules.

#include <gtest/gtest.h>

#include "tests/tools/SlaveLine.h"
#include "tools/heatersim/HexText.h"
#include "tools/heatersim/RequestReceiver.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {
namespace {

std::string Hex(const Frame& frame) { return ToHex(frame.data(), frame.size()); }

TEST(SimFrame, BuildsTheLiteralRequestFrames) {
  // control, code, byte 6 -> the frame as the protocol tables write it.
  struct Case {
    std::uint8_t control, code, address;
    const char* expected;
  };
  const Case cases[] = {
      {0x01, 1, 0, "AA 01 00 00 01 00 00 00 00 AC"},    // start
      {0x01, 3, 0, "AA 01 00 00 03 00 00 00 00 AE"},    // stop
      {0x09, 19, 0, "AA 09 00 00 13 00 00 00 00 C6"},   // post-start request
      {0x01, 19, 0, "AA 01 00 00 13 00 00 00 00 BE"},   // post-start fall-back
      {0x09, 104, 0, "AA 09 00 00 68 00 00 00 00 1B"},  // version
      {0x09, 105, 0, "AA 09 00 00 69 00 00 00 00 1C"},  // version date
      {0x09, 20, 0, "AA 09 00 00 14 00 00 00 00 C7"},   // exit request
      {0x01, 20, 0, "AA 01 00 00 14 00 00 00 00 BF"},   // exit fall-back
      {0x09, 119, 3, "AA 09 00 00 77 03 00 00 00 2D"},  // black box, address 3
      {0x09, 119, 0, "AA 09 00 00 77 00 00 00 00 2A"},  // address 0
      {0x09, 119, 253, "AA 09 00 00 77 FD 00 00 00 27"},  // the tail
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(BuildFrame(c.control, 0, 0, c.code, {c.address, 0, 0, 0})), c.expected);
  }
}

TEST(SimFrame, ChecksumCoversTheStartByteAndWrapsAt256) {
  Frame frame = BuildFrame(0x09, 0, 0, kCodeVersion, {0, 0, 0, 0});
  EXPECT_TRUE(HasValidChecksum(frame));
  frame[kChecksumIndex] = 0x1C;
  EXPECT_FALSE(HasValidChecksum(frame));
  const Frame full = BuildFrame(0xFF, 0xFF, 0xFF, 0xFF, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(full[kChecksumIndex], (0xAA + 8 * 0xFF) & 0xFF);
  // The tests' own frame reader, written separately again, agrees.
  EXPECT_TRUE(test::SlaveLine::ChecksumValid(std::vector<std::uint8_t>(full.begin(), full.end())));
}

TEST(HexText, FormatsAndParses) {
  const std::vector<std::uint8_t> bytes{0xAA, 0x09, 0x00, 0x1B};
  EXPECT_EQ(ToHex(bytes), "AA 09 00 1B");
  EXPECT_EQ(ParseHex("aa 09 00 1b"), bytes);
  EXPECT_EQ(ParseHex("AA09001B"), bytes);
  EXPECT_EQ(ParseHex("0xAA,0x09:00 1B"), bytes);
  EXPECT_EQ(ParseHex(""), std::vector<std::uint8_t>{});
  EXPECT_FALSE(ParseHex("AA 0"));
  EXPECT_FALSE(ParseHex("AG"));
  EXPECT_FALSE(ParseHex("0x"));
}

class RequestReceiverTest : public ::testing::Test {
 protected:
  std::vector<RequestReceiver::Event> Feed(const std::string& hex, TimePoint at) {
    const auto bytes = *ParseHex(hex);
    return receiver.Feed(bytes.data(), bytes.size(), at);
  }
  RequestReceiver receiver;
  TimePoint t0 = Clock::now();
};

using Type = RequestReceiver::EventType;

TEST_F(RequestReceiverTest, DiscardsBytesBeforeTheStartByteAndReportsThem) {
  const auto events = Feed("01 02 AA 09 00 00 68 00 00 00 00 1B", t0);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, Type::Garbage);
  EXPECT_EQ(ToHex(events[0].bytes), "01 02");
  EXPECT_EQ(events[1].type, Type::Frame);
  EXPECT_EQ(ToHex(events[1].bytes), "AA 09 00 00 68 00 00 00 00 1B");
}

TEST_F(RequestReceiverTest, AssemblesAFrameSpreadOverTwoReads) {
  EXPECT_TRUE(Feed("AA 09 00 00", t0).empty());
  const auto events = Feed("77 03 00 00 00 2D", t0 + Milliseconds(50));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::Frame);
}

TEST_F(RequestReceiverTest, TwoFramesInOneReadWithAByteBetween) {
  const auto events = Feed("AA 09 00 00 68 00 00 00 00 1B 55 AA 09 00 00 69 00 00 00 00 1C", t0);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].type, Type::Frame);
  EXPECT_EQ(events[1].type, Type::Garbage);
  EXPECT_EQ(events[2].type, Type::Frame);
  EXPECT_EQ(events[2].bytes[kCodeIndex], kCodeVersionDate);
}

TEST_F(RequestReceiverTest, StartByteInsideAFrameIsData) {
  // 0xAA as byte 6: the frame is AA 09 00 00 77 AA 00 00 00 and checksum 0xD4.
  const auto events = Feed("AA 09 00 00 77 AA 00 00 00 D4", t0);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::Frame);
  EXPECT_EQ(events[0].bytes[kDataIndex], 0xAA);
}

TEST_F(RequestReceiverTest, WrongChecksumIsReportedAndDropped) {
  const auto events = Feed("AA 09 00 00 68 00 00 00 00 1C AA 09 00 00 68 00 00 00 00 1B", t0);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, Type::BadChecksum);
  EXPECT_EQ(events[1].type, Type::Frame);
}

TEST_F(RequestReceiverTest, StalledFrameIsDroppedAndTheNextStartByteBeginsAFrame) {
  EXPECT_TRUE(Feed("AA 09 00 00 68", t0).empty());
  ASSERT_TRUE(receiver.NextDeadline());
  EXPECT_EQ(*receiver.NextDeadline(), t0 + RequestReceiver::kPartialLimit);
  EXPECT_TRUE(receiver.Expire(t0 + Milliseconds(399)).empty());
  const auto dropped = receiver.Expire(t0 + RequestReceiver::kPartialLimit);
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0].type, Type::Partial);
  EXPECT_EQ(ToHex(dropped[0].bytes), "AA 09 00 00 68");
  const auto events = Feed("AA 09 00 00 68 00 00 00 00 1B", t0 + Milliseconds(500));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::Frame);
}

TEST_F(RequestReceiverTest, GarbageIsReportedInShortRunsAndAfterQuiet) {
  std::vector<std::uint8_t> noise(70, 0x55);
  const auto events = receiver.Feed(noise.data(), noise.size(), t0);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].bytes.size(), RequestReceiver::kGarbageRunMax);
  EXPECT_EQ(events[1].bytes.size(), RequestReceiver::kGarbageRunMax);
  const auto rest = receiver.Expire(t0 + RequestReceiver::kGarbageQuiet);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].bytes.size(), 70 - 2 * RequestReceiver::kGarbageRunMax);
}

TEST_F(RequestReceiverTest, FlushReportsWhatIsHeld) {
  Feed("01 AA 09", t0);
  const auto events = receiver.Flush();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, Type::Partial);
  EXPECT_FALSE(receiver.NextDeadline());
}

}  // namespace
}  // namespace o5::sim
