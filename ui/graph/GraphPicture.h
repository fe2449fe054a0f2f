// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture of the chart that stands alone: a title line (and the window's
// line of what the chart shows) above it and a legend of the series below it.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <vector>

namespace o5 {

struct LegendEntry {
  QString caption;
  QColor color;
  int width;  // of the series' line, pixels
};

// `chart` in device pixels with its pixel ratio set; the result has the same
// ratio and width. `caption`, the line the window shows above the chart,
// follows the title where given. The legend's entries flow in rows, as many
// as fit.
QImage StandAlonePicture(const QImage& chart, const QString& title, const QFont& font,
                         const std::vector<LegendEntry>& legend, const QString& caption = {});

}  // namespace o5
