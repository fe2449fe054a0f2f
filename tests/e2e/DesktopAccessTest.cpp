// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool on an X server with the desktop's accessibility bus, as a
// screen reader user meets it: what a screen reader on AT-SPI hears whatever
// has the focus (faults, silence, a lost link, the version, the end and the
// cut of a readout, the lamp's state), and windows that open wholly on the
// screen with large fonts and on a scaled desktop; and on a Russian desktop,
// a fault gone, Escape in a tool window and a broken timeline. The commands are pressed
// through the buttons' accessible actions, as a screen reader presses them.

#include <X11/keysym.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/DesktopTool.h"
#include "tests/support/Simulator.h"
#include "tests/support/VisitJournals.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr int kHeardDeadlineMs = 60000;
constexpr const char* kGraphTitle = "Графики";
constexpr const char* kBlackBoxTitle = "Черный ящик";
constexpr const char* kSummaryTitle = "Итоги пуска";
constexpr const char* kHistoryTitle = "История отопителей";
constexpr const char* kLastBlackBoxRead = "AA 09 00 00 77 FD 00 00 00 27";

// The graph window stored partly below and right of a 1280 x 1024 screen.
constexpr const char* kSeedSettings =
    "[Options]\n"
    "FormGraphLeft=900\nFormGraphTop=700\nFormGraphWidth=640\nFormGraphHeight=480\n";

class DesktopAccess : public DesktopTool {
 protected:
  explicit DesktopAccess(std::string screen = "1280x1024x24", const char* seedSettings = kSeedSettings)
      : DesktopTool(seedSettings, std::move(screen)) {}

  void SetUp() override {
    DesktopTool::SetUp();
    // A session bus of the test's own: the accessibility bus starts on it
    // when the tool asks for it, with its socket in a runtime folder of the
    // test's own (by default it is one per user, shared by parallel tests).
    ASSERT_TRUE(runtime_.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    bus_.setProcessEnvironment(env);
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus_.waitForStarted(10000)) << bus_.errorString().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bus_.canReadLine(); }, 10000));
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    ASSERT_FALSE(address_.isEmpty());
  }
  void TearDown() override {
    for (QProcess* p : {&listener_, &bus_}) {
      p->terminate();
      if (!p->waitForFinished(5000)) p->kill();
    }
    DesktopTool::TearDown();
  }

  QProcessEnvironment Environment(std::initializer_list<std::pair<const char*, const char*>> more = {}) {
    QProcessEnvironment env;
    env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    for (const auto& [name, value] : more) env.insert(name, value);
    return env;
  }
  QStringList Client(const QStringList& args) { return QStringList(O5_ATSPI_CLIENT) + args; }

  void Listen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(Environment());
    listener_.setProcessEnvironment(env);
    listener_.start(O5_PYTHON, Client({"listen"}));
    ASSERT_TRUE(listener_.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Heard().contains("READY"); }, 30000)) << listener_.readAllStandardError().toStdString();
  }
  // What the listener has printed so far.
  const QString& Heard() {
    heard_ += QString::fromUtf8(listener_.readAllStandardOutput());
    return heard_;
  }
  // Waits for a line of the listener holding `text`; the lines heard so far
  // are no longer looked at.
  bool WaitHeard(const char* kind, const QString& text) {
    const bool got = QTest::qWaitFor(
        [&] {
          for (const QString& line : Heard().split('\n'))
            if (line.startsWith(QString::fromUtf8(kind)) && line.contains(text)) return true;
          return false;
        },
        kHeardDeadlineMs);
    if (got) heard_.clear();
    return got;
  }
  bool HeardNotification(const char* text) {
    return WaitHeard("object:state-changed:showing\tnotification", QString::fromUtf8(text));
  }

  // Runs an action of a control of the tool through the accessibility bus.
  void Act(const char* role, const char* name, const char* action) {
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(Environment());
    client.setProcessEnvironment(env);
    client.start(O5_PYTHON, Client({"act", role, QString::fromUtf8(name), action}));
    ASSERT_TRUE(client.waitForFinished(60000));
    EXPECT_EQ(client.readAllStandardOutput().trimmed(), "DONE")
        << role << " " << name << " " << action << ": " << client.readAllStandardError().toStdString();
  }
  void Press(const char* name) { Act("push button", name, "Press"); }

  // Picks `device` in the port selector: its list opened by its action, then
  // the keys as in the list a user takes it.
  void PickPortByKeys(const std::string& device) {
    setenv("ORTAN5_EXTRA_PORTS", device.c_str(), 1);
    std::vector<std::string> names;
    TCustomComPort::ListSerialPorts(names);
    unsetenv("ORTAN5_EXTRA_PORTS");
    const auto at = std::find(names.begin(), names.end(), device);
    ASSERT_NE(at, names.end());
    Act("combo box", "", "Press");
    ASSERT_TRUE(desktop_->WaitForPopup(true, kDesktopWindowDeadline)) << "the port list did not open";
    desktop_->Key(XK_Home);
    for (auto i = names.begin(); i != at; ++i) desktop_->Key(XK_Down);
    desktop_->Key(XK_Return);
    ASSERT_TRUE(desktop_->WaitForPopup(false, kDesktopWindowDeadline)) << "the port list did not close";
  }

  void ExpectOnScreen(const char* title, const QRect& screen) {
    const auto w = desktop_->WaitForWindow(title, kDesktopWindowDeadline);
    ASSERT_TRUE(w.has_value()) << title << " is not shown";
    // Placed once shown: give it the moment its placing takes.
    QTest::qWait(500);
    const auto placed = desktop_->WaitForWindow(title, kDesktopWindowDeadline);
    const QRect r(placed->x, placed->y, placed->width, placed->height);
    EXPECT_TRUE(screen.contains(r)) << title << " at " << r.x() << "," << r.y() << " " << r.width() << "x"
                                    << r.height();
  }

  QTemporaryDir runtime_;
  // Waits for the simulator to receive `hex` while the event loop runs: the
  // tool's output must keep flowing into the test meanwhile.
  bool Received(Simulator& sim, const char* hex) {
    return QTest::qWaitFor([&] { return sim.WaitForReceived(hex, 10ms); }, kHeardDeadlineMs);
  }

  QProcess bus_;
  QProcess listener_;
  QString address_;
  QString heard_;
};

TEST_F(DesktopAccess, WhatMattersIsHeardWhereverTheFocusIs) {
  Simulator sim({"--no-pacing", "--quiet"});
  Listen();
  StartTool(sim.DevicePath(), Environment());
  PickPort(sim.DevicePath());
  Press("Откр/закр");
  EXPECT_TRUE(WaitHeard("object:property-change:accessible-name\tlabel", QString::fromUtf8("Порт открыт")))
      << Heard().toStdString() << Output();
  Press("Версия");
  EXPECT_TRUE(HeardNotification("Версия")) << Heard().toStdString();
  ASSERT_TRUE(sim.Command("fault 13").starts_with("OK")) << sim.LogText();
  EXPECT_TRUE(HeardNotification("Неисправность 13")) << Heard().toStdString();
  Press("Черный");
  EXPECT_TRUE(Received(sim, kLastBlackBoxRead)) << sim.LogText();
  EXPECT_TRUE(HeardNotification("Черный ящик прочитан")) << Heard().toStdString();
  // A heater that falls silent cuts the next readout, and is reported silent.
  ASSERT_TRUE(sim.Command("silence on").starts_with("OK")) << sim.LogText();
  Press("Черный");
  EXPECT_TRUE(HeardNotification("Нет связи с отопителем.")) << Heard().toStdString();
  EXPECT_TRUE(HeardNotification("Нет данных от отопителя")) << Heard().toStdString();
  // Records arrive once a second: the record log is not announced.
  EXPECT_FALSE(heard_.contains(QString::fromUtf8("Журнал записей")));
}

TEST_F(DesktopAccess, LargeFontsKeepEveryWindowOnTheScreenAfterAReadout) {
  Simulator sim({"--no-pacing", "--quiet"});
  StartTool(sim.DevicePath(), Environment({{"QT_FONT_DPI", "144"}}));
  PickPortByKeys(sim.DevicePath());
  Press("Откр/закр");
  Press("Графики");
  ASSERT_TRUE(desktop_->WaitForWindow(kGraphTitle, kDesktopWindowDeadline)) << Output();
  Press("Черный");
  EXPECT_TRUE(Received(sim, kLastBlackBoxRead)) << sim.LogText();
  const QRect screen(0, 0, 1280, 1024);
  const std::string said = Output();
  EXPECT_LT(said.size(), 4096u) << said.substr(0, 4096);
  for (const char* title : {kAppTitle, kGraphTitle, kBlackBoxTitle}) ExpectOnScreen(title, screen);
}

// The data folder beside the tool's settings file.
constexpr const char* kDataBesideSettings = "[Options]\nDataDir=data\n";

class RussianDesktop : public DesktopAccess {
 protected:
  RussianDesktop() : DesktopAccess("1280x1024x24", kDataBesideSettings) {}

  void PutSession(const QString& name, const QByteArray& content) {
    const QString sessions = toolDir_.filePath("data/sessions");
    ASSERT_TRUE(QDir().mkpath(sessions));
    QFile file(sessions + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  // The tool started in Russian, its port opened on `sim` as a screen reader
  // user opens it.
  void OpenPort(Simulator& sim) {
    Listen();
    StartTool(sim.DevicePath(), Environment({{"LANG", "ru_RU.UTF-8"}}));
    PickPort(sim.DevicePath());
    Press("Откр/закр");
    ASSERT_TRUE(WaitHeard("object:property-change:accessible-name\tlabel", QString::fromUtf8("Порт открыт")))
        << Heard().toStdString() << Output();
  }
  // Presses the keys until the window titled `title` shows: a window that has
  // only just shown may not take the keyboard yet.
  bool KeyUntilShown(unsigned long modifier, unsigned long key, const char* title, QWidget* clickFirst = nullptr) {
    for (int attempt = 0; attempt < 6 && !desktop_->Shown(title); ++attempt) {
      if (clickFirst) ClickOn(clickFirst);
      desktop_->Key(modifier, key);
      desktop_->WaitForWindow(title, kDesktopWindowDeadline / 6);
    }
    return desktop_->Shown(title);
  }
};

// What a technician meets at a Russian desktop, with the real tool: the
// console says when a fault is gone, Escape in "Итоги пуска" closes the
// summary and leaves the graph window behind it open, and the history window
// says how many lines of a broken timeline it passed over.
TEST_F(RussianDesktop, AGoneFaultEscapeInTheSummaryAndABrokenTimelineAreSaid) {
  // A session kept earlier, whose timeline lost two lines' times.
  PutSession("S_2026-12-01_10-00-00.txt", "    5;     0;     0;\r\n");
  PutSession("S_2026-12-01_10-00-00.events.tsv",
             "2026-12-01 10:00:00\tПорт /dev/ttyUSB0 открыт\r\n"
             "без времени\n"
             "2026-13-01 10:00:01\tРежим 1 - Продувка\n"
             "2026-12-01 10:00:02\tПорт закрыт\n");
  Simulator sim({"--no-pacing", "--quiet"});
  ASSERT_NO_FATAL_FAILURE(OpenPort(sim));
  ASSERT_TRUE(sim.Command("fault 13").starts_with("OK")) << sim.LogText();
  EXPECT_TRUE(HeardNotification("Неисправность 13")) << Heard().toStdString();
  ASSERT_TRUE(sim.Command("fault off").starts_with("OK")) << sim.LogText();
  EXPECT_TRUE(HeardNotification("Неисправность снята")) << Heard().toStdString();

  Press("Графики");
  ASSERT_TRUE(desktop_->WaitForWindow(kGraphTitle, kDesktopWindowDeadline)) << Output();
  ASSERT_TRUE(KeyUntilShown(XK_Control_L, XK_i, kSummaryTitle)) << Output();
  desktop_->Key(XK_Escape);
  EXPECT_TRUE(desktop_->WaitForNoWindow(kSummaryTitle, kDesktopWindowDeadline)) << Output();
  QTest::qWait(500);
  EXPECT_TRUE(desktop_->Shown(kGraphTitle)) << "Escape closed the graph window";

  ASSERT_TRUE(KeyUntilShown(XK_Control_L, XK_h, kHistoryTitle, fMain->MC)) << Output();
  // From the serial number's box to the sessions of no heater, at the oldest.
  for (int i = 0; i < 2; ++i) desktop_->Key(XK_Tab);
  desktop_->Key(XK_End);
  EXPECT_TRUE(WaitHeard("object:", QString::fromUtf8("Пропущено строк: 2")))
      << Heard().toStdString() << Output();
}

// The graph window's line above the chart, as a screen reader hears it at a
// Russian desktop: the live run while the heater runs, then a run of a
// journal kept earlier, opened from the history window.
TEST_F(RussianDesktop, TheGraphWindowSaysWhichRunItShows) {
  const WrittenSession kept = WriteSession({2026, 12, 1, 10, 0, 0}, {{60}});
  PutSession("S_2026-12-01_10-00-00.txt", QByteArray::fromStdString(kept.journal));
  PutSession("S_2026-12-01_10-00-00.events.tsv", QByteArray::fromStdString(kept.timeline));
  Simulator sim({"--no-pacing", "--quiet"});
  ASSERT_NO_FATAL_FAILURE(OpenPort(sim));
  Press("Графики");
  ASSERT_TRUE(desktop_->WaitForWindow(kGraphTitle, kDesktopWindowDeadline)) << Output();
  ASSERT_TRUE(sim.Command("start").starts_with("OK")) << sim.LogText();
  EXPECT_TRUE(WaitHeard("object:property-change:accessible-name\tlabel", QString::fromUtf8("Текущий пуск — идёт, с ")))
      << Heard().toStdString() << Output();
  ASSERT_TRUE(sim.Command("telemetry off").starts_with("OK")) << sim.LogText();

  ASSERT_TRUE(KeyUntilShown(XK_Control_L, XK_h, kHistoryTitle, fMain->MC)) << Output();
  // From the serial number's box to the sessions of no heater, at the oldest.
  for (int i = 0; i < 2; ++i) desktop_->Key(XK_Tab);
  desktop_->Key(XK_End);
  desktop_->Key(XK_Return);
  EXPECT_TRUE(WaitHeard("object:property-change:accessible-name\tlabel",
                        QString::fromUtf8("Журнал S_2026-12-01_10-00-00.txt — пуск 1 из 1, 01.12.2026 10:00:05")))
      << Heard().toStdString() << Output();
}

class ScaledDesktopAccess : public DesktopAccess {
 protected:
  ScaledDesktopAccess() : DesktopAccess("3200x2000x24") {}
};

TEST_F(ScaledDesktopAccess, DoubledPixelsKeepEveryWindowOnTheScreen) {
  StartTool({}, Environment({{"QT_SCALE_FACTOR", "2"}}));
  Press("Графики");
  const QRect screen(0, 0, 3200, 2000);
  for (const char* title : {kAppTitle, kGraphTitle}) ExpectOnScreen(title, screen);
}

}  // namespace
}  // namespace o5::test
