// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window and the heater's runs: a finished run stays on the chart
// until the next begins, the view follows the newest point, any run of a log
// can be charted, and each run is summed up.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>
#include <memory>
#include <string>

#include "archive/SessionJournal.h"
#include "heater/RunSummary.h"
#include "heater/SessionEvents.h"
#include "heater/SessionRuns.h"
#include "tests/graph/GraphTestSupport.h"
#include "tests/graph/LiveTelemetry.h"
#include "ui/graph/RunListDialog.h"
#include "ui/graph/TfRunSummary.h"

namespace o5 {
namespace {

using test::AnswerRunList;
using test::LiveSession;
using test::TakeErrors;
using test::TakeInformation;

class GraphRuns : public test::GraphFixture {
 protected:
  void SetUp() override {
    GraphFixture::SetUp();
    TakeInformation();
    graph_ = std::make_unique<TfGraph>();
  }
  TfGraph& g() { return *graph_; }
  std::pair<double, double> XRange() {
    return {g().Charts->BottomAxis().Minimum(), g().Charts->BottomAxis().Maximum()};
  }
  std::pair<int, int> XBoxes() { return {g().edXMin->value(), g().edXMax->value()}; }
  // One cycle of every series, with the mode, the fault code and the liquid
  // temperature given, the other values 50.
  void Cycle(int t, int mode, int fault = 0, int liquid = 50) {
    g().LiveCycleBegins(t);
    g().LiveAddPoint(11, t, fault);
    g().LiveCycleMode(mode);
    for (int s = 0; s < 13; ++s)
      if (s != 11) g().LiveAddPoint(s, t, s == 10 ? mode : s == 0 ? liquid : 50);
    g().LiveCycleEnds();
  }
  std::unique_ptr<TfGraph> graph_;
};

TEST_F(GraphRuns, TheFinishedRunStaysUntilTheNextBeginsAndTheCursorsGoWithIt) {
  LiveSession heater(g());
  heater.Cycle(0);
  heater.Cycle(0);
  EXPECT_EQ(g().Charts->Series(11).Size(), 0u);
  heater.Cycle(0, "", 1);
  for (int t = 1; t < 10; ++t) heater.Cycle(t, "", t < 2 ? 1 : 21);
  g().Charts->SetCursor(Cursor::kA, 2);
  g().Charts->SetCursor(Cursor::kB, 8);
  for (int i = 0; i < 5; ++i) heater.Cycle(0);
  for (int s = 0; s < 13; ++s) EXPECT_EQ(g().Charts->Series(s).Size(), 10u) << s;
  EXPECT_EQ(g().Charts->CursorX(Cursor::kB), 8);

  heater.Cycle(0, "", 1);
  EXPECT_EQ(g().Charts->Series(11).Size(), 1u);
  EXPECT_EQ(g().Charts->Series(11).X(0), 0);
  EXPECT_FALSE(g().Charts->CursorX(Cursor::kA));
  EXPECT_FALSE(g().Charts->CursorX(Cursor::kB));
  // Restarted while it runs: the timer falls below 2.
  for (int t = 1; t < 5; ++t) heater.Cycle(t, "", 21);
  heater.Cycle(0, "", 1);
  EXPECT_EQ(g().Charts->Series(11).Size(), 1u);
  // "Очистить" empties at once, while the run goes on.
  heater.Cycle(1, "", 1);
  g().Button1->click();
  EXPECT_EQ(g().Charts->Series(11).Size(), 0u);
  heater.Cycle(2);
  EXPECT_EQ(g().Charts->Series(11).Size(), 1u);
}

TEST_F(GraphRuns, FollowingKeepsTheNewestPointInSightUntilTheUserMovesTheView) {
  Show(g());
  g().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&g()));
  EXPECT_EQ(g().aFollow->text(), "Следовать за данными");
  EXPECT_FALSE(g().aFollow->isChecked());
  QTest::keyClick(&g(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(g().aFollow->isChecked());
  for (int t = 0; t <= 299; ++t) Cycle(t, t < 2 ? 1 : 21);
  Settle(g());
  EXPECT_EQ(XRange(), (std::pair<double, double>{99, 299}));
  EXPECT_EQ(XBoxes(), (std::pair<int, int>{99, 299}));

  // A pan by the user ends following; the view stays.
  g().bLeft->click();
  Settle(g());
  EXPECT_FALSE(g().aFollow->isChecked());
  EXPECT_EQ(XRange(), (std::pair<double, double>{49, 249}));
  for (int t = 300; t <= 310; ++t) Cycle(t, 21);
  EXPECT_EQ(XRange(), (std::pair<double, double>{49, 249}));
  // Ctrl+F jumps to the newest point.
  QTest::keyClick(&g(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(XRange(), (std::pair<double, double>{110, 310}));

  // Hours into a run: the boxes show the range clamped, the chart draws it,
  // and the arrows pan from the range drawn.
  Cycle(6000, 21);
  Settle(g());
  EXPECT_EQ(XRange(), (std::pair<double, double>{5800, 6000}));
  EXPECT_EQ(XBoxes(), (std::pair<int, int>{2000, 5000}));
  g().bRight->click();
  Settle(g());
  EXPECT_EQ(XRange(), (std::pair<double, double>{5850, 6050}));
  EXPECT_FALSE(g().aFollow->isChecked());

  // A mouse zoom ends following too.
  QTest::keyClick(&g(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(g().aFollow->isChecked());
  const PlotMapping p = g().Charts->Frame().plot;
  const QPoint from(p.left + 10, p.top + 10), to(p.left + 80, p.top + 80);
  QTest::mousePress(g().Charts, Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), g().Charts->mapToGlobal(QPointF(to)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(g().Charts, &move);
  QTest::mouseRelease(g().Charts, Qt::LeftButton, {}, to);
  Settle(g());
  EXPECT_FALSE(g().aFollow->isChecked());
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(GraphRuns, FollowingIsKeptInTheSettingsAndOffByDefault) {
  g().aFollow->trigger();
  g().SaveSettings();
  EXPECT_TRUE(ConfigText().contains("Follow=1"));
  TfGraph again;
  EXPECT_TRUE(again.aFollow->isChecked());
  WriteConfig("XMax=200\n");
  TfGraph fresh;
  EXPECT_FALSE(fresh.aFollow->isChecked());
}

TEST_F(GraphRuns, AnyRunOfAJournalIsChartedFromTheListOfRuns) {
  TfGraph first, second;
  LiveSession live(first);
  live.Cycle(0);
  live.Cycle(0, "", 1);
  for (int t = 1; t < 30; ++t) live.Cycle(t, "", 21);
  for (int i = 0; i < 3; ++i) live.Cycle(0);
  const std::string firstCsv = first.SeriesCsvText();
  LiveSession more(second);
  more.Cycle(0, "", 1);
  for (int t = 1; t < 12; ++t) more.Cycle(t, "", 21);
  const QString path = WriteFile("two.txt", live.log + more.log);

  QStringList rows;
  AnswerRunList({Qt::Key_Home, Qt::Key_Enter}, &rows);
  g().OpenRecordLog(path);
  EXPECT_EQ(rows, (QStringList{"1|—|29 с|Прогрев|нет", "2|—|11 с|Прогрев|нет"}));
  EXPECT_EQ(test::WithoutClock(g().SeriesCsvText()), test::WithoutClock(firstCsv));
  EXPECT_TRUE(TakeInformation().isEmpty());
  EXPECT_TRUE(g().PictureTitle().startsWith("Журнал \"two.txt\", пуск 1 из 2, открыт ")) << g().PictureTitle().toStdString();

  // Esc charts nothing.
  AnswerRunList({Qt::Key_Escape});
  g().OpenRecordLog(path);
  EXPECT_EQ(test::WithoutClock(g().SeriesCsvText()), test::WithoutClock(firstCsv));
  // The last run is the one selected.
  AnswerRunList({Qt::Key_Return});
  g().OpenRecordLog(path);
  EXPECT_EQ(g().Charts->Series(11).Size(), 12u);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(GraphRuns, AJournalOfOneRunOpensDirectlyAndOneWithoutARunChartsNothing) {
  TfGraph live;
  LiveSession s(live);
  for (int t = 0; t < 12; ++t) s.Cycle(t, "", t < 2 ? 1 : 21);
  s.Cycle(0);
  const QString one = WriteFile("one.txt", s.log);
  g().OpenRecordLog(one);  // a list shown here would wait for ever
  EXPECT_EQ(g().Charts->Series(11).Size(), 12u);

  LiveSession idle(live);
  for (int i = 0; i < 3; ++i) idle.Cycle(0);
  g().OpenRecordLog(WriteFile("idle.txt", idle.log));
  EXPECT_EQ(TakeInformation(), QStringList{"Пусков в журнале нет: отопитель в нём только стоит."});
  EXPECT_EQ(g().Charts->Series(11).Size(), 12u);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A session's timeline tells when each run began: the summary's first line,
// for a run of its journal; the live run has the session's clock.
TEST_F(GraphRuns, TheSummaryOfARunWhoseSessionKeptATimelineTellsWhenItBegan) {
  TfGraph first, second;
  LiveSession live(first);
  live.Cycle(0);
  for (int t = 0; t < 30; ++t) live.Cycle(t, "", t < 2 ? 1 : 21);
  live.Cycle(0);
  LiveSession more(second);
  for (int t = 0; t < 12; ++t) more.Cycle(t, "", t < 2 ? 1 : 21);
  const QString journal = WriteFile("S_2026-12-08_15-20-00.txt", live.log + more.log);
  WriteFile("S_2026-12-08_15-20-00.events.tsv",
            "2026-12-08 15:20:00\tПорт /dev/ttyUSB0 открыт\n2026-12-08 15:20:05\tРабота началась\n"
            "2026-12-08 15:20:35\tРабота закончилась, длительность 0:00:29\n"
            "2026-12-08 15:21:10\tРабота началась\n");
  const auto firstLine = [&] {
    g().aRunSummary->trigger();
    return g().fRunSummary->Text().section('\n', 0, 0);
  };
  AnswerRunList({Qt::Key_Home, Qt::Key_Enter});
  g().OpenRecordLog(journal);
  EXPECT_EQ(firstLine(), "Начало: 08.12.2026 15:20:05");
  AnswerRunList({Qt::Key_Return});
  g().OpenRecordLog(journal);
  EXPECT_EQ(firstLine(), "Начало: 08.12.2026 15:21:10");
  // A log without a timeline beside it: no beginning to tell.
  AnswerRunList({Qt::Key_Return});
  g().OpenRecordLog(WriteFile("two.txt", live.log + more.log));
  EXPECT_EQ(firstLine(), "Длительность: 11 с");

  // The live run: the clock of the session, the timeline's own.
  const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
  Cycle(0, 1);
  Cycle(1, 1);
  const QDateTime began = QDateTime::fromString(firstLine().mid(8), "dd.MM.yyyy HH:mm:ss");
  EXPECT_TRUE(began.isValid() && began >= before && began <= QDateTime::currentDateTime()) << firstLine().toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The line above the chart says what it shows, for a person and a screen
// reader alike; the series CSV says when each point came, and its name which
// heater and run it holds.
TEST_F(GraphRuns, TheLineAboveTheChartSaysWhatItShowsAndTheDataSayWhen) {
  const auto line = [&] { return g().lbShown->text(); };
  EXPECT_EQ(line(), "Нет пуска");
  Cycle(0, 0);
  EXPECT_EQ(line(), "Нет пуска");
  for (int t = 0; t < 30; ++t) Cycle(t, t < 2 ? 1 : 21);
  const SessionRun* live = g().LiveRuns().Latest();
  ASSERT_TRUE(live && live->start);
  const WallSeconds start = *live->start;
  EXPECT_EQ(line(), "Текущий пуск — идёт, с " + QString::fromStdString(WallTimeText(start)));
  Cycle(0, 0);
  EXPECT_EQ(line(), "Текущий пуск — закончен в " + QString::fromStdString(WallTimeText(start + 29)) + ", 0:29");
  EXPECT_EQ(g().lbShown->accessibleName(), line());
  EXPECT_EQ(g().ShownCaption(), line());
  // The live run's points carry the session's clock.
  EXPECT_NE(g().SeriesCsvText().find(";" + WallDateTimeText(start + 29) + "\r\n"), std::string::npos);

  TfGraph scratch;
  LiveSession heater(scratch);
  heater.Cycle(0);
  for (int t = 0; t < 30; ++t) heater.Cycle(t, "", t < 2 ? 1 : 21);
  heater.Cycle(0);
  for (int t = 0; t < 12; ++t) heater.Cycle(t, "", t < 2 ? 1 : 21);
  const QString journal = WriteFile("S_2026-12-08_15-20-00_658188.txt", heater.log);
  WriteFile("S_2026-12-08_15-20-00_658188.events.tsv",
            "2026-12-08 15:20:00\tПорт /dev/ttyUSB0 открыт\n2026-12-08 15:20:05\tРабота началась\n"
            "2026-12-08 15:20:35\tРабота закончилась, длительность 0:00:29\n"
            "2026-12-08 15:21:10\tРабота началась\n");
  struct Case {
    QString file;
    QList<Qt::Key> keys;  // in the list of runs
    QString line;
    std::string lastRow;  // the CSV's
    QString name;         // proposed for it
  };
  const std::vector<Case> cases = {
      {journal, {Qt::Key_Home, Qt::Key_Enter}, "Журнал S_2026-12-08_15-20-00_658188.txt — пуск 1 из 2, 08.12.2026 15:20:05",
       ";08.12.2026 15:20:34\r\n", "G_658188_2026-12-08_15-20-05.csv"},
      {journal, {Qt::Key_Return}, "Журнал S_2026-12-08_15-20-00_658188.txt — пуск 2 из 2, 08.12.2026 15:21:10",
       ";08.12.2026 15:21:21\r\n", "G_658188_2026-12-08_15-21-10.csv"},
      // No timeline, no serial in the name: no start to tell.
      {WriteFile("two.txt", heater.log), {Qt::Key_Return}, "Журнал two.txt — пуск 2 из 2", ";\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.toStdString());
    AnswerRunList(c.keys);
    g().OpenRecordLog(c.file);
    EXPECT_EQ(line(), c.line);
    EXPECT_EQ(g().lbShown->accessibleName(), c.line);
    EXPECT_TRUE(g().SeriesCsvText().ends_with(c.lastRow));
    if (c.name.isEmpty()) {
      EXPECT_TRUE(g().ProposedDataName().startsWith("G_2")) << g().ProposedDataName().toStdString();
    } else {
      EXPECT_EQ(g().ProposedDataName(), c.name);
    }
  }
  if (const char* shot = std::getenv("O5_GRAPH_CAPTION_SHOT")) {
    g().show();
    g().grab().save(QString::fromUtf8(shot) + "-window.png");
    g().Picture().save(QString::fromUtf8(shot) + "-picture.png");
  }
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// 10 s in mode 1, 20 s in mode 5, 60 s in mode 21 with fault 13 from t = 60,
// then 10 cycles of mode 26.
TEST_F(GraphRuns, TheSummaryStatesWhatTheTelemetrySaysAndFollowsTheChart) {
  Show(g());
  g().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&g()));
  for (int i = 0; i < 3; ++i) Cycle(0, 0);
  for (int t = 0; t < 100; ++t)
    Cycle(t, t < 10 ? 1 : t < 30 ? 5 : t < 90 ? 21 : 26, t >= 60 ? 13 : 0, 20 + t * 109 / 99);
  for (int i = 0; i < 3; ++i) Cycle(0, 0, 13);
  EXPECT_EQ(g().aRunSummary->text(), "Итоги пуска");
  QTest::keyClick(&g(), Qt::Key_I, Qt::ControlModifier);
  TfRunSummary* summary = g().fRunSummary;
  ASSERT_TRUE(summary->isVisible());
  EXPECT_FALSE(summary->isModal());
  EXPECT_EQ(summary->windowTitle(), "Итоги пуска");
  const QStringList lines = summary->Text().split('\n');
  for (const char* line : {"21 - Прогрев: 60 с", "1 - Проверка перед пуском: 10 с", "До прогрева: 30 с",
                           "3..20 - Розжиг: 20 с, попыток 1", "Длительность: 99 с", "Тжидкости: от 20 до 129 °C",
                           "Последний режим: 26 - Продувка"})
    EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line << "\n" << summary->Text().toStdString();
  EXPECT_TRUE(lines.filter(QRegularExpression("^Неисправность 13: Попытки запуска исчерпаны — на 60 с "
                                              "\\(\\d\\d:\\d\\d:\\d\\d\\), длилась до конца пуска$"))
                  .size() == 1)
      << summary->Text().toStdString();

  summary->bCopy->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), summary->Text() + '\n');

  // A new run: the summary follows, a little later.
  Cycle(0, 1);
  Cycle(1, 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return summary->Text().section('\n', 1, 1) == "Длительность: 1 с"; }, 20000))
      << summary->Text().toStdString();
  g().Button1->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return summary->Text() == "На графике нет пуска."; }, 20000));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A journal of three runs (one found going on, one restarted, one after
// standing) with its session's timeline: the chart's caption, the list of
// runs, the summary and the timeline give every run the start and the length
// the model gave it live.
TEST_F(GraphRuns, TheChartTheListTheSummaryAndTheTimelineAgreeOnEachRun) {
  TfGraph scratch;
  LiveSession heater(scratch);
  SessionRuns model;
  std::string timeline;
  int now = 0;  // seconds after the opening at 15:20:00
  const auto clock = [&now] { return LocalTime{2026, 12, 8, 15, 20 + now / 60, now % 60}; };
  SessionEvents events([&](std::string_view text) { timeline += TimelineLine(clock(), text); });
  events.PortOpened("/dev/ttyUSB0");
  const auto cycle = [&](int t, int mode) {
    heater.Cycle(t, "", mode);
    events.RunCycle(model.Take({t, mode, 0, WallSecondsOf(2026, 12, 8, 15, 20 + now / 60, now % 60)}), model);
    ++now;
  };
  for (int t = 40; t <= 70; ++t) cycle(t, 21);
  for (int i = 0; i < 3; ++i) cycle(0, 0);
  for (int t = 0; t <= 100; ++t) cycle(t, t < 2 ? 1 : 21);
  for (int t = 0; t <= 20; ++t) cycle(t, t < 2 ? 1 : 4);
  cycle(0, 0);
  ASSERT_EQ(model.Runs().size(), 3u);
  const QString journal = WriteFile("S_2026-12-08_15-20-00.txt", heater.log);
  WriteFile("S_2026-12-08_15-20-00.events.tsv", timeline);

  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const SessionRun& run = model.Runs()[static_cast<std::size_t>(i)];
    const QString start = QString::fromStdString(WallDateTimeText(*run.start));
    const QString length = QString::fromStdString(SecondsText(double(run.length)));
    QList<Qt::Key> keys{Qt::Key_Home};
    for (int k = 0; k < i; ++k) keys << Qt::Key_Down;
    keys << Qt::Key_Enter;
    QStringList rows;
    AnswerRunList(keys, &rows);
    g().OpenRecordLog(journal);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[i].section('|', 1, 2), start + '|' + length);
    g().aRunSummary->trigger();
    const QStringList lines = g().fRunSummary->Text().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Начало: " + start)) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "Длительность: " + length);
    EXPECT_TRUE(g().PictureTitle().endsWith("; пуск начат " + start + ", длительность " + length))
        << g().PictureTitle().toStdString();
    EXPECT_NE(timeline.find(RunEndedText(static_cast<int32_t>(run.length))), std::string::npos);
  }
  // By hand: found at 40 s on opening, begun 34 s after it, restarted at 135 s.
  EXPECT_EQ(WallDateTimeText(*model.Runs()[0].start), "08.12.2026 15:19:20");
  EXPECT_EQ(WallDateTimeText(*model.Runs()[1].start), "08.12.2026 15:20:34");
  EXPECT_EQ(model.Runs()[1].length, 100);
  EXPECT_EQ(WallDateTimeText(*model.Runs()[2].start), "08.12.2026 15:22:15");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5
