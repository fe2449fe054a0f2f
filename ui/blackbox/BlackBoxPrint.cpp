#include "ui/blackbox/BlackBoxPrint.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "settings/UserFile.h"

namespace o5 {

namespace {

constexpr double kMarginMm = 12;
const QPageLayout kPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                              QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
// Font sizes and spacing in points, before any shrinking to fit.
constexpr double kTitlePt = 16;
constexpr double kSourcePt = 10;
constexpr double kLabelPt = 9.5;
constexpr double kTablePt = 9;
constexpr double kCellPaddingPt = 3;
constexpr double kColumnGapPt = 28;
constexpr double kSectionGapPt = 12;
constexpr double kLineSpacing = 1.2;
constexpr double kFooterPt = 8;
// The explanation's entries run down as many columns as fit the table's width.
constexpr int kMaxExplanationColumns = 3;
// The workshop's fields, two to a row, each a caption and a line to write on,
// with room above the line for handwriting.
constexpr int kWorkshopColumns = 2;
constexpr double kWorkshopLineSpacing = 2.4;
// Record columns stretch over the page's width up to this share above their
// text's width, so that a page of short numbers does not look squeezed.
constexpr double kMaxRecordStretch = 1.8;
const QColor kFixedRowColour(224, 224, 224);
const QColor kLineColour(96, 96, 96);
// Behind the cells of a fault record written since the earlier readout.
const QColor kNewRecordColour(255, 236, 139);

// Reasons of the file error of a print to a file.
constexpr const char* kPrintNotStarted = "печать в файл не началась";
constexpr const char* kPrintNotFinished = "печать в файл не завершилась, файл не записан целиком";
// A one-page report takes some ten kilobytes; the limit only guards the memory.
constexpr size_t kMaxPrintedFileBytes = 64u << 20;

QFont PageFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Every position of the page, in device pixels, for one zoom factor.
struct Layout {
  QFont title, source, label, table, tableBold, footer;
  double titleHeight = 0, sourceHeight = 0, labelLine = 0;
  double labelsTop = 0, rightColumnX = 0, labelsHeight = 0;
  double tableTop = 0, titleColumnWidth = 0, recordColumnWidth = 0, rowHeight = 0, padding = 0;
  double explanationTop = 0, explanationLine = 0, explanationColumnWidth = 0, explanationPitch = 0;
  int explanationColumns = 1, explanationRows = 0;
  double changesTop = 0;
  double workshopTop = 0, workshopLine = 0, workshopFieldWidth = 0, workshopPitch = 0, footerHeight = 0;
  double width = 0, height = 0;
};

Layout MakeLayout(const BlackBoxPage& page, QPaintDevice* device, double dpi, double zoom,
                  double availableWidth) {
  const double px = dpi / 72.0 * zoom;  // device pixels per point
  Layout l;
  l.title = PageFont(kTitlePt * zoom, true);
  l.source = PageFont(kSourcePt * zoom, false);
  l.label = PageFont(kLabelPt * zoom, true);
  l.table = PageFont(kTablePt * zoom, false);
  l.tableBold = PageFont(kTablePt * zoom, true);
  l.footer = PageFont(kFooterPt * zoom, false);
  const QFontMetricsF title(l.title, device), source(l.source, device), label(l.label, device),
      table(l.table, device), tableBold(l.tableBold, device), footer(l.footer, device);

  l.titleHeight = title.height();
  l.sourceHeight = source.height();
  l.labelLine = label.height() * kLineSpacing;
  l.labelsTop = l.titleHeight + l.sourceHeight * kLineSpacing + kSectionGapPt * px;
  double leftWidth = 0, rightWidth = 0;
  for (const std::string& s : page.leftLabels) leftWidth = std::max(leftWidth, label.horizontalAdvance(Text(s)));
  for (const std::string& s : page.rightLabels) rightWidth = std::max(rightWidth, label.horizontalAdvance(Text(s)));
  l.rightColumnX = leftWidth + kColumnGapPt * px;
  l.labelsHeight = l.labelLine * static_cast<double>(std::max(page.leftLabels.size(), page.rightLabels.size()));

  l.padding = kCellPaddingPt * px;
  double titles = 0, cells = 0;
  for (int row = 0; row < BlackBoxReport::kRows; ++row) {
    titles = std::max(titles, table.horizontalAdvance(Text(page.cells[row][0])));
    for (int column = 1; column < BlackBoxReport::kColumns; ++column)
      cells = std::max(cells, (row == 0 ? tableBold : table).horizontalAdvance(Text(page.cells[row][column])));
  }
  l.titleColumnWidth = titles + 2 * l.padding;
  l.recordColumnWidth = cells + 2 * l.padding;
  const double records = BlackBoxReport::kColumns - 1;
  const double stretched = (availableWidth - l.titleColumnWidth) / records;
  l.recordColumnWidth = std::clamp(stretched, l.recordColumnWidth, l.recordColumnWidth * kMaxRecordStretch);
  l.rowHeight = table.height() + 2 * l.padding;
  l.tableTop = l.labelsTop + l.labelsHeight + kSectionGapPt * px;

  const double tableWidth = l.titleColumnWidth + records * l.recordColumnWidth;

  // Below the table: the explanation under its heading, in as many columns
  // as its widest entry allows.
  const double columnGap = kColumnGapPt * px;
  l.explanationTop = l.tableTop + BlackBoxReport::kRows * l.rowHeight + kSectionGapPt * px;
  l.explanationLine = table.height() * kLineSpacing;
  double widestEntry = 0;
  for (const std::string& s : page.explanation) widestEntry = std::max(widestEntry, table.horizontalAdvance(Text(s)));
  l.explanationColumns = kMaxExplanationColumns;
  while (l.explanationColumns > 1 &&
         widestEntry > (tableWidth - (l.explanationColumns - 1) * columnGap) / l.explanationColumns)
    --l.explanationColumns;
  l.explanationColumnWidth = std::max(widestEntry, (tableWidth - (l.explanationColumns - 1) * columnGap) /
                                                       l.explanationColumns);
  l.explanationPitch = l.explanationColumnWidth + columnGap;
  const int entries = static_cast<int>(page.explanation.size());
  l.explanationRows = (entries + l.explanationColumns - 1) / l.explanationColumns;
  const double explanationHeight = entries == 0 ? 0 : l.labelLine + l.explanationRows * l.explanationLine;

  // Then what changed since the earlier readout, one entry a line.
  l.changesTop = l.explanationTop + explanationHeight;
  double changesHeight = 0, widestChange = 0;
  if (!page.changes.empty()) {
    if (entries > 0) l.changesTop += kSectionGapPt * px;
    changesHeight = l.labelLine + static_cast<double>(page.changes.size()) * l.explanationLine;
    widestChange = label.horizontalAdvance(Text(page.changesHeading));
    for (const std::string& s : page.changes) widestChange = std::max(widestChange, table.horizontalAdvance(Text(s)));
  }

  l.workshopTop = l.changesTop + changesHeight + kSectionGapPt * px;
  l.workshopLine = label.height() * kWorkshopLineSpacing;
  l.workshopFieldWidth = (tableWidth - (kWorkshopColumns - 1) * columnGap) / kWorkshopColumns;
  l.workshopPitch = l.workshopFieldWidth + columnGap;
  const int workshopRows = (static_cast<int>(BlackBoxPage::kWorkshopFields.size()) + kWorkshopColumns - 1) /
                           kWorkshopColumns;
  l.footerHeight = footer.height();

  // The source line is left out: it names a file, which can be of any length,
  // and is shortened to the page's width instead of shrinking the page.
  l.width = std::max({title.horizontalAdvance(Text(page.title)), l.rightColumnX + rightWidth, tableWidth,
                      l.explanationColumns * l.explanationColumnWidth + (l.explanationColumns - 1) * columnGap,
                      widestChange, footer.horizontalAdvance(Text(page.footer))});
  l.height = l.workshopTop + workshopRows * l.workshopLine + kSectionGapPt * px + l.footerHeight;
  return l;
}

PrintDialogFunction& CurrentPrintDialog() {
  static PrintDialogFunction dialog;
  return dialog;
}

bool RealPrintDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle("Печать отчета о черном ящике");
  return dialog.exec() == QDialog::Accepted;
}

// The explanation of the codes and modes, what changed, the workshop's fields
// and the footer.
void DrawBelowTheTable(QPainter& painter, const Layout& l, const QSizeF& area, double dpi,
                       const BlackBoxPage& page) {
  if (!page.explanation.empty()) {
    painter.setFont(l.label);
    painter.drawText(QRectF(0, l.explanationTop, area.width(), l.labelLine), Qt::AlignLeft | Qt::AlignVCenter,
                     Text(std::string(kExplanationHeading)));
    painter.setFont(l.table);
    const double top = l.explanationTop + l.labelLine;
    for (size_t i = 0; i < page.explanation.size(); ++i) {
      // Down the first column, then the next.
      const int column = static_cast<int>(i) / l.explanationRows;
      const int row = static_cast<int>(i) % l.explanationRows;
      const QRectF cell(column * l.explanationPitch, top + row * l.explanationLine, l.explanationColumnWidth,
                        l.explanationLine);
      painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, Text(page.explanation[i]));
    }
  }

  if (!page.changes.empty()) {
    painter.setFont(l.label);
    painter.drawText(QRectF(0, l.changesTop, area.width(), l.labelLine), Qt::AlignLeft | Qt::AlignVCenter,
                     Text(page.changesHeading));
    painter.setFont(l.table);
    double top = l.changesTop + l.labelLine;
    for (const std::string& s : page.changes) {
      painter.drawText(QRectF(0, top, area.width(), l.explanationLine), Qt::AlignLeft | Qt::AlignVCenter, Text(s));
      top += l.explanationLine;
    }
  }

  painter.setFont(l.label);
  QPen writeOn(Qt::black);
  writeOn.setWidthF(0.5 * dpi / 72.0);
  for (size_t i = 0; i < BlackBoxPage::kWorkshopFields.size(); ++i) {
    const int column = static_cast<int>(i) % kWorkshopColumns;
    const int row = static_cast<int>(i) / kWorkshopColumns;
    const double x = column * l.workshopPitch;
    const double baseline = l.workshopTop + (row + 1) * l.workshopLine;
    const QString caption = Text(std::string(BlackBoxPage::kWorkshopFields[i]) + ":");
    const QRectF box(x, baseline - l.labelLine, l.workshopFieldWidth, l.labelLine);
    QRectF used;
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, caption, &used);
    painter.save();
    painter.setPen(writeOn);
    painter.drawLine(QPointF(used.right() + l.padding, baseline), QPointF(x + l.workshopFieldWidth, baseline));
    painter.restore();
  }

  painter.setFont(l.footer);
  painter.drawText(QRectF(0, area.height() - l.footerHeight, area.width(), l.footerHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, Text(page.footer));
}

void DrawOnPrinter(QPainter& painter, const QPrinter& printer, const BlackBoxPage& page) {
  const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
  DrawBlackBoxPage(painter, area.size(), printer.resolution(), page);
}

// Whether `pdf` is a whole PDF file: a write cut short (a full disk) loses
// its end marker.
bool WholePdf(std::string_view pdf) {
  constexpr std::string_view kStart = "%PDF-", kEnd = "%%EOF";
  while (!pdf.empty() && (pdf.back() == '\n' || pdf.back() == '\r' || pdf.back() == ' ')) pdf.remove_suffix(1);
  return pdf.starts_with(kStart) && pdf.ends_with(kEnd);
}

// Printed to a file, the page is not written into the chosen file directly,
// which a print failing half-way would leave destroyed: the printer writes a
// scratch file, which is checked whole and then stored as every file the user
// names is (a temporary file beside the chosen one, flushed and renamed over
// it), or the one file error says why not.
void PrintToFile(QPrinter& printer, const BlackBoxPage& page, const QString& target) {
  const std::string name = target.toStdString();
  QTemporaryDir scratch;
  if (!scratch.isValid()) ThrowSaveError(name, kPrintNotStarted);
  const QString file = scratch.filePath("page.pdf");
  printer.setOutputFileName(file);
  QPainter painter;
  if (!painter.begin(&printer)) ThrowSaveError(name, kPrintNotStarted);
  DrawOnPrinter(painter, printer, page);
  // The end of a print to a file reports no failed write: the file itself
  // is checked.
  if (!painter.end()) ThrowSaveError(name, kPrintNotFinished);
  std::string pdf;
  try {
    pdf = LoadUserFile(file.toStdString(), kMaxPrintedFileBytes);
  } catch (const FileError&) {
    ThrowSaveError(name, kPrintNotFinished);
  }
  if (!WholePdf(pdf)) ThrowSaveError(name, kPrintNotFinished);
  SaveUserFile(name, pdf);
}

}  // namespace

void DrawBlackBoxPage(QPainter& painter, const QSizeF& area, double dpi, const BlackBoxPage& page) {
  QPaintDevice* device = painter.device();
  Layout l = MakeLayout(page, device, dpi, 1.0, area.width());
  if (l.width > area.width() || l.height > area.height()) {
    // Fonts do not scale exactly with their size: shrink a little further.
    const double zoom = 0.98 * std::min(area.width() / l.width, area.height() / l.height);
    l = MakeLayout(page, device, dpi, zoom, area.width());
  }
  painter.save();
  painter.setPen(Qt::black);

  double y = 0;
  painter.setFont(l.title);
  painter.drawText(QRectF(0, y, area.width(), l.titleHeight), Qt::AlignLeft | Qt::AlignVCenter, Text(page.title));
  y += l.titleHeight;
  painter.setFont(l.source);
  const QString source =
      QFontMetricsF(l.source, device).elidedText(Text(page.source), Qt::ElideMiddle, area.width());
  painter.drawText(QRectF(0, y, area.width(), l.sourceHeight), Qt::AlignLeft | Qt::AlignVCenter, source);

  painter.setFont(l.label);
  auto labels = [&](const std::vector<std::string>& column, double x) {
    double top = l.labelsTop;
    for (const std::string& s : column) {
      painter.drawText(QRectF(x, top, area.width() - x, l.labelLine), Qt::AlignLeft | Qt::AlignVCenter, Text(s));
      top += l.labelLine;
    }
  };
  labels(page.leftLabels, 0);
  labels(page.rightLabels, l.rightColumnX);

  auto columnX = [&](int column) {
    return column == 0 ? 0.0 : l.titleColumnWidth + (column - 1) * l.recordColumnWidth;
  };
  const double tableWidth = columnX(BlackBoxReport::kColumns);
  painter.fillRect(QRectF(0, l.tableTop, tableWidth, l.rowHeight), kFixedRowColour);
  for (int record : page.newRecords)
    painter.fillRect(QRectF(columnX(record + 1), l.tableTop + l.rowHeight, l.recordColumnWidth,
                            (BlackBoxReport::kRows - 1) * l.rowHeight),
                     kNewRecordColour);
  for (int row = 0; row < BlackBoxReport::kRows; ++row) {
    const double top = l.tableTop + row * l.rowHeight;
    painter.setFont(row == 0 ? l.tableBold : l.table);
    for (int column = 0; column < BlackBoxReport::kColumns; ++column) {
      const double x = columnX(column);
      const double width = column == 0 ? l.titleColumnWidth : l.recordColumnWidth;
      const QRectF cell(x + l.padding, top, width - 2 * l.padding, l.rowHeight);
      painter.drawText(cell, (column == 0 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                       Text(page.cells[row][column]));
    }
  }
  QPen grid(kLineColour);
  grid.setWidthF(0.5 * dpi / 72.0);
  painter.setPen(grid);
  const double tableBottom = l.tableTop + BlackBoxReport::kRows * l.rowHeight;
  for (int row = 0; row <= BlackBoxReport::kRows; ++row) {
    const double yy = l.tableTop + row * l.rowHeight;
    painter.drawLine(QPointF(0, yy), QPointF(tableWidth, yy));
  }
  for (int column = 0; column <= BlackBoxReport::kColumns; ++column) {
    const double x = columnX(column);
    painter.drawLine(QPointF(x, l.tableTop), QPointF(x, tableBottom));
  }
  painter.setPen(Qt::black);
  DrawBelowTheTable(painter, l, area, dpi, page);
  painter.restore();
}

QByteArray BlackBoxPdf(const BlackBoxPage& page) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(kPageLayout);
    writer.setTitle(Text(page.title));
    writer.setCreator("Ортан5 Диагностика");
    QPainter painter(&writer);
    DrawBlackBoxPage(painter, kPageLayout.paintRectPixels(writer.resolution()).size(), writer.resolution(), page);
  }
  return bytes;
}

PrintDialogFunction SetPrintDialog(PrintDialogFunction dialog) {
  PrintDialogFunction old = std::move(CurrentPrintDialog());
  CurrentPrintDialog() = std::move(dialog);
  return old;
}

void PrintBlackBoxPage(const BlackBoxPage& page, const QString& documentName, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(kPageLayout);
  printer.setDocName(documentName);
  const PrintDialogFunction& dialog = CurrentPrintDialog();
  if (!(dialog ? dialog(printer, parent) : RealPrintDialog(printer, parent))) return;
  if (const QString target = printer.outputFileName(); !target.isEmpty()) {
    PrintToFile(printer, page, target);
    return;
  }
  QPainter painter;
  if (!painter.begin(&printer))
    throw std::runtime_error(("Не удалось начать печать на \"" + printer.printerName() + "\"").toStdString());
  DrawOnPrinter(painter, printer, page);
  painter.end();
}

}  // namespace o5
