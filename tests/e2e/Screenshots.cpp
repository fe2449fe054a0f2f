// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the README's pictures: the tool against the heater simulator, with
// live telemetry, the graph window and a black-box report. Run it through
// scripts/screenshots.sh, which gives it an X server of its own. With
// "--evidence" after the folder it also leaves there what the windows keep of
// a visit (menus, the report as PDF and CSV, a record log charted again).

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QMenu>
#include <QTimer>

#include <cstdio>

#include "app/ToolTranslation.h"
#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/Translation.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/support/Simulator.h"
#include "ui/UserDialogs.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/graph/TfRunSummary.h"
#include "ui/modes/TfrmModes.h"

using namespace o5;

namespace {

void Save(QWidget* w, const QString& path) {
  QApplication::processEvents();
  // The whole window, frame included when a window manager draws one.
  QPixmap shot = w->screen()->grabWindow(w->winId());
  if (shot.isNull() || shot.width() < 10) shot = w->grab();
  shot.save(path);
  std::printf("%s\n", qPrintable(path));
}

void Serve(int ms) {
  QTest::qWait(ms);
}

// The graph window as a technician reads it: colours told apart, cursors A
// and B, the strip of modes with a fault's mark, and the values under the
// mouse.
void ReadTheGraph() {
  fGraph->aDistinctColors->trigger();
  ChartWidget* chart = fGraph->Charts;
  chart->SetCursor(Cursor::kA, 20);
  chart->SetCursor(Cursor::kB, 60);
  Serve(300);
  const PlotMapping p = chart->Frame().plot;
  const QPointF at(p.XToPixel(45), p.top + p.height / 3);
  QMouseEvent move(QEvent::MouseMove, at, chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(chart, &move);
  Serve(300);
}

// "Итоги пуска" of the run on the chart; then a second run, and the list of
// both that the record log opened again shows.
void SumUpAndListRuns(test::Simulator& sim, const QString& out, const QString& work) {
  fGraph->aRunSummary->trigger();
  fGraph->fRunSummary->resize(460, 560);
  fGraph->fRunSummary->move(fGraph->geometry().topRight() - QPoint(480, -60));
  Serve(600);
  Save(fGraph->fRunSummary, out + "/graph-summary.png");
  fGraph->fRunSummary->hide();
  sim.Command("fault off");
  Serve(1500);
  fMain->bStartClick(fMain->bStart);
  Serve(4000);
  const QString log = work + "/runs.txt";
  QFile file(log);
  file.open(QIODevice::WriteOnly);
  file.write((fMain->MR->toPlainText().replace("\n", "\r\n") + "\r\n").toUtf8());
  file.close();
  QTimer::singleShot(700, [out] {
    if (QWidget* list = QApplication::activeModalWidget()) {
      Save(list, out + "/graph-runs.png");
      list->close();
    }
  });
  fGraph->OpenRecordLog(log);
}

// The whole screen: a popup menu or a message box over its window.
void SaveScreen(const QString& path) {
  QApplication::processEvents();
  QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  std::printf("%s\n", qPrintable(path));
}

void SaveMenu(QMenu* menu, QWidget* over, const QString& path) {
  menu->popup(over->mapToGlobal(over->rect().center()));
  Serve(300);
  SaveScreen(path);
  menu->hide();
}

// Runs `open`, which shows a modal dialog; the dialog is pictured and closed.
template <typename Open>
void SaveDialog(Open open, const QString& path) {
  QTimer::singleShot(700, [path] {
    SaveScreen(path);
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  open();
}

// What the technician keeps of a visit: the black-box window's and the graph
// window's menus, the report as PDF and CSV (also of an erased memory, whose
// values are the widest), and a saved record log charted again.
void SaveEvidence(const QString& out) {
  QDir::setCurrent(out);
  TranslateToolkitDialogs(QLocale(QLocale::Russian, QLocale::Russia));
  SetFileDialog([out](FileDialogRequest& request) {
    std::printf("dialog \"%s\" at %s [%s]\n", qPrintable(request.caption), qPrintable(request.path),
                qPrintable(request.filter));
    return request.save ? out + "/" + QFileInfo(request.path).fileName() : QString();
  });
  // Two runs, each followed by idle cycles.
  for (int run = 0; run < 2; ++run) {
    fMain->bStartClick(fMain->bStart);
    Serve(8000);
    fMain->bStopClick(fMain->bStop);
    Serve(4000);
  }
  fMain->bSaveDataClick(fMain->bSaveData);

  fMain->bBlackBoxClick(fMain->bBlackBox);
  Serve(300);
  SaveMenu(fBB->pmBB, fBB, out + "/bb-menu.png");
  fBB->aSaveReportExecute();  // PDF, the first filter
  SetFileDialog([out](FileDialogRequest& request) {
    request.selectedFilter = request.filter.split(";;").back();
    return out + "/report.csv";
  });
  fBB->aSaveReportExecute();

  QByteArray erased(256, char(0xFF));
  erased[3] = char(0x55);
  erased[4] = char(0x37);
  QFile image(out + "/erased.bin");
  image.open(QIODevice::WriteOnly);
  image.write(erased);
  image.close();
  fBB->OpenImage(image.fileName());
  Serve(300);
  Save(fBB, out + "/bb-erased.png");
  SetFileDialog([out](FileDialogRequest&) { return out + "/erased.pdf"; });
  fBB->aSaveReportExecute();
  SetFileDialog({});
  SaveDialog([] { fBB->aSaveReportExecute(); }, out + "/bb-save-dialog.png");
  SaveDialog([] { fBB->aPrintExecute(); }, out + "/bb-print-dialog.png");

  fMain->bGraphClick(fMain->bGraph);
  fGraph->resize(1000, 640);
  Serve(300);
  SaveMenu(fGraph->pmCharts, fGraph->Charts, out + "/graph-menu.png");
  const QStringList logs = QDir(out).entryList({"D_*.txt"}, QDir::Files, QDir::Time);
  if (!logs.isEmpty()) {
    SaveDialog([&] { fGraph->OpenRecordLog(out + "/" + logs.front()); }, out + "/graph-log-message.png");
    Serve(1500);  // idle cycles of the heater go on meanwhile
    Save(fGraph, out + "/graph-log.png");
    fGraph->aWholeRunExecute();
    Serve(300);
    Save(fGraph, out + "/graph-whole-run.png");
    fGraph->SaveData(out + "/series.csv");
  }
  SetFileDialog({});
}

}  // namespace

int main(int argc, char** argv) {
  // The desktop's language chooses the catalog, as at start-up: the README's
  // pictures are made under a Russian locale, the English ones under an
  // English one.
  const std::string language = ToolLanguage(LocaleVariablesOfEnvironment());
  TApplication app(argc, argv);
  InstallToolTranslation(CatalogDirectory(ExecutableDirectory()), language);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QTemporaryDir settings;
  SetSettingsDirectory(settings.path().toStdString());
  // The session journals and readouts of the run go with the settings.
  setenv("XDG_DATA_HOME", settings.path().toLocal8Bit().constData(), 1);
  test::Simulator sim({"--no-pacing", "--cycle", "100", "--speed", "10", "--quiet"});
  setenv("ORTAN5_EXTRA_PORTS", sim.DevicePath().c_str(), 1);
  CreateForms();
  fMain->Port->SetPort(sim.DevicePath());
  fMain->cbPort->SetText(QString::fromStdString(sim.DevicePath()));
  fMain->Port->OpenPort();
  fMain->show();
  fMain->bStartClick(fMain->bStart);
  Serve(9000);
  fMain->bVerClick(fMain->bVer);
  fMain->bModes->setChecked(true);
  Serve(300);
  Save(fMain, out + "/main-window.png");
  Save(frmModes, out + "/modes-window.png");
  const bool evidence = argc > 2 && QString::fromLocal8Bit(argv[2]) == "--evidence";
  if (evidence) {
    // Before the first readout: nothing to save or print yet.
    fBB->show();
    Serve(300);
    SaveMenu(fBB->pmBB, fBB, out + "/bb-menu-empty.png");
    fBB->hide();
  }
  fMain->bBlackBoxClick(fMain->bBlackBox);
  Serve(300);
  Save(fBB, out + "/blackbox-report.png");
  fBB->hide();
  // A fault, so that the strip has a mark: the heater stops and cools down.
  sim.Command("fault 13");
  Serve(2500);
  // The legend marks the fault the heater reports now.
  if (evidence) Save(frmModes, out + "/modes-fault.png");
  fMain->bGraphClick(fMain->bGraph);
  fGraph->resize(1000, 640);
  Serve(500);
  ReadTheGraph();
  Save(fGraph, out + "/graph-window.png");
  fGraph->SavePicture(out + "/graph-picture.png");
  SumUpAndListRuns(sim, out, settings.path());
  if (evidence) SaveEvidence(out);
  fMain->Port->ClosePort();
  DestroyForms();
  return 0;
}
