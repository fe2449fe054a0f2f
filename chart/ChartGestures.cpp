// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartGestures.h"

#include <cmath>

namespace o5 {

void ChartGestures::BeginZoom(double px, double py) {
  zooming_ = true;
  startX_ = lastX_ = px;
  startY_ = lastY_ = py;
}

void ChartGestures::MoveZoom(double px, double py) {
  if (!zooming_) return;
  lastX_ = px;
  lastY_ = py;
}

void ChartGestures::EndZoom(double px, double py, const PlotMapping& plot) {
  if (!zooming_) return;
  zooming_ = false;
  const double dx = px - startX_;
  const double dy = py - startY_;
  if (std::abs(dx) <= kThreshold || std::abs(dy) <= kThreshold) return;
  if (dx < 0 || dy < 0) {
    Undo();
    return;
  }
  if (!plot.Drawable()) return;
  RememberBounds();
  // Bottom edge of the rectangle is the new Y minimum, top edge the maximum.
  const double xMin = plot.PixelToX(startX_);
  const double xMax = plot.PixelToX(px);
  const double yMin = plot.PixelToY(py);
  const double yMax = plot.PixelToY(startY_);
  x_.SetMinMax(xMin, xMax);
  y_.SetMinMax(yMin, yMax);
}

void ChartGestures::BeginPan(double px, double py, const PlotMapping& plot) {
  panning_ = true;
  panInside_ = plot.Contains(px, py);
  lastX_ = px;
  lastY_ = py;
}

void ChartGestures::MovePan(double px, double py, const PlotMapping& plot) {
  if (!panning_) return;
  const bool inside = plot.Contains(px, py);
  if (panInside_ && !inside) {
    panning_ = false;
    return;
  }
  panInside_ = inside;
  const double dx = px - lastX_;
  const double dy = py - lastY_;
  lastX_ = px;
  lastY_ = py;
  if ((dx == 0 && dy == 0) || !plot.Drawable()) return;
  RememberBounds();
  // Dragging right brings earlier times into view; dragging down, higher values.
  const double shiftX = -dx / plot.XScale();
  const double shiftY = dy / plot.YScale();
  x_.SetMinMax(x_.Minimum() + shiftX, x_.Maximum() + shiftX);
  y_.SetMinMax(y_.Minimum() + shiftY, y_.Maximum() + shiftY);
}

void ChartGestures::Undo() {
  if (!saved_) return;
  const Bounds b = *saved_;
  saved_.reset();
  x_.SetMinMax(b.xMin, b.xMax);
  y_.SetMinMax(b.yMin, b.yMax);
}

void ChartGestures::RememberBounds() {
  if (!saved_) saved_ = Bounds{x_.Minimum(), x_.Maximum(), y_.Minimum(), y_.Maximum()};
}

}  // namespace o5
