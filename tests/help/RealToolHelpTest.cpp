// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool on its own X server: F1 pressed in its main window opens the
// window "Справка — Ортан5 Диагностика" with the manual read from beside the
// executable, and its button "О программе" opens the box of that name.

#include <X11/keysym.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/XDesktop.h"
#include "ui/AppTitle.h"
#include "ui/help/HelpWindow.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kWindowDeadline = 60s;

TEST(RealToolHelp, F1OpensTheManualAndItsAboutBox) {
  std::unique_ptr<XDesktop> desktop;
  try {
    desktop = std::make_unique<XDesktop>();
  } catch (const std::exception& e) {
    FAIL() << e.what();
  }
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");
  env.remove("WAYLAND_DISPLAY");
  env.insert("DISPLAY", QString::fromStdString(desktop->DisplayName()));
  env.insert("XDG_CONFIG_HOME", home.filePath("config"));
  env.insert("XDG_DATA_HOME", home.filePath("data"));
  QProcess tool;
  tool.setProcessEnvironment(env);
  tool.setWorkingDirectory(home.path());
  tool.setProcessChannelMode(QProcess::MergedChannels);
  // The built tool, not a copy: the manual is beside it.
  tool.start(O5_TOOL_PATH, {});
  ASSERT_TRUE(tool.waitForStarted(30000)) << tool.errorString().toStdString();
  const auto output = [&] { return tool.readAll().toStdString(); };

  const auto main = desktop->WaitForWindow(kAppTitle, kWindowDeadline);
  ASSERT_TRUE(main) << "the main window did not show: " << output();
  // Without a window manager the keyboard follows the pointer: the click puts
  // it over the console.
  desktop->Click(main->x + main->width / 2, main->y + main->height / 3);
  desktop->Key(XK_F1);
  const auto help = desktop->WaitForWindow(THelpWindow::kCaption, kWindowDeadline);
  ASSERT_TRUE(help) << "F1 opened no manual: " << output();

  // "О программе" sits at the right end of the button row at the top.
  desktop->Click(help->x + help->width - 50, help->y + 24);
  EXPECT_TRUE(desktop->WaitForWindow(THelpWindow::kAboutCaption, kWindowDeadline)) << output();

  tool.terminate();
  EXPECT_TRUE(tool.waitForFinished(30000));
}

}  // namespace
}  // namespace o5::test
