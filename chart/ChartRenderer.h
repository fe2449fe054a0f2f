// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws a chart model with QPainter: the series as plain aliased polylines
// against manually scaled axes, the labels in the "###0" format, no title and
// no legend. Series are reduced to a few points per pixel column before
// drawing, so the cost follows the size of the picture rather than the number
// of points held.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QLineF>
#include <QPointF>
#include <QRect>

#include <array>
#include <optional>
#include <vector>

#include "chart/AxisTicks.h"
#include "chart/ChartModel.h"
#include "chart/PlotMapping.h"
#include "chart/SeriesReduction.h"

class QPainter;

namespace o5 {

// The geometry of one drawing: the plot area with its scales, the labels, and
// the strips of the two axes (where mouse gestures may start as well).
struct ChartFrame {
  PlotMapping plot;
  AxisTicks xTicks;
  AxisTicks yTicks;
  QRect leftAxisArea;
  QRect bottomAxisArea;
  // The strip of modes and fault marks between the plot and the time axis;
  // empty when the timeline is not shown.
  QRect strip;
};

// A fault mark as drawn: its box in the strip and the fault code.
struct FaultMark {
  QRect box;
  int code;
};

class ChartRenderer {
 public:
  static ChartFrame Layout(const QRect& area, const QFont& font, const ChartModel& model);

  // Drawing every visible point as its own segment, instead of the reduced
  // points, exists to measure what the reduction saves and to check that it
  // does not change the picture; the chart itself always reduces.
  void SetReduction(bool on) { reduce_ = on; }

  void Draw(QPainter& painter, const ChartFrame& frame, const QRect& area, const ChartModel& model,
            const std::optional<QRect>& rubberBand = std::nullopt);

  // The fault marks of the strip in the frame given (for what a hover names).
  static std::vector<FaultMark> FaultMarks(const ChartFrame& frame, const QFont& font, const ChartModel& model);

 private:
  void DrawGrid(QPainter& painter, const ChartFrame& frame);
  void DrawSeries(QPainter& painter, const PlotMapping& plot, int index, const SeriesData& series,
                  const SeriesStyle& style);
  void DrawAxes(QPainter& painter, const ChartFrame& frame, const ChartModel& model);
  void DrawTimeline(QPainter& painter, const ChartFrame& frame, const ChartModel& model);
  void DrawCursors(QPainter& painter, const ChartFrame& frame, const ChartModel& model);
  void DrawLabel(QPainter& painter, const QString& text, const QPoint& topLeft);

  // The picture's pixels when the painter draws straight into an image
  // pixel for pixel: the vertical strokes of the reduced lines are then
  // filled in here, and their steps from column to column stamped, at a
  // fraction of what QPainter spends on them.
  struct DirectPixels {
    uchar* bits = nullptr;
    qsizetype stride = 0;
    QRect clip;
  };
  void FillColumn(int column, int top, int bottom, int halfWidth, std::uint32_t argb) const;

  bool reduce_ = true;
  std::optional<DirectPixels> direct_;
  QHash<QString, QStaticText> labels_;
  QFont labelFont_;
  std::array<ViewReduction, ChartModel::kSeriesCount> reductions_;
  std::vector<ChartPoint> points_;  // kept between drawings to save allocations
  std::vector<QPoint> pixels_;
  // The pixels of each series' reduced points, for the reduction's revision
  // and the mapping they were made for.
  struct KeptPixels {
    bool valid = false;
    std::uint64_t revision = 0;
    PlotMapping plot;
    std::vector<QPoint> pixels;
  };
  std::array<KeptPixels, ChartModel::kSeriesCount> keptPixels_;
  std::vector<QLineF> lines_;
};

}  // namespace o5
