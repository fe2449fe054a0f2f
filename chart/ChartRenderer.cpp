#include "chart/ChartRenderer.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "chart/SeriesReduction.h"

namespace o5 {

namespace {

constexpr int kTickWidth = 2;
constexpr int kLeftTickLength = 8;
constexpr int kLeftTickInner = 1;
constexpr int kLeftMinorTickLength = 3;
constexpr int kLeftMinorTicks = 3;  // between two labels
constexpr int kBottomTickLength = 7;
constexpr int kLabelGap = 3;
constexpr int kOuterMargin = 4;

const QColor kBackground(Qt::white);
const QColor kAxisColor(Qt::black);
const QColor kGridColor(190, 190, 190);

QString Label(double value) { return QString::fromStdString(FormatAxisLabel(value)); }

struct ClipBox {
  double left, top, right, bottom;
};

// Cuts the segment to the box (Liang-Barsky). Far-off points of a deep zoom
// would otherwise reach QPainter as coordinates it cannot rasterise.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const ClipBox& box) {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  double t0 = 0;
  double t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - box.left, box.right - x0, y0 - box.top, box.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  const double ox = x0;
  const double oy = y0;
  if (t1 < 1) x1 = ox + t1 * dx, y1 = oy + t1 * dy;
  if (t0 > 0) x0 = ox + t0 * dx, y0 = oy + t0 * dy;
  return true;
}

inline void AddClipped(std::vector<QLineF>& lines, const ClipBox& box, QPointF a, QPointF b) {
  double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
  const bool inside = ax >= box.left && ax <= box.right && bx >= box.left && bx <= box.right && ay >= box.top &&
                      ay <= box.bottom && by >= box.top && by <= box.bottom;
  if (inside || ClipSegment(ax, ay, bx, by, box)) lines.emplace_back(ax, ay, bx, by);
}

// floor() without a library call; coordinates far outside the plot are
// clipped later, so they may share a column.
inline double PixelColumn(double x) {
  constexpr double kFar = 1e9;
  x = std::clamp(x, -kFar, kFar);
  const auto t = static_cast<long long>(x);
  return static_cast<double>(t - (x < static_cast<double>(t)));
}

}  // namespace

ChartFrame ChartRenderer::Layout(const QRect& area, const QFont& font, const ChartModel& model) {
  const QFontMetrics fm(font);
  const ChartAxis& xAxis = model.BottomAxis();
  const ChartAxis& yAxis = model.LeftAxis();
  ChartFrame f;
  PlotMapping& p = f.plot;
  p.xMin = xAxis.Minimum();
  p.xMax = xAxis.Maximum();
  p.yMin = yAxis.Minimum();
  p.yMax = yAxis.Maximum();

  const int titleHeight = xAxis.Title().empty() ? 0 : fm.height() + kLabelGap;
  const int bottomMargin = kTickWidth + kBottomTickLength + kLabelGap + fm.height() + titleHeight + kOuterMargin;
  p.top = area.top() + fm.height() / 2 + kOuterMargin;
  p.height = std::max(0, area.bottom() + 1 - bottomMargin - p.top);

  const double ySpan = p.yMax - p.yMin;
  f.yTicks = ChooseTicks(p.yMin, p.yMax, yAxis.Increment(), ySpan > 0 ? (p.height - 1) / ySpan : 0,
                         fm.height() + 2);
  int labelWidth = 0;
  for (double v : f.yTicks.values) labelWidth = std::max(labelWidth, fm.horizontalAdvance(Label(v)));

  p.left = area.left() + kOuterMargin + labelWidth + kLabelGap + kLeftTickLength + 1;
  const int widestX = std::max(fm.horizontalAdvance(Label(p.xMin)), fm.horizontalAdvance(Label(p.xMax)));
  const int rightMargin = std::max(widestX, fm.horizontalAdvance(QStringLiteral("0000"))) / 2 + kOuterMargin;
  p.width = std::max(0, area.right() + 1 - rightMargin - p.left);

  const double xSpan = p.xMax - p.xMin;
  f.xTicks = ChooseTicks(p.xMin, p.xMax, xAxis.Increment(), xSpan > 0 ? (p.width - 1) / xSpan : 0,
                         widestX + 3 * kLabelGap);

  f.leftAxisArea = QRect(QPoint(area.left(), p.top), QPoint(p.left - 1, p.Bottom()));
  f.bottomAxisArea = QRect(QPoint(p.left, p.Bottom() + 1), QPoint(p.Right(), area.bottom()));
  return f;
}

void ChartRenderer::Draw(QPainter& painter, const ChartFrame& frame, const QRect& area, const ChartModel& model,
                         const std::optional<QRect>& rubberBand) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(area, kBackground);
  const PlotMapping& plot = frame.plot;
  if (plot.Drawable()) {
    DrawGrid(painter, frame);
    painter.save();
    painter.setClipRect(QRect(plot.left, plot.top, plot.width, plot.height));
    for (int i = 0; i < ChartModel::kSeriesCount; ++i) {
      const SeriesStyle& style = model.Style(i);
      if (style.visible) DrawSeries(painter, plot, model.Series(i), style);
    }
    painter.restore();
  }
  DrawAxes(painter, frame, model);
  if (rubberBand) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rubberBand->normalized());
  }
  painter.restore();
}

void ChartRenderer::DrawGrid(QPainter& painter, const ChartFrame& frame) {
  const PlotMapping& p = frame.plot;
  lines_.clear();
  for (double v : frame.xTicks.values) {
    const double x = std::round(p.XToPixel(v));
    lines_.emplace_back(x, p.top, x, p.Bottom());
  }
  for (double v : frame.yTicks.values) {
    const double y = std::round(p.YToPixel(v));
    lines_.emplace_back(p.left, y, p.Right(), y);
  }
  painter.setPen(QPen(kGridColor, 1, Qt::DotLine));
  painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

void ChartRenderer::DrawSeries(QPainter& painter, const PlotMapping& plot, const SeriesData& series,
                               const SeriesStyle& style) {
  if (series.Size() < 2) return;
  // The first and the last pixel column reach half a column beyond the bounds.
  const double half = plot.ColumnWidth() / 2;
  if (reduce_)
    ReduceForView(series, plot.xMin - half, plot.xMax + half, plot.width, points_);
  else
    VisiblePoints(series, plot.xMin - half, plot.xMax + half, points_);
  if (points_.size() < 2) return;

  // QPainter fills pixel k for coordinates in [k, k + 1): a value that maps to
  // pixel k is drawn at the pixel's centre.
  pixels_.clear();
  const double xScale = plot.XScale();
  const double yScale = plot.YScale();
  const double originX = plot.left + 0.5;
  const double originY = plot.top + 0.5;
  for (const ChartPoint& p : points_)
    pixels_.emplace_back(originX + (p.x - plot.xMin) * xScale, originY + (plot.yMax - p.y) * yScale);

  const double margin = style.width + 2;
  const ClipBox box{plot.left - margin, plot.top - margin, plot.Right() + margin, plot.Bottom() + margin};
  lines_.clear();
  const std::size_t n = pixels_.size();
  if (!reduce_) {
    for (std::size_t k = 1; k < n; ++k) AddClipped(lines_, box, pixels_[k - 1], pixels_[k]);
  } else {
    // The part of the polyline inside one pixel column covers that column
    // from its lowest to its highest point, so it is drawn as that one
    // vertical stroke; only the steps between columns keep their own segments.
    for (std::size_t k = 0; k < n;) {
      const double column = PixelColumn(pixels_[k].x());
      double low = pixels_[k].y();
      double high = low;
      std::size_t j = k;
      while (j + 1 < n && PixelColumn(pixels_[j + 1].x()) == column) {
        ++j;
        low = std::min(low, pixels_[j].y());
        high = std::max(high, pixels_[j].y());
      }
      if (j > k) AddClipped(lines_, box, QPointF(column + 0.5, low), QPointF(column + 0.5, high));
      if (j + 1 < n) AddClipped(lines_, box, pixels_[j], pixels_[j + 1]);
      k = j + 1;
    }
  }

  // Wide lines go to QPainter as separate segments with square caps: the
  // rasteriser fills those directly, whereas a wide polyline is stroked as one
  // path with joins at a cost many times higher. The square caps close the
  // corners where the segments meet.
  painter.setPen(QPen(QColor::fromRgb(style.rgb), style.width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

void ChartRenderer::DrawAxes(QPainter& painter, const ChartFrame& frame, const ChartModel& model) {
  const PlotMapping& p = frame.plot;
  if (p.width < 1 || p.height < 1) return;
  const QFontMetrics fm = painter.fontMetrics();
  painter.setPen(QPen(kAxisColor, 1));
  painter.drawLine(p.left - 1, p.top, p.left - 1, p.Bottom() + 1);
  painter.drawLine(p.left - 1, p.Bottom() + 1, p.Right(), p.Bottom() + 1);

  const double yScale = p.YScale();
  const int labelRight = p.left - 1 - kLeftTickLength - kLabelGap;
  for (std::size_t i = 0; i < frame.yTicks.values.size(); ++i) {
    const double v = frame.yTicks.values[i];
    const int y = yScale > 0 ? static_cast<int>(std::lround(p.YToPixel(v))) : p.Bottom();
    painter.fillRect(p.left - 1 - kLeftTickLength, y, kLeftTickLength + kLeftTickInner, kTickWidth, kAxisColor);
    const QString text = Label(v);
    const int w = fm.horizontalAdvance(text);
    painter.drawText(QRect(labelRight - w, y - fm.height() / 2, w, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
                     text);
  }
  // Minor ticks between labels, where there is room for them.
  const double minorStep = frame.yTicks.step / (kLeftMinorTicks + 1);
  if (yScale > 0 && minorStep * yScale >= 4 && !frame.yTicks.values.empty()) {
    const double start = frame.yTicks.values.front() - frame.yTicks.step;
    for (std::size_t i = 0; i <= frame.yTicks.values.size(); ++i) {
      for (int k = 1; k <= kLeftMinorTicks; ++k) {
        const double v = start + i * frame.yTicks.step + k * minorStep;
        if (v < p.yMin || v > p.yMax) continue;
        const int y = static_cast<int>(std::lround(p.YToPixel(v)));
        painter.fillRect(p.left - 1 - kLeftMinorTickLength, y, kLeftMinorTickLength, 1, kAxisColor);
      }
    }
  }

  const double xScale = p.XScale();
  const int tickTop = p.Bottom() + 2;
  const int labelTop = tickTop + kBottomTickLength + kLabelGap;
  for (double v : frame.xTicks.values) {
    const int x = xScale > 0 ? static_cast<int>(std::lround(p.XToPixel(v))) : p.left;
    painter.fillRect(x, tickTop, kTickWidth, kBottomTickLength, kAxisColor);
    const QString text = Label(v);
    const int w = fm.horizontalAdvance(text);
    painter.drawText(QRect(x + kTickWidth / 2 - w / 2 - 1, labelTop, w + 2, fm.height()), Qt::AlignCenter, text);
  }
  const QString title = QString::fromStdString(model.BottomAxis().Title());
  if (!title.isEmpty()) {
    const int titleTop = labelTop + fm.height() + kLabelGap;
    painter.drawText(QRect(p.left, titleTop, p.width, fm.height()), Qt::AlignHCenter | Qt::AlignTop, title);
  }
}

}  // namespace o5
