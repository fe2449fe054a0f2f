// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator answers the tool's requests as the protocol describes, seen from the tool's
// end of the line.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/tools/SimTestSupport.h"

namespace o5::test {
namespace {

constexpr const char* kVersionRequest = "AA 09 00 00 68 00 00 00 00 1B";
constexpr const char* kDateRequest = "AA 09 00 00 69 00 00 00 00 1C";

class SimulatorRequests : public SimLineTest {
 protected:
  std::vector<std::uint8_t> Ask(const std::string& request, std::uint8_t code) {
    line().WriteHex(request);
    const auto reply = line().WaitForReply(code, 5s);
    if (!reply) {
      ADD_FAILURE() << "no reply to " << request << "\n" << sim().LogText();
      return {};
    }
    return *reply;
  }
  std::vector<std::uint8_t> ReadBlackBox(std::uint8_t address) {
    return Ask(HexOf(WithChecksum({0xAA, 0x09, 0, 0, 0x77, address, 0, 0, 0})), 0x77);
  }
};

TEST_F(SimulatorRequests, VersionAndDateRepliesCarryTheReplyFlagTheCodeAndTheData) {
  Start({"--fw-version", "2.10.0.255", "--fw-date", "5.6.24.1"});
  EXPECT_EQ(HexOf(Ask(kVersionRequest, 0x68)), HexOf(WithChecksum({0xAA, 0x19, 0, 0, 0x68, 2, 10, 0, 255})));
  EXPECT_EQ(HexOf(Ask(kDateRequest, 0x69)), HexOf(WithChecksum({0xAA, 0x19, 0, 0, 0x69, 5, 6, 24, 1})));
  EXPECT_TRUE(sim().WaitForReceived(kVersionRequest, 1s));
  EXPECT_TRUE(sim().WaitForReceived("aa0900006900000000 1c", 1s));
  // The log line follows the write that the reply above came from.
  ASSERT_TRUE(sim().WaitForLog("TX", "AA 19 00 00 69", 2s));
  const auto sent = sim().SentFrames();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].substr(0, 14), "AA 19 00 00 68");
}

TEST_F(SimulatorRequests, PostStartAndExitAreAnsweredOnlyWhenAnAnswerIsWanted) {
  Start();
  // The fall-back frames (control byte 01) go out blind; a reply to the version request that
  // follows them proves that nothing was sent for them in between.
  line().WriteHex("AA 01 00 00 13 00 00 00 00 BE");
  line().WriteHex("AA 01 00 00 14 00 00 00 00 BF");
  line().WriteHex(kVersionRequest);
  const auto stream = line().ReadUntil(
      [](const SlaveLine::Bytes& bytes) {
        for (const auto& frame : SlaveLine::ValidFrames(bytes)) {
          if (frame[4] == 0x68) return true;
        }
        return false;
      },
      5s);
  const auto frames = SlaveLine::ValidFrames(stream);
  ASSERT_FALSE(frames.empty()) << sim().LogText();
  EXPECT_EQ(frames.size(), 1u) << HexOf(stream);
  EXPECT_EQ(frames.back()[4], 0x68);

  EXPECT_EQ(HexOf(Ask("AA 09 00 00 13 00 00 00 00 C6", 19)), HexOf(WithChecksum({0xAA, 0x19, 0, 0, 19, 0, 0, 0, 0})));
  EXPECT_EQ(HexOf(Ask("AA 09 00 00 14 00 00 00 00 C7", 20)), HexOf(WithChecksum({0xAA, 0x19, 0, 0, 20, 0, 0, 0, 0})));
  EXPECT_TRUE(sim().WaitForReceived("AA 01 00 00 13 00 00 00 00 BE", 1s));
}

TEST_F(SimulatorRequests, BlackBoxReadsAnswerThreeBytesAtTheAddress) {
  Start();
  const auto probe = Ask("AA 09 00 00 77 03 00 00 00 2D", 0x77);
  ASSERT_EQ(probe.size(), 10u);
  EXPECT_EQ(probe[1], 0x19);
  EXPECT_EQ(probe[3], 0x00);
  EXPECT_EQ(probe[6], 0x55);
  EXPECT_EQ(probe[7], 0x37);
  const auto tail = ReadBlackBox(253);
  ASSERT_EQ(tail.size(), 10u);
  EXPECT_EQ(tail[5], 253);
  EXPECT_TRUE(sim().WaitForReceived("AA 09 00 00 77 FD 00 00 00 27", 1s));
  // Past the end of the memory: erased cells.
  const auto beyond = ReadBlackBox(255);
  ASSERT_EQ(beyond.size(), 10u);
  EXPECT_EQ(beyond[7], 0xFF);
  EXPECT_EQ(beyond[8], 0xFF);
}

TEST_F(SimulatorRequests, AFullReadoutReproducesALoadedImageAndExitSavesIt) {
  std::vector<std::uint8_t> image(256);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image[3] = 0x55;
  image[4] = 0x37;
  const std::string in = ::testing::TempDir() + "/heatersim_in_" + std::to_string(::getpid()) + ".bin";
  const std::string out = ::testing::TempDir() + "/heatersim_out_" + std::to_string(::getpid()) + ".bin";
  std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 256);
  Start({"--load-blackbox", in, "--save-blackbox", out});

  std::vector<std::uint8_t> read(256);
  for (int a = 0; a <= 252; a += 3) {
    const auto reply = ReadBlackBox(static_cast<std::uint8_t>(a));
    ASSERT_EQ(reply.size(), 10u);
    for (int k = 0; k < 3; ++k) read[a + k] = reply[6 + k];
  }
  const auto tail = ReadBlackBox(253);
  ASSERT_EQ(tail.size(), 10u);
  for (int k = 0; k < 3; ++k) read[253 + k] = tail[6 + k];
  EXPECT_EQ(read, image);

  EXPECT_EQ(sim().Command("load-blackbox /nonexistent/box.bin").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim().Stop(), 0);
  std::ifstream saved(out, std::ios::binary);
  std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_EQ(back, image) << "nothing ran, so the saved image is the loaded one";
  std::remove(in.c_str());
  std::remove(out.c_str());
}

TEST_F(SimulatorRequests, StartAndStopRequestsRunAndStopTheHeater) {
  s = std::make_unique<SimWithLine>(std::vector<std::string>{"--no-pacing", "--cycle", "100", "--speed", "10"});
  line().WriteHex("AA 01 00 00 01 00 00 00 00 AC");
  ASSERT_TRUE(sim().WaitForLog("MODE", "0 -> 1", 5s)) << sim().LogText();
  // Telemetry now reports a run that began at 0 and counts up.
  const auto stream = line().ReadUntil(
      [](const SlaveLine::Bytes& bytes) {
        for (const auto& frame : SlaveLine::ValidFrames(bytes)) {
          if (frame[4] == 'g' && frame[8] >= 3) return true;
        }
        return false;
      },
      10s);
  int lastTimer = -1;
  bool sawCheck = false;
  for (const auto& frame : SlaveLine::ValidFrames(stream)) {
    if (frame[4] == 'e') {
      const int timer = frame[5] * 256 + frame[6];
      EXPECT_GE(timer, lastTimer);
      lastTimer = timer;
    }
    if (frame[4] == 'g' && frame[8] == 1) sawCheck = true;
  }
  EXPECT_TRUE(sawCheck);
  EXPECT_GE(lastTimer, 3);
  line().WriteHex("AA 01 00 00 03 00 00 00 00 AE");
  EXPECT_TRUE(sim().WaitForLog("MODE", "-> 25", 5s));
  const auto purge = line().ReadUntil(
      [](const SlaveLine::Bytes& bytes) {
        for (const auto& frame : SlaveLine::ValidFrames(bytes)) {
          if (frame[4] == 'g' && frame[8] == 25) return true;
        }
        return false;
      },
      5s);
  EXPECT_FALSE(purge.empty());
}

TEST_F(SimulatorRequests, FramesWithTheReplyFlagOrAnUnknownCodeAreNotAnswered) {
  Start();
  line().WriteHex(HexOf(WithChecksum({0xAA, 0x19, 0, 0, 0x68, 0, 0, 0, 0})));
  line().WriteHex(HexOf(WithChecksum({0xAA, 0x09, 0, 0, 0x42, 0, 0, 0, 0})));
  line().WriteHex(kDateRequest);
  const auto stream = line().ReadUntil(
      [](const SlaveLine::Bytes& bytes) {
        for (const auto& frame : SlaveLine::ValidFrames(bytes)) {
          if (frame[4] == 0x69) return true;
        }
        return false;
      },
      5s);
  const auto frames = SlaveLine::ValidFrames(stream);
  ASSERT_EQ(frames.size(), 1u) << HexOf(stream);
  EXPECT_EQ(frames[0][4], 0x69);
  EXPECT_TRUE(sim().WaitForLog("INFO", "unknown request code 66", 1s));
}

}  // namespace
}  // namespace o5::test
