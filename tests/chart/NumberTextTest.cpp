// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers for a person read the same in every C locale: the toolkit sets the
// process's locale from the desktop's, and on a Russian desktop printf writes
// "100,00" where the C locale writes "100.00".

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "chart/AxisTicks.h"
#include "chart/ChartReadout.h"
#include "chart/NumberText.h"

namespace o5 {
namespace {

// The process's locale switched to the users' Russian one for a test, and
// back afterwards.
class InRussianLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr)
        << "the locale ru_RU.UTF-8 is not generated: scripts/install-deps.sh generates it";
    char comma[8];
    std::snprintf(comma, sizeof comma, "%.1f", 0.5);
    ASSERT_EQ(std::string(comma), "0,5") << "printf writes a decimal comma in this locale";
  }
  void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

 private:
  std::string saved_;
};

void ExpectTheTexts() {
  EXPECT_EQ(NumberText(100, 2), "100");
  EXPECT_EQ(NumberText(12.6, 2), "12,6");
  EXPECT_EQ(NumberText(94.3, 1), "94,3");
  EXPECT_EQ(NumberText(-0.001, 2), "0");
  EXPECT_EQ(NumberText(-0.0, 0), "0");
  EXPECT_EQ(NumberText(-3.14159, 2), "-3,14");
  EXPECT_EQ(NumberText(-20.5, 0), "-20");  // halves to even, as printf
  EXPECT_EQ(NumberText(1234.25, 1), "1234,2");
  EXPECT_EQ(NumberText(1e6, 3), "1000000");
  EXPECT_EQ(NumberText(12.5, 1, "."), "12.5");
  EXPECT_EQ(FixedNumberText(12, 1), "12,0");
  EXPECT_EQ(FixedNumberText(0.05, 3, "."), "0.050");
  EXPECT_EQ(TenthsText(125, ","), "12,5");
  EXPECT_EQ(TenthsText(7, "."), "0.7");
  EXPECT_EQ(TenthsText(-5, ","), "-0,5");
  EXPECT_EQ(TenthsText(100, "٫"), "10٫0");
  EXPECT_EQ(ShortestNumberText(0.1), "0,1");
  EXPECT_EQ(ShortestNumberText(100), "100");
  EXPECT_EQ(ShortestNumberText(-2.5, "."), "-2.5");
  EXPECT_EQ(FormatAxisLabel(12.5), "13");
  EXPECT_EQ(FormatAxisLabel(-0.3), "0");
  EXPECT_EQ(FormatAxisLabel(86400), "86400");
}

TEST(NumberText, RoundedWithoutTrailingZerosOrMinusZero) { ExpectTheTexts(); }

TEST_F(InRussianLocale, NumberTextIsTheSameInTheUsersLocale) { ExpectTheTexts(); }

// The box under the mouse on a Russian desktop.
TEST_F(InRussianLocale, TheReadoutReadsAsTheAxisDoes) {
  ChartModel m;
  m.SetName(0, "Тжидкости");
  m.SetName(10, "Режим");
  m.SetName(12, "U");
  m.AddPoint(0, 90, 100);
  m.AddPoint(10, 90, 21);
  m.AddPoint(12, 90, 12.6);
  for (int s = 0; s < ChartModel::kSeriesCount; ++s) m.SetVisible(s, s == 0 || s == 10 || s == 12);
  EXPECT_EQ(ReadoutLines(m, ReadAt(m, 94.3), 1),
            (std::vector<std::string>{"t = 94,3 с", "Тжидкости: 100", "Режим: 21", "U: 12,6"}));
}

}  // namespace
}  // namespace o5
