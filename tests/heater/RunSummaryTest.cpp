// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RunSummary.h"

#include "heater/FaultLegend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace o5 {
namespace {

using ::testing::ElementsAre;

const SeriesCaptions kCaptions = {"Тжидкости", "Тперегрева", "Тпламени", "Тна плате", "Вент. Задатчик",
                                  "Вент. Измерение", "Топливный насос", "Свеча", "Реле", "Помпа",
                                  "Режим", "Неисправность", "U"};

const WallSeconds kTen = WallSecondsOf(2026, 12, 8, 10, 0, 0);

// A run fed cycle by cycle, one a second from `from` to `to`; `clock` is the
// clock of the cycle at timer 0, or none.
SessionRuns Fed(int from, int to, const std::function<int(int)>& mode, const std::function<int(int)>& fault,
                std::optional<WallSeconds> clock) {
  SessionRuns runs;
  for (int t = from; t <= to; ++t) {
    runs.Take({t, mode(t), fault(t), clock ? std::optional(*clock + t) : std::nullopt});
    runs.Value(series::kLiquidIn, 20 + (t - from) * 109 / (to - from));
    runs.Value(series::kVoltage, 110 + (t - from) * 17 / (to - from));
  }
  runs.Take({0, 0, 0, std::nullopt});
  return runs;
}

// Check 10 s; three attempts at ignition (12 s each, pre-purge between);
// warm-up; strong heating with fault 8 for 45 s; purge.
TEST(RunSummaryTest, ARunSeenFromItsStartAndARunFoundGoingOn) {
  const auto mode = [](int t) {
    if (t < 10) return 1;
    if (t < 54) return (t - 10) % 16 >= 12 ? 25 : t % 16 < 6 ? 3 : 4;
    return t < 100 ? 21 : t <= 700 ? 22 : 26;
  };
  const auto fault = [](int t) { return t >= 613 && t < 658 ? 8 : 0; };
  const SessionRuns seen = Fed(0, 710, mode, fault, kTen);
  ASSERT_EQ(seen.Runs().size(), 1u);
  EXPECT_THAT(RunSummaryLines(seen.Runs()[0], kCaptions),
              ElementsAre("Начало: 08.12.2026 10:00:00", "Длительность: 710 с (11:50)",
                          "1 - Проверка перед пуском: 10 с", "3..20 - Розжиг: 36 с, попыток 3",
                          "25 - Предпродувка: 8 с", "21 - Прогрев: 46 с", "22 - Сильный: 601 с (10:01)",
                          "26 - Продувка: 9 с", "До прогрева: 54 с",
                          "Неисправность 8: срыв пламени на режиме сильный — на 613 с (10:10:13), длилась 45 с",
                          "Тжидкости: от 20 до 129 °C", "U: от 11,0 до 12,7 В", "Последний режим: 26 - Продувка"));
  EXPECT_EQ(RunReachedText(seen.Runs()[0]), "Сильный");

  // Found at 97 s in strong heating, the fault lasting to the end; the
  // warm-up was before anybody watched.
  const SessionRuns found = Fed(97, 200, [](int) { return 22; }, [](int t) { return t >= 150 ? 8 : 0; }, kTen);
  EXPECT_THAT(RunSummaryLines(found.Runs()[0], kCaptions),
              ElementsAre("Начало: 08.12.2026 10:00:00 (пуск шёл до открытия порта)",
                          "Длительность: 200 с (3:20)", "22 - Сильный: 103 с (1:43)", "До прогрева: до открытия порта",
                          "Неисправность 8: срыв пламени на режиме сильный — на 150 с (10:02:30), длилась до конца пуска",
                          "Тжидкости: от 20 до 129 °C", "U: от 11,0 до 12,7 В", "Последний режим: 22 - Сильный"));
  // No clock: no start, no clock time of the fault.
  const SessionRuns unclocked = Fed(0, 20, [](int t) { return t < 5 ? 1 : 4; }, [](int t) { return t == 7 ? 5 : 0; },
                                    std::nullopt);
  const std::vector<std::string> lines = RunSummaryLines(unclocked.Runs()[0], kCaptions);
  EXPECT_EQ(lines[0], "Длительность: 20 с");
  EXPECT_EQ(lines[3], "Неисправность 5: " + std::string(FaultCodeText(5)) + " — на 7 с, длилась 1 с");
  EXPECT_EQ(RunReachedText(unclocked.Runs()[0]), "Розжиг");
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
