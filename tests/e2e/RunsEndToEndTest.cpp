// SPDX-License-Identifier: GPL-3.0-or-later
// The heater's runs on the chart, from outside: the simulator sends the
// telemetry (its own heater's, or a record log played back) to the tool over a
// pseudo-terminal, and the chart's series are read as "Сохранить данные…"
// writes them.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "archive/DataFolder.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "tests/app/AppFixture.h"
#include "tests/graph/LiveTelemetry.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/Simulator.h"
#include "ui/graph/TfGraph.h"
#include "ui/graph/TfRunSummary.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

// The record line of one cycle whose every value is `value`, with the run
// timer and the mode given, as the tool logs it.
std::string RecordLine(int timer, int mode, int value) {
  char line[256];
  const int v = value;
  std::snprintf(line, sizeof line,
                "%5d; %5d; %5d; %5d; %5d; %5d; %5d; %5d; %5d; %5d; %5d;%5d; %5d; %5d;%5d; %5d; %3d;"
                "00000000 00000000 00000000 00000000;",
                timer, v, v, v, v, v, v, v, v, v, mode, v, v, v + 0, v, v, v);
  return line;
}

class RunsEndToEnd : public AppFixture {
 protected:
  void TearDown() override {
    if (fMain->Port->Connected()) fMain->Port->ClosePort();
    ClearFileDialogs();
    AppFixture::TearDown();
  }
  void Connect(std::vector<std::string> options) {
    if (fMain->Port->Connected()) fMain->BSRClick(fMain->BSR);
    sim_.reset();
    options.push_back("--quiet");
    sim_ = std::make_unique<Simulator>(options);
    fMain->Port->SetPort(sim_->DevicePath());
    fMain->BSRClick(fMain->BSR);
    ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
  }
  // A record log the simulator plays back: a run of `cycles` cycles (mode
  // `mode`, every value `value`), then `standing` cycles of a heater standing.
  QString Log(const QString& name, int cycles, int value, int standing) {
    std::string text;
    for (int t = 0; t < cycles; ++t) text += RecordLine(t, value, value) + "\r\n";
    for (int i = 0; i < standing; ++i) text += RecordLine(0, 0, value) + "\r\n";
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), qint64(text.size()));
    return path;
  }
  void WaitForRecords(int count) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() >= count; }, 60000))
        << fMain->MR->document()->blockCount();
    QTest::qWait(300);  // the last frames on their way through the tool
  }
  // The rows of the series CSV the menu's "Сохранить данные…" writes, header
  // left out.
  QStringList SavedRows(const QString& name) {
    const QString path = dir_.filePath(name);
    AnswerFileDialogs({path});
    fGraph->aSaveData->trigger();
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList rows = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    if (!rows.isEmpty()) rows.removeFirst();
    // The last column, the clock time of each row, is kept apart.
    times_.clear();
    for (QString& row : rows) {
      times_ << row.section(';', -1);
      row = row.section(';', 0, -2);
    }
    return rows;
  }
  // The row a cycle of the played-back log gives: every series `value`.
  static QString Row(int t, int value) {
    QStringList cells{QString::number(t)};
    for (int s = 0; s < 13; ++s) cells << QString::number(value);
    return cells.join(';');
  }

  QTemporaryDir dir_;
  std::unique_ptr<Simulator> sim_;
  QStringList times_;  // of the rows SavedRows read last
};

// A run of 100 cycles and 5 of a heater standing after it: the run's 100
// points stay; the next run replaces them. The record log, the journal and
// "Последний пуск" see every cycle as before.
TEST_F(RunsEndToEnd, AFinishedRunStaysOnTheChartUntilTheNextRunReplacesIt) {
  const QString first = Log("first.txt", 100, 100, 5);
  Connect({"--no-pacing", "--cycle", "20", "--replay", first.toStdString()});
  WaitForRecords(105);
  QStringList rows = SavedRows("first.csv");
  ASSERT_EQ(rows.size(), 100);
  for (int t = 0; t < 100; ++t) ASSERT_EQ(rows[t], Row(t, 100)) << t;
  // The live run has the session's clock: one second a cycle from its start.
  const QDateTime began = QDateTime::fromString(times_.front(), "dd.MM.yyyy HH:mm:ss");
  ASSERT_TRUE(began.isValid()) << times_.front().toStdString();
  EXPECT_EQ(QDateTime::fromString(times_.back(), "dd.MM.yyyy HH:mm:ss"), began.addSecs(99));
  EXPECT_EQ(fMain->MR->document()->blockCount(), 105);

  const QString second = Log("second.txt", 30, 50, 2);
  Connect({"--no-pacing", "--cycle", "20", "--replay", second.toStdString()});
  WaitForRecords(105 + 32);
  rows = SavedRows("second.csv");
  ASSERT_EQ(rows.size(), 30);
  for (int t = 0; t < 30; ++t) ASSERT_EQ(rows[t], Row(t, 50)) << t;

  // The record log holds both runs: "Пуски в журнале" lists them, and Home,
  // Enter charts the first.
  fMain->BSRClick(fMain->BSR);
  const QString saved = dir_.filePath("both.txt");
  QFile log(saved);
  ASSERT_TRUE(log.open(QIODevice::WriteOnly));
  log.write((fMain->MR->toPlainText().replace("\n", "\r\n") + "\r\n").toUtf8());
  log.close();
  QStringList list;
  AnswerRunList({Qt::Key_Home, Qt::Key_Enter}, &list);
  fGraph->OpenRecordLog(saved);
  EXPECT_EQ(list.size(), 2);
  rows = SavedRows("chosen.csv");
  ASSERT_EQ(rows.size(), 100);
  EXPECT_EQ(rows.front(), Row(0, 100));
  EXPECT_EQ(times_.front(), "");  // a saved log has no clock
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The simulator's heater stopped: its run stays through the after-run and
// while it stands; started again, the new run begins on an empty chart.
TEST_F(RunsEndToEnd, TheSimulatorsStopKeepsTheRunAndItsStartBeginsANewOne) {
  Connect({"--no-pacing", "--cycle", "50", "--speed", "20", "--running"});
  const SeriesData& faults = fGraph->Charts->Series(11);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 10; }, 30000));
  ASSERT_EQ(sim_->Command("stop").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer < 2; }, 60000));
  const int records = fMain->MR->document()->blockCount();
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() >= records + 5; }, 20000));
  ASSERT_GT(faults.Size(), 10u);
  const std::size_t kept = faults.Size();
  const double firstKept = faults.X(0);
  EXPECT_GE(faults.X(kept - 1), 10);
  EXPECT_TRUE(fGraph->Charts->Series(10).Size() == kept);

  ASSERT_EQ(sim_->Command("start").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 3; }, 30000));
  QTest::qWait(200);
  EXPECT_LT(faults.Size(), kept);
  EXPECT_LT(faults.X(0), 2);
  EXPECT_LE(firstKept, 2);
  for (std::size_t i = 1; i < faults.Size(); ++i) EXPECT_GE(faults.X(i), faults.X(i - 1));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The port opens on a heater that has run 40 s: the live summary and the
// session's journal opened again with its timeline give the run the same
// start, before the opening, and the same length, the heater's own timer.
TEST_F(RunsEndToEnd, ARunFoundGoingOnHasOneStartAndOneLengthLiveAndInItsJournal) {
  QTemporaryDir data;
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  std::string text;
  for (int t = 40; t < 70; ++t) text += RecordLine(t, 21, 50) + "\r\n";
  for (int i = 0; i < 3; ++i) text += RecordLine(0, 0, 50) + "\r\n";
  const QString played = dir_.filePath("found.txt");
  QFile f(played);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text.data(), qint64(text.size()));
  f.close();
  Connect({"--no-pacing", "--cycle", "20", "--replay", played.toStdString()});
  WaitForRecords(33);
  const auto summary = [] {
    fGraph->aRunSummary->trigger();
    return fGraph->fRunSummary->Text().split('\n').mid(0, 2);
  };
  const QStringList live = summary();
  ASSERT_EQ(live.size(), 2);
  EXPECT_TRUE(live[0].startsWith("Начало: ") && live[0].endsWith(" (пуск шёл до открытия порта)"))
      << live[0].toStdString();
  EXPECT_EQ(live[1], "Длительность: 69 с");
  fMain->BSRClick(fMain->BSR);
  QTest::qWait(200);  // the session ends after the port has closed

  const QStringList journals =
      QDir(QString::fromStdString(ChooseDataFolder().Sessions())).entryList({"S_*.txt"}, QDir::Files);
  ASSERT_EQ(journals.size(), 1);
  fGraph->OpenRecordLog(QString::fromStdString(ChooseDataFolder().Sessions()) + "/" + journals[0]);
  EXPECT_EQ(summary(), live);
  if (dataHome.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", dataHome);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test
