#include "app/Forms.h"

#include <QPlainTextEdit>

#include "app/TfMain.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5 {

TfMain* fMain = nullptr;
TfrmModes* frmModes = nullptr;
TfGraph* fGraph = nullptr;
TfBB* fBB = nullptr;

void CreateForms() {
  try {
    fMain = new TfMain;
    frmModes = new TfrmModes;
    fGraph = new TfGraph;
    fBB = new TfBB;
  } catch (...) {
    DestroyForms();
    throw;
  }
  // "Последний пуск" of the graph window charts what the record log holds now.
  fGraph->SetRecordLogSource([] { return fMain->MR->toPlainText().toStdString(); });
  // Closing the main window ends the program, whatever else is open.
  for (QWidget* w : std::initializer_list<QWidget*>{frmModes, fGraph, fBB})
    w->setAttribute(Qt::WA_QuitOnClose, false);
}

void DestroyForms() {
  delete fBB;
  fBB = nullptr;
  delete fGraph;
  fGraph = nullptr;
  delete frmModes;
  frmModes = nullptr;
  delete fMain;
  fMain = nullptr;
}

}  // namespace o5
