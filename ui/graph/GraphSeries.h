// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thirteen series of the graph window in chart order. Series index i
// (used by telemetry decoding) is the row numbered i + 1 (used by the
// window's own controls). The title is the series' own name; the chart has no
// legend, so on screen a series is named by its row caption.

#include <array>

#include <QCoreApplication>
#include <QString>

#include "heater/TelemetrySeries.h"

namespace o5 {

struct GraphSeries {
  const char* title;
  const char* caption;
};

// "Tж.вход" and "Tж.выход" begin with a Latin T.
inline constexpr std::array<GraphSeries, series::kCount> kGraphSeries{{
    {"Tж.вход", QT_TRANSLATE_NOOP("GraphSeries", "Тжидкости")},
    {"Tж.выход", QT_TRANSLATE_NOOP("GraphSeries", "Тперегрева")},
    {"Тд.пламени", QT_TRANSLATE_NOOP("GraphSeries", "Тпламени")},
    {"Тна плате", QT_TRANSLATE_NOOP("GraphSeries", "Тна плате")},
    {"Воздух", QT_TRANSLATE_NOOP("GraphSeries", "Вент. Задатчик")},
    {"ВоздухИзм", QT_TRANSLATE_NOOP("GraphSeries", "Вент. Измерение")},
    {"ТН", QT_TRANSLATE_NOOP("GraphSeries", "Топливный насос")},
    {"Свеча", QT_TRANSLATE_NOOP("GraphSeries", "Свеча")},
    {"Реле", QT_TRANSLATE_NOOP("GraphSeries", "Реле")},
    {"Помпа", QT_TRANSLATE_NOOP("GraphSeries", "Помпа")},
    {"Режим", QT_TRANSLATE_NOOP("GraphSeries", "Режим")},
    {"Неиспр.", QT_TRANSLATE_NOOP("GraphSeries", "Неисправность")},
    {"U", "U"},
}};

// The caption of series `index` in the tool's language.
inline QString GraphSeriesCaption(int index) {
  return QCoreApplication::translate("GraphSeries", kGraphSeries[index].caption);
}

}  // namespace o5
