// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Итоги пуска": what the telemetry of one run says, as lines
// "<caption>: <value>" a person and a screen reader can read and copy. Nothing
// is judged good or bad; the lines state what the heater reported:
//   Длительность: 99 с                      the last run timer minus the first
//   1 - Проверка перед пуском: 10 с         time in each mode, in the order first reached
//   До прогрева: 30 с                       first point to the first point in mode 21
//   Неисправность 13: Попытки запуска исчерпаны — на 60 с   when each fault code came
//   Тжидкости: от 20 до 129                 range of each temperature and of U
//   Последний режим: 26 - Продувка
// A mode's time runs from its first point to the first point of the mode after
// it (the last mode's to the run's last point); a mode entered again adds to
// its line. Durations of 100 s and more also read as minutes and seconds:
// "3725 с (1:02:05)", "150 с (2:30)".

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "heater/TelemetrySeries.h"

namespace o5 {

// One chart series: its points' X (run timer) and Y, in ascending X.
struct SeriesColumn {
  std::span<const double> x;
  std::span<const double> y;
};
using RunColumns = std::array<SeriesColumn, series::kCount>;
// The series' names in the lines (the graph window's row captions).
using SeriesCaptions = std::array<std::string_view, series::kCount>;

// "99 с", "150 с (2:30)", "3725 с (1:02:05)".
std::string SecondsText(double seconds);

// The lines of the run the columns hold; empty when they hold no point.
std::vector<std::string> RunSummaryLines(const RunColumns& run, const SeriesCaptions& captions);

}  // namespace o5
