// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSummary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace o5 {
namespace {

using ::testing::ElementsAre;

const SeriesCaptions kCaptions = {"Тжидкости", "Тперегрева", "Тпламени", "Тна плате", "Вент. Задатчик",
                                  "Вент. Измерение", "Топливный насос", "Свеча", "Реле", "Помпа",
                                  "Режим", "Неисправность", "U"};

// Series as columns of X and Y.
struct TestRun {
  std::array<std::vector<double>, series::kCount> x, y;
  void Cycle(double t, int mode, int fault, double liquid) {
    for (int s = 0; s < series::kCount; ++s) {
      x[s].push_back(t);
      y[s].push_back(s == series::kMode ? mode : s == series::kError ? fault : s == series::kLiquidIn ? liquid : 50);
    }
  }
  RunColumns Columns() const {
    RunColumns c;
    for (int s = 0; s < series::kCount; ++s) c[s] = {x[s], y[s]};
    return c;
  }
};

// 10 s in mode 1, 20 s in mode 5, 60 s in mode 21 (fault 13 from t = 60),
// then 10 cycles of mode 26.
TEST(RunSummaryTest, ModesFaultsRangesAndTheTimeToWarmUp) {
  TestRun run;
  for (int t = 0; t < 100; ++t) {
    const int mode = t < 10 ? 1 : t < 30 ? 5 : t < 90 ? 21 : 26;
    run.Cycle(t, mode, t >= 60 ? 13 : 0, 20 + t * 109 / 99);
  }
  EXPECT_THAT(RunSummaryLines(run.Columns(), kCaptions),
              ElementsAre("Длительность: 99 с", "1 - Проверка перед пуском: 10 с", "5 - Розжиг3: 20 с",
                          "21 - Прогрев: 60 с", "26 - Продувка: 9 с", "До прогрева: 30 с",
                          "Неисправность 13: Попытки запуска исчерпаны — на 60 с", "Тжидкости: от 20 до 129",
                          "Тперегрева: от 50 до 50", "Тпламени: от 50 до 50", "Тна плате: от 50 до 50",
                          "U: от 50 до 50", "Последний режим: 26 - Продувка"));
}

TEST(RunSummaryTest, AModeEnteredAgainAddsToItsLineAndNoPointNoLines) {
  TestRun run;
  for (int t = 100; t <= 400; ++t) run.Cycle(t, t < 200 || t >= 300 ? 23 : 22, 0, 60);
  const std::vector<std::string> lines = RunSummaryLines(run.Columns(), kCaptions);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Длительность: 300 с (5:00)");
  EXPECT_EQ(lines[1], "23 - Малый: 200 с (3:20)");
  EXPECT_EQ(lines[2], "22 - Сильный: 100 с (1:40)");
  EXPECT_TRUE(RunSummaryLines(TestRun().Columns(), kCaptions).empty());
}

TEST(RunSummaryTest, SecondsReadAlsoAsMinutesFromAHundredOn) {
  EXPECT_EQ(SecondsText(0), "0 с");
  EXPECT_EQ(SecondsText(60), "60 с");
  EXPECT_EQ(SecondsText(99), "99 с");
  EXPECT_EQ(SecondsText(100), "100 с (1:40)");
  EXPECT_EQ(SecondsText(3725), "3725 с (1:02:05)");
  EXPECT_EQ(SecondsText(86399), "86399 с (23:59:59)");
}

}  // namespace
}  // namespace o5
