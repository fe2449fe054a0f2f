// SPDX-License-Identifier: GPL-3.0-or-later
// Faults switched on by command or option, as the tool's end of the line sees them.

#include <gtest/gtest.h>

#include <thread>

#include "tests/tools/SimTestSupport.h"

namespace o5::test {
namespace {

using Bytes = SlaveLine::Bytes;
constexpr const char* kVersionRequest = "AA 09 00 00 68 00 00 00 00 1B";
constexpr const char* kDateRequest = "AA 09 00 00 69 00 00 00 00 1C";

class SimulatorFaults : public SimLineTest {
 protected:
  void Command(const std::string& command) {
    const std::string answer = sim().Command(command);
    ASSERT_EQ(answer.rfind("OK", 0), 0u) << command << " -> " << answer;
  }
};

TEST_F(SimulatorFaults, WrongChecksumsAreSentOnDemandAndStopOnDemand) {
  Start();
  Command("bad-checksum 100");
  line().WriteHex(kVersionRequest);
  const Bytes stream = line().ReadUntil([](const Bytes& b) { return b.size() >= 10; }, 5s);
  const auto frames = SlaveLine::Frames(stream);
  ASSERT_EQ(frames.size(), 1u) << sim().LogText();
  EXPECT_EQ(frames[0][4], 0x68);
  EXPECT_FALSE(SlaveLine::ChecksumValid(frames[0]));
  EXPECT_TRUE(sim().WaitForLog("FAULT", "bad-checksum: reply 104", 1s));
  Command("bad-checksum 0");
  line().WriteHex(kVersionRequest);
  EXPECT_TRUE(line().WaitForReply(0x68, 5s));
}

TEST_F(SimulatorFaults, WrongChecksumsByOption) {
  Start({"--bad-checksum", "100"});
  line().WriteHex(kDateRequest);
  const Bytes stream = line().ReadUntil([](const Bytes& b) { return b.size() >= 10; }, 5s);
  ASSERT_EQ(stream.size(), 10u);
  EXPECT_FALSE(SlaveLine::ChecksumValid(stream));
}

TEST_F(SimulatorFaults, PartialFramesAreCutShort) {
  Start();
  Command("partial 100");
  line().WriteHex(kVersionRequest);
  const auto logged = sim().WaitForLog("TX-PARTIAL", "AA 19 00", 5s);
  ASSERT_TRUE(logged) << sim().LogText();
  const std::size_t sent = (logged->text.size() + 1) / 3;
  EXPECT_GE(sent, 1u);
  EXPECT_LE(sent, 9u);
  const Bytes stream = line().ReadUntil([sent](const Bytes& b) { return b.size() >= sent; }, 5s);
  EXPECT_EQ(HexOf(stream), logged->text);
  EXPECT_TRUE(sim().WaitForLog("FAULT", "partial: reply 104 cut after", 1s));
}

TEST_F(SimulatorFaults, NoiseBytesComeBeforeAFrameAndNeverLookLikeAStart) {
  Start();
  Command("noise 100");
  for (int round = 0; round < 5; ++round) {
    line().WriteHex(kVersionRequest);
    const Bytes stream = line().ReadUntil(
        [](const Bytes& b) { return !SlaveLine::ValidFrames(b).empty() && b.size() >= 11; }, 5s);
    ASSERT_GE(stream.size(), 11u) << sim().LogText();
    ASSERT_LE(stream.size(), 14u);
    const std::size_t noise = stream.size() - 10;
    for (std::size_t i = 0; i < noise; ++i) EXPECT_NE(stream[i], 0xAA);
    EXPECT_EQ(stream[noise], 0xAA);
    EXPECT_EQ(SlaveLine::Frames(stream).size(), 1u) << "the tool's rule skips the noise";
  }
  EXPECT_TRUE(sim().WaitForLog("TX-NOISE", "", 1s));
}

TEST_F(SimulatorFaults, SplitFramesArriveInTwoPiecesWithAPause) {
  Start();
  Command("split 100 600");
  line().WriteHex(kVersionRequest);
  const Bytes first = line().ReadUntil([](const Bytes& b) { return !b.empty(); }, 5s);
  const auto firstAt = std::chrono::steady_clock::now();
  ASSERT_FALSE(first.empty());
  ASSERT_LT(first.size(), 10u);
  const Bytes rest = line().ReadUntil([&](const Bytes& b) { return first.size() + b.size() >= 10; }, 5s);
  const auto restAt = std::chrono::steady_clock::now();
  Bytes whole = first;
  whole.insert(whole.end(), rest.begin(), rest.end());
  ASSERT_EQ(whole.size(), 10u);
  EXPECT_TRUE(SlaveLine::ChecksumValid(whole));
  // The pause is 600 ms; a late wake-up of this test can only shorten what it measures.
  EXPECT_GE(restAt - firstAt, 200ms);
}

TEST_F(SimulatorFaults, GivenCodesAreLeftUnanswered) {
  Start({"--no-reply", "105"});
  Command("no-reply 104");
  line().WriteHex(kVersionRequest);
  line().WriteHex("AA 09 00 00 77 03 00 00 00 2D");
  const Bytes stream = line().ReadUntil(
      [](const Bytes& b) {
        for (const auto& f : SlaveLine::ValidFrames(b)) {
          if (f[4] == 0x77) return true;
        }
        return false;
      },
      5s);
  const auto frames = SlaveLine::ValidFrames(stream);
  ASSERT_EQ(frames.size(), 1u) << "only the black-box read is answered: " << HexOf(stream);
  EXPECT_TRUE(sim().WaitForLog("FAULT", "no-reply: request 104", 1s));
  Command("no-reply none");
  line().WriteHex(kDateRequest);
  EXPECT_TRUE(line().WaitForReply(0x69, 5s));
}

TEST_F(SimulatorFaults, SlowRepliesArriveLate) {
  Start();
  Command("reply-delay 700");
  const auto asked = std::chrono::steady_clock::now();
  line().WriteHex(kVersionRequest);
  ASSERT_TRUE(line().WaitForReply(0x68, 5s));
  EXPECT_GE(std::chrono::steady_clock::now() - asked, 650ms);
  EXPECT_EQ(sim().Command("delay 0"), "OK reply-delay");
}

TEST_F(SimulatorFaults, RepliesWithAWrongByte4) {
  Start();
  Command("wrong-byte4 on");
  line().WriteHex(kVersionRequest);
  const auto reply = line().WaitForReply(0x68, 5s);
  ASSERT_TRUE(reply);
  EXPECT_EQ((*reply)[3], 0x01);
  EXPECT_TRUE(SlaveLine::ChecksumValid(*reply));
  Command("wrong-byte4 off");
  line().WriteHex(kVersionRequest);
  const auto right = line().WaitForReply(0x68, 5s);
  ASSERT_TRUE(right);
  EXPECT_EQ((*right)[3], 0x00);
}

TEST_F(SimulatorFaults, FirmwareWithoutABlackBoxAnswersTheOtherSignature) {
  Start({"--no-blackbox"});
  line().WriteHex("AA 09 00 00 77 03 00 00 00 2D");
  const auto probe = line().WaitForReply(0x77, 5s);
  ASSERT_TRUE(probe);
  EXPECT_EQ((*probe)[6], 0x55);
  EXPECT_EQ((*probe)[7], 0x38);
  line().WriteHex(HexOf(WithChecksum({0xAA, 0x09, 0, 0, 0x77, 2, 0, 0, 0})));
  const auto shifted = line().WaitForReply(0x77, 5s);
  ASSERT_TRUE(shifted);
  EXPECT_EQ((*shifted)[7], 0x55);
  EXPECT_EQ((*shifted)[8], 0x38);
  Command("no-blackbox off");
  line().WriteHex("AA 09 00 00 77 03 00 00 00 2D");
  const auto real = line().WaitForReply(0x77, 5s);
  ASSERT_TRUE(real);
  EXPECT_EQ((*real)[7], 0x37);
}

TEST_F(SimulatorFaults, SilenceStopsTelemetryAndReplies) {
  s = std::make_unique<SimWithLine>(std::vector<std::string>{"--no-pacing", "--cycle", "100"});
  ASSERT_FALSE(line().ReadUntil([](const Bytes& b) { return b.size() >= 70; }, 5s).empty());
  Command("silence on");
  line().ReadFor(200ms);  // whatever was on its way
  line().WriteHex(kVersionRequest);
  ASSERT_TRUE(sim().WaitForLog("FAULT", "silence: request 104 left unanswered", 5s));
  EXPECT_TRUE(line().ReadFor(600ms).empty()) << "six cycles would have been sent";
  Command("silence off");
  EXPECT_GE(line().ReadUntil([](const Bytes& b) { return b.size() >= 70; }, 5s).size(), 70u);
}

TEST_F(SimulatorFaults, TimedSilenceEndsByItself) {
  s = std::make_unique<SimWithLine>(std::vector<std::string>{"--no-pacing", "--cycle", "100"});
  Command("silence 500");
  ASSERT_TRUE(sim().WaitForLog("FAULT", "silence off", 5s));
  line().ReadAvailable();
  EXPECT_GE(line().ReadUntil([](const Bytes& b) { return b.size() >= 70; }, 5s).size(), 70u);
}

TEST_F(SimulatorFaults, HeaterFaultShowsInTelemetry) {
  s = std::make_unique<SimWithLine>(std::vector<std::string>{"--no-pacing", "--cycle", "100", "--running"});
  Command("fault 1");
  const Bytes stream = line().ReadUntil(
      [](const Bytes& b) {
        for (const auto& f : SlaveLine::Frames(b)) {
          if (f[4] == 'j' && f[8] == 0x01) return true;
        }
        return false;
      },
      5s);
  bool codeShown = false;
  for (const auto& f : SlaveLine::Frames(stream)) codeShown |= f[4] == 'e' && f[8] == 1;
  EXPECT_TRUE(codeShown) << HexOf(stream);
  EXPECT_EQ(sim().Command("fault 22").rfind("ERROR", 0), 0u);
  Command("fault off");
}

TEST_F(SimulatorFaults, ClearTurnsEveryFaultOff) {
  Start({"--bad-checksum", "100", "--wrong-byte4", "--silence"});
  Command("clear");
  line().WriteHex(kVersionRequest);
  const auto reply = line().WaitForReply(0x68, 5s);
  ASSERT_TRUE(reply);
  EXPECT_EQ((*reply)[3], 0);
}

TEST_F(SimulatorFaults, FrameAndSendCommandsPutBytesOnTheLine) {
  Start();
  EXPECT_EQ(sim().Command("frame 19 00 00 68 01 02 03 04"), "OK frame " + HexOf(WithChecksum({0xAA, 0x19, 0, 0, 0x68, 1, 2, 3, 4})));
  const auto built = line().WaitForReply(0x68, 5s);
  ASSERT_TRUE(built);
  EXPECT_EQ(HexOf(*built), HexOf(WithChecksum({0xAA, 0x19, 0, 0, 0x68, 1, 2, 3, 4})));
  Command("send 01 AA 02");
  EXPECT_EQ(HexOf(line().ReadUntil([](const Bytes& b) { return b.size() >= 3; }, 5s)), "01 AA 02");
  EXPECT_EQ(sim().Command("frame 01 02").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim().Command("send zz").rfind("ERROR", 0), 0u);
}

}  // namespace
}  // namespace o5::test
