#pragma once
// Reading back what the tool saved: the text of a PDF (pdftotext), its page
// facts (pdfinfo), and the fields of a CSV file written with ";" between them.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTableWidget>

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
