// SPDX-License-Identifier: GPL-3.0-or-later
// The tool against the heater simulator: the four real windows and the real
// serial port component on one side, the simulator process on a
// pseudo-terminal on the other.

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/ByteTracePane.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/RealTool.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/Simulator.h"
#include "heater/BlackBoxReport.h"
#include "ui/blackbox/TfBB.h"
#include "chart/ChartReadout.h"
#include "heater/ModeNames.h"
#include "ui/graph/GraphLook.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

const QString kNoReply = QString::fromUtf8("Нет связи с отопителем.");

class EndToEnd : public AppFixture {
 protected:
  void TearDown() override {
    if (fMain->Port->Connected()) fMain->Port->ClosePort();
    AppFixture::TearDown();
  }
  // Starts the simulator and opens its port the way a user does.
  void Connect(std::vector<std::string> options) {
    options.push_back("--quiet");
    sim_ = std::make_unique<Simulator>(options);
    fMain->Port->SetPort(sim_->DevicePath());
    QTest::mouseClick(fMain->BSR, Qt::LeftButton);
    ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
  }
  QStringList Console() const {
    const QString text = fMain->MC->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
  }
  // Black-box read requests the simulator has received so far.
  long ReadRequests() const {
    const auto frames = sim_->ReceivedFrames();
    return std::count_if(frames.begin(), frames.end(),
                         [](const std::string& f) { return f.rfind("AA 09 00 00 77", 0) == 0; });
  }
  // The simulator's black box, as it writes it to a file.
  BlackBoxBytes SimulatorImage(const QTemporaryDir& dir) {
    const QString path = dir.filePath("sim.bin");
    EXPECT_EQ(sim_->Command("save-blackbox " + path.toStdString()).rfind("OK", 0), 0u);
    const QByteArray bytes = FileBytes(path);
    EXPECT_EQ(bytes.size(), 256);
    BlackBoxBytes image{};
    std::copy_n(bytes.begin(), std::min<qsizetype>(bytes.size(), 256), image.begin());
    return image;
  }
  // Every label and cell of the black-box window is the report of `image`.
  static void ExpectWindowShows(const BlackBoxBytes& image) {
    const BlackBoxReport report = MakeBlackBoxReport(image, QLocale().decimalPoint().toStdString());
    const QLabel* labels[] = {fBB->lDP, fBB->l1, fBB->l2,  fBB->l3,  fBB->l4,
                              fBB->l5,  fBB->l6, fBB->l7,  fBB->l8,  fBB->l9,
                              fBB->l10, fBB->l11, fBB->l12, fBB->l13, fBB->l14};
    for (int i = 0; i < BlackBoxReport::kLabelCount; ++i)
      EXPECT_EQ(labels[i]->text().toStdString(), report.labels[i]) << i;
    for (int r = 0; r < BlackBoxReport::kRows; ++r)
      for (int c = 0; c < BlackBoxReport::kColumns; ++c) {
        const QTableWidgetItem* item = fBB->sgBB->item(r, c);
        EXPECT_EQ(item ? item->text().toStdString() : std::string(), report.cells[r][c])
            << r << "," << c;
      }
  }
  std::unique_ptr<Simulator> sim_;
};

TEST_F(EndToEnd, VersionRequestsGoOutByteForByteAndTheRepliesReachTheConsole) {
  Connect({"--no-pacing", "--no-telemetry", "--fw-version", "2.10.0.255", "--fw-date", "7.12.26.1"});
  fMain->bVerClick(fMain->bVer);
  EXPECT_TRUE(sim_->WaitForReceived("AA 09 00 00 68 00 00 00 00 1B", 5s));
  EXPECT_TRUE(sim_->WaitForReceived("AA 09 00 00 69 00 00 00 00 1C", 5s));
  EXPECT_EQ(Console(), QStringList({"", QString::fromUtf8("Версия 2.10.0 - 255"),
                                    QString::fromUtf8("Дата   7.12.26 - 1")}));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(EndToEnd, StartAndStopFramesAndThePostStartExchange) {
  Connect({"--no-pacing", "--no-telemetry"});
  fMain->bStartClick(fMain->bStart);
  EXPECT_TRUE(sim_->WaitForReceived("AA 01 00 00 01 00 00 00 00 AC", 5s));
  EXPECT_TRUE(sim_->WaitForReceived("AA 09 00 00 13 00 00 00 00 C6", 5s));
  fMain->bStopClick(fMain->bStop);
  EXPECT_TRUE(sim_->WaitForReceived("AA 01 00 00 03 00 00 00 00 AE", 5s));
  // Answered: no fallback frame, nothing on the console.
  const auto frames = sim_->ReceivedFrames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 01 00 00 13 00 00 00 00 BE"), 0);
  EXPECT_TRUE(Console().isEmpty());
}

// "Пуск" pressed again while it waits for the reply to its post-start
// request: the second press is ignored, so each frame goes out once.
TEST_F(EndToEnd, ASecondPressOfStartWhileItWaitsIsIgnored) {
  Connect({"--no-pacing", "--no-telemetry"});
  ASSERT_EQ(sim_->Command("reply-delay 300").rfind("OK", 0), 0u);
  const char* const postStart = "AA 09 00 00 13 00 00 00 00 C6";
  bool pressed = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!sim_->WaitForReceived(postStart, 0ms)) return;
    watch.stop();
    pressed = true;
    QTest::mouseClick(fMain->bStart, Qt::LeftButton);
  });
  watch.start(1);
  QTest::mouseClick(fMain->bStart, Qt::LeftButton);
  EXPECT_TRUE(pressed);
  QTest::qWait(500);
  EXPECT_TRUE(sim_->WaitForReceivedCount("AA 01 00 00 01 00 00 00 00 AC", 1, 0ms));
  EXPECT_FALSE(sim_->WaitForReceivedCount("AA 01 00 00 01 00 00 00 00 AC", 2, 0ms));
  EXPECT_FALSE(sim_->WaitForReceivedCount(postStart, 2, 0ms));
  EXPECT_TRUE(Console().isEmpty()) << Console().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(EndToEnd, AHeaterThatNeverAnswersGetsTheFallbackFramesAndOneLinePerRequest) {
  Connect({"--no-pacing", "--no-telemetry", "--no-reply", "all"});
  fMain->bStartClick(fMain->bStart);
  EXPECT_TRUE(sim_->WaitForReceived("AA 01 00 00 13 00 00 00 00 BE", 5s));
  EXPECT_EQ(Console(), QStringList({kNoReply}));
  fMain->bVerClick(fMain->bVer);
  EXPECT_EQ(Console(), QStringList({kNoReply, kNoReply}));
  const auto frames = sim_->ReceivedFrames();
  EXPECT_EQ(std::count(frames.begin(), frames.end(), "AA 09 00 00 69 00 00 00 00 1C"), 0);
}

TEST_F(EndToEnd, RepliesWithBadChecksumsOrAWrongByte4AreNotAccepted) {
  Connect({"--no-pacing", "--no-telemetry", "--bad-checksum", "100"});
  fMain->bVerClick(fMain->bVer);
  EXPECT_EQ(Console(), QStringList({kNoReply}));
  ASSERT_EQ(sim_->Command("bad-checksum 0").rfind("OK", 0), 0u);
  ASSERT_EQ(sim_->Command("wrong-byte4 on").rfind("OK", 0), 0u);
  fMain->bVerClick(fMain->bVer);
  EXPECT_EQ(Console(), QStringList({kNoReply, kNoReply}));
}

TEST_F(EndToEnd, TelemetryFillsTheRecordLogTheChartsTheTimeAndTheModeBar) {
  Connect({"--no-pacing", "--cycle", "100", "--running"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() >= 5; }, 20000));
  const QStringList records = fMain->MR->toPlainText().split('\n');
  for (const QString& r : records) {
    // Every field sits under its column: the semicolons of the header.
    const QString header = fMain->Label7->text();
    for (int i = 0; i < header.size() && i < r.size(); ++i) {
      if (header[i] == ';') {
        EXPECT_EQ(r[i], QChar(';')) << r.toStdString();
      }
    }
  }
  EXPECT_FALSE(fMain->lTime->text().isEmpty());
  EXPECT_TRUE(fMain->lTime->text().contains(':'));
  EXPECT_FALSE(frmModes->ModeCaption().isEmpty());
  EXPECT_GE(fMain->MT->LineCount(), 5u * 70u);
  EXPECT_EQ(fMain->Receiver().counters().badChecksum, 0u);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(EndToEnd, NoisePartialFramesAndBadChecksumsDisturbNothingElse) {
  Connect({"--no-pacing", "--cycle", "100", "--running", "--noise", "30", "--partial", "10",
           "--bad-checksum", "10", "--seed", "7"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() >= 10; }, 30000));
  EXPECT_GT(fMain->Receiver().counters().frames, 50u);
  EXPECT_GT(fMain->Receiver().counters().badChecksum + fMain->Receiver().counters().partialDropped,
            0u);
  EXPECT_TRUE(TakeErrors().isEmpty());
  // Commands still work in the middle of it.
  ASSERT_EQ(sim_->Command("clear").rfind("OK", 0), 0u);
  fMain->bVerClick(fMain->bVer);
  EXPECT_TRUE(Console().contains(QString::fromUtf8("Версия "), Qt::CaseSensitive) ||
              Console().filter(QString::fromUtf8("Версия ")).size() == 1)
      << Console().join("|").toStdString();
}

TEST_F(EndToEnd, ARestartOfTheHeaterClearsTheCharts) {
  Connect({"--no-pacing", "--cycle", "50", "--running"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 3; }, 20000));
  ASSERT_EQ(sim_->Command("stop").rfind("OK", 0), 0u);
  ASSERT_EQ(sim_->Command("start").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer < 2; }, 20000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 2; }, 20000));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The run that has just ended, charted again, stays while the stopped heater's cycles go on.
TEST_F(EndToEnd, TheLastRunChartedAgainStaysWhileTheHeaterIdles) {
  Connect({"--no-pacing", "--cycle", "50", "--speed", "20", "--running"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 10; }, 20000));
  ASSERT_EQ(sim_->Command("stop").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer < 2; }, 30000));
  fGraph->ShowLastRun();
  const std::string shown = fGraph->SeriesCsvText();
  ASSERT_GT(fGraph->Charts->Series(11).Size(), 10u);
  const int records = fMain->MR->document()->blockCount();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return fMain->MR->document()->blockCount() >= records + 5; }, 20000));
  EXPECT_EQ(fGraph->SeriesCsvText(), shown);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The live chart of a running heater: the strip follows its modes, a mark with the code stands
// where a fault comes, and the cursors set from the chart's menu read out the time between them.
TEST_F(EndToEnd, TheLiveStripFollowsTheModesAndMarksAFaultAndTheCursorsReadOut) {
  Connect({"--no-pacing", "--cycle", "50", "--speed", "20", "--running"});
  fMain->bGraphClick(fMain->bGraph);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fGraph));
  ChartWidget* chart = fGraph->Charts;
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 20; }, 30000));
  ASSERT_EQ(sim_->Command("fault 13").rfind("OK", 0), 0u);
  std::vector<FaultMark> marks;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        marks = ChartRenderer::FaultMarks(chart->Frame(), chart->font(), chart->Model());
        return !marks.empty();
      },
      30000));
  const ChartFrame frame = chart->Frame();
  EXPECT_EQ(marks[0].code, 13);
  EXPECT_EQ(chart->TimelineHint(marks[0].box.topLeft() + QPoint(1, 1)), "Неисправность 13: Попытки запуска исчерпаны");
  // Where the fault came, as the fault series has it.
  const SeriesData& faults = chart->Series(11);
  std::size_t first = 0;
  while (first < faults.Size() && faults.Y(first) != 13) ++first;
  ASSERT_LT(first, faults.Size());
  EXPECT_EQ(marks[0].box.left(), std::lround(frame.plot.XToPixel(faults.X(first))));
  // The strip under a point of the run has the colour of the mode the heater reported there.
  const SeriesData& modes = chart->Series(10);
  const std::size_t k = modes.UpperBound(10) - 1;
  const int x = int(std::lround(frame.plot.XToPixel(modes.X(k)))) + 1;
  const QImage picture = chart->Picture();
  EXPECT_EQ(picture.pixelColor(x, frame.strip.center().y()), QColor::fromRgb(ModeColor(int(modes.Y(k)))));
  EXPECT_EQ(chart->TimelineHint(QPoint(x, frame.strip.center().y())),
            QString::fromStdString(ModeCaptionText(int(modes.Y(k)))));

  // Cursors from the menu, where it was opened; the box then gives the time between them.
  const int a = frame.plot.left + frame.plot.width / 10;
  const int b = frame.plot.left + frame.plot.width / 5;
  for (const auto& [at, action] : {std::pair{a, fGraph->aMarkA}, std::pair{b, fGraph->aMarkB}}) {
    fGraph->ChartsContextMenu(chart->mapToGlobal(QPoint(at, frame.plot.top + 30)));
    fGraph->pmCharts->hide();
    action->trigger();
  }
  const QPoint over(frame.plot.left + frame.plot.width / 3, frame.plot.top + 30);
  QMouseEvent move(QEvent::MouseMove, QPointF(over), chart->mapToGlobal(QPointF(over)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(chart, &move);
  const QStringList box = chart->ReadoutBox()->accessibleName().split('\n');
  ASSERT_GE(box.size(), 2);
  const double dt = frame.plot.PixelToX(b) - frame.plot.PixelToX(a);
  const int decimals = TimeDecimals(frame.plot.ColumnWidth());
  EXPECT_EQ(box[1], "Δt = " + QString::fromStdString(FormatReadoutNumber(dt, decimals)) + " с");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A session saved, charted again from the file, and played back by the simulator into the
// tool: the charts are those the live telemetry drew, the record log comes back the same.
TEST_F(EndToEnd, ASavedSessionChartsAsLiveAndItsReplayLogsTheSameRecordsAgain) {
  QTemporaryDir work;
  const QString oldCwd = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(work.path()));
  struct BackToOldCwd {
    QString path;
    ~BackToOldCwd() { QDir::setCurrent(path); }
  } back{oldCwd};

  // A second of heater time a cycle: idle cycles, then a run.
  Connect({"--no-pacing", "--cycle", "50", "--speed", "20"});
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() >= 3; }, 20000));
  ASSERT_EQ(sim_->Command("start").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->Telemetry().runTimer >= 25; }, 30000));
  ASSERT_EQ(sim_->Command("telemetry off").rfind("OK", 0), 0u);
  QTest::qWait(1000);  // the frames already on the line arrive; nothing is asserted on time
  const QString liveCsv = work.filePath("live.csv");
  fGraph->SaveData(liveCsv);
  fMain->bSaveDataClick(fMain->bSaveData);
  const QStringList saved = QDir(work.path()).entryList({"D_*.txt"});
  ASSERT_EQ(saved.size(), 1);
  const QString log = work.filePath(saved[0]);
  QFile logFile(log);
  ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
  const QByteArray logText = logFile.readAll();

  fGraph->ClearCharts();
  fGraph->OpenRecordLog(log);
  const QString openedCsv = work.filePath("opened.csv");
  fGraph->SaveData(openedCsv);
  QFile a(liveCsv), b(openedCsv);
  ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
  // The same cells but the clock time, which a saved log does not keep.
  const auto withoutClock = [](const QByteArray& csv) {
    QStringList rows = QString::fromUtf8(csv).split("\r\n");
    for (QString& row : rows) row = row.section(';', 0, -2);
    return rows;
  };
  const QByteArray live = a.readAll();
  EXPECT_GT(live.count('\n'), 25);
  EXPECT_EQ(withoutClock(b.readAll()), withoutClock(live));
  EXPECT_TRUE(TakeInformation().isEmpty());  // one run, every line complete

  // The log played back into the tool, as a second tool would receive it.
  fMain->BSRClick(fMain->BSR);
  fMain->bClrClick(fMain->bClr);
  sim_.reset();
  Connect({"--no-pacing", "--cycle", "50", "--replay", log.toStdString()});
  const int records = int(logText.count('\n'));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return fMain->MR->document()->blockCount() >= records; }, 30000));
  EXPECT_TRUE(sim_->WaitForLog("INFO", "replay: all " + std::to_string(records) + " records sent", 5s));
  QString replayed = fMain->MR->toPlainText() + "\n";
  EXPECT_EQ(replayed.replace("\n", "\r\n").toUtf8(), logText);

  // And "Последний пуск" charts the same run from the record log.
  fGraph->ClearCharts();
  fGraph->ShowLastRun();
  EXPECT_EQ(withoutClock(QByteArray::fromStdString(fGraph->SeriesCsvText())), withoutClock(live));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(EndToEnd, ClosingTheToolSendsTheExitRequest) {
  Connect({"--no-pacing", "--no-telemetry"});
  fMain->FormClose();
  EXPECT_TRUE(sim_->WaitForReceived("AA 09 00 00 14 00 00 00 00 C7", 5s));
  EXPECT_FALSE(fMain->Port->Connected());
  EXPECT_TRUE(Console().isEmpty());
}

TEST_F(EndToEnd, AFullReadoutShowsTheSimulatorsImage) {
  QTemporaryDir dir;
  Connect({"--no-pacing", "--no-telemetry"});
  const BlackBoxBytes expected = SimulatorImage(dir);
  fMain->bBlackBoxClick(fMain->bBlackBox);
  EXPECT_TRUE(sim_->WaitForReceived("AA 09 00 00 77 FD 00 00 00 27", 5s));
  ASSERT_TRUE(fBB->isVisible());
  EXPECT_FALSE(fBB->pRead->isVisible());
  EXPECT_EQ(BlackBoxImage, expected);
  ExpectWindowShows(expected);
  // 87 exchanges: the probe, 85 chunks and the tail.
  EXPECT_EQ(ReadRequests(), 87);
}

// A double click of "Черный ящик", and a press while the readout is at chunk
// 10, are ignored: one readout runs, and what the window shows and saves is
// the heater's own image, byte for byte.
TEST_F(EndToEnd, ASecondPressDuringAReadoutIsIgnored) {
  QTemporaryDir dir;
  Connect({"--no-pacing", "--no-telemetry"});
  const BlackBoxBytes expected = SimulatorImage(dir);
  ASSERT_EQ(sim_->Command("reply-delay 20").rfind("OK", 0), 0u);
  // The probe is read request 1, chunk 10 is request 12.
  for (const long pressAt : {1L, 12L}) {
    SCOPED_TRACE(pressAt);
    BlackBoxImage.fill(0);
    const long before = ReadRequests();
    long pressedAt = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (ReadRequests() - before < pressAt) return;
      watch.stop();
      pressedAt = ReadRequests() - before;
      QTest::mouseClick(fMain->bBlackBox, Qt::LeftButton);
    });
    watch.start(1);
    QTest::mouseClick(fMain->bBlackBox, Qt::LeftButton);
    ASSERT_GE(pressedAt, pressAt);
    ASSERT_LT(pressedAt, 87);
    EXPECT_EQ(ReadRequests() - before, 87);
    EXPECT_TRUE(fBB->isVisible());
    EXPECT_EQ(BlackBoxImage, expected);
    ExpectWindowShows(expected);
    const QString saved = dir.filePath(QString("image%1.bin").arg(pressAt));
    AnswerFileDialogs({saved});
    fBB->aSaveImageExecute();
    EXPECT_EQ(FileBytes(saved), QByteArray(reinterpret_cast<const char*>(expected.data()), 256));
  }
  EXPECT_TRUE(Console().isEmpty());
  EXPECT_TRUE(TakeErrors().isEmpty());
  ClearFileDialogs();
}

// What a technician keeps of a readout: the report as PDF and CSV and the raw
// image, which opens again to the same report once the heater is gone.
TEST_F(EndToEnd, AReadoutIsKeptAsPdfCsvAndImageAndTheImageOpensToTheSameReport) {
  QTemporaryDir dir;
  const QString simImage = dir.filePath("sim.bin");
  Connect({"--no-pacing", "--no-telemetry"});
  ASSERT_EQ(sim_->Command("save-blackbox " + simImage.toStdString()).rfind("OK", 0), 0u);
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ASSERT_TRUE(fBB->HasReport());
  // Every label, then every cell, as the window shows them.
  auto shown = [] {
    QStringList texts;
    for (const QLabel* l : {fBB->lDP, fBB->l1, fBB->l2, fBB->l3, fBB->l4, fBB->l5, fBB->l6, fBB->l7,
                            fBB->l8, fBB->l9, fBB->l10, fBB->l11, fBB->l12, fBB->l13, fBB->l14})
      texts << l->text();
    for (int r = 0; r < 15; ++r)
      for (int c = 0; c < 14; ++c) texts << fBB->sgBB->item(r, c)->text();
    return texts;
  };
  const QStringList report = shown();
  const QStringList cells = report.mid(15);

  AnswerFileDialogs({dir.filePath("report.pdf"), dir.filePath("report.csv"), dir.filePath("image.bin")});
  fBB->aSaveReportExecute();
  fBB->aSaveReportExecute();
  fBB->aSaveImageExecute();
  EXPECT_TRUE(TakeErrors().isEmpty());

  const QString pdf = PdfText(dir.filePath("report.pdf"));
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_TRUE(pdf.contains(fBB->l13->text())) << fBB->l13->text().toStdString();
  EXPECT_EQ(RowsMissingFromPdf(pdf, *fBB->sgBB), QStringList());

  const auto rows = CsvRows(FileBytes(dir.filePath("report.csv")).mid(3).toStdString());
  // The source and the tool, a row per label (its caption, then its
  // numbers), the grid, then the explanation of its codes and modes.
  ASSERT_GT(rows.size(), 32u);
  QStringList grid;
  for (size_t i = 17; i < 32; ++i)
    for (const std::string& field : rows[i]) grid << QString::fromStdString(field);
  for (const QString& label : report.mid(0, 15)) {
    const auto row = std::find_if(rows.begin() + 2, rows.begin() + 17, [&](const std::vector<std::string>& r) {
      return label.startsWith(QString::fromStdString(r.front())) &&
             label.contains(QString::fromStdString(r.at(1)));
    });
    EXPECT_NE(row, rows.begin() + 17) << label.toStdString();
  }
  // The window's cells, with the decimal comma whatever the locale.
  QStringList csvCells = cells;
  for (QString& cell : csvCells) cell.replace('.', ',');
  EXPECT_EQ(grid, csvCells);

  EXPECT_EQ(FileBytes(dir.filePath("image.bin")), FileBytes(simImage));
  EXPECT_EQ(FileBytes(simImage).size(), 256);

  // Another report in between, then the port closed: the saved image brings
  // the first report back.
  BlackBoxImage.fill(0);
  fBB->ShowReport();
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_FALSE(fMain->Port->Connected());
  fBB->hide();
  AnswerFileDialogs({dir.filePath("image.bin")});
  fMain->aOpenImage->trigger();
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_TRUE(fBB->isVisible());
  EXPECT_EQ(shown(), report);
  ClearFileDialogs();
}

TEST_F(EndToEnd, FirmwareWithoutABlackBoxGetsTheNoticeAndNoWindow) {
  Connect({"--no-pacing", "--no-telemetry", "--no-blackbox"});
  fMain->bBlackBoxClick(fMain->bBlackBox);
  EXPECT_EQ(Console(), QStringList({"", QString::fromUtf8("В этой версии программного обеспечения Ортана 5"),
                                    QString::fromUtf8("не реализован \"черный ящик\"."), ""}));
  EXPECT_FALSE(fBB->isVisible());
}

TEST_F(EndToEnd, AHeaterFallingSilentAtChunk40LeavesTheWindowHiddenAndTheOldImage) {
  BlackBoxImage.fill(0xEE);
  Connect({"--no-pacing", "--no-telemetry"});
  // Chunk 40 is the 42nd read request (after the probe and chunks 0..39).
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const auto frames = sim_->ReceivedFrames();
    const auto reads = std::count_if(frames.begin(), frames.end(), [](const std::string& f) {
      return f.rfind("AA 09 00 00 77", 0) == 0;
    });
    if (reads >= 41) {
      sim_->SendLine("no-reply 119");
      watch.stop();
    }
  });
  ASSERT_EQ(sim_->Command("reply-delay 20").rfind("OK", 0), 0u);
  watch.start(1);
  fMain->bBlackBoxClick(fMain->bBlackBox);
  EXPECT_FALSE(fBB->isVisible());
  EXPECT_EQ(Console().filter(kNoReply).size(), 1);
  // Chunks read before the silence are new, everything after is as it was.
  int fresh = 0;
  while (fresh < 256 && BlackBoxImage[fresh] != 0xEE) ++fresh;
  EXPECT_GE(fresh, 117);
  EXPECT_LE(fresh, 126);
  for (int i = fresh; i < 256; ++i) EXPECT_EQ(BlackBoxImage[i], 0xEE) << i;
}

TEST(RealBinary, StartsShowsItsWindowAndStaysUp) {
  QTemporaryDir dir;
  const QString exe = CopyOfTool(O5_TOOL_PATH, dir.path());
  ASSERT_FALSE(exe.isEmpty());
  const auto ended = EndsWithin(exe);
  EXPECT_FALSE(ended.has_value()) << *ended;
}

// A stale DISPLAY (no X server behind it), no Wayland and no platform
// chosen: the tool says so and ends, rather than run unseen and hold a port.
TEST(RealBinary, EndsWithItsMessageWhenItsXDisplayIsGone) {
  QTemporaryDir dir;
  const QString exe = CopyOfTool(O5_TOOL_PATH, dir.path());
  ASSERT_FALSE(exe.isEmpty());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("QT_QPA_PLATFORM");
  env.remove("WAYLAND_DISPLAY");
  env.insert("XDG_RUNTIME_DIR", dir.path());
  env.insert("DISPLAY", ":59999");  // far above the numbers virtual X servers take
  QProcess tool;
  tool.setProcessEnvironment(env);
  tool.start(exe, {});
  ASSERT_TRUE(tool.waitForFinished(60000));
  EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(tool.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError()).contains(QString::fromUtf8("дисплей :59999 недоступен")));
}

}  // namespace
}  // namespace o5::test
