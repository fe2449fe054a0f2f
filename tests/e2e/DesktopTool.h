// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real tool on a private X server (Xvfb), driven as a user on a desktop
// drives it: real (XTest) clicks on its controls and keys. The windows built
// here (offscreen) tell where each control sits in the main window; the tool
// under test lays its window out the same way.
//
// The tool is started without QT_QPA_PLATFORM: with an X display it chooses
// the X11 platform itself.

#include <X11/keysym.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/TfMain.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ListedPorts.h"
#include "tests/support/RealTool.h"
#include "tests/support/XDesktop.h"
#include "ui/AppTitle.h"

namespace o5::test {

// Generous: the machine running the tests may be busy with other builds.
inline constexpr std::chrono::seconds kDesktopWindowDeadline{60};

class DesktopTool : public AppFixture {
 protected:
  // The settings file the tool starts with, and the screen's size and depth.
  explicit DesktopTool(const char* seedSettings, std::string screen = "1280x1024x24")
      : seedSettings_(seedSettings), screen_(std::move(screen)) {}

  void SetUp() override {
    AppFixture::SetUp();
    fMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
    try {
      desktop_ = std::make_unique<XDesktop>(screen_);
    } catch (const std::exception& e) {
      FAIL() << e.what();
    }
    ASSERT_TRUE(toolDir_.isValid());
    exe_ = CopyOfTool(O5_TOOL_PATH, toolDir_.path());
    ASSERT_FALSE(exe_.isEmpty());
    QFile seed(toolDir_.filePath("config.ini"));
    ASSERT_TRUE(seed.open(QIODevice::WriteOnly));
    seed.write(seedSettings_);
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
  // system's ports; `more` is added to its environment.
  void StartTool(const std::string& extraPort = {}, const QProcessEnvironment& more = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", QString::fromStdString(desktop_->DisplayName()));
    env.insert("XDG_CONFIG_HOME", toolDir_.filePath("xdg"));
    if (extraPort.empty())
      env.remove("ORTAN5_EXTRA_PORTS");
    else
      env.insert("ORTAN5_EXTRA_PORTS", QString::fromStdString(extraPort));
    env.insert(more);
    tool_.setProcessEnvironment(env);
    tool_.setWorkingDirectory(toolDir_.path());
    tool_.setProcessChannelMode(QProcess::MergedChannels);
    tool_.start(exe_, {});
    ASSERT_TRUE(tool_.waitForStarted(30000)) << tool_.errorString().toStdString();
    main_ = desktop_->WaitForWindow(kAppTitle, kDesktopWindowDeadline);
    ASSERT_TRUE(main_.has_value()) << "the main window did not show: " << Output();
  }

  // A real click on the centre of a control of the main window.
  void ClickOn(QWidget* control) {
    const QPoint p = control->mapTo(fMain, control->rect().center());
    desktop_->Click(main_->x + p.x(), main_->y + p.y());
  }
  void ClickAndSee(QWidget* control, const char* title) {
    ClickOn(control);
    EXPECT_TRUE(desktop_->WaitForWindow(title, kDesktopWindowDeadline)) << title << " did not show";
  }

  // Picks `device` in the port selector as a user does: the list opens under
  // the click, and the keyboard walks to the device.
  void PickPort(const std::string& device) {
    const auto index = ListedPortIndex(device);
    ASSERT_TRUE(index);
    ClickOn(fMain->cbPort);
    ASSERT_TRUE(desktop_->PickFromDropDown(*index, kDesktopWindowDeadline)) << "the port list did not open and close";
  }

  std::string Output() { return tool_.readAll().toStdString(); }

  const char* seedSettings_;
  std::string screen_;
  std::unique_ptr<XDesktop> desktop_;
  QTemporaryDir toolDir_;
  QString exe_;
  QProcess tool_;
  std::optional<XDesktop::Window> main_;
};

}  // namespace o5::test
