// SPDX-License-Identifier: GPL-3.0-or-later
// A full black-box readout (87 request/reply exchanges) by the real main
// window against the heater simulator: once paced at 1200 baud, where the line
// bounds it at 87 x 20 bytes x 10 bits / 1200 = 14.5 s, and once unpaced.

#include <QApplication>
#include <QTemporaryDir>
#include <QToolButton>

#include <chrono>
#include <cstdio>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"

using namespace o5;
using Clock = std::chrono::steady_clock;

namespace {

double ReadoutSeconds(const std::vector<std::string>& options) {
  test::Simulator sim(options);
  fMain->Port->SetPort(sim.DevicePath());
  fMain->Port->OpenPort();
  fBB->hide();
  const auto start = Clock::now();
  fMain->bBlackBoxClick(fMain->bBlackBox);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!fBB->isVisible()) std::printf("readout FAILED\n");
  fMain->Port->ClosePort();
  if (const char* dump = getenv("O5_SIM_LOG")) {
    static int run = 0;
    FILE* f = fopen((std::string(dump) + std::to_string(run++)).c_str(), "w");
    fputs(sim.LogText().c_str(), f);
    fclose(f);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TApplication app(argc, argv);
  QTemporaryDir settings;
  SetSettingsDirectory(settings.path().toStdString());
  // The session journals and readouts of the run go with the settings.
  setenv("XDG_DATA_HOME", settings.path().toLocal8Bit().constData(), 1);
  CreateForms();
  constexpr double kLineBound = 87 * 20 * 10 / 1200.0;

  double best = 1e9;
  for (int i = 0; i < 5; ++i) best = std::min(best, ReadoutSeconds({"--no-pacing", "--no-telemetry"}));
  std::printf("unpaced readout (87 exchanges on a pseudo-terminal): %.1f ms (best of 5)\n",
              best * 1000);
  const double paced = ReadoutSeconds({"--no-telemetry", "--quiet"});
  std::printf("paced readout at 1200 baud: %.3f s; line bound %.3f s; ratio %.4f\n", paced,
              kLineBound, paced / kLineBound);
  DestroyForms();
  return 0;
}
