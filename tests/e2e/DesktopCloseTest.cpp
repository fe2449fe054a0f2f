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

namespace o5::test {
namespace {

using namespace std::chrono_literals;

// Generous: the machine running the tests may be busy with other builds.
constexpr auto kWindowDeadline = 60s;
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

// The windows built here (offscreen) tell where each control sits in the main
// window; the tool under test lays its window out the same way.
class DesktopClose : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    fMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
    try {
      desktop_ = std::make_unique<XDesktop>();
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
    ASSERT_TRUE(toolDir_.isValid());
    exe_ = CopyOfTool(O5_TOOL_PATH, toolDir_.path());
    ASSERT_FALSE(exe_.isEmpty());
    QFile seed(toolDir_.filePath("config.ini"));
    ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
    seed.write(kSeedSettings);
  }
  void TearDown() override {
    if (tool_.state() != QProcess::NotRunning) {
      tool_.kill();
      tool_.waitForFinished(10000);
    }
    desktop_.reset();
    AppFixture::TearDown();
  }

  // Starts the tool on the private display; `extraPort` is listed among the
  // system's ports.
  void StartTool(const std::string& extraPort = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", QString::fromStdString(desktop_->DisplayName()));
    env.insert("XDG_CONFIG_HOME", toolDir_.filePath("xdg"));
    if (extraPort.empty())
      env.remove("ORTAN5_EXTRA_PORTS");
    else
      env.insert("ORTAN5_EXTRA_PORTS", QString::fromStdString(extraPort));
    tool_.setProcessEnvironment(env);
    tool_.setWorkingDirectory(toolDir_.path());
    tool_.setProcessChannelMode(QProcess::MergedChannels);
    tool_.start(exe_, {});
    ASSERT_TRUE(tool_.waitForStarted(30000)) << tool_.errorString().toStdString();
    main_ = desktop_->WaitForWindow(kAppTitle, kWindowDeadline);
    ASSERT_TRUE(main_.has_value()) << "the main window did not show: " << Output();
  }

  // A real click on the centre of a control of the main window.
  void ClickOn(QWidget* control) {
    const QPoint p = control->mapTo(fMain, control->rect().center());
    desktop_->Click(main_->x + p.x(), main_->y + p.y());
  }
  void ClickAndSee(QWidget* control, const char* title) {
    ClickOn(control);
    EXPECT_TRUE(desktop_->WaitForWindow(title, kWindowDeadline)) << title << " did not show";
  }

  // Picks `device` in the port selector as a user does: the list opens under
  // the click, and the keyboard walks to the device.
  void PickPort(const std::string& device) {
    const auto index = ListedPortIndex(device);
    ASSERT_TRUE(index);
    ClickOn(fMain->cbPort);
    ASSERT_TRUE(desktop_->PickFromDropDown(*index, kWindowDeadline)) << "the port list did not open and close";
  }

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
  std::string Output() { return tool_.readAll().toStdString(); }

  std::unique_ptr<XDesktop> desktop_;
  QTemporaryDir toolDir_;
  QString exe_;
  QProcess tool_;
  std::optional<XDesktop::Window> main_;
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
