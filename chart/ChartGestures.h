// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart's mouse gestures, in pixels of the plot area:
// - a left drag of more than kThreshold pixels both ways towards the lower
//   right zooms to the data under the rectangle, any other direction undoes;
// - a right drag pans, keeping the data under the pointer, until the pointer
//   leaves the plot area;
// - undo puts back the bounds from before the first zoom or pan since the last
//   undo.
// Zoom, pan and undo set both bounds of an axis in one step.

#include <optional>

#include "chart/ChartAxis.h"
#include "chart/PlotMapping.h"

namespace o5 {

class ChartGestures {
 public:
  static constexpr int kThreshold = 16;

  ChartGestures(ChartAxis& xAxis, ChartAxis& yAxis) : x_(xAxis), y_(yAxis) {}

  void BeginZoom(double px, double py);
  // The rubber band follows the pointer.
  void MoveZoom(double px, double py);
  void EndZoom(double px, double py, const PlotMapping& plot);
  bool Zooming() const { return zooming_; }
  // Corners of the rubber band while zooming: where the drag began and where
  // the pointer is.
  double BandX0() const { return startX_; }
  double BandY0() const { return startY_; }
  double BandX1() const { return lastX_; }
  double BandY1() const { return lastY_; }

  void BeginPan(double px, double py, const PlotMapping& plot);
  void MovePan(double px, double py, const PlotMapping& plot);
  void EndPan() { panning_ = false; }
  bool Panning() const { return panning_; }

  void Undo();
  bool CanUndo() const { return saved_.has_value(); }

 private:
  struct Bounds {
    double xMin, xMax, yMin, yMax;
  };
  void RememberBounds();

  ChartAxis& x_;
  ChartAxis& y_;
  std::optional<Bounds> saved_;
  bool zooming_ = false;
  bool panning_ = false;
  bool panInside_ = false;
  double startX_ = 0, startY_ = 0;
  double lastX_ = 0, lastY_ = 0;
};

}  // namespace o5
