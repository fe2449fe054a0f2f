// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Forms.h"

#include <QAction>
#include <QPlainTextEdit>

#include <filesystem>

#include "archive/ArchiveNames.h"

#include "app/TfMain.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/history/TfHistory.h"
#include "ui/visit/VisitActDialog.h"
#include "ui/modes/TfrmModes.h"

namespace o5 {

TfMain* fMain = nullptr;
TfrmModes* frmModes = nullptr;
TfGraph* fGraph = nullptr;
TfBB* fBB = nullptr;
TfHistory* fHistory = nullptr;

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
  // The session's timeline tells the runs of the graph window's model.
  fGraph->SetRunDecided([](CycleKind kind, const SessionRuns& runs) { fMain->RunDecided(kind, runs); });
  // A readout names the session's journal with the heater's serial.
  fGraph->SetHeaterSerialSource([]() -> std::optional<uint32_t> {
    const auto name = ParseJournalFileName(std::filesystem::path(fMain->JournalPath()).filename().string());
    return name ? name->serial : std::nullopt;
  });
  // "Последний пуск" of the graph window charts what the record log holds now.
  fGraph->SetRecordLogSource([] { return fMain->MR->toPlainText().toStdString(); });
  // A complete readout names the session's journal and goes to the archive.
  fBB->SetReadoutKeeper([](const BlackBoxBytes& image, const QDateTime& when) { fMain->KeepReadout(image, when); });
  QObject::connect(fBB->aHistory, &QAction::triggered, fBB, [] { ShowHistory(); });
  QObject::connect(fBB->aVisitAct, &QAction::triggered, fBB,
                   [] { ShowVisitAct(VisitOfReport(*fBB, fMain->JournalPath()), fBB); });
  // Closing the main window ends the program, whatever else is open.
  for (QWidget* w : std::initializer_list<QWidget*>{frmModes, fGraph, fBB})
    w->setAttribute(Qt::WA_QuitOnClose, false);
}

void DestroyForms() {
  delete fHistory;
  fHistory = nullptr;
  delete fBB;
  fBB = nullptr;
  delete fGraph;
  fGraph = nullptr;
  delete frmModes;
  frmModes = nullptr;
  delete fMain;
  fMain = nullptr;
}

void ShowHistory() {
  if (!fHistory) {
    fHistory = new TfHistory([](const QString& path) { fBB->OpenImage(path); },
                             [](const QString& path) {
                               fGraph->OpenRecordLog(path);
                               fGraph->show();
                               fGraph->raise();
                               fGraph->activateWindow();
                             });
    fHistory->SetVisitActOpener(
        [](uint32_t serial) { ShowVisitAct(VisitOfHeater(serial, fMain->JournalPath()), fHistory); });
  }
  fHistory->Open();
}

}  // namespace o5
