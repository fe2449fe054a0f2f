// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The black-box report on paper: one A4 landscape page, drawn by the same code
// for the PDF file and for the printer, with real text that can be searched
// and copied.

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <functional>

#include "heater/BlackBoxExport.h"

class QFont;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QSizeF;
class QWidget;

namespace o5 {

// A document on paper, drawn by the same code for the PDF file and for the
// printer. `draw` paints every page with the painter's origin at the top left
// of the printable area (`area`, in device pixels at `dpi`), and asks the
// device for a new page between pages.
struct PrintedDocument {
  QPageLayout layout;
  QString title;        // of the PDF file
  QString dialogTitle;  // of the print dialog
  std::function<void(QPainter& painter, QPagedPaintDevice& device, const QSizeF& area, double dpi)> draw;
};

// The face of every printed page's text, at `points`.
QFont PageFont(double points, bool bold);

// The document as a PDF file's bytes.
QByteArray DocumentPdf(const PrintedDocument& document);

// Draws the page with the painter's origin at the top left of the printable
// area, `area` being that area's size in device pixels at `dpi`. Everything is
// shrunk evenly when the page would not fit otherwise.
void DrawBlackBoxPage(QPainter& painter, const QSizeF& area, double dpi, const BlackBoxPage& page);

// The page as a PDF file's bytes.
QByteArray BlackBoxPdf(const BlackBoxPage& page);

// The system's print dialog: true when the user chose to print. Replaceable,
// like the file dialogs, so that tests print to a file without a modal window.
using PrintDialogFunction = std::function<bool(QPrinter& printer, QWidget* parent)>;
PrintDialogFunction SetPrintDialog(PrintDialogFunction dialog);

// Asks for the printer and prints the page on it; a printer that cannot be
// started raises an error naming it. `documentName` names the print job and,
// printed to a file, the file the dialog proposes. Printed to a file, the
// chosen file is replaced only by a whole page: a print that fails leaves it
// as it was and raises the file error (FileError) naming it.
void PrintBlackBoxPage(const BlackBoxPage& page, const QString& documentName, QWidget* parent);
// The same for any document.
void PrintDocument(const PrintedDocument& document, const QString& documentName, QWidget* parent);

}  // namespace o5
