// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture of the chart that stands alone: a title line above it and a
// legend of the series below it.

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
// ratio and width. The legend's entries flow in rows, as many as fit.
QImage StandAlonePicture(const QImage& chart, const QString& title, const QFont& font,
                         const std::vector<LegendEntry>& legend);

}  // namespace o5
