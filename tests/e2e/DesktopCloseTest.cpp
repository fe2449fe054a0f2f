// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool on an X server, closed as a desktop closes it: the test
// clicks the toolbar with real (XTest) mouse clicks, then sends the main
// window the close message a window manager sends for its close box. Whatever
// windows are shown, the process ends with code 0, the settings file holds
// every key, and an open port has carried the exit request to the heater.
//
// The tool is started without QT_QPA_PLATFORM: with an X display it chooses
// the X11 platform itself.

#include <X11/keysym.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "app/ErrorDisplay.h"
#include "app/TfMain.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ListedPorts.h"
#include "tests/support/RealTool.h"
#include "tests/support/Simulator.h"
#include "tests/support/XDesktop.h"
#include "tests/e2e/DesktopTool.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kWindowDeadline = kDesktopWindowDeadline;
constexpr int kExitDeadlineMs = 60000;

constexpr const char* kModesTitle = "Информация";
constexpr const char* kGraphTitle = "Графики";
constexpr const char* kBlackBoxTitle = "Черный ящик";
constexpr const char* kExitRequest = "AA 09 00 00 14 00 00 00 00 C7";
constexpr const char* kLastBlackBoxRead = "AA 09 00 00 77 FD 00 00 00 27";

// The secondary windows start away from the main window's toolbar and port
// row (the main window is centred on the 1280 x 1024 screen), so that no
// click lands on them.
constexpr const char* kSeedSettings =
    "[Options]\n"
    "FormModesLeft=1080\nFormModesTop=100\n"
    "FormGraphLeft=0\nFormGraphTop=560\nFormGraphWidth=640\nFormGraphHeight=420\n";

class DesktopClose : public DesktopTool {
 protected:
  DesktopClose() : DesktopTool(kSeedSettings) {}

  // Closes the main window as a window manager does and waits for the end.
  void CloseAndExpectExitCodeZero() {
    desktop_->SendDeleteWindow(*main_);
    ASSERT_TRUE(tool_.waitForFinished(kExitDeadlineMs)) << "the tool did not end: " << Output();
    EXPECT_EQ(tool_.exitStatus(), QProcess::NormalExit) << Output();
    EXPECT_EQ(tool_.exitCode(), 0) << Output();
  }
  void ExpectEveryKeySaved() {
    QFile saved(toolDir_.filePath("config.ini"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    for (const std::string& key : AllSettingsKeys())
      EXPECT_TRUE(text.contains(QByteArray::fromStdString("\n" + key + "="))) << key << "\n" << text.toStdString();
  }
};

TEST_F(DesktopClose, WithTheModesWindowShown) {
  StartTool();
  ClickAndSee(fMain->bModes, kModesTitle);
  // Its own close box still refuses while the program runs.
  desktop_->SendDeleteWindow(*desktop_->WaitForWindow(kModesTitle, kWindowDeadline));
  QTest::qWait(1000);
  EXPECT_TRUE(desktop_->Shown(kModesTitle));
  CloseAndExpectExitCodeZero();
  ExpectEveryKeySaved();
}

TEST_F(DesktopClose, WithTheGraphWindowShown) {
  StartTool();
  ClickAndSee(fMain->bGraph, kGraphTitle);
  CloseAndExpectExitCodeZero();
  ExpectEveryKeySaved();
}

TEST_F(DesktopClose, WithModesGraphAndBlackBoxShownAfterAReadout) {
  Simulator sim({"--no-pacing", "--quiet"});
  StartTool(sim.DevicePath());
  PickPort(sim.DevicePath());
  ClickOn(fMain->BSR);
  ClickAndSee(fMain->bModes, kModesTitle);
  ClickAndSee(fMain->bGraph, kGraphTitle);
  ClickOn(fMain->bBlackBox);
  EXPECT_TRUE(sim.WaitForReceived(kLastBlackBoxRead, kWindowDeadline)) << sim.LogText() << Output();
  EXPECT_TRUE(desktop_->WaitForWindow(kBlackBoxTitle, kWindowDeadline)) << Output();
  EXPECT_TRUE(desktop_->Shown(kModesTitle));
  EXPECT_TRUE(desktop_->Shown(kGraphTitle));
  CloseAndExpectExitCodeZero();
  EXPECT_TRUE(sim.WaitForReceived(kExitRequest, 10s)) << sim.LogText();
  ExpectEveryKeySaved();
}

}  // namespace
}  // namespace o5::test
