// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's command line and the fault settings shared with its commands.

#include <gtest/gtest.h>

#include <vector>

#include "tools/heatersim/ArgParse.h"
#include "tools/heatersim/LineFaults.h"
#include "tools/heatersim/SimOptions.h"

namespace o5::sim {
namespace {

SimOptions Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "ortan5-heatersim");
  return ParseOptions(static_cast<int>(args.size()), args.data());
}

TEST(SimOptions, DefaultsArePacedAt1200BaudWithOneSecondCycles) {
  const SimOptions options = Parse({});
  EXPECT_EQ(options.baud, 1200);
  EXPECT_EQ(options.cycle, Milliseconds(1000));
  EXPECT_TRUE(options.telemetry);
  EXPECT_FALSE(options.running);
  EXPECT_LT(options.ambientC, 0);
}

TEST(SimOptions, ReadsValuesInBothSpellings) {
  const SimOptions options = Parse({"--baud=9600", "--cycle", "250", "--link", "/tmp/x", "--fw-version", "2.10.0.255",
                                    "--voltage", "24.2", "--no-reply", "104,105", "--split", "30", "--split-gap=500",
                                    "--wrong-byte4", "--no-blackbox=off", "--hangup-after", "1500"});
  EXPECT_EQ(options.baud, 9600);
  EXPECT_EQ(options.cycle, Milliseconds(250));
  EXPECT_EQ(options.linkPath, "/tmp/x");
  EXPECT_EQ(options.version, (FrameData{2, 10, 0, 255}));
  EXPECT_EQ(options.voltageTenths, 242);
  EXPECT_TRUE(options.faults.Unanswered(104));
  EXPECT_TRUE(options.faults.Unanswered(105));
  EXPECT_FALSE(options.faults.Unanswered(119));
  EXPECT_EQ(options.faults.splitPercent, 30);
  EXPECT_EQ(options.faults.splitGap, Milliseconds(500));
  EXPECT_TRUE(options.faults.wrongByte4);
  EXPECT_FALSE(options.faults.noBlackBox);
  EXPECT_EQ(options.hangupAfter, Milliseconds(1500));
  EXPECT_EQ(Parse({"--no-pacing"}).baud, 0);
  EXPECT_EQ(Parse({"--baud", "off"}).baud, 0);
}

TEST(SimOptions, BadCommandLinesAreRefusedWithAReason) {
  const std::vector<std::vector<const char*>> bad{
      {"--bogus"},           {"stray"},           {"--baud"},           {"--baud", "12"},
      {"--baud", "fast"},    {"--cycle", "0"},    {"--cycle", "10x"},   {"--speed", "0"},
      {"--fw-version", "1.2.3"}, {"--fw-version", "1.2.3.256"}, {"--voltage", "30"},
      {"--bad-checksum", "101"}, {"--noise", "-1"}, {"--no-reply", "104,x"}, {"--reply-delay", "-5"},
      {"--wrong-byte4=maybe"}, {"--help=yes"},     {"--seed", "-1"},     {"--"},
      {"--ambient", "99"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const char* a : args) shown += std::string(a) + " ";
    try {
      Parse(args);
      ADD_FAILURE() << "accepted: " << shown;
    } catch (const UsageError& e) {
      EXPECT_FALSE(std::string(e.what()).empty()) << shown;
    }
  }
}

TEST(SimOptions, HelpNamesEveryOption) {
  const std::string help = OptionsHelp();
  for (const char* name : {"--link", "--baud", "--no-pacing", "--cycle", "--speed", "--no-telemetry", "--running",
                           "--ambient", "--voltage", "--fw-version", "--fw-date", "--load-blackbox", "--save-blackbox",
                           "--bad-checksum", "--partial", "--noise", "--split", "--split-gap", "--no-reply",
                           "--reply-delay", "--wrong-byte4", "--no-blackbox", "--silence", "--hangup-after",
                           "--reconnect-after", "--reconnect-busy", "--seed", "--exit-on-eof", "--quiet",
                           "--help"}) {
    EXPECT_NE(help.find(name), std::string::npos) << name;
  }
}

TEST(LineFaults, ABadValueLeavesTheSettingsAlone) {
  LineFaults faults;
  ASSERT_FALSE(ApplyFaultSetting(faults, "bad-checksum", {"25"}));
  EXPECT_TRUE(ApplyFaultSetting(faults, "bad-checksum", {"250"}));
  EXPECT_TRUE(ApplyFaultSetting(faults, "split", {"50", "oops"}));
  EXPECT_EQ(faults.splitPercent, 0) << "split with a bad gap changes neither value";
  EXPECT_TRUE(ApplyFaultSetting(faults, "no-reply", {}));
  EXPECT_TRUE(ApplyFaultSetting(faults, "fly", {"1"}));
  EXPECT_EQ(faults.badChecksumPercent, 25);
  ASSERT_FALSE(ApplyFaultSetting(faults, "no-reply", {"all"}));
  EXPECT_TRUE(faults.Unanswered(1));
  ASSERT_FALSE(ApplyFaultSetting(faults, "no-reply", {"none"}));
  EXPECT_FALSE(faults.Unanswered(104));
  ASSERT_FALSE(ApplyFaultSetting(faults, "no-reply", {"0x68"}));
  EXPECT_TRUE(faults.Unanswered(104));
  faults.Clear();
  EXPECT_EQ(faults.Describe(), LineFaults{}.Describe());
}

TEST(ArgParse, IsStrictAboutNumbers) {
  EXPECT_EQ(ParseInteger("42", 0, 100), 42);
  EXPECT_EQ(ParseInteger("0x2A", 0, 100), 42);
  EXPECT_FALSE(ParseInteger("42 ", 0, 100));
  EXPECT_FALSE(ParseInteger("+42", 0, 100));
  EXPECT_FALSE(ParseInteger("101", 0, 100));
  EXPECT_FALSE(ParseInteger("99999999999999999999999", 0, 100));
  EXPECT_EQ(ParseDecimal("12.5", 0, 25.5), 12.5);
  EXPECT_FALSE(ParseDecimal("nan", 0, 25.5));
  EXPECT_FALSE(ParseDecimal("inf", 0, 1e9));
  EXPECT_FALSE(ParseDecimal("1e400", 0, 1e9));
  EXPECT_FALSE(ParseCodeList(""));
  EXPECT_FALSE(ParseCodeList("104,"));
  EXPECT_FALSE(ParseCodeList("256"));
}

}  // namespace
}  // namespace o5::sim
