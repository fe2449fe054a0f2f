// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <ostream>
#include <random>
#include <string>

#include "settings/SettingsFile.h"

namespace o5 {
namespace {

struct Case {
  const char* text;
  std::optional<int> value;
};

void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class SettingsIntegerTest : public ::testing::TestWithParam<Case> {};

TEST_P(SettingsIntegerTest, Parses) {
  const Case& c = GetParam();
  EXPECT_EQ(ParseSettingsInteger(c.text), c.value);
}

INSTANTIATE_TEST_SUITE_P(Decimal, SettingsIntegerTest,
                         ::testing::Values(Case{"0", 0}, Case{"42", 42}, Case{"007", 7},
                                           Case{"-42", -42}, Case{"+42", 42}, Case{"-0", 0},
                                           Case{"2147483647", INT_MAX},
                                           Case{"-2147483648", INT_MIN},
                                           Case{"00000000000000000000012", 12}));

INSTANTIATE_TEST_SUITE_P(DecimalBeyond32Bits, SettingsIntegerTest,
                         ::testing::Values(Case{"2147483648", std::nullopt},
                                           Case{"-2147483649", std::nullopt},
                                           Case{"4294967295", std::nullopt},
                                           Case{"99999999999999999999999999", std::nullopt},
                                           Case{"-99999999999999999999999999", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Dollar, SettingsIntegerTest,
                         ::testing::Values(Case{"$FF", 255}, Case{"$ff", 255}, Case{"$0", 0},
                                           Case{"$8000", 32768}, Case{"$7FFFFFFF", INT_MAX},
                                           Case{"$80000000", INT_MIN}, Case{"$FFFFFFFF", -1},
                                           Case{"$000000000000FF", 255},
                                           Case{"$100000000", std::nullopt},
                                           Case{"$", std::nullopt}, Case{"$G", std::nullopt},
                                           Case{"$-1", std::nullopt}, Case{"$+1", std::nullopt},
                                           Case{"-$1", std::nullopt}, Case{"$ 1", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(ZeroX, SettingsIntegerTest,
                         ::testing::Values(Case{"0x10", 16}, Case{"0X10", 16}, Case{"0xff", 255},
                                           Case{"0XfF", 255}, Case{"0x0", 0},
                                           Case{"0xFFFFFFFF", -1}, Case{"0x80000000", INT_MIN},
                                           Case{"0x0000000000ff", 255},
                                           Case{"0x100000000", std::nullopt},
                                           Case{"0x", std::nullopt}, Case{"0X", std::nullopt},
                                           Case{"0x-1", std::nullopt}, Case{"0x+1", std::nullopt},
                                           Case{"0x 1", std::nullopt}, Case{"0xG", std::nullopt},
                                           Case{"-0x10", std::nullopt}, Case{"00x10", std::nullopt},
                                           Case{"x10", std::nullopt}, Case{"0x1x", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Blanks, SettingsIntegerTest,
                         ::testing::Values(Case{" 5", 5}, Case{"5 ", 5}, Case{" \t-12\t ", -12},
                                           Case{"  $1F  ", 31}, Case{"\t0x1F\t", 31},
                                           Case{" 0x ", std::nullopt}, Case{"", std::nullopt},
                                           Case{"   ", std::nullopt}, Case{"1 2", std::nullopt},
                                           Case{"- 1", std::nullopt}, Case{"+ 1", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Garbage, SettingsIntegerTest,
                         ::testing::Values(Case{"abc", std::nullopt}, Case{"12a", std::nullopt},
                                           Case{"1.5", std::nullopt}, Case{"1e3", std::nullopt},
                                           Case{"--1", std::nullopt}, Case{"+-1", std::nullopt},
                                           Case{"+", std::nullopt}, Case{"-", std::nullopt},
                                           Case{"12;note", std::nullopt},
                                           Case{"1,000", std::nullopt},
                                           Case{"\xD9\xA3", std::nullopt}));  // an Arabic-Indic digit

TEST(SettingsIntegerText, NulByteEndsNothing) {
  EXPECT_EQ(ParseSettingsInteger(std::string("12\0", 3)), std::nullopt);
  EXPECT_EQ(ParseSettingsInteger(std::string("\0" "12", 3)), std::nullopt);
}

// What the writer stores must read back as the same value, over the whole range.
TEST(SettingsIntegerText, DecimalTextOfEveryValueReadsBack) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
  for (int value : {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX})
    EXPECT_EQ(ParseSettingsInteger(std::to_string(value)), value);
  for (int i = 0; i < 100000; ++i) {
    const int value = any(random);
    ASSERT_EQ(ParseSettingsInteger(std::to_string(value)), value);
  }
}

}  // namespace
}  // namespace o5
