// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/blackbox/BlackBoxPrint.h"

#include <QBuffer>
#include <QCoreApplication>
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

constexpr double kMarginMm = 10;
const QPageLayout kPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                              QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
// Font sizes and spacing in points, before any shrinking to fit. Nothing is
// smaller than 8 pt: the page is read at the bench, often as a copy of a
// copy. A report with its explanation and what changed since the earlier
// readout fits at these sizes; only an unusually long one is shrunk, and its
// footer, at that floor already, is not.
constexpr double kTitlePt = 14;
constexpr double kSourcePt = 9;
constexpr double kLabelPt = 9;
constexpr double kTablePt = 9;
constexpr double kCellPaddingPt = 1.5;
constexpr double kColumnGapPt = 20;
constexpr double kSectionGapPt = 6;
constexpr double kLineSpacing = 1.1;
constexpr double kFooterPt = 8;
constexpr double kFloorPt = 8;
// The explanation's entries and the changed labels run down as many columns,
// each as wide as its widest entry, as fit the page's width.
constexpr int kMaxExplanationColumns = 5;
constexpr int kMaxChangeColumns = 2;
// The workshop's fields in one row, each a caption and a line to write on,
// with room above the line for handwriting.
constexpr int kWorkshopColumns = 3;
constexpr double kWorkshopLineSpacing = 2.2;
// How closely the zoom of a page too full for its sizes is sought.
constexpr int kZoomSteps = 8;
const QColor kFixedRowColour(224, 224, 224);
const QColor kLineColour(96, 96, 96);
// Behind the cells of a fault record written since the earlier readout.
const QColor kNewRecordColour(255, 236, 139);

// Reasons of the file error of a print to a file.
constexpr const char* kPrintNotStarted = QT_TRANSLATE_NOOP("BlackBoxPrint", "печать в файл не началась");
constexpr const char* kPrintNotFinished =
    QT_TRANSLATE_NOOP("BlackBoxPrint", "печать в файл не завершилась, файл не записан целиком");
// A one-page report takes some ten kilobytes; the limit only guards the memory.
constexpr size_t kMaxPrintedFileBytes = 64u << 20;

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Entries run down columns, then across: as many columns as fit `width`,
// each as wide as its widest entry.
struct Columns {
  int rows = 0;
  std::vector<double> x;  // of each column
  std::vector<double> widths;
  double width = 0;
};

Columns FlowIntoColumns(const std::vector<std::string>& entries, const QFontMetricsF& font, double width, double gap,
                        int maxColumns) {
  const int count = static_cast<int>(entries.size());
  Columns best;
  for (int columns = 1; columns <= std::max(1, std::min(maxColumns, count)); ++columns) {
    Columns c;
    c.rows = (count + columns - 1) / columns;
    double x = 0;
    for (int first = 0; first < count; first += c.rows) {
      double widest = 0;
      for (int i = first; i < std::min(count, first + c.rows); ++i)
        widest = std::max(widest, font.horizontalAdvance(Text(entries[static_cast<size_t>(i)])));
      c.x.push_back(x);
      c.widths.push_back(widest);
      x += widest + gap;
    }
    c.width = count == 0 ? 0 : x - gap;
    // One column always; more only while they fit.
    if (columns > 1 && c.width > width) break;
    best = std::move(c);
  }
  return best;
}

// Every position of the page, in device pixels, for one zoom factor.
struct Layout {
  QFont title, source, label, table, tableBold, footer;
  double titleHeight = 0, sourceWidth = 0, labelLine = 0, textLine = 0;
  double labelsTop = 0, rightColumnX = 0, labelsHeight = 0;
  double tableTop = 0, titleColumnWidth = 0, recordColumnWidth = 0, rowHeight = 0, padding = 0;
  double explanationTop = 0;
  Columns explanation;
  double changesTop = 0;
  Columns changes;  // the changed labels, below the summary
  double workshopTop = 0, workshopLine = 0, workshopFieldWidth = 0, workshopPitch = 0, footerHeight = 0;
  double width = 0, height = 0;
};

// What changed, below its heading: the summary on a line of its own, the
// changed labels in columns, the new records on a line of their own.
struct ChangeLines {
  std::string summary;
  std::vector<std::string> labels;
  std::string newRecords;
};

ChangeLines SplitChanges(const BlackBoxPage& page) {
  ChangeLines lines;
  if (page.changes.empty()) return lines;
  lines.summary = page.changes.front();
  lines.labels.assign(page.changes.begin() + 1, page.changes.end());
  if (!page.newRecords.empty() && !lines.labels.empty()) {
    lines.newRecords = lines.labels.back();
    lines.labels.pop_back();
  }
  return lines;
}

Layout MakeLayout(const BlackBoxPage& page, QPaintDevice* device, double dpi, double zoom, double available) {
  const double px = dpi / 72.0 * zoom;  // device pixels per point
  const double gap = kColumnGapPt * px, sectionGap = kSectionGapPt * px;
  Layout l;
  l.title = PageFont(kTitlePt * zoom, true);
  l.source = PageFont(kSourcePt * zoom, false);
  l.label = PageFont(kLabelPt * zoom, true);
  l.table = PageFont(kTablePt * zoom, false);
  l.tableBold = PageFont(kTablePt * zoom, true);
  l.footer = PageFont(std::max(kFooterPt * zoom, kFloorPt), false);
  const QFontMetricsF title(l.title, device), label(l.label, device), table(l.table, device),
      tableBold(l.tableBold, device), footer(l.footer, device);

  // The title, and the source in the rest of its row.
  l.titleHeight = title.height();
  const double titleWidth = title.horizontalAdvance(Text(page.title));
  l.sourceWidth = std::max(0.0, available - titleWidth - gap);
  l.labelLine = label.height() * kLineSpacing;
  l.textLine = table.height() * kLineSpacing;
  l.labelsTop = l.titleHeight + sectionGap;

  // The right column of labels starts halfway across, or further when the
  // left one is wider.
  double leftWidth = 0, rightWidth = 0;
  for (const std::string& s : page.leftLabels) leftWidth = std::max(leftWidth, label.horizontalAdvance(Text(s)));
  for (const std::string& s : page.rightLabels) rightWidth = std::max(rightWidth, label.horizontalAdvance(Text(s)));
  l.rightColumnX = std::max(leftWidth + gap, available / 2);
  if (l.rightColumnX + rightWidth > available) l.rightColumnX = leftWidth + gap;
  l.labelsHeight = l.labelLine * static_cast<double>(std::max(page.leftLabels.size(), page.rightLabels.size()));

  // The table spans the width: the record columns share what the titles
  // leave.
  l.padding = kCellPaddingPt * px;
  double titles = 0, cells = 0;
  for (int row = 0; row < BlackBoxReport::kRows; ++row) {
    titles = std::max(titles, table.horizontalAdvance(Text(page.cells[row][0])));
    for (int column = 1; column < BlackBoxReport::kColumns; ++column)
      cells = std::max(cells, (row == 0 ? tableBold : table).horizontalAdvance(Text(page.cells[row][column])));
  }
  l.titleColumnWidth = titles + 4 * l.padding;
  const double records = BlackBoxReport::kColumns - 1;
  l.recordColumnWidth = std::max(cells + 2 * l.padding, (available - l.titleColumnWidth) / records);
  l.rowHeight = table.height() + 2 * l.padding;
  l.tableTop = l.labelsTop + l.labelsHeight + sectionGap;
  const double tableWidth = l.titleColumnWidth + records * l.recordColumnWidth;

  // Below the table: the explanation under its heading.
  l.explanationTop = l.tableTop + BlackBoxReport::kRows * l.rowHeight + sectionGap;
  l.explanation = FlowIntoColumns(page.explanation, table, tableWidth, gap, kMaxExplanationColumns);
  const double explanationHeight = page.explanation.empty() ? 0 : l.labelLine + l.explanation.rows * l.textLine;

  // Then what changed since the earlier readout.
  l.changesTop = l.explanationTop + explanationHeight;
  const ChangeLines changes = SplitChanges(page);
  l.changes = FlowIntoColumns(changes.labels, table, tableWidth, gap, kMaxChangeColumns);
  double changesHeight = 0, widestChange = 0;
  if (!page.changes.empty()) {
    if (!page.explanation.empty()) l.changesTop += sectionGap;
    changesHeight = l.labelLine + (1 + l.changes.rows + (changes.newRecords.empty() ? 0 : 1)) * l.textLine;
    widestChange = std::max({label.horizontalAdvance(Text(page.changesHeading)),
                             table.horizontalAdvance(Text(changes.summary)), l.changes.width,
                             table.horizontalAdvance(Text(changes.newRecords))});
  }

  l.workshopTop = l.changesTop + changesHeight + sectionGap;
  l.workshopLine = label.height() * kWorkshopLineSpacing;
  l.workshopFieldWidth = (tableWidth - (kWorkshopColumns - 1) * gap) / kWorkshopColumns;
  l.workshopPitch = l.workshopFieldWidth + gap;
  const int workshopRows = (static_cast<int>(BlackBoxPage::kWorkshopFields.size()) + kWorkshopColumns - 1) /
                           kWorkshopColumns;
  l.footerHeight = footer.height();

  // The source is left out: it names a file, which can be of any length, and
  // is shortened to its room instead of shrinking the page.
  l.width = std::max({titleWidth, l.rightColumnX + rightWidth, tableWidth, l.explanation.width, widestChange,
                      footer.horizontalAdvance(Text(page.footer))});
  l.height = l.workshopTop + workshopRows * l.workshopLine + sectionGap + l.footerHeight;
  return l;
}

PrintDialogFunction& CurrentPrintDialog() {
  static PrintDialogFunction dialog;
  return dialog;
}

bool RealPrintDialog(QPrinter& printer, QWidget* parent, const QString& title) {
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(title);
  return dialog.exec() == QDialog::Accepted;
}

// Entries laid out by FlowIntoColumns from `top`, one text line each.
void DrawColumns(QPainter& painter, const Layout& l, const Columns& columns, double top,
                 const std::vector<std::string>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto column = static_cast<size_t>(static_cast<int>(i) / columns.rows);
    const int row = static_cast<int>(i) % columns.rows;
    const QRectF cell(columns.x[column], top + row * l.textLine, columns.widths[column] + l.padding, l.textLine);
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, Text(entries[i]));
  }
}

// The explanation of the codes and modes, what changed, the workshop's fields
// and the footer.
void DrawBelowTheTable(QPainter& painter, const Layout& l, const QSizeF& area, double dpi,
                       const BlackBoxPage& page) {
  auto line = [&](const QFont& font, double top, double height, const std::string& text) {
    painter.setFont(font);
    painter.drawText(QRectF(0, top, area.width(), height), Qt::AlignLeft | Qt::AlignVCenter, Text(text));
  };
  if (!page.explanation.empty()) {
    line(l.label, l.explanationTop, l.labelLine, Translate("BlackBoxExport", kExplanationHeading.data()));
    painter.setFont(l.table);
    DrawColumns(painter, l, l.explanation, l.explanationTop + l.labelLine, page.explanation);
  }

  if (!page.changes.empty()) {
    const ChangeLines changes = SplitChanges(page);
    double top = l.changesTop;
    line(l.label, top, l.labelLine, page.changesHeading);
    top += l.labelLine;
    line(l.table, top, l.textLine, changes.summary);
    top += l.textLine;
    DrawColumns(painter, l, l.changes, top, changes.labels);
    top += l.changes.rows * l.textLine;
    if (!changes.newRecords.empty()) line(l.table, top, l.textLine, changes.newRecords);
  }

  painter.setFont(l.label);
  QPen writeOn(Qt::black);
  writeOn.setWidthF(0.5 * dpi / 72.0);
  for (size_t i = 0; i < BlackBoxPage::kWorkshopFields.size(); ++i) {
    const int column = static_cast<int>(i) % kWorkshopColumns;
    const int row = static_cast<int>(i) / kWorkshopColumns;
    const double x = column * l.workshopPitch;
    const double baseline = l.workshopTop + (row + 1) * l.workshopLine;
    const QString caption = Text(Translate("BlackBoxExport", BlackBoxPage::kWorkshopFields[i]) + ":");
    const QRectF box(x, baseline - l.labelLine, l.workshopFieldWidth, l.labelLine);
    QRectF used;
    painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom, caption, &used);
    painter.save();
    painter.setPen(writeOn);
    painter.drawLine(QPointF(used.right() + l.padding, baseline), QPointF(x + l.workshopFieldWidth, baseline));
    painter.restore();
  }

  line(l.footer, area.height() - l.footerHeight, l.footerHeight, page.footer);
}

void DrawOnPrinter(QPainter& painter, QPrinter& printer, const PrintedDocument& document) {
  const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
  document.draw(painter, printer, area.size(), printer.resolution());
}

PrintedDocument BlackBoxDocument(const BlackBoxPage& page) {
  return {kPageLayout, Text(page.title),
          QCoreApplication::translate("BlackBoxPrint", "Печать отчета о черном ящике"),
          [page](QPainter& painter, QPagedPaintDevice&, const QSizeF& area, double dpi) {
            DrawBlackBoxPage(painter, area, dpi, page);
          }};
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
void PrintToFile(QPrinter& printer, const PrintedDocument& document, const QString& target) {
  const std::string name = target.toStdString();
  QTemporaryDir scratch;
  if (!scratch.isValid())
    ThrowSaveError(name, QCoreApplication::translate("BlackBoxPrint", kPrintNotStarted).toStdString());
  const QString file = scratch.filePath("page.pdf");
  printer.setOutputFileName(file);
  QPainter painter;
  if (!painter.begin(&printer))
    ThrowSaveError(name, QCoreApplication::translate("BlackBoxPrint", kPrintNotStarted).toStdString());
  DrawOnPrinter(painter, printer, document);
  // The end of a print to a file reports no failed write: the file itself
  // is checked.
  if (!painter.end())
    ThrowSaveError(name, QCoreApplication::translate("BlackBoxPrint", kPrintNotFinished).toStdString());
  std::string pdf;
  try {
    pdf = LoadUserFile(file.toStdString(), kMaxPrintedFileBytes);
  } catch (const FileError&) {
    ThrowSaveError(name, QCoreApplication::translate("BlackBoxPrint", kPrintNotFinished).toStdString());
  }
  if (!WholePdf(pdf))
    ThrowSaveError(name, QCoreApplication::translate("BlackBoxPrint", kPrintNotFinished).toStdString());
  SaveUserFile(name, pdf);
}

}  // namespace

QFont PageFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void DrawBlackBoxPage(QPainter& painter, const QSizeF& area, double dpi, const BlackBoxPage& page) {
  QPaintDevice* device = painter.device();
  auto fits = [&](const Layout& layout) { return layout.width <= area.width() && layout.height <= area.height(); };
  Layout l = MakeLayout(page, device, dpi, 1.0, area.width());
  if (!fits(l)) {
    // The largest zoom that fits: smaller text may flow into more columns,
    // and fonts do not scale exactly with their size, so the page does not
    // shrink in proportion.
    double small = 0.98 * std::min(area.width() / l.width, area.height() / l.height), large = 1.0;
    while (!fits(MakeLayout(page, device, dpi, small, area.width()))) small *= 0.95;
    for (int step = 0; step < kZoomSteps; ++step) {
      const double middle = (small + large) / 2;
      (fits(MakeLayout(page, device, dpi, middle, area.width())) ? small : large) = middle;
    }
    l = MakeLayout(page, device, dpi, small, area.width());
  }
  painter.save();
  painter.setPen(Qt::black);

  painter.setFont(l.title);
  painter.drawText(QRectF(0, 0, area.width(), l.titleHeight), Qt::AlignLeft | Qt::AlignVCenter, Text(page.title));
  painter.setFont(l.source);
  const QString source = QFontMetricsF(l.source, device).elidedText(Text(page.source), Qt::ElideMiddle, l.sourceWidth);
  painter.drawText(QRectF(area.width() - l.sourceWidth, 0, l.sourceWidth, l.titleHeight),
                   Qt::AlignRight | Qt::AlignVCenter, source);

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
      const double inset = (column == 0 ? 2 : 1) * l.padding;
      const QRectF cell(x + inset, top, width - 2 * inset, l.rowHeight);
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

QByteArray DocumentPdf(const PrintedDocument& document) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(document.layout);
    writer.setTitle(document.title);
    writer.setCreator(QCoreApplication::translate("BlackBoxPrint", "Ортан5 Диагностика"));
    QPainter painter(&writer);
    document.draw(painter, writer, document.layout.paintRectPixels(writer.resolution()).size(), writer.resolution());
  }
  return bytes;
}

QByteArray BlackBoxPdf(const BlackBoxPage& page) { return DocumentPdf(BlackBoxDocument(page)); }

PrintDialogFunction SetPrintDialog(PrintDialogFunction dialog) {
  PrintDialogFunction old = std::move(CurrentPrintDialog());
  CurrentPrintDialog() = std::move(dialog);
  return old;
}

void PrintBlackBoxPage(const BlackBoxPage& page, const QString& documentName, QWidget* parent) {
  PrintDocument(BlackBoxDocument(page), documentName, parent);
}

void PrintDocument(const PrintedDocument& document, const QString& documentName, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(document.layout);
  printer.setDocName(documentName);
  const PrintDialogFunction& dialog = CurrentPrintDialog();
  if (!(dialog ? dialog(printer, parent) : RealPrintDialog(printer, parent, document.dialogTitle))) return;
  if (const QString target = printer.outputFileName(); !target.isEmpty()) {
    PrintToFile(printer, document, target);
    return;
  }
  QPainter painter;
  if (!painter.begin(&printer))
    //: %1 is the printer's name.
    throw std::runtime_error(QCoreApplication::translate("BlackBoxPrint", "Не удалось начать печать на \"%1\"")
                                 .arg(printer.printerName())
                                 .toStdString());
  DrawOnPrinter(painter, printer, document);
  painter.end();
}

}  // namespace o5
