// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Итоги пуска": what the model of runs says of one run, as lines
// "<caption>: <value>" a person and a screen reader can read and copy. Nothing
// is judged good or bad; the lines state what the heater reported:
//   Начало: 08.12.2026 10:03:35             clock time of its first cycle minus its run timer
//   Длительность: 99 с                      the run timer at its last cycle
//   1 - Проверка перед пуском: 10 с         time in each mode, in the order first reached
//   3..20 - Розжиг: 36 с, попыток 3         the eighteen ignition modes together
//   До прогрева: 30 с                       run second of the first cycle in mode 21
//   Неисправность 8: срыв пламени на режиме сильный — на 613 с (10:02:26), длилась 45 с
//   Тжидкости: от 20 до 129 °C              range of each temperature and of U
//   U: от 11,0 до 12,7 В
//   Последний режим: 26 - Продувка
// A run found going on says so after its start ("(пуск шёл до открытия
// порта)"), and its time to warm up is not known unless the warm-up was seen
// ("До прогрева: до открытия порта"). A mode's time runs from each cycle in it
// to the next cycle; a mode entered again adds to its line. Durations of 100 s
// and more also read as minutes and seconds: "3725 с (1:02:05)", "150 с (2:30)".

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "heater/SessionRuns.h"
#include "heater/TelemetrySeries.h"
#include "heater/TextTranslation.h"

namespace o5 {

// The series' names in the lines (the graph window's row captions).
using SeriesCaptions = std::array<std::string_view, series::kCount>;

// A length as a clock reads it: "0:45", "5:37", "1:02:05".
std::string ClockLengthText(int64_t seconds);

// "99 с", "150 с (2:30)", "3725 с (1:02:05)".
std::string SecondsText(double seconds);

// A run found going on that had warmed up before it was seen: its time to
// warm up is not known.
bool WarmedUpUnseen(const SessionRun& run);

// The lines of the run.
std::vector<std::string> RunSummaryLines(const SessionRun& run, const SeriesCaptions& captions);

}  // namespace o5
