// SPDX-License-Identifier: GPL-3.0-or-later
// The tool on a Russian desktop. Numbers in the chart's box under the mouse
// read as its axis does ("100", never "100,00"), in a child process of this
// program started with LANG=ru_RU.UTF-8, as the tool starts (the toolkit then
// sets the C library's locale, and printf writes a decimal comma). The port's
// setup dialog speaks the language gettext chooses from the locale variables:
// the real tool, started on an X server with LANG=en_US.UTF-8 and
// LC_ALL=ru_RU.UTF-8, opens it in Russian.

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <memory>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "chart/ChartWidget.h"
#include "link/ComPort.h"
#include "link/Translation.h"
#include "settings/SettingsFile.h"
#include "tests/app/AppFixture.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/RealTool.h"
#include "tests/support/Simulator.h"
#include "tests/support/XDesktop.h"
#include "ui/AppTitle.h"
#include "ui/graph/TfGraph.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kChildVariable = "O5_USERS_LOCALE_CHILD";

// Runs this program's `filter` in a child with only these locale variables.
void RunChild(const char* filter, const std::map<QString, QString>& variables) {
  QProcess child;
  QProcessEnvironment env = WithoutTestShares(QProcessEnvironment::systemEnvironment());
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LC_CTYPE", "LANG"}) env.remove(name);
  for (const auto& [name, value] : variables) env.insert(name, value);
  env.insert(kChildVariable, "1");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(), {QString("--gtest_filter=") + filter});
  ASSERT_TRUE(child.waitForFinished(240000));
  const QString output = QString::fromUtf8(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(UsersLocale, TheBoxUnderTheMouseReadsAsTheAxisOnARussianDesktop) {
  RunChild("UsersLocaleChild.*", {{"LANG", "ru_RU.UTF-8"}});
}

class UsersLocaleChild : public ToolFixture {
 protected:
  void SetUp() override {
    if (!std::getenv(kChildVariable)) GTEST_SKIP() << "run by UsersLocale";
    ToolFixture::SetUp();
  }
  // Sends a telemetry frame once the simulator sees the tool holding its
  // device.
  void Frame(const std::string& bytes) {
    std::string answer;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (answer = sim_->Command("frame " + bytes)).rfind("OK", 0) == 0; }, 20000))
        << bytes << ": " << answer;
  }
};

TEST_F(UsersLocaleChild, TheBoxReadsTheHeatersValues) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "ru_RU.UTF-8")
      << "the locale ru_RU.UTF-8 is not generated: scripts/install-deps.sh generates it";
  Connect({"--no-pacing", "--no-telemetry", "--quiet"});
  fMain->bGraphClick(fMain->bGraph);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fGraph));
  // At 94 s of the run: the liquid at 100 °C, the mode 21; 6 s later the
  // next cycle begins.
  Frame("00 00 00 65 00 5E 00 00");
  Frame("00 00 00 68 64 5A 01 2C");
  Frame("00 00 00 67 00 00 7E 15");
  Frame("00 00 00 65 00 64 00 00");
  ChartWidget* chart = fGraph->Charts;
  ASSERT_TRUE(QTest::qWaitFor([&] { return chart->Series(0).Size() > 0 && chart->Series(10).Size() > 0; }, 20000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !chart->RedrawPending(); }, 20000));

  const PlotMapping p = chart->Frame().plot;
  const QPointF over(p.XToPixel(97) + 0.5, p.top + 20);
  QMouseEvent move(QEvent::MouseMove, over, chart->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(chart, &move);
  ASSERT_TRUE(chart->ReadoutBox()->isVisible());
  const QStringList box = chart->ReadoutBox()->accessibleName().split('\n');
  EXPECT_TRUE(box.contains("Тжидкости: 100")) << box.join(" | ").toStdString();
  EXPECT_TRUE(box.contains("Тперегрева: 90")) << box.join(" | ").toStdString();
  EXPECT_TRUE(box.contains("Режим: 21")) << box.join(" | ").toStdString();
  EXPECT_TRUE(QRegularExpression("^t = 9[67](,\\d+)? с$").match(box.value(0)).hasMatch()) << box.value(0).toStdString();
}

// The real tool on an X server: a copy of it with the catalogs beside it, as
// the build lays them out, and its main window's layout from this program's
// own windows, so that a real click lands on the setup button.
class SetupDialogFromOutside : public AppFixture {
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
    const QString built = QFileInfo(O5_TOOL_PATH).absolutePath() + "/" + kLocaleFolderName;
    QDirIterator catalogs(built, {"*.mo"}, QDir::Files, QDirIterator::Subdirectories);
    int copied = 0;
    while (catalogs.hasNext()) {
      const QString from = catalogs.next();
      const QString to = toolDir_.filePath(kLocaleFolderName) + from.mid(built.size());
      ASSERT_TRUE(QDir().mkpath(QFileInfo(to).absolutePath()));
      ASSERT_TRUE(QFile::copy(from, to)) << to.toStdString();
      ++copied;
    }
    ASSERT_GE(copied, 2) << "no catalogs in " << built.toStdString();
  }
  void TearDown() override {
    if (tool_.state() != QProcess::NotRunning) {
      tool_.kill();
      tool_.waitForFinished(10000);
    }
    desktop_.reset();
    AppFixture::TearDown();
  }

  // Starts the tool with only these locale variables and clicks its setup
  // button; true when a window with `title` comes up.
  bool SetupDialogShows(const std::map<QString, QString>& variables, const std::string& title) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
      env.remove(name);
    for (const auto& [name, value] : variables) env.insert(name, value);
    env.insert("DISPLAY", QString::fromStdString(desktop_->DisplayName()));
    env.insert("XDG_CONFIG_HOME", toolDir_.filePath("xdg"));
    tool_.setProcessEnvironment(env);
    tool_.setWorkingDirectory(toolDir_.path());
    tool_.setProcessChannelMode(QProcess::MergedChannels);
    tool_.start(exe_, {});
    if (!tool_.waitForStarted(30000)) return false;
    const auto main = desktop_->WaitForWindow(kAppTitle, 60s);
    if (!main) {
      ADD_FAILURE() << "the main window did not show: " << tool_.readAll().toStdString();
      return false;
    }
    const QPoint at = fMain->BSet->mapTo(fMain, fMain->BSet->rect().center());
    desktop_->Click(main->x + at.x(), main->y + at.y());
    const bool shown = desktop_->WaitForWindow(title, 60s).has_value();
    tool_.kill();
    tool_.waitForFinished(10000);
    return shown;
  }

  std::unique_ptr<XDesktop> desktop_;
  QTemporaryDir toolDir_;
  QString exe_;
  QProcess tool_;
};

TEST_F(SetupDialogFromOutside, RussianWhenLcAllIsRussianAndLangEnglish) {
  EXPECT_TRUE(SetupDialogShows({{"LANG", "en_US.UTF-8"}, {"LC_ALL", "ru_RU.UTF-8"}}, "Настройка порта"));
  EXPECT_TRUE(SetupDialogShows({{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "en_US.UTF-8"}}, "Setup"));
  EXPECT_TRUE(SetupDialogShows({{"LANG", "ru_RU.UTF-8"}}, "Настройка порта"));
}

}  // namespace
}  // namespace o5::test
