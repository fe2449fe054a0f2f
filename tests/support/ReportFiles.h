// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading back what the tool saved: the text of a PDF (pdftotext), its page
// facts (pdfinfo), the boxes of its words (pdftotext -bbox), and the fields of
// a CSV file written with ";" between them.

#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTableWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace o5::test {

// What a poppler tool printed for `path`; empty when it could not run.
inline QString PopplerOutput(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The page's text, laid out as on the page.
inline QString PdfText(const QString& path) { return PopplerOutput("pdftotext", {"-layout", path, "-"}); }
inline QString PdfInfo(const QString& path) { return PopplerOutput("pdfinfo", {path}); }

// The words of a PDF, each with its box in points, and its pages' size.
struct PdfWords {
  int pages = 0;
  double pageWidth = 0;
  std::vector<QRectF> boxes;
  // The median height of a word: about its font's size and a seventh.
  double MedianHeight() const {
    if (boxes.empty()) return 0;
    std::vector<double> heights;
    for (const QRectF& b : boxes) heights.push_back(b.height());
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    return heights[heights.size() / 2];
  }
  // The share of the page's width between the leftmost and the rightmost word.
  double Span() const {
    if (boxes.empty() || pageWidth <= 0) return 0;
    double left = pageWidth, right = 0;
    for (const QRectF& b : boxes) left = std::min(left, b.left()), right = std::max(right, b.right());
    return (right - left) / pageWidth;
  }
};

inline PdfWords PdfWordBoxes(const QString& path) {
  const QString html = PopplerOutput("pdftotext", {"-bbox", path, "-"});
  PdfWords words;
  static const QRegularExpression page(R"re(<page width="([\d.]+)")re");
  for (auto m = page.globalMatch(html); m.hasNext();) {
    words.pageWidth = m.next().captured(1).toDouble();
    ++words.pages;
  }
  static const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)")re");
  for (auto m = word.globalMatch(html); m.hasNext();) {
    const auto w = m.next();
    words.boxes.push_back(QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                 QPointF(w.captured(3).toDouble(), w.captured(4).toDouble())));
  }
  return words;
}

inline QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The rows of `grid` whose cells, in order and separated by blanks, are not
// in the PDF's text: a table row of the page reads as one line.
inline QStringList RowsMissingFromPdf(const QString& pdfText, const QTableWidget& grid) {
  const QString flat = pdfText.simplified();
  QStringList missing;
  for (int r = 0; r < grid.rowCount(); ++r) {
    QStringList row;
    for (int c = 0; c < grid.columnCount(); ++c) row << grid.item(r, c)->text();
    const QString line = row.join(' ').trimmed();
    if (!flat.contains(line)) missing << line;
  }
  return missing;
}

// The rows of a CSV text (without its byte-order mark): fields split at ";",
// quoted fields unquoted; CR LF or LF ends a row.
inline std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
      else if (c == '"') quoted = false;
      else field += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
    } else if (c == '\n') {
      rows.emplace_back(1);
    } else {
      field += c;
    }
  }
  if (rows.back().size() == 1 && rows.back().front().empty()) rows.pop_back();
  return rows;
}

}  // namespace o5::test
