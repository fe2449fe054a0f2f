// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's context menu: record logs charted again (from a file, a
// drop, or the main window's record log), the series saved as CSV and the
// chart as a picture, and what bad files and failed writes do.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QUrl>
#include <QTimer>
#include <QTreeWidget>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "heater/RecordLog.h"
#include "heater/TelemetryDecoder.h"
#include "tests/graph/GraphTestSupport.h"
#include "tests/graph/LiveTelemetry.h"

namespace o5 {
namespace {

using test::AnswerFileDialogs;
using test::AnswerRunList;
using test::LiveSession;
using test::FileDialogRequests;
using test::TakeErrors;
using test::TakeInformation;

class GraphRecordLog : public test::GraphFixture {
 protected:
  void SetUp() override {
    GraphFixture::SetUp();
    TakeInformation();
    test::ClearFileDialogs();
    graph_ = std::make_unique<TfGraph>();
  }
  void TearDown() override {
    test::ClearFileDialogs();
    GraphFixture::TearDown();
  }

  static std::string ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  }
  // A session with two runs, lines of lost frames among them, ending standing.
  std::string SessionLog(TfGraph& live) {
    LiveSession s(live);
    for (int t : {0, 0, 2, 3, 4, 5, 0, 0, 1}) s.Cycle(t);
    for (int t = 2; t < 40; ++t) s.Cycle(t, t == 10 ? "g" : t == 20 ? "e" : "");
    for (int t : {0, 0}) s.Cycle(t);
    return s.log;
  }

  // A command as the menu or a shortcut runs it: from the event loop, where
  // the application's one catch point shows what it raises.
  static void Run(QAction* action) {
    QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    QCoreApplication::sendPostedEvents(action, QEvent::MetaCall);
  }

  TfGraph& g() { return *graph_; }
  std::unique_ptr<TfGraph> graph_;
};

// ---- the menu and its shortcuts ---------------------------------------------

TEST_F(GraphRecordLog, ARightClickOnTheChartOpensTheMenuAndARightDragPansWithoutIt) {
  Show(g());
  // Opening, saving, the cursors, the run, the looks; a line between each two.
  const QList<QAction*> entries = g().pmCharts->actions();
  ASSERT_EQ(entries.size(), 16);
  for (int k : {2, 5, 9, 13}) EXPECT_TRUE(entries[k]->isSeparator()) << k;
  EXPECT_EQ((QList<QAction*>{entries[0], entries[1], entries[3], entries[4], entries[6], entries[7], entries[8],
                             entries[10], entries[11], entries[12], entries[14], entries[15]}),
            (QList<QAction*>{g().aOpenLog, g().aLastRun, g().aSaveData, g().aSavePicture, g().aMarkA, g().aMarkB,
                             g().aClearMarks, g().aWholeRun, g().aFollow, g().aRunSummary, g().aModes,
                             g().aDistinctColors}));
  EXPECT_EQ(g().aMarkA->text(), "Метка A здесь");
  EXPECT_EQ(g().aMarkB->text(), "Метка B здесь");
  EXPECT_EQ(g().aClearMarks->text(), "Убрать метки");
  EXPECT_EQ(g().aModes->text(), "Режимы и неисправности");
  EXPECT_TRUE(g().aModes->isCheckable());
  EXPECT_TRUE(g().aModes->isChecked());
  EXPECT_EQ(g().aDistinctColors->text(), "Различимые цвета");
  EXPECT_EQ(g().aOpenLog->text(), "Открыть журнал…");
  EXPECT_EQ(g().aLastRun->text(), "Последний пуск");
  EXPECT_EQ(g().aSaveData->text(), "Сохранить данные…");
  EXPECT_EQ(g().aSavePicture->text(), "Сохранить рисунок…");
  EXPECT_EQ(g().aOpenLog->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(g().aLastRun->shortcut(), QKeySequence("Ctrl+L"));
  EXPECT_EQ(g().aSaveData->shortcut(), QKeySequence("Ctrl+S"));

  const QRect plot = g().Charts->rect().adjusted(80, 40, -40, -60);
  QTest::mousePress(g().Charts, Qt::RightButton, {}, plot.center());
  QTest::mouseRelease(g().Charts, Qt::RightButton, {}, plot.center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return g().pmCharts->isVisible(); }, 20000));
  g().pmCharts->hide();

  const double xMin = g().Charts->BottomAxis().Minimum();
  QTest::mousePress(g().Charts, Qt::RightButton, {}, plot.center());
  QMouseEvent move(QEvent::MouseMove, QPointF(plot.center() + QPoint(30, 0)),
                   g().Charts->mapToGlobal(QPointF(plot.center() + QPoint(30, 0))), Qt::NoButton,
                   Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(g().Charts, &move);
  QTest::mouseRelease(g().Charts, Qt::RightButton, {}, plot.center() + QPoint(30, 0));
  QCoreApplication::processEvents();
  EXPECT_FALSE(g().pmCharts->isVisible());
  EXPECT_LT(g().Charts->BottomAxis().Minimum(), xMin);

  // The keyboard's menu key.
  QContextMenuEvent key(QContextMenuEvent::Keyboard, plot.center(), g().Charts->mapToGlobal(plot.center()));
  QApplication::sendEvent(g().Charts, &key);
  EXPECT_TRUE(g().pmCharts->isVisible());
  g().pmCharts->hide();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(GraphRecordLog, ShortcutsWorkWhileTheGraphWindowIsActiveAndOnlyThen) {
  Show(g());
  g().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&g()));
  QTest::keyClick(g().edXMin, Qt::Key_O, Qt::ControlModifier);  // focus in a spin edit
  QTest::keyClick(&g(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(FileDialogRequests().size(), 2);
  EXPECT_FALSE(FileDialogRequests()[0].save);
  EXPECT_EQ(FileDialogRequests()[0].caption, "Открыть журнал…");
  EXPECT_TRUE(FileDialogRequests()[1].save);
  EXPECT_TRUE(FileDialogRequests()[1].path.endsWith(".csv"));
  EXPECT_TRUE(QFileInfo(FileDialogRequests()[1].path).fileName().startsWith("G_"));

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  QTest::keyClick(&other, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(&other, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(FileDialogRequests().size(), 2);
}

// ---- opening a record log ------------------------------------------------------

TEST_F(GraphRecordLog, AnOpenedLogIsChartedAsTheLiveTelemetryChartedTheRunChosen) {
  // The live chart keeps the last run while the heater stands after it.
  TfGraph live;
  LiveSession s(live);
  for (int t : {0, 0, 2, 3, 4, 5, 0, 0, 1}) s.Cycle(t);
  for (int t = 2; t < 40; ++t) s.Cycle(t);
  for (int t : {0, 0}) s.Cycle(t);
  const std::string liveCsv = live.SeriesCsvText();
  const QString path = WriteFile("D_2026-12-7_10-0-0.txt", s.log);

  AnswerFileDialogs({path});
  QStringList rows;
  AnswerRunList({Qt::Key_Enter}, &rows);
  Run(g().aOpenLog);
  ASSERT_EQ(FileDialogRequests().size(), 1);
  EXPECT_EQ(FileDialogRequests()[0].filter, "Журнал записей (*.txt);;Все файлы (*)");
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_EQ(rows, (QStringList{"1|—|5 с|Прогрев|нет", "2|—|39 с|Прогрев|нет"}));
  EXPECT_TRUE(TakeInformation().isEmpty());
  EXPECT_EQ(test::WithoutClock(g().SeriesCsvText()), test::WithoutClock(liveCsv));
  EXPECT_EQ(g().Charts->Series(11).X(0), 2);  // the run alone, no standing record
}

TEST_F(GraphRecordLog, LinesOfCyclesThatLostFramesAreSkippedAndCountedInTheMessage) {
  const QString path = WriteFile("lossy.txt", SessionLog(g()));
  g().ClearCharts();
  AnswerFileDialogs({path});
  AnswerRunList({Qt::Key_Return});
  Run(g().aOpenLog);
  EXPECT_EQ(TakeInformation(), QStringList{"Пропущено неполных строк: 2."});
  // Every complete record of the run: the lines of the lost 'g' and of the
  // lost 'e' are left out.
  const SeriesData& errors = g().Charts->Series(11);
  ASSERT_EQ(errors.Size(), 38u - 2u);
  EXPECT_EQ(errors.X(0), 2);
  EXPECT_EQ(errors.X(errors.Size() - 1), 39);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(g().Charts->Series(i).Size(), errors.Size()) << i;
}

TEST_F(GraphRecordLog, ADroppedFileOpensAsARecordLog) {
  TfGraph live;
  LiveSession s(live);
  for (int t = 2; t < 12; ++t) s.Cycle(t);
  const QString path = WriteFile("dropped.txt", s.log);
  Show(g());
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  const QPoint at = g().Charts->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(g().Charts, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(g().Charts, &drop);
  ASSERT_TRUE(QTest::qWaitFor([&] { return g().Charts->Series(0).Size() == 10; }, 20000));
  EXPECT_TRUE(TakeInformation().isEmpty());
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(GraphRecordLog, BadFilesShowOneErrorNamingTheFileAndChangeNothing) {
  g().AddPoint(0, 5, 7);
  const QString garbage = WriteFile("garbage.txt", "WTime; ModeT\r\nnot a record\r\n\x01\x02\r\n");
  const QString missing = dir_.filePath("missing.txt");
  const QString folder = dir_.path();
  for (const QString& path : {garbage, missing, folder}) {
    AnswerFileDialogs({path});
    Run(g().aOpenLog);
    const QStringList errors = TakeErrors();
    ASSERT_EQ(errors.size(), 1) << path.toStdString();
    EXPECT_TRUE(errors[0].startsWith("Не удалось открыть файл \"" + path + "\": ")) << errors[0].toStdString();
    EXPECT_EQ(g().Charts->Series(0).Size(), 1u);
  }
  AnswerFileDialogs({});  // cancelled: nothing at all
  Run(g().aOpenLog);
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_TRUE(TakeInformation().isEmpty());
  EXPECT_EQ(g().Charts->Series(0).Size(), 1u);
}

TEST_F(GraphRecordLog, LastRunChartsTheRecordsTheMainWindowHoldsNow) {
  TfGraph live;
  const std::string log = SessionLog(live);
  std::string source;
  g().SetRecordLogSource([&source] { return source; });
  g().AddPoint(0, 5, 7);
  Run(g().aLastRun);
  EXPECT_EQ(TakeErrors(), QStringList{"В журнале записей нет ни одной полной записи."});
  EXPECT_EQ(g().Charts->Series(0).Size(), 1u);

  source = log;
  Run(g().aLastRun);
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_EQ(TakeInformation(),
            QStringList{"Пусков в журнале: 2; показан последний, 2-й.\nПропущено неполных строк: 2."});
  EXPECT_EQ(g().Charts->Series(11).Size(), 36u);
}

// A standing heater adds nothing to the chart: a run charted again stays
// until the heater runs, and the new run is then charted as live.
TEST_F(GraphRecordLog, AStandingHeaterLeavesARunChartedAgainUntilItRunsAgain) {
  TfGraph live;
  const std::string log = SessionLog(live);
  g().SetRecordLogSource([&log] { return log; });
  LiveSession heater(g());

  heater.Cycle(0);
  Run(g().aLastRun);
  TakeInformation();
  const std::string shown = g().SeriesCsvText();
  ASSERT_EQ(g().Charts->Series(11).Size(), 36u);
  for (int t : {0, 0, 1, 0}) heater.Cycle(t);
  EXPECT_EQ(g().SeriesCsvText(), shown);

  // The heater starts: the chart is the live one again, and stays when it stops.
  for (int t : {0, 1}) heater.Cycle(t, "", 1);
  heater.Cycle(2);
  EXPECT_EQ(g().Charts->Series(11).Size(), 3u);
  EXPECT_EQ(g().Charts->Series(11).X(0), 0);
  heater.Cycle(0);
  EXPECT_EQ(g().Charts->Series(11).Size(), 3u);

  // "Очистить" ends the hold over a run charted again while the heater runs.
  for (int t : {0, 1}) heater.Cycle(t, "", 1);
  Run(g().aLastRun);
  TakeInformation();
  heater.Cycle(2);
  EXPECT_EQ(test::WithoutClock(g().SeriesCsvText()), test::WithoutClock(shown));
  g().Button1->click();
  EXPECT_EQ(g().Charts->Series(11).Size(), 0u);
  heater.Cycle(3);
  EXPECT_EQ(g().Charts->Series(11).Size(), 1u);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A run charted again while the heater runs takes none of its points; the
// live chart comes back with the heater's next run.
TEST_F(GraphRecordLog, ARunningHeaterMixesNoPointIntoARunChartedAgain) {
  TfGraph live;
  const std::string log = SessionLog(live);
  g().SetRecordLogSource([&log] { return log; });
  LiveSession heater(g());
  heater.Cycle(0, "", 1);
  for (int t : {2, 3, 4}) heater.Cycle(t);
  Run(g().aLastRun);
  TakeInformation();
  const std::string shown = g().SeriesCsvText();
  for (int t = 5; t < 9; ++t) heater.Cycle(t);
  EXPECT_EQ(g().SeriesCsvText(), shown);

  // Stopped, then started again: the new run is charted live.
  for (int t : {0, 0, 1}) heater.Cycle(t);
  EXPECT_EQ(g().SeriesCsvText(), shown);
  for (int t : {0, 1}) heater.Cycle(t, "", 1);
  heater.Cycle(2);
  EXPECT_EQ(g().Charts->Series(11).Size(), 3u);
  EXPECT_EQ(g().Charts->Series(11).X(0), 0);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// ---- saving ------------------------------------------------------------------

TEST_F(GraphRecordLog, SeriesCsvHasTheRowCaptionsAndACellPerSeriesAtEachTime) {
  g().AddPoint(0, 3, -5);
  g().AddPoint(12, 3, 126);
  g().AddPoint(0, 2, 1.5);
  g().AddPoint(2, 4, 334);
  const QString path = dir_.filePath("data.csv");
  AnswerFileDialogs({path});
  Run(g().aSaveData);
  ASSERT_TRUE(TakeErrors().isEmpty());
  EXPECT_EQ(FileDialogRequests()[0].filter, "CSV (*.csv)");
  EXPECT_EQ(ReadFile(path),
            "\xEF\xBB\xBF"
            "Время, с;Тжидкости;Тперегрева;Тпламени;Тна плате;Вент. Задатчик;Вент. Измерение;"
            "Топливный насос;Свеча;Реле;Помпа;Режим;Неисправность;U;Время\r\n"
            "2;1,5;;;;;;;;;;;;;\r\n"
            "3;-5;;;;;;;;;;;;126;\r\n"
            "4;;;334;;;;;;;;;;;\r\n");
}

// The save dialogs add the extension themselves, before they ask whether to
// replace a file: a name given back without one is saved as it stands.
TEST_F(GraphRecordLog, DialogsAddTheExtensionAndTheirAnswerIsUsedAsItStands) {
  g().AddPoint(0, 3, -5);
  AnswerFileDialogs({dir_.filePath("data"), dir_.filePath("chart")});
  Run(g().aSaveData);
  Run(g().aSavePicture);
  ASSERT_TRUE(TakeErrors().isEmpty());
  ASSERT_EQ(FileDialogRequests().size(), 2);
  EXPECT_EQ(FileDialogRequests()[0].defaultSuffix, "csv");
  EXPECT_EQ(FileDialogRequests()[1].defaultSuffix, "png");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), (QStringList{"chart", "data"}));
  EXPECT_TRUE(ReadFile(dir_.filePath("data")).starts_with("\xEF\xBB\xBF"));
}

TEST_F(GraphRecordLog, AFailedWriteNamesTheFileAndLeavesNoFileBehind) {
  g().AddPoint(0, 3, -5);
  const QString inMissingFolder = dir_.filePath("no/such/folder/data.csv");
  const QString onAFolder = dir_.filePath("sub.csv");
  ASSERT_TRUE(QDir(dir_.path()).mkdir("sub.csv"));
  for (const QString& path : {inMissingFolder, onAFolder}) {
    AnswerFileDialogs({path});
    Run(g().aSaveData);
    const QStringList errors = TakeErrors();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Не удалось сохранить файл \"" + path + "\": "))
        << errors[0].toStdString();
  }
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            (QStringList{"sub.csv"}));
}

// A picture that stands alone: a title saying what is charted and when, the
// chart as shown, and a legend of the shown series in their colours.
TEST_F(GraphRecordLog, ThePictureHasATitleTheChartAsShownAndALegend) {
  Show(g());
  g().aDistinctColors->trigger();
  g().cb[4]->setChecked(false);
  g().AddPoint(0, 10, 100);
  g().AddPoint(0, 50, 300);
  g().Charts->SetCursor(Cursor::kA, 30);
  Settle(g());
  const QString path = dir_.filePath("chart.png");
  AnswerFileDialogs({path});
  Run(g().aSavePicture);
  ASSERT_TRUE(TakeErrors().isEmpty());
  EXPECT_EQ(FileDialogRequests()[0].filter, "Рисунок PNG (*.png)");
  QImage image;
  ASSERT_TRUE(image.load(path, "PNG"));
  // Run once more with the screen doubled (QT_SCALE_FACTOR=2, see CMakeLists.txt).
  if (qgetenv("QT_SCALE_FACTOR") == "2") {
    EXPECT_EQ(g().Charts->devicePixelRatio(), 2);
  }
  const QImage chart = g().Charts->Picture();
  ASSERT_EQ(chart.size(), g().Charts->size() * g().Charts->devicePixelRatio());
  EXPECT_EQ(image.width(), chart.width());
  ASSERT_GT(image.height(), chart.height());
  // The chart lies whole in the picture, under the title.
  const QImage want = chart.convertToFormat(QImage::Format_RGB32);
  const QImage got = image.convertToFormat(QImage::Format_RGB32);
  int top = -1;
  for (int y = 0; y + want.height() <= got.height() && top < 0; ++y)
    if (got.copy(0, y, want.width(), want.height()) == want) top = y;
  ASSERT_GT(top, 0);
  // The legend: each shown series' colour, the hidden one's not.
  auto inLegend = [&](const QColor& c) {
    for (int y = top + want.height(); y < got.height(); ++y)
      for (int x = 0; x < got.width(); ++x)
        if (got.pixelColor(x, y) == c) return true;
    return false;
  };
  for (int i = 0; i < 13; ++i) EXPECT_EQ(inLegend(g().Charts->SeriesColor(i)), i != 4) << i;

  EXPECT_TRUE(g().PictureTitle().startsWith("Телеметрия в реальном времени, ")) << g().PictureTitle().toStdString();
  TfGraph live;
  const QString log = WriteFile("D_2026-12-7_10-0-0.txt", SessionLog(live));
  AnswerRunList({Qt::Key_Enter});
  g().OpenRecordLog(log);
  TakeInformation();
  const QString now = QDateTime::currentDateTime().toString("dd.MM.yyyy");
  // The log holds two runs; the last was chosen.
  EXPECT_TRUE(g().PictureTitle().startsWith("Журнал \"D_2026-12-7_10-0-0.txt\", пуск 2 из 2, открыт " + now))
      << g().PictureTitle().toStdString();
  const std::string records = SessionLog(live);
  g().SetRecordLogSource([&records] { return records; });
  g().ShowLastRun();
  TakeInformation();
  EXPECT_TRUE(g().PictureTitle().startsWith("Последний пуск, показан " + now)) << g().PictureTitle().toStdString();
  g().Button1->click();
  EXPECT_TRUE(g().PictureTitle().startsWith("Телеметрия в реальном времени, "));
}

// ---- cursors, modes and colours from the menu ------------------------------

TEST_F(GraphRecordLog, CursorsGoWhereTheMenuWasOpenedAndAreClearedByTheMenuOrClear) {
  Show(g());
  const PlotMapping p = g().Charts->Frame().plot;
  const QPoint a(p.left + p.width / 4, p.top + p.height / 2);
  const QPoint b(p.left + p.width * 3 / 4, p.top + p.height / 2);
  for (const auto& [at, action] : {std::pair{a, g().aMarkA}, std::pair{b, g().aMarkB}}) {
    QTest::mousePress(g().Charts, Qt::RightButton, {}, at);
    QTest::mouseRelease(g().Charts, Qt::RightButton, {}, at);
    ASSERT_TRUE(QTest::qWaitFor([&] { return g().pmCharts->isVisible(); }, 20000));
    g().pmCharts->hide();
    Run(action);
  }
  ASSERT_TRUE(g().Charts->CursorX(Cursor::kA));
  ASSERT_TRUE(g().Charts->CursorX(Cursor::kB));
  EXPECT_DOUBLE_EQ(*g().Charts->CursorX(Cursor::kA), p.PixelToX(a.x()));
  EXPECT_DOUBLE_EQ(*g().Charts->CursorX(Cursor::kB), p.PixelToX(b.x()));
  Run(g().aClearMarks);
  EXPECT_FALSE(g().Charts->CursorX(Cursor::kA));
  EXPECT_FALSE(g().Charts->CursorX(Cursor::kB));
  g().Charts->SetCursor(Cursor::kA, 5);
  g().Button1->click();
  EXPECT_FALSE(g().Charts->CursorX(Cursor::kA));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(GraphRecordLog, TheBoxNamesTheSeriesByTheirRowCaptions) {
  Show(g());
  for (int s = 0; s < 13; ++s) g().AddPoint(s, 10, s * 10 + 0.5);
  for (int s = 2; s < 13; ++s) g().cb[s]->setChecked(false);
  Settle(g());
  const PlotMapping p = g().Charts->Frame().plot;
  const QPointF at(p.XToPixel(100), p.top + 20);
  QMouseEvent move(QEvent::MouseMove, at, g().Charts->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(g().Charts, &move);
  const QStringList lines = g().Charts->ReadoutBox()->accessibleName().split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[1], "Тжидкости: 0,5");
  EXPECT_EQ(lines[2], "Тперегрева: 10,5");
}

TEST_F(GraphRecordLog, TheStripNamesModesAndFaultsAsTheModesWindowAndItsLegendDo) {
  Show(g());
  for (int t = 0; t <= 200; t += 5) {
    g().AddPoint(10, t, t < 100 ? 21 : 2);
    g().AddPoint(11, t, t < 150 ? 0 : 17);
  }
  Settle(g());
  const ChartFrame f = g().Charts->Frame();
  ASSERT_FALSE(f.strip.isEmpty());
  const int y = f.strip.center().y();
  EXPECT_EQ(g().Charts->TimelineHint(QPoint(int(f.plot.XToPixel(50)), y)), "21 - Прогрев");
  EXPECT_EQ(g().Charts->TimelineHint(QPoint(int(f.plot.XToPixel(120)), y)), "2 - Охлаждение");
  EXPECT_EQ(g().Charts->TimelineHint(QPoint(int(std::lround(f.plot.XToPixel(150))) + 1, y)),
            "Неисправность 17: КЗ топливного насоса, обрыв цепи топливного насоса");

  // Hidden from the menu, and so kept for the next start.
  Run(g().aModes);
  EXPECT_FALSE(g().aModes->isChecked());
  EXPECT_TRUE(g().Charts->Frame().strip.isEmpty());
  g().SaveSettings();
  EXPECT_TRUE(ConfigText().contains("ShowModes=0\n")) << ConfigText().toStdString();
  TfGraph next;
  EXPECT_FALSE(next.aModes->isChecked());
  EXPECT_FALSE(next.Charts->TimelineShown());
}

TEST_F(GraphRecordLog, DistinctColoursAreSetAsIfChosenByHandAndKept) {
  for (int i = 0; i < 13; ++i) EXPECT_EQ(g().Charts->SeriesColor(i), QColor(0, 128, 0));
  Run(g().aDistinctColors);
  QSet<QRgb> colours;
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(g().sp[i]->Color(), g().Charts->SeriesColor(i)) << i;
    colours.insert(g().Charts->SeriesColor(i).rgb());
  }
  EXPECT_EQ(colours.size(), 13);
  EXPECT_EQ(g().Charts->SeriesColor(0), QColor(0xD1, 0xBB, 0xD7));
  g().SaveSettings();
  TfGraph next;
  for (int i = 0; i < 13; ++i) EXPECT_EQ(next.Charts->SeriesColor(i), g().Charts->SeriesColor(i)) << i;
}

}  // namespace
}  // namespace o5
