// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The thirteen series of the graph window in chart order. Series index i
// (used by telemetry decoding) is the row numbered i + 1 (used by the
// window's own controls). A series is named by its row caption everywhere: on
// screen, in the readout, the picture's legend and the saved table.

#include <array>

#include <QCoreApplication>
#include <QString>

#include "heater/TelemetrySeries.h"

namespace o5 {

struct GraphSeries {
  const char* caption;
};

inline constexpr std::array<GraphSeries, series::kCount> kGraphSeries{{
    {QT_TRANSLATE_NOOP("GraphSeries", "Тжидкости")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Тперегрева")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Тпламени")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Тна плате")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Вент. Задатчик")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Вент. Измерение")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Топливный насос")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Свеча")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Реле")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Помпа")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Режим")},
    {QT_TRANSLATE_NOOP("GraphSeries", "Неисправность")},
    {"U"},
}};

// The caption of series `index` in the tool's language.
inline QString GraphSeriesCaption(int index) {
  return QCoreApplication::translate("GraphSeries", kGraphSeries[index].caption);
}

}  // namespace o5
