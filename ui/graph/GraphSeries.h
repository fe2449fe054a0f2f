// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thirteen series of the graph window in chart order. Series index i
// (used by telemetry decoding) is the row numbered i + 1 (used by the
// window's own controls). The title is the series' own name; the chart has no
// legend, so on screen a series is named by its row caption.

#include <array>

#include "heater/TelemetrySeries.h"

namespace o5 {

struct GraphSeries {
  const char* title;
  const char* caption;
};

// "Tж.вход" and "Tж.выход" begin with a Latin T.
inline constexpr std::array<GraphSeries, series::kCount> kGraphSeries{{
    {"Tж.вход", "Тжидкости"},
    {"Tж.выход", "Тперегрева"},
    {"Тд.пламени", "Тпламени"},
    {"Тна плате", "Тна плате"},
    {"Воздух", "Вент. Задатчик"},
    {"ВоздухИзм", "Вент. Измерение"},
    {"ТН", "Топливный насос"},
    {"Свеча", "Свеча"},
    {"Реле", "Реле"},
    {"Помпа", "Помпа"},
    {"Режим", "Режим"},
    {"Неиспр.", "Неисправность"},
    {"U", "U"},
}};

}  // namespace o5
