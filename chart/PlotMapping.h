// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Between data values and pixel positions of the plot area. Pixel positions
// are counted like mouse positions: the first pixel column of the plot shows
// the axis minimum and the last one the maximum; a value belongs to the pixel
// whose position is nearest.

namespace o5 {

struct PlotMapping {
  // Plot area in pixels: left/top pixel and the number of columns/rows.
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  double xMin = 0;
  double xMax = 0;
  double yMin = 0;
  double yMax = 0;

  bool operator==(const PlotMapping&) const = default;
  bool Drawable() const { return width > 1 && height > 1 && xMax > xMin && yMax > yMin; }
  int Right() const { return left + width - 1; }
  int Bottom() const { return top + height - 1; }
  bool Contains(double px, double py) const {
    return px >= left - 0.5 && px < left + width - 0.5 && py >= top - 0.5 && py < top + height - 0.5;
  }

  double XToPixel(double x) const { return left + (x - xMin) * XScale(); }
  double YToPixel(double y) const { return top + (yMax - y) * YScale(); }
  double PixelToX(double px) const { return xMin + (px - left) / XScale(); }
  double PixelToY(double py) const { return yMax - (py - top) / YScale(); }
  // Pixels per data unit; 0 when the axis has no span.
  double XScale() const { return xMax > xMin && width > 1 ? (width - 1) / (xMax - xMin) : 0.0; }
  double YScale() const { return yMax > yMin && height > 1 ? (height - 1) / (yMax - yMin) : 0.0; }
  // Data width of one pixel column.
  double ColumnWidth() const { return (xMax - xMin) / (width - 1); }
};

}  // namespace o5
