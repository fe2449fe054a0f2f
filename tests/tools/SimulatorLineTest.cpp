// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator as a program: its device and link, hang-up and return, and its behaviour with
// bad command lines, garbage on the line and garbage on its input.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "tests/tools/SimTestSupport.h"

namespace o5::test {
namespace {

using Bytes = SlaveLine::Bytes;
constexpr const char* kVersionRequest = "AA 09 00 00 68 00 00 00 00 1B";

std::string TempName(const std::string& name) {
  return ::testing::TempDir() + "/heatersim_" + std::to_string(::getpid()) + "_" + name;
}

std::string LinkTarget(const std::string& path) {
  char buffer[4096];
  const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
  return length < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(length));
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

TEST(SimulatorLine, HangUpIsSeenByTheHolderAndReconnectComesBackOnANewDevice) {
  const std::string link = TempName("heater");
  Simulator sim({"--no-pacing", "--cycle", "100", "--link", link});
  EXPECT_EQ(LinkTarget(link), sim.DevicePath());
  const std::string first = sim.DevicePath();
  {
    SlaveLine line(link);
    ASSERT_TRUE(sim.WaitForLog("LINE", "open: ", 5s));
    ASSERT_GE(line.ReadUntil([](const Bytes& b) { return b.size() >= 10; }, 5s).size(), 10u);
    EXPECT_EQ(sim.Command("hangup"), "OK hangup");
    EXPECT_TRUE(line.WaitForHangup(5s));
    EXPECT_FALSE(Exists(link)) << "an unplugged adapter's device disappears";
    EXPECT_TRUE(sim.WaitForLog("FAULT", "hangup: " + first, 1s));
    EXPECT_EQ(sim.Command("hangup").rfind("ERROR", 0), 0u);
  }
  EXPECT_EQ(sim.Command("reconnect"), "OK reconnect");
  const auto second = sim.WaitForPort(2, 5s);
  ASSERT_TRUE(second);
  EXPECT_EQ(LinkTarget(link), *second);
  SlaveLine again(link);
  const Bytes live = again.ReadUntil([](const Bytes& b) { return SlaveLine::Frames(b).size() >= 7; }, 5s);
  EXPECT_GE(SlaveLine::Frames(live).size(), 7u);
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(Exists(link)) << "the link goes with the simulator";
}

TEST(SimulatorLine, HangUpAndReconnectByOption) {
  Simulator sim({"--no-pacing", "--cycle", "100", "--hangup-after", "800", "--reconnect-after", "300"});
  const std::string first = sim.DevicePath();
  SlaveLine line(first);
  EXPECT_TRUE(line.WaitForHangup(10s));
  EXPECT_TRUE(sim.WaitForPort(2, 10s));
}

TEST(SimulatorLine, AReturningDeviceIsHeldBusyForAWhile) {
  Simulator sim({"--no-pacing", "--no-telemetry", "--reconnect-busy", "3000"});
  ASSERT_EQ(sim.Command("hangup").rfind("OK", 0), 0u);
  ASSERT_EQ(sim.Command("reconnect").rfind("OK", 0), 0u);
  const auto path = sim.WaitForPort(2, 10s);
  ASSERT_TRUE(path);
  // Refused as a serial tool is refused by another program holding a port:
  // the lock, or (without root) the open itself.
  const auto lockable = [&] {
    const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
  };
  EXPECT_FALSE(lockable());
  EXPECT_TRUE(sim.WaitForLog("FAULT", "let go", 10s)) << sim.LogText();
  EXPECT_TRUE(lockable());
}

TEST(SimulatorLine, GarbageOnTheLineDoesNotStopItAnswering) {
  SimWithLine s({"--no-pacing", "--cycle", "100"});
  std::mt19937 random(7);
  Bytes garbage(4096);
  for (auto& b : garbage) b = static_cast<std::uint8_t>(random());
  for (std::size_t i = 0; i < garbage.size(); i += 97) garbage[i] = 0xAA;  // plenty of false starts
  s.line->Write(garbage);
  // A request may complete a frame that the garbage left open; asking again until answered
  // is what a user would do.
  std::optional<Bytes> reply;
  for (int attempt = 0; attempt < 20 && !reply; ++attempt) {
    s.line->WriteHex(kVersionRequest);
    reply = s.line->WaitForReply(0x68, 1s);
  }
  ASSERT_TRUE(reply) << s.sim->LogText();
  EXPECT_TRUE(s.sim->WaitForLog("RX-BAD", "", 1s));
  EXPECT_TRUE(s.sim->WaitForLog("RX-GARBAGE", "", 1s));
  EXPECT_EQ(s.sim->Command("status").rfind("OK", 0), 0u);
}

TEST(SimulatorLine, AStalledRequestIsLoggedAndDropped) {
  SimWithLine s({"--no-pacing", "--no-telemetry"});
  s.line->WriteHex("AA 09 00");
  EXPECT_TRUE(s.sim->WaitForLog("RX-PARTIAL", "AA 09 00", 5s)) << s.sim->LogText();
  s.line->WriteHex(kVersionRequest);
  EXPECT_TRUE(s.line->WaitForReply(0x68, 5s)) << "the next start byte begins a frame";
  EXPECT_TRUE(s.sim->WaitForReceived(kVersionRequest, 1s));
  EXPECT_EQ(s.sim->ReceivedFrames(), std::vector<std::string>{kVersionRequest});
}

TEST(SimulatorLine, GarbageOnItsInputGetsErrorsNotACrash) {
  Simulator sim({"--no-pacing"});
  EXPECT_EQ(sim.Command("fly away").rfind("ERROR unknown command 'fly'", 0), 0u);
  EXPECT_EQ(sim.Command(std::string("\x01\x02\xff\xfe junk", 9)).rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim.Command("bad-checksum lots").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim.Command("split 10 20 30").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim.Command("baud 3").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim.Command("silence -5").rfind("ERROR", 0), 0u);
  EXPECT_EQ(sim.Command("send AA").rfind("ERROR nobody holds the device", 0), 0u);
  EXPECT_EQ(sim.Command(std::string(10000, 'x')).rfind("ERROR line longer", 0), 0u);
  EXPECT_EQ(sim.Command("START"), "OK start");
  EXPECT_EQ(sim.Command("start"), "OK start (already running: ignored)");
  const std::string status = sim.Command("status");
  EXPECT_EQ(status, "OK status");
  bool sawStatus = false;
  for (const std::string& line : sim.Output()) sawStatus |= line.rfind("STATUS port=" + sim.DevicePath() + " line=closed", 0) == 0;
  EXPECT_TRUE(sawStatus);
  EXPECT_EQ(sim.Stop(), 0);
}

TEST(SimulatorLine, HelpExplainsEveryOptionAndCommand) {
  const auto result = Simulator::RunToEnd({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  for (const char* text : {"--link", "--baud", "--no-pacing", "--cycle", "--bad-checksum", "--partial", "--noise",
                           "--split", "--no-reply", "--reply-delay", "--wrong-byte4", "--no-blackbox", "--silence",
                           "--hangup-after", "--reconnect-after", "--reconnect-busy", "--load-blackbox", "--save-blackbox",
                           "  start, stop", "  hangup", "  reconnect", "  send HEX", "  frame B2", "  status",
                           "  quit", "RX-GARBAGE", "TX-PARTIAL"}) {
    EXPECT_NE(result.out.find(text), std::string::npos) << text;
  }
}

TEST(SimulatorLine, BadCommandLinesEndWithStatus2AndAReason) {
  const auto unknown = Simulator::RunToEnd({"--bogus"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("unknown option '--bogus'"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("--help"), std::string::npos);

  const auto value = Simulator::RunToEnd({"--cycle", "fast"});
  EXPECT_EQ(value.exitCode, 2);
  EXPECT_NE(value.err.find("--cycle"), std::string::npos) << value.err;

  const auto missing = Simulator::RunToEnd({"--load-blackbox", "/nonexistent/box.bin"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("/nonexistent/box.bin"), std::string::npos) << missing.err;

  const std::string file = TempName("plainfile");
  std::ofstream(file) << "keep me";
  const auto clobber = Simulator::RunToEnd({"--link", file});
  EXPECT_EQ(clobber.exitCode, 2);
  EXPECT_NE(clobber.err.find("not a symbolic link"), std::string::npos) << clobber.err;
  std::ifstream kept(file);
  std::string text;
  std::getline(kept, text);
  EXPECT_EQ(text, "keep me");
  std::remove(file.c_str());
}

TEST(SimulatorLine, EndsCleanlyOnTerminationSignal) {
  const std::string link = TempName("sigterm");
  Simulator sim({"--link", link});
  ASSERT_TRUE(Exists(link));
  ::kill(sim.Pid(), SIGTERM);
  ASSERT_TRUE(sim.WaitForLog("INFO", "ended", 5s));
  EXPECT_EQ(sim.Stop(), 0);
  EXPECT_FALSE(Exists(link));
}

}  // namespace
}  // namespace o5::test
