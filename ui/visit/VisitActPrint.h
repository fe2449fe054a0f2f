// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The act of a visit on paper: A4 portrait, drawn by the same code for the
// PDF file and for the printer (the black-box report's document path). Text
// never shrinks to fit: a visit of up to three runs takes one page, more runs
// go on to the next. The chart of the chosen run keeps to what reads in grey
// too: each series has its own marker shape, the strip of modes carries the
// modes' numbers and the fault marks their codes.

#include <QByteArray>
#include <QImage>

#include "archive/VisitAct.h"
#include "ui/blackbox/BlackBoxPrint.h"

namespace o5 {

// The chart of `run` as a picture `widthMm` by `heightMm` at `dpi`.
QImage VisitActChart(const VisitRun& run, double widthMm, double heightMm, double dpi);

// The act as a document; `chartRun` is the run whose chart goes on the page
// (none: no chart).
PrintedDocument VisitActDocument(const VisitActContent& act, const VisitRun* chartRun);

inline QByteArray VisitActPdf(const VisitActContent& act, const VisitRun* chartRun) {
  return DocumentPdf(VisitActDocument(act, chartRun));
}

}  // namespace o5
