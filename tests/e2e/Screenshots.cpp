// Makes the README's pictures: the tool against the heater simulator, with
// live telemetry, the graph window and a black-box report. Run it through
// scripts/screenshots.sh, which gives it an X server of its own.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cstdio>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
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

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  QTemporaryDir settings;
  SetSettingsDirectory(settings.path().toStdString());
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
  fMain->bGraphClick(fMain->bGraph);
  fGraph->resize(1000, 640);
  Serve(500);
  Save(fGraph, out + "/graph-window.png");
  fMain->bBlackBoxClick(fMain->bBlackBox);
  Serve(300);
  Save(fBB, out + "/blackbox-report.png");
  fMain->Port->ClosePort();
  DestroyForms();
  return 0;
}
