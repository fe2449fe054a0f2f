// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/visit/VisitActPrint.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <memory>

#include "chart/ChartModel.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartTimeline.h"
#include "ui/graph/GraphLook.h"

namespace o5 {

namespace {

constexpr double kMarginMm = 12;
const QPageLayout kActLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                             QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
// Sizes in points. Nothing is smaller than 8 pt, and nothing is shrunk: a
// long act takes another page instead.
constexpr double kTitlePt = 14;
constexpr double kHeadingPt = 10;
constexpr double kTextPt = 9;
constexpr double kSmallPt = 8;
constexpr double kLineSpacing = 1.15;
constexpr double kSectionGapPt = 7;
constexpr double kColumnGapPt = 14;
constexpr double kSignatureLineMm = 60;
constexpr double kHandwritingPt = 22;  // the height of a line to write on
constexpr int kConclusionLinesByHand = 3;
// Columns of each part of the page.
constexpr int kHeaterColumns = 2;
constexpr int kCounterColumns = 3;
constexpr int kRecordColumns = 1;
constexpr int kChangeColumns = 2;
constexpr int kRunColumns = 3;
constexpr int kModeColumns = 4;

// The chart: its height on paper, the resolution of its picture, its labels'
// size (never under 8 pt on paper) and how far apart a series' markers stand.
constexpr double kChartHeightMm = 62;
constexpr double kChartDpi = 300;
constexpr double kChartFontPt = 8.5;
constexpr double kMarkerSpacingMm = 9;
constexpr double kMarkerRadiusMm = 0.9;
constexpr double kChartLineMm = 0.35;
constexpr double kMillimetresPerInch = 25.4;
// Dark, apart in colour, and apart by marker shape when printed in grey.
constexpr std::array<std::uint32_t, kActChartSeries.size()> kActColors = {0x1965B0, 0xDC050C, 0x4EB265};
enum class Marker { kCircle, kSquare, kTriangle };
constexpr std::array<Marker, kActChartSeries.size()> kActMarkers = {Marker::kCircle, Marker::kSquare,
                                                                   Marker::kTriangle};

QString Text(const std::string& s) { return QString::fromStdString(s); }

void DrawMarker(QPainter& painter, Marker marker, const QPointF& c, double r, const QColor& color) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QPen outline(Qt::black);
  outline.setWidthF(r / 3);
  painter.setPen(outline);
  painter.setBrush(color);
  switch (marker) {
    case Marker::kCircle:
      painter.drawEllipse(c, r, r);
      break;
    case Marker::kSquare:
      painter.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
      break;
    case Marker::kTriangle: {
      const QPointF points[] = {{c.x(), c.y() - 1.2 * r}, {c.x() - 1.1 * r, c.y() + 0.8 * r},
                                {c.x() + 1.1 * r, c.y() + 0.8 * r}};
      painter.drawPolygon(points, 3);
      break;
    }
  }
  painter.restore();
}

// The value of `series` at `x` on its line; nothing outside its points.
std::optional<double> ValueAt(const SeriesData& series, double x) {
  if (series.Empty() || x < series.X(0) || x > series.X(series.Size() - 1)) return std::nullopt;
  const std::size_t i = series.LowerBound(x);
  if (i == 0 || series.X(i) == x) return series.Y(i);
  const ChartPoint a = series.At(i - 1), b = series.At(i);
  return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

// Everything the page draws goes down the page: a part that does not fit in
// what is left of it starts the next page.
class Flow {
 public:
  Flow(QPainter& painter, QPagedPaintDevice& device, const QSizeF& area, double dpi)
      : painter_(painter), device_(device), area_(area), px_(dpi / 72.0), dpi_(dpi) {}

  double Px(double points) const { return points * px_; }
  double Mm(double mm) const { return mm / kMillimetresPerInch * dpi_; }
  double Width() const { return area_.width(); }
  double Dpi() const { return dpi_; }
  QPainter& Painter() { return painter_; }

  // Room for `height` more, on a new page when this one has not.
  double Take(double height) {
    if (y_ > 0 && y_ + height > area_.height()) {
      device_.newPage();
      y_ = 0;
    }
    const double top = y_;
    y_ += height;
    return top;
  }
  void Gap(double points) {
    if (y_ > 0) y_ += Px(points);
  }

  // The height of `text` wrapped in `width`.
  double Height(const QFont& font, const QString& text, double width) const {
    const QFontMetricsF fm(font, painter_.device());
    if (text.isEmpty()) return fm.height() * kLineSpacing;
    return fm.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height() +
           fm.height() * (kLineSpacing - 1);
  }
  void Paragraph(const QFont& font, const QString& text) {
    const double h = Height(font, text, Width());
    const double top = Take(h);
    painter_.setFont(font);
    painter_.drawText(QRectF(0, top, Width(), h), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
  }

  // Entries in `columns` columns, row by row; a row whose entries wrap is as
  // high as its highest. Each row is kept whole on one page.
  void Grid(const QFont& font, const std::vector<std::string>& entries, int columns) {
    const double gap = Px(kColumnGapPt);
    const double width = (Width() - (columns - 1) * gap) / columns;
    painter_.setFont(font);
    for (std::size_t first = 0; first < entries.size(); first += static_cast<std::size_t>(columns)) {
      const std::size_t end = std::min(entries.size(), first + static_cast<std::size_t>(columns));
      double h = 0;
      for (std::size_t i = first; i < end; ++i) h = std::max(h, Height(font, Text(entries[i]), width));
      const double top = Take(h);
      for (std::size_t i = first; i < end; ++i)
        painter_.drawText(QRectF(static_cast<double>(i - first) * (width + gap), top, width, h),
                          Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Text(entries[i]));
    }
  }

 private:
  QPainter& painter_;
  QPagedPaintDevice& device_;
  QSizeF area_;
  double px_;
  double dpi_;
  double y_ = 0;
};

struct Fonts {
  QFont title = PageFont(kTitlePt, true);
  QFont heading = PageFont(kHeadingPt, true);
  QFont text = PageFont(kTextPt, false);
  QFont bold = PageFont(kTextPt, true);
  QFont small = PageFont(kSmallPt, false);
};

void DrawTitle(Flow& flow, const Fonts& f, const VisitActContent& act) {
  QPainter& painter = flow.Painter();
  const double h = QFontMetricsF(f.title, painter.device()).height();
  const double top = flow.Take(h);
  painter.setFont(f.title);
  painter.drawText(QRectF(0, top, flow.Width(), h), Qt::AlignLeft | Qt::AlignVCenter, Text(act.title));
  painter.setFont(f.text);
  painter.drawText(QRectF(0, top, flow.Width(), h), Qt::AlignRight | Qt::AlignVCenter, Text(act.date));
}

// "Мастерская: …" with the caption in bold, the value wrapped after it.
void DrawField(Flow& flow, const Fonts& f, const std::string& caption, const std::string& value) {
  QPainter& painter = flow.Painter();
  const QString label = Text(caption) + ": ";
  const double labelWidth = QFontMetricsF(f.bold, painter.device()).horizontalAdvance(label);
  const double h = flow.Height(f.text, Text(value), flow.Width() - labelWidth);
  const double top = flow.Take(h);
  painter.setFont(f.bold);
  painter.drawText(QRectF(0, top, labelWidth, h), Qt::AlignLeft | Qt::AlignTop, label);
  painter.setFont(f.text);
  painter.drawText(QRectF(labelWidth, top, flow.Width() - labelWidth, h),
                   Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Text(value));
}

// The runs side by side, each under its heading.
void DrawRuns(Flow& flow, const Fonts& f, const std::vector<VisitActRunText>& runs) {
  QPainter& painter = flow.Painter();
  const double gap = flow.Px(kColumnGapPt);
  const double width = (flow.Width() - (kRunColumns - 1) * gap) / kRunColumns;
  const double headingHeight = QFontMetricsF(f.bold, painter.device()).height() * kLineSpacing;
  for (std::size_t first = 0; first < runs.size(); first += kRunColumns) {
    const std::size_t end = std::min(runs.size(), first + kRunColumns);
    std::vector<std::vector<double>> heights(end - first);
    double h = 0;
    for (std::size_t i = first; i < end; ++i) {
      double column = headingHeight;
      for (const std::string& line : runs[i].lines) {
        heights[i - first].push_back(flow.Height(f.text, Text(line), width));
        column += heights[i - first].back();
      }
      h = std::max(h, column);
    }
    const double top = flow.Take(h);
    for (std::size_t i = first; i < end; ++i) {
      const double x = static_cast<double>(i - first) * (width + gap);
      painter.setFont(f.bold);
      painter.drawText(QRectF(x, top, width, headingHeight), Qt::AlignLeft | Qt::AlignTop, Text(runs[i].heading));
      painter.setFont(f.text);
      double y = top + headingHeight;
      for (std::size_t k = 0; k < runs[i].lines.size(); ++k) {
        const double lineHeight = heights[i - first][k];
        painter.drawText(QRectF(x, y, width, lineHeight), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                         Text(runs[i].lines[k]));
        y += lineHeight;
      }
    }
    flow.Gap(kSectionGapPt / 2);
  }
}

// The chart with the series' legend below it, kept together on one page.
void DrawChart(Flow& flow, const Fonts& f, const VisitRun& run) {
  QPainter& painter = flow.Painter();
  const double widthMm = flow.Width() / flow.Dpi() * kMillimetresPerInch;
  const QImage chart = VisitActChart(run, widthMm, kChartHeightMm, kChartDpi);
  const double chartHeight = flow.Mm(kChartHeightMm);
  const double legendHeight = QFontMetricsF(f.small, painter.device()).height() * kLineSpacing;
  const double top = flow.Take(chartHeight + legendHeight);
  painter.drawImage(QRectF(0, top, flow.Width(), chartHeight), chart);
  painter.setFont(f.small);
  const QFontMetricsF fm(f.small, painter.device());
  const double swatch = flow.Mm(8);
  double x = 0;
  const double middle = top + chartHeight + legendHeight / 2;
  for (std::size_t k = 0; k < kActChartSeries.size(); ++k) {
    const QColor color = QColor::fromRgb(kActColors[k]);
    QPen pen(color);
    pen.setWidthF(flow.Mm(kChartLineMm));
    painter.setPen(pen);
    painter.drawLine(QPointF(x, middle), QPointF(x + swatch, middle));
    DrawMarker(painter, kActMarkers[k], QPointF(x + swatch / 2, middle), flow.Mm(kMarkerRadiusMm), color);
    painter.setPen(Qt::black);
    const QString caption = QString::fromStdString(Translate("VisitAct", kActChartSeries[k].caption.data()));
    const double w = fm.horizontalAdvance(caption);
    painter.drawText(QRectF(x + swatch + flow.Mm(1.5), top + chartHeight, w + 1, legendHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    x += swatch + flow.Mm(1.5) + w + flow.Mm(6);
  }
}

void DrawSignatures(Flow& flow, const Fonts& f) {
  QPainter& painter = flow.Painter();
  const double h = flow.Px(kHandwritingPt);
  const double top = flow.Take(h);
  const double half = flow.Width() / 2;
  const QFontMetricsF fm(f.bold, painter.device());
  QPen line(Qt::black);
  line.setWidthF(flow.Px(0.5));
  for (std::size_t k = 0; k < kActSignatures.size(); ++k) {
    const double x = static_cast<double>(k) * half;
    const QString caption = QString::fromStdString(Translate("VisitAct", kActSignatures[k].data())) + ":";
    const double w = fm.horizontalAdvance(caption);
    painter.setFont(f.bold);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x, top, w + 1, h), Qt::AlignLeft | Qt::AlignBottom, caption);
    painter.setPen(line);
    const double baseline = top + h - fm.descent();
    painter.drawLine(QPointF(x + w + flow.Px(4), baseline),
                     QPointF(std::min(x + half - flow.Px(kColumnGapPt), x + w + flow.Mm(kSignatureLineMm)), baseline));
  }
  painter.setPen(Qt::black);
}

void DrawAct(QPainter& painter, QPagedPaintDevice& device, const QSizeF& area, double dpi,
             const VisitActContent& act, const VisitRun* chartRun) {
  painter.save();
  painter.setPen(Qt::black);
  Flow flow(painter, device, area, dpi);
  const Fonts f;
  DrawTitle(flow, f, act);
  flow.Gap(kSectionGapPt);
  for (const auto& [caption, value] : act.fields) DrawField(flow, f, caption, value);

  flow.Gap(kSectionGapPt);
  flow.Paragraph(f.heading, Text(act.heaterHeading));
  flow.Grid(f.text, act.heater, kHeaterColumns);

  if (!act.blackBox.empty()) {
    flow.Gap(kSectionGapPt);
    if (!act.blackBoxHeading.empty()) flow.Paragraph(f.heading, Text(act.blackBoxHeading));
    flow.Grid(f.text, act.blackBox, act.blackBoxHeading.empty() ? 1 : kCounterColumns);
  }
  if (!act.records.empty()) {
    flow.Gap(kSectionGapPt / 2);
    flow.Paragraph(f.bold, Text(act.recordsHeading));
    flow.Grid(f.small, act.records, kRecordColumns);
  }
  if (!act.changesHeading.empty()) {
    flow.Gap(kSectionGapPt / 2);
    flow.Paragraph(f.bold, Text(act.changesHeading));
    flow.Grid(f.small, act.changes, kChangeColumns);
  }

  flow.Gap(kSectionGapPt);
  flow.Paragraph(f.heading, Text(act.runsHeading));
  DrawRuns(flow, f, act.runs);

  if (chartRun && !act.chartHeading.empty()) {
    flow.Gap(kSectionGapPt / 2);
    flow.Paragraph(f.heading, Text(act.chartHeading));
    DrawChart(flow, f, *chartRun);
    flow.Paragraph(f.small, QString::fromStdString(Translate("VisitAct", kActChartModes.data())));
    flow.Grid(f.small, act.modes, kModeColumns);
  }

  flow.Gap(kSectionGapPt);
  flow.Paragraph(f.heading, Text(act.conclusionHeading));
  if (!act.conclusion.empty()) {
    // Line by line, so that a long conclusion goes on to the next page.
    for (const QString& line : Text(act.conclusion).split('\n')) flow.Paragraph(f.text, line);
  } else {
    // Room to write it by hand.
    QPen line(Qt::black);
    line.setWidthF(flow.Px(0.5));
    for (int k = 0; k < kConclusionLinesByHand; ++k) {
      const double top = flow.Take(flow.Px(kHandwritingPt));
      painter.setPen(line);
      painter.drawLine(QPointF(0, top + flow.Px(kHandwritingPt)), QPointF(flow.Width(), top + flow.Px(kHandwritingPt)));
    }
    painter.setPen(Qt::black);
  }
  flow.Gap(kSectionGapPt);
  DrawSignatures(flow, f);
  if (!act.footer.empty()) {
    flow.Gap(kSectionGapPt);
    flow.Paragraph(f.small, Text(act.footer));
  }
  painter.restore();
}

}  // namespace

QImage VisitActChart(const VisitRun& run, double widthMm, double heightMm, double dpi) {
  // The picture's own pixels stand for a 96-dpi screen's, drawn finer.
  constexpr double kScreenDpi = 96;
  const double ratio = dpi / kScreenDpi;
  const QSize logical(static_cast<int>(std::lround(widthMm / kMillimetresPerInch * kScreenDpi)),
                      static_cast<int>(std::lround(heightMm / kMillimetresPerInch * kScreenDpi)));
  QImage picture((QSizeF(logical) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);

  auto model = std::make_unique<ChartModel>();
  for (int i = 0; i < ChartModel::kSeriesCount; ++i) model->SetVisible(i, false);
  for (const TelemetryPoint& p : run.points) model->AddPoint(p.series, p.x, p.y);
  const int lineWidth = std::max(1, static_cast<int>(std::lround(kChartLineMm / kMillimetresPerInch * kScreenDpi)));
  double low = std::numeric_limits<double>::infinity(), high = -low, first = low, last = -low;
  for (std::size_t k = 0; k < kActChartSeries.size(); ++k) {
    const int s = kActChartSeries[k].series;
    model->SetVisible(s, true);
    model->SetColor(s, kActColors[k]);
    model->SetWidth(s, lineWidth + 1);
    for (double y : model->Series(s).Ys()) {
      low = std::min(low, y);
      high = std::max(high, y);
    }
  }
  for (const TelemetryPoint& p : run.points) {
    first = std::min(first, p.x);
    last = std::max(last, p.x);
  }
  if (!(first < last)) last = first + 1;
  if (!(low <= high)) low = 0, high = 1;
  // The value axis rounded out to a step of ten.
  constexpr double kValueStep = 10;
  low = std::floor(low / kValueStep) * kValueStep;
  high = std::ceil(high / kValueStep) * kValueStep;
  if (high <= low) high = low + kValueStep;
  model->BottomAxis().SetMinMax(first, last);
  model->BottomAxis().SetIncrement(0);
  model->BottomAxis().SetTitle(Translate("VisitAct", kActChartTime.data()));
  model->LeftAxis().SetMinMax(low, high);
  model->LeftAxis().SetIncrement(0);
  model->SetTimeline(GraphTimeline(true));

  QFont font = PageFont(kChartFontPt, false);
  font.setPixelSize(static_cast<int>(std::ceil(kChartFontPt / 72.0 * kScreenDpi)));
  const QRect area(QPoint(0, 0), logical);
  const ChartFrame frame = ChartRenderer::Layout(area, font, *model);
  QPainter painter(&picture);
  painter.setFont(font);
  ChartRenderer renderer;
  renderer.Draw(painter, frame, area, *model);

  // The markers of each series, a little apart from one series to the next,
  // so that the lines are told apart in grey.
  const PlotMapping& plot = frame.plot;
  const double spacing = kMarkerSpacingMm / kMillimetresPerInch * kScreenDpi;
  const double radius = kMarkerRadiusMm / kMillimetresPerInch * kScreenDpi;
  for (std::size_t k = 0; k < kActChartSeries.size(); ++k) {
    const SeriesData& series = model->Series(kActChartSeries[k].series);
    const double phase = spacing * static_cast<double>(k + 1) / static_cast<double>(kActChartSeries.size() + 1);
    for (double px = plot.left + phase; px <= plot.Right(); px += spacing)
      if (const auto y = ValueAt(series, plot.PixelToX(px)))
        DrawMarker(painter, kActMarkers[k], QPointF(px, plot.YToPixel(*y)), radius, QColor::fromRgb(kActColors[k]));
  }

  // The modes' numbers in the strip where there is room for them.
  if (!frame.strip.isEmpty()) {
    const TimelineSteps steps =
        StepsInRange(model->Series(series::kMode), plot.xMin, plot.xMax, plot.ColumnWidth());
    const QFontMetrics fm(font);
    const QRect faultsArea = frame.strip;
    std::vector<QRect> faults;
    for (const FaultMark& m : ChartRenderer::FaultMarks(frame, font, *model)) faults.push_back(m.box);
    painter.setPen(Qt::black);
    for (std::size_t k = 0; k < steps.steps.size(); ++k) {
      const double x0 = plot.XToPixel(steps.steps[k].x);
      const double x1 = plot.XToPixel(k + 1 < steps.steps.size() ? steps.steps[k + 1].x : steps.end);
      const QString number = QString::number(static_cast<int>(steps.steps[k].value));
      const QRect box(static_cast<int>(std::lround(x0)), faultsArea.top(), static_cast<int>(std::lround(x1 - x0)),
                      faultsArea.height());
      if (box.width() < fm.horizontalAdvance(number) + 4) continue;
      if (std::any_of(faults.begin(), faults.end(), [&](const QRect& r) { return r.intersects(box); })) continue;
      painter.drawText(box, Qt::AlignCenter, number);
    }
  }
  painter.end();
  return picture;
}

PrintedDocument VisitActDocument(const VisitActContent& act, const VisitRun* chartRun) {
  return {kActLayout, Text(act.title), QCoreApplication::translate("TfVisitAct", "Печать акта диагностики"),
          [act, chartRun](QPainter& painter, QPagedPaintDevice& device, const QSizeF& area, double dpi) {
            DrawAct(painter, device, area, dpi, act, chartRun);
          }};
}

}  // namespace o5
