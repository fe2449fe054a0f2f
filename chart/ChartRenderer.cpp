// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartRenderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QStaticText>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "chart/ChartTimeline.h"
#include "chart/SegmentStamps.h"
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
const QColor kCursorColor(0, 0, 160);
const QColor kFaultColor(200, 0, 0);
const QColor kNoModeColor(235, 235, 235);
constexpr int kStripGap = 1;  // between the plot's last row and the strip

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

// The pixel a coordinate falls in (floor() without a library call).
inline int PixelOf(double v) {
  const auto t = static_cast<int>(v);
  return t - (v < static_cast<double>(t));
}

// A deep zoom puts points millions of pixels away, beyond what a pixel
// coordinate holds. Such a point is cut back along the segments that lead to
// it, to where they cross this box: moving its x and y apart would bend the
// segments, and a line that crosses the plot could miss it altogether.
constexpr double kFar = 1e6;
constexpr ClipBox kFarBox{-kFar, -kFar, kFar, kFar};

inline bool IsFar(QPointF v) { return !(std::abs(v.x()) <= kFar && std::abs(v.y()) <= kFar); }

// From data values to the pixel coordinates of the points' pixel centres.
struct PixelMap {
  double originX, originY, xMin, yMax, xScale, yScale;
  explicit PixelMap(const PlotMapping& plot)
      : originX(plot.left + 0.5),
        originY(plot.top + 0.5),
        xMin(plot.xMin),
        yMax(plot.yMax),
        xScale(plot.XScale()),
        yScale(plot.YScale()) {}
  QPointF operator()(double x, double y) const { return {originX + (x - xMin) * xScale, originY + (yMax - y) * yScale}; }
};

// Appends the pixel of a point, unless the last one is that pixel already: a
// segment of no length adds no pixel (a square cap would add one below it).
inline void AddPixel(std::vector<QPoint>& pixels, int x, int y) {
  const QPoint px(x, y);
  if (pixels.empty() || pixels.back() != px) pixels.push_back(px);
}

// The points, none of them far: every point of every drawing but a deep
// zoom's, so it is kept to plain arithmetic in registers.
void NearPixels(const std::vector<ChartPoint>& points, const PixelMap m, std::vector<QPoint>& pixels) {
  for (const ChartPoint& p : points)
    AddPixel(pixels, PixelOf(m.originX + (p.x - m.xMin) * m.xScale), PixelOf(m.originY + (m.yMax - p.y) * m.yScale));
}

// The points of a deep zoom: a far point is replaced by where the segments to
// its neighbours enter the far box (none, one or two pixels).
void FarPixels(const std::vector<ChartPoint>& points, const PixelMap m, std::vector<QPoint>& pixels) {
  const auto add = [&](QPointF v) { AddPixel(pixels, PixelOf(v.x()), PixelOf(v.y())); };
  const auto cutBack = [&](QPointF far, QPointF other) {
    double x0 = far.x(), y0 = far.y(), x1 = other.x(), y1 = other.y();
    if (ClipSegment(x0, y0, x1, y1, kFarBox)) add(QPointF(x0, y0));
  };
  const std::size_t count = points.size();
  for (std::size_t k = 0; k < count; ++k) {
    const QPointF v = m(points[k].x, points[k].y);
    if (!IsFar(v)) {
      add(v);
      continue;
    }
    if (k > 0) cutBack(v, m(points[k - 1].x, points[k - 1].y));
    if (k + 1 < count) cutBack(v, m(points[k + 1].x, points[k + 1].y));
  }
}

// Replaces `pixels` with the pixels of the points (in order of X, drawn from
// `series`). Whether any of them can lie beyond the far box is decided once
// for the series and the view: none lies left of the first or right of the
// last, nor above or below the series' extremes.
void PointPixels(const std::vector<ChartPoint>& points, const SeriesData& series, const PlotMapping& plot,
                 std::vector<QPoint>& pixels) {
  pixels.clear();
  if (points.empty()) return;
  pixels.reserve(points.size());
  const PixelMap m(plot);
  const SeriesData::Extremes range = series.RangeExtremes(0, series.Size());
  const bool near = !IsFar(m(points.front().x, range.high.y)) && !IsFar(m(points.back().x, range.low.y));
  if (near)
    NearPixels(points, m, pixels);
  else
    FarPixels(points, m, pixels);
}

// The stamps of the steps between pixel columns, shared by every chart the
// thread draws.
SegmentStamps& Stamps() {
  thread_local SegmentStamps stamps;
  return stamps;
}

bool TimelineOn(const ChartModel& model) {
  const ChartTimeline& t = model.Timeline();
  return t.shown && (ChartModel::ValidSeries(t.modeSeries) || ChartModel::ValidSeries(t.faultSeries));
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
  const int stripHeight = TimelineOn(model) ? fm.height() + 3 : 0;
  const int bottomMargin = kTickWidth + kBottomTickLength + kLabelGap + fm.height() + titleHeight + kOuterMargin +
                           (stripHeight > 0 ? stripHeight + kStripGap : 0);
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
  if (stripHeight > 0) f.strip = QRect(p.left, p.Bottom() + 1 + kStripGap, p.width, stripHeight);
  return f;
}

void ChartRenderer::Draw(QPainter& painter, const ChartFrame& frame, const QRect& area, const ChartModel& model,
                         const std::optional<QRect>& rubberBand) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(area, kBackground);
  const PlotMapping& plot = frame.plot;
  if (plot.Drawable()) {
    const QRect clip(plot.left, plot.top, plot.width, plot.height);
    direct_.reset();
    QPaintDevice* device = painter.device();
    if (device && device->devType() == QInternal::Image && painter.deviceTransform().isIdentity() &&
        !painter.hasClipping()) {
      auto* image = static_cast<QImage*>(device);
      const QImage::Format f = image->format();
      if ((f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) &&
          image->rect().contains(clip))
        direct_ = DirectPixels{image->bits(), image->bytesPerLine(), clip};
    }
    DrawGrid(painter, frame);
    painter.save();
    painter.setClipRect(clip);
    for (int i = 0; i < ChartModel::kSeriesCount; ++i) {
      const SeriesStyle& style = model.Style(i);
      if (style.visible) DrawSeries(painter, plot, i, model.Series(i), style);
    }
    direct_.reset();
    painter.restore();
    DrawTimeline(painter, frame, model);
  }
  DrawAxes(painter, frame, model);
  if (plot.Drawable()) DrawCursors(painter, frame, model);
  if (rubberBand) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rubberBand->normalized());
  }
  painter.restore();
}

void ChartRenderer::DrawGrid(QPainter& painter, const ChartFrame& frame) {
  const PlotMapping& p = frame.plot;
  if (direct_) {
    // Dotted as QPainter dots a one-pixel line: every third pixel from
    // the line's start.
    constexpr int kDotPitch = 3;
    const std::uint32_t grid = kGridColor.rgba();
    auto pixel = [this](int x, int y) -> std::uint32_t& {
      return reinterpret_cast<std::uint32_t*>(direct_->bits + y * direct_->stride)[x];
    };
    for (double v : frame.xTicks.values) {
      const int x = static_cast<int>(std::round(p.XToPixel(v)));
      if (x < p.left || x > p.Right()) continue;
      for (int y = p.top; y <= p.Bottom(); y += kDotPitch) pixel(x, y) = grid;
    }
    for (double v : frame.yTicks.values) {
      const int y = static_cast<int>(std::round(p.YToPixel(v)));
      if (y < p.top || y > p.Bottom()) continue;
      for (int x = p.left; x <= p.Right(); x += kDotPitch) pixel(x, y) = grid;
    }
    return;
  }
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

void ChartRenderer::DrawSeries(QPainter& painter, const PlotMapping& plot, int index, const SeriesData& series,
                               const SeriesStyle& style) {
  if (series.Size() < 2) return;
  // The first and the last pixel column reach half a column beyond the bounds.
  const double half = plot.ColumnWidth() / 2;
  const std::vector<ChartPoint>* points = &points_;
  if (reduce_)
    points = &reductions_[static_cast<std::size_t>(index)].Update(series, plot.xMin - half, plot.xMax + half,
                                                                  plot.width);
  else
    VisiblePoints(series, plot.xMin - half, plot.xMax + half, points_);
  if (points->empty()) return;

  // Every point is drawn at the centre of the pixel its value belongs to, so
  // that the lines of one pixel column all run along that column's centre:
  // the column's part of the polyline is then exactly the stroke from its
  // lowest to its highest point, whichever points the reduction kept.
  // The pixels of a reduced view are kept while the reduction and the
  // mapping stay: a redraw of the same view (the mouse's readout, a cursor)
  // then maps no point again.
  std::vector<QPoint>* mapped = &pixels_;
  if (reduce_) {
    KeptPixels& kept = keptPixels_[static_cast<std::size_t>(index)];
    const std::uint64_t revision = reductions_[static_cast<std::size_t>(index)].Revision();
    if (!kept.valid || kept.revision != revision || !(kept.plot == plot)) {
      PointPixels(*points, series, plot, kept.pixels);
      kept.valid = true;
      kept.revision = revision;
      kept.plot = plot;
    }
    mapped = &kept.pixels;
  } else {
    PointPixels(*points, series, plot, pixels_);
  }
  const std::vector<QPoint>& pixels = *mapped;

  const double margin = style.width + 2;
  const ClipBox box{plot.left - margin, plot.top - margin, plot.Right() + margin, plot.Bottom() + margin};
  lines_.clear();
  const std::size_t n = pixels.size();
  auto centre = [](QPoint p) { return QPointF(p.x() + 0.5, p.y() + 0.5); };
  if (n == 1) {
    AddClipped(lines_, box, centre(pixels[0]), centre(pixels[0]));
  } else if (!reduce_) {
    for (std::size_t k = 1; k < n; ++k) AddClipped(lines_, box, centre(pixels[k - 1]), centre(pixels[k]));
  } else {
    // The part of the polyline inside one pixel column is drawn as one
    // vertical stroke; only the steps between columns keep their own segments.
    // A stroke of an odd width covers whole pixels: (width - 1) / 2 on each
    // side of its column and beyond its ends (the square caps), which the
    // direct fill reproduces exactly; an even width has edges on pixel
    // centres and is left to QPainter.
    const bool direct = direct_ && style.width % 2 == 1;
    const std::uint32_t argb = 0xFF000000u | style.rgb;
    // A step between two columns is stamped with the pixels QPainter would
    // set for it, when all of them lie within the plot.
    SegmentStamps& stamps = Stamps();
    auto step = [&](QPoint a, QPoint b) {
      if (direct_) {
        const SegmentStamps::Stamp* stamp = stamps.Find(style.width, b.x() - a.x(), b.y() - a.y());
        const QRect& clip = direct_->clip;
        if (stamp && a.x() + stamp->left >= clip.left() && a.x() + stamp->right <= clip.right() &&
            a.y() + stamp->top >= clip.top() && a.y() + stamp->bottom <= clip.bottom()) {
          SegmentStamps::Put(*stamp, direct_->bits, direct_->stride, a.x(), a.y(), argb);
          return;
        }
      }
      AddClipped(lines_, box, centre(a), centre(b));
    };
    for (std::size_t k = 0; k < n;) {
      const int column = pixels[k].x();
      int low = pixels[k].y();
      int high = low;
      std::size_t j = k;
      while (j + 1 < n && pixels[j + 1].x() == column) {
        ++j;
        low = std::min(low, pixels[j].y());
        high = std::max(high, pixels[j].y());
      }
      if (j > k) {
        if (direct)
          FillColumn(column, low, high, style.width / 2, argb);
        else
          AddClipped(lines_, box, QPointF(column + 0.5, low + 0.5), QPointF(column + 0.5, high + 0.5));
      }
      if (j + 1 < n) step(pixels[j], pixels[j + 1]);
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

void ChartRenderer::FillColumn(int column, int top, int bottom, int halfWidth, std::uint32_t argb) const {
  const QRect& clip = direct_->clip;
  const int left = std::max(column - halfWidth, clip.left());
  const int right = std::min(column + halfWidth, clip.right());
  top = std::max(top - halfWidth, clip.top());
  bottom = std::min(bottom + halfWidth, clip.bottom());
  if (left > right) return;
  for (int y = top; y <= bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(direct_->bits + y * direct_->stride);
    for (int x = left; x <= right; ++x) row[x] = argb;
  }
}

std::vector<FaultMark> ChartRenderer::FaultMarks(const ChartFrame& frame, const QFont& font, const ChartModel& model) {
  std::vector<FaultMark> marks;
  const ChartTimeline& t = model.Timeline();
  const PlotMapping& p = frame.plot;
  if (frame.strip.isEmpty() || !ChartModel::ValidSeries(t.faultSeries) || !p.Drawable()) return marks;
  const QFontMetrics fm(font);
  const double half = p.ColumnWidth() / 2;
  const double from = p.xMin - half;
  const TimelineSteps s = StepsInRange(model.Series(t.faultSeries), from, p.xMax + half, p.ColumnWidth());
  for (std::size_t k = 0; k < s.steps.size(); ++k) {
    const TimelineStep& step = s.steps[k];
    // Where the code becomes other than 0, or another code: the first point
    // of a series counts when it is in view.
    const bool change = k > 0 ? step.value != s.steps[k - 1].value : step.x >= from;
    if (!change || step.value == 0) continue;
    const int code = static_cast<int>(step.value);
    const int x = static_cast<int>(std::lround(p.XToPixel(step.x)));
    const int w = fm.horizontalAdvance(QString::number(code)) + 4;
    marks.push_back({QRect(x, frame.strip.top(), w, frame.strip.height()), code});
  }
  return marks;
}

void ChartRenderer::DrawTimeline(QPainter& painter, const ChartFrame& frame, const ChartModel& model) {
  if (frame.strip.isEmpty()) return;
  const ChartTimeline& t = model.Timeline();
  const PlotMapping& p = frame.plot;
  const QRect& strip = frame.strip;
  painter.fillRect(strip, kNoModeColor);
  const double half = p.ColumnWidth() / 2;
  if (ChartModel::ValidSeries(t.modeSeries)) {
    const TimelineSteps s = StepsInRange(model.Series(t.modeSeries), p.xMin - half, p.xMax + half, p.ColumnWidth());
    for (std::size_t k = 0; k < s.steps.size(); ++k) {
      const double x0 = s.steps[k].x;
      // The last value holds to the last point, and at least one column.
      const double x1 = k + 1 < s.steps.size() ? s.steps[k + 1].x : s.end;
      const int left = std::max(strip.left(), static_cast<int>(std::lround(p.XToPixel(x0))));
      const int right = std::min(strip.right() + 1, std::max(left + 1, static_cast<int>(std::lround(p.XToPixel(x1)))));
      if (right <= left) continue;
      const std::uint32_t rgb = t.modeColor ? t.modeColor(static_cast<int>(s.steps[k].value)) : 0x808080u;
      painter.fillRect(QRect(left, strip.top(), right - left, strip.height()), QColor::fromRgb(rgb));
    }
  }
  const std::vector<FaultMark> marks = FaultMarks(frame, painter.font(), model);
  if (marks.empty()) return;
  painter.save();
  painter.setClipRect(QRect(p.left, p.top, p.width, strip.bottom() + 1 - p.top));
  painter.setPen(QPen(kFaultColor, 1, Qt::DotLine));
  for (const FaultMark& m : marks) painter.drawLine(m.box.left(), p.top, m.box.left(), p.Bottom());
  for (const FaultMark& m : marks) {
    painter.fillRect(m.box, kFaultColor);
    painter.setPen(Qt::white);
    painter.drawText(m.box, Qt::AlignCenter, QString::number(m.code));
  }
  painter.restore();
}

void ChartRenderer::DrawCursors(QPainter& painter, const ChartFrame& frame, const ChartModel& model) {
  const PlotMapping& p = frame.plot;
  const QFontMetrics fm = painter.fontMetrics();
  const int axisY = frame.strip.isEmpty() ? p.Bottom() + 1 : frame.strip.bottom() + 1;
  for (Cursor which : {Cursor::kA, Cursor::kB}) {
    const std::optional<double> x = model.CursorX(which);
    if (!x || *x < p.xMin || *x > p.xMax) continue;
    const int px = static_cast<int>(std::lround(p.XToPixel(*x)));
    painter.setPen(QPen(kCursorColor, 1, Qt::DashLine));
    painter.drawLine(px, p.top, px, axisY);
    const QString label = which == Cursor::kA ? QStringLiteral("A") : QStringLiteral("B");
    const int w = fm.horizontalAdvance(label) + 6;
    const QRect box(px - w / 2, axisY + 1, w, fm.height() + 1);
    painter.fillRect(box, kCursorColor);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, label);
  }
}

void ChartRenderer::DrawAxes(QPainter& painter, const ChartFrame& frame, const ChartModel& model) {
  const PlotMapping& p = frame.plot;
  if (p.width < 1 || p.height < 1) return;
  const QFontMetrics fm = painter.fontMetrics();
  painter.setPen(QPen(kAxisColor, 1));
  const int axisY = frame.strip.isEmpty() ? p.Bottom() + 1 : frame.strip.bottom() + 1;
  painter.drawLine(p.left - 1, p.top, p.left - 1, axisY);
  painter.drawLine(p.left - 1, axisY, p.Right(), axisY);

  const double yScale = p.YScale();
  const int labelRight = p.left - 1 - kLeftTickLength - kLabelGap;
  for (std::size_t i = 0; i < frame.yTicks.values.size(); ++i) {
    const double v = frame.yTicks.values[i];
    const int y = yScale > 0 ? static_cast<int>(std::lround(p.YToPixel(v))) : p.Bottom();
    painter.fillRect(p.left - 1 - kLeftTickLength, y, kLeftTickLength + kLeftTickInner, kTickWidth, kAxisColor);
    const QString text = Label(v);
    DrawLabel(painter, text, QPoint(labelRight - fm.horizontalAdvance(text), y - fm.height() / 2));
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
  const int tickTop = axisY + 1;
  const int labelTop = tickTop + kBottomTickLength + kLabelGap;
  for (double v : frame.xTicks.values) {
    const int x = xScale > 0 ? static_cast<int>(std::lround(p.XToPixel(v))) : p.left;
    painter.fillRect(x, tickTop, kTickWidth, kBottomTickLength, kAxisColor);
    const QString text = Label(v);
    DrawLabel(painter, text, QPoint(x + kTickWidth / 2 - fm.horizontalAdvance(text) / 2, labelTop));
  }
  const QString title = QString::fromStdString(model.BottomAxis().Title());
  if (!title.isEmpty()) {
    const int titleTop = labelTop + fm.height() + kLabelGap;
    DrawLabel(painter, title, QPoint(p.left + (p.width - fm.horizontalAdvance(title)) / 2, titleTop));
  }
}

// The labels of one drawing are mostly those of the drawing before: kept laid
// out, they are drawn without shaping their text again.
void ChartRenderer::DrawLabel(QPainter& painter, const QString& text, const QPoint& topLeft) {
  if (painter.font() != labelFont_) {
    labels_.clear();
    labelFont_ = painter.font();
  }
  auto it = labels_.find(text);
  if (it == labels_.end()) {
    constexpr qsizetype kMostKept = 512;
    if (labels_.size() >= kMostKept) labels_.clear();
    QStaticText label(text);
    label.setTextFormat(Qt::PlainText);
    label.setPerformanceHint(QStaticText::AggressiveCaching);
    label.prepare(QTransform(), painter.font());
    it = labels_.insert(text, label);
  }
  painter.drawStaticText(topLeft, *it);
}

}  // namespace o5
