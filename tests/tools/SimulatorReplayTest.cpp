// SPDX-License-Identifier: GPL-3.0-or-later
// A saved record log played back by the simulator: the lines it takes, the frames it sends for
// them, one record per cycle, and what it does with a file that is no record log.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/tools/SimTestSupport.h"
#include "tools/heatersim/RecordReplay.h"

namespace o5::test {
namespace {

using Bytes = SlaveLine::Bytes;

// WTime 307, ModeT 5, Error 3; ТН 10, vdDef 20, vdClc 30, Помпа 1; Реле 1, Свеча 40, U 126,
// Режим 21; Tж -5, Tпер 80, Тплам 334; Tплт -16, Cmd 3, ПП 2; fault bytes 01 00 80 FF.
const std::string kLine =
    "  307;     5;     3;    10;    20;    30;     1;     1;    40;   126;    21;   -5;    80;   "
    "334;  -16;     3;   2;00000001 00000000 10000000 11111111;";

TEST(RecordReplay, ALineGivesBackTheBytesOfItsFramesAndIsWrittenTheSameAgain) {
  const auto cycle = sim::ParseRecordLine(kLine + "\r");
  ASSERT_TRUE(cycle);
  const sim::CycleData expected{{{0x01, 0x33, 5, 3},
                                 {10, 20, 30, 1},
                                 {1, 40, 126, 21},
                                 {0xFB, 80, 0x02, 0x5F},  // 334 + 273 = 0x025F
                                 {2, 3, 0xF0, 0},
                                 {0x01, 0x00, 0x80, 0xFF}}};
  EXPECT_EQ(*cycle, expected);
  EXPECT_EQ(sim::FormatRecordLine(*cycle), kLine);

  for (const std::string& bad :
       {kLine.substr(0, kLine.size() - 1), kLine + "0", "   307" + kLine.substr(5),
        kLine.substr(0, 21) + kLine.substr(49),  // an 'f' frame lost
        kLine + kLine.substr(21),                // an 'e' frame lost
        std::string("  307;   300;") + kLine.substr(13), std::string()}) {
    EXPECT_FALSE(sim::ParseRecordLine(bad)) << bad;
  }
  // Random damage: whatever is taken is written back as the very line.
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    std::string s = kLine;
    for (int n = 1 + rng() % 3; n > 0; --n) s[rng() % s.size()] = "0123456789 ;-x"[rng() % 14];
    if (const auto c = sim::ParseRecordLine(s)) {
      ASSERT_EQ(sim::FormatRecordLine(*c), s);
    }
  }
}

class SimulatorReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/o5-replay-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string WriteLog(const std::string& text) {
    const std::string path = dir_ + "/D_2026-12-7_10-0-0.txt";
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string dir_;
};

TEST_F(SimulatorReplay, EachCompleteRecordGoesOutAsTheCycleItWasLoggedFromAndThenTelemetryStops) {
  std::string second = kLine;
  second.replace(0, 5, "  308");
  const std::string path = WriteLog(kLine + "\r\n" + kLine.substr(0, 60) + "\r\nnonsense\r\n" +
                                    second + "\r\n");
  SimWithLine s({"--no-pacing", "--cycle", "100", "--speed", "2", "--replay", path});
  const Bytes stream =
      s.line->ReadUntil([](const Bytes& b) { return SlaveLine::Frames(b).size() >= 14; }, 15s);
  const auto frames = SlaveLine::Frames(stream);
  ASSERT_EQ(frames.size(), 14u) << s.sim->LogText();
  const std::vector<std::vector<std::uint8_t>> first = {
      WithChecksum({0xAA, 0x00, 0, 0, 'e', 0x01, 0x33, 5, 3}),
      WithChecksum({0xAA, 0x00, 0, 0, 'f', 10, 20, 30, 1}),
      WithChecksum({0xAA, 0x00, 0, 0, 'g', 1, 40, 126, 21}),
      WithChecksum({0xAA, 0x00, 0, 0, 'h', 0xFB, 80, 0x02, 0x5F}),
      WithChecksum({0xAA, 0x00, 0, 0, 'i', 2, 3, 0xF0, 0}),
      WithChecksum({0xAA, 0x00, 0, 0, 'j', 0x01, 0x00, 0x80, 0xFF}),
      WithChecksum({0xAA, 0x00, 0, 0, 'k', 0, 0, 0, 0}),
  };
  for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(HexOf(frames[i]), HexOf(first[i])) << i;
  EXPECT_EQ(HexOf(frames[7]), HexOf(WithChecksum({0xAA, 0x00, 0, 0, 'e', 0x01, 0x34, 5, 3})));
  EXPECT_TRUE(s.sim->WaitForLog("INFO", "replay: all 2 records sent", 5s));
  ASSERT_EQ(s.sim->Command("status"), "OK status");
  const std::vector<std::string> out = s.sim->Output();
  EXPECT_TRUE(std::any_of(out.begin(), out.end(),
                          [](const std::string& l) { return l.find("replay=2/2") != std::string::npos; }));
  // Nothing follows the last record.
  const Bytes after = s.line->ReadUntil([](const Bytes& b) { return !b.empty(); }, 500ms);
  EXPECT_TRUE(after.empty());
  EXPECT_TRUE(s.sim->WaitForLog("INFO", "replay: 2 records of " + path + ", 2 lines skipped", 5s));
}

TEST_F(SimulatorReplay, AFileWithoutACompleteRecordOrNoFileAtAllEndsTheSimulatorWithStatusOne) {
  for (const std::string& path : {WriteLog("nonsense\r\n"), dir_ + "/missing.txt", dir_}) {
    const Simulator::Finished end = Simulator::RunToEnd({"--replay", path});
    EXPECT_EQ(end.exitCode, 1) << path;
    EXPECT_NE(end.err.find("record log " + path), std::string::npos) << end.err;
  }
}

}  // namespace
}  // namespace o5::test
