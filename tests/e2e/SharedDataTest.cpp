// SPDX-License-Identifier: GPL-3.0-or-later
// The real tool's data folder, seen from outside on an X server. Two copies
// sharing one data folder, as two benches of a workshop share one on the
// network: a copy that starts and keeps the journals within its limits never
// deletes the journal the other copy is writing. The history window of a real
// copy lists a session named after a heater whose image is not in the folder:
// Enter on it opens it in the graph window. A copy killed after a session
// leaves the session's timeline, what happened in order with its times.

#include <X11/keysym.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "app/ErrorDisplay.h"
#include "app/TfMain.h"
#include "archive/ArchiveNames.h"
#include "archive/SessionJournal.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ListedPorts.h"
#include "tests/support/RealTool.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/Simulator.h"
#include "tests/support/XDesktop.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

// Generous: the machine running the tests may be busy with other builds.
constexpr auto kWindowDeadline = 60s;
constexpr int kDeadlineMs = 60000;
constexpr const char* kHistoryTitle = "История отопителей";
constexpr const char* kGraphTitle = "Графики";

qint64 FileSize(const QString& path) {
  const QFileInfo info(path);
  return info.exists() ? info.size() : -1;
}

// The windows built here (offscreen) tell where each control sits in the main
// window; the copies under test lay their windows out the same way.
class SharedData : public AppFixture {
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
    ASSERT_TRUE(root_.isValid());
    data_ = root_.filePath("data");
  }
  void TearDown() override {
    for (auto& copy : copies_) {
      copy->kill();
      copy->waitForFinished(10000);
    }
    desktop_.reset();
    AppFixture::TearDown();
  }

  // A copy of the tool in a folder of its own, its config.ini naming the
  // shared data folder, started on the test's display; `port` is listed
  // among the system's ports.
  QProcess& StartCopy(const QString& name, const std::string& moreSettings = {}, const std::string& port = {}) {
    const QString folder = root_.filePath(name);
    QDir().mkpath(folder);
    const QString exe = CopyOfTool(O5_TOOL_PATH, folder);
    EXPECT_FALSE(exe.isEmpty());
    QFile config(folder + "/config.ini");
    EXPECT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(("[Options]\nDataDir=" + data_.toStdString() + "\n" + moreSettings).c_str());
    config.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", QString::fromStdString(desktop_->DisplayName()));
    env.insert("XDG_CONFIG_HOME", folder + "/xdg");
    env.insert("ORTAN5_EXTRA_PORTS", QString::fromStdString(port));
    auto& copy = copies_.emplace_back(std::make_unique<QProcess>());
    copy->setProcessEnvironment(env);
    copy->setWorkingDirectory(folder);
    copy->setProcessChannelMode(QProcess::MergedChannels);
    copy->start(exe, {});
    EXPECT_TRUE(copy->waitForStarted(30000)) << copy->errorString().toStdString();
    return *copy;
  }
  // The first copy's main window, once it shows.
  void WaitForMainWindow() {
    main_ = desktop_->WaitForWindow(kAppTitle, kWindowDeadline);
    ASSERT_TRUE(main_.has_value()) << "the main window did not show: " << Output();
  }
  std::string Output() { return copies_.empty() ? std::string() : copies_.front()->readAll().toStdString(); }

  // A real click on the centre of a control of the main window.
  void ClickOn(QWidget* control) {
    const QPoint p = control->mapTo(fMain, control->rect().center());
    desktop_->Click(main_->x + p.x(), main_->y + p.y());
  }
  // Picks `device` in the port selector and opens it, as a user does.
  void OpenPort(const std::string& device) {
    const auto index = ListedPortIndex(device);
    ASSERT_TRUE(index);
    ClickOn(fMain->cbPort);
    ASSERT_TRUE(desktop_->PickFromDropDown(*index, kWindowDeadline)) << "the port list did not open and close";
    ClickOn(fMain->BSR);
  }
  QString Sessions() const { return data_ + "/sessions"; }
  void PutSession(const QString& name, const QByteArray& content) {
    QDir().mkpath(Sessions());
    QFile file(Sessions() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  std::unique_ptr<XDesktop> desktop_;
  QTemporaryDir root_;
  QString data_;
  std::vector<std::unique_ptr<QProcess>> copies_;
  std::optional<XDesktop::Window> main_;
};

TEST_F(SharedData, ASecondCopyKeepingJournalsShortLeavesTheFirstCopysOpenJournalGrowing) {
  Simulator sim({"--no-pacing", "--cycle", "100", "--quiet"});
  StartCopy("first", {}, sim.DevicePath());
  WaitForMainWindow();
  OpenPort(sim.DevicePath());
  std::string journal;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        const auto journals = ListJournals(Sessions().toStdString());
        if (!journals.empty()) journal = journals.front().path;
        return !journal.empty() && FileSize(QString::fromStdString(journal)) > 0;
      },
      kDeadlineMs))
      << "the first copy wrote no journal: " << Output();
  const QString open = QString::fromStdString(journal);

  // A bigger journal, newer than the open one, puts the open one, the
  // oldest, over a limit of one mebibyte.
  const QString newer = QString::fromStdString(
      JournalFileName({LocalTimeOf(QDateTime::currentSecsSinceEpoch() + 86400), std::nullopt}));
  PutSession(newer, QByteArray(2 * 1024 * 1024, ' '));
  StartCopy("second", "JournalMaxMB=1\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(Sessions() + "/" + newer); }, kDeadlineMs))
      << "the second copy kept the journals as they were";

  const qint64 size = FileSize(open);
  ASSERT_GE(size, 0) << "the open journal is gone";
  EXPECT_TRUE(QTest::qWaitFor([&] { return FileSize(open) > size; }, kDeadlineMs)) << "the journal stopped growing";
  EXPECT_EQ(ListJournals(Sessions().toStdString()).size(), 1u);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(TimelinePathFor(journal)))) << "its timeline is gone";
}

TEST_F(SharedData, ASessionNamedAfterAHeaterWithoutItsImageIsInTheHistoryWindow) {
  PutSession("S_2026-04-05_10-00-00_777123.txt",
             "  307;     5;     3;    10;    20;    30;     1;     1;    40;   126;    21;   -5;    80;   334;"
             "  -16;     3;   2;00000001 00000000 10000000 11111111;\r\n");
  StartCopy("bench");
  WaitForMainWindow();
  // The keyboard goes to the window under the mouse or to the active one; a
  // window that has only just shown may not take it yet, so the shortcut is
  // pressed again until the history window shows (it only raises it).
  for (int attempt = 0; attempt < 6 && !desktop_->Shown(kHistoryTitle); ++attempt) {
    ClickOn(fMain->MC);
    desktop_->Key(XK_Control_L, XK_h);
    desktop_->WaitForWindow(kHistoryTitle, kWindowDeadline / 6);
  }
  ASSERT_TRUE(desktop_->Shown(kHistoryTitle)) << Output();
  // From the serial number's box to the heater's sessions: the heaters, the
  // sessions of no heater, the readouts, the heater's sessions.
  for (int i = 0; i < 4; ++i) desktop_->Key(XK_Tab);
  desktop_->Key(XK_Home);
  desktop_->Key(XK_Return);
  EXPECT_TRUE(desktop_->WaitForWindow(kGraphTitle, kWindowDeadline)) << "no session to open: " << Output();
}

TEST_F(SharedData, KilledAfterASessionItsTimelineTellsWhatHappenedInOrder) {
  Simulator sim({"--no-pacing", "--cycle", "100", "--speed", "10", "--quiet"});
  const QDateTime began = QDateTime::currentDateTime().addSecs(-1);
  StartCopy("bench", {}, sim.DevicePath());
  WaitForMainWindow();
  OpenPort(sim.DevicePath());
  const QString timelines = Sessions();
  const auto timeline = [&] {
    const QStringList found = QDir(timelines).entryList({"S_*.events.tsv"}, QDir::Files);
    return found.size() == 1 ? QString::fromUtf8(FileBytes(timelines + "/" + found[0])) : QString();
  };
  ClickOn(fMain->bStart);
  // The tool has seen the mode, and then the fault, once its telemetry carried them.
  ASSERT_TRUE(QTest::qWaitFor([&] { return timeline().contains("Режим 21 - Прогрев"); }, kDeadlineMs))
      << timeline().toStdString();
  ASSERT_EQ(sim.Command("fault 13").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return timeline().contains("Неисправность 13"); }, kDeadlineMs)) << timeline().toStdString();
  ClickOn(fMain->bStop);
  ClickOn(fMain->bBlackBox);
  ASSERT_TRUE(QTest::qWaitFor([&] { return timeline().contains("Черный ящик прочитан"); }, kDeadlineMs))
      << timeline().toStdString() << Output();
  copies_.front()->kill();
  ASSERT_TRUE(copies_.front()->waitForFinished(kDeadlineMs));
  const QDateTime ended = QDateTime::currentDateTime().addSecs(1);

  const QStringList found = QDir(timelines).entryList({"S_*.events.tsv"}, QDir::Files);
  ASSERT_EQ(found.size(), 1) << found.join(' ').toStdString();
  const QStringList lines = timeline().split('\n', Qt::SkipEmptyParts);
  QStringList texts;
  for (const QString& line : lines) {
    const QDateTime when = QDateTime::fromString(line.left(19), "yyyy-MM-dd HH:mm:ss");
    EXPECT_TRUE(when.isValid() && when >= began && when <= ended && line.mid(19, 1) == "\t") << line.toStdString();
    texts << line.mid(20);
  }
  const auto at = [&](const QString& text, qsizetype from) {
    for (qsizetype i = from; i < texts.size(); ++i)
      if (texts[i].contains(text)) return i;
    return qsizetype{-1};
  };
  const qsizetype start = at("Пуск", 0);
  const qsizetype mode = at("21 - Прогрев", start + 1);
  const qsizetype fault = at("Неисправность 13: Попытки запуска исчерпаны", mode + 1);
  const qsizetype stop = at("Стоп", fault + 1);
  EXPECT_TRUE(start >= 0 && mode > start && fault > mode && stop > fault) << lines.join('\n').toStdString();
  // The readout names the heater, as the files' name does.
  const QString serial = found[0].section('_', 3, 3).section('.', 0, 0);
  EXPECT_FALSE(serial.isEmpty()) << found[0].toStdString();
  EXPECT_GT(at("Черный ящик прочитан, серийный номер " + serial, stop + 1), stop) << lines.join('\n').toStdString();
}

}  // namespace
}  // namespace o5::test
