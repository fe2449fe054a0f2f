// SPDX-License-Identifier: GPL-3.0-or-later
// The history window over a data folder: the heaters of the readout archive,
// a heater's readouts and sessions, the sessions of no heater; a readout opens
// in the black-box window, a journal in the graph window.

#include <QDir>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "archive/ArchiveNames.h"
#include "archive/ReadoutArchive.h"
#include "archive/TimelineFile.h"
#include "heater/RecordLog.h"
#include "heater/TelemetryDecoder.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/DesktopUrls.h"
#include "tests/support/ErrorCapture.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/history/TfHistory.h"
#include "ui/visit/VisitActDialog.h"

namespace o5::test {
namespace {

constexpr int kDeadlineMs = 20000;

BlackBoxBytes Image(uint32_t serial, uint8_t productCode, int32_t runTime) {
  BlackBoxBytes image{};
  image[3] = 0x55, image[4] = 0x37;
  image[8] = 4, image[10] = 1;  // starts: 4 at the first attempt, 1 later
  image[29] = 2;                // faults
  for (int i = 0; i < 4; ++i) image[13 + i] = static_cast<uint8_t>(runTime >> (8 * i));
  image[31] = productCode;
  image[32] = serial & 0xFF, image[33] = serial >> 8 & 0xFF, image[34] = serial >> 16;
  return image;
}

// The record line the live decoding logs for a cycle at this run timer.
std::string Record(int runTimer) {
  struct Sink : TelemetrySink {
    void AddPoint(int, double, double) override {}
    void SetTimeText(std::string_view) override {}
    void SetModeCaption(std::string_view) override {}
    void AppendRecord(std::string_view r) override { record = r; }
    std::string record;
  } sink;
  TelemetryState state;
  const RecordFrames frames{{{uint8_t(runTimer >> 8), uint8_t(runTimer), 22, 0},
                             {30, 60, 58, 1},
                             {1, 0, 126, 22},
                             {60, 70, 3, 0x20},
                             {1, 0, 35, 0},
                             {0, 0, 0, 0}}};
  for (const Frame& f : RecordTelemetryFrames(frames, 0)) DecodeTelemetry(f, state, sink);
  return sink.record;
}

QStringList Column(const QTreeView* list, int column) {
  QStringList texts;
  const QAbstractItemModel* model = list->model();
  for (int i = 0; i < model->rowCount(); ++i) texts << model->index(i, column).data().toString();
  return texts;
}

class HistoryWindow : public ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    ASSERT_TRUE(data_.isValid());
    std::ofstream(SettingsDir().toStdString() + "/config.ini")
        << "[Options]\nDataDir=" << data_.path().toStdString() << "\n";
    const ReadoutArchive archive(DataFolder{data_.path().toStdString()});
    archive.Keep(Image(100, 7, 3600), {2026, 1, 10, 9, 0, 0});
    archive.Keep(Image(100, 7, 7200), {2026, 3, 10, 9, 0, 0});
    archive.Keep(Image(2005, 9, 60), {2026, 2, 10, 9, 0, 0});
    QDir().mkpath(Data("sessions"));
    Put("sessions/S_2026-03-10_08-55-00_100.txt", Record(5) + "\r\n" + Record(6) + "\r\n");
    Put("sessions/S_2026-01-10_08-00-00_100.txt", Record(5) + "\r\n");
    Put("sessions/S_2026-03-10_08-55-00_100.events.tsv",
        "2026-03-10 08:55:00\tПорт /dev/ttyUSB0 открыт\n2026-03-10 08:56:10\tПуск\n2026-03-10 08:56:1");
    Put("sessions/S_2026-02-01_12-00-00.txt", Record(9) + "\r\n");
    // A heater whose image was never written: its session alone names it.
    Put("sessions/S_2026-04-05_10-00-00_777123.txt", Record(7) + "\r\n");
    // What a person may have put there: nothing of it is listed, nothing said.
    Put("sessions/notes.txt", "a note");
    Put("blackbox/100/BB_100_2026-04-01_10-00-00.bin", "broken");
    Put("blackbox/100/BB_100_2026-05-01_10-00-00.bin", std::string(256, '\0'));  // no image
    Put("blackbox/100/copy of BB_100_2026-01-10_09-00-00.bin", std::string(256, '\0'));
    QDir().mkpath(Data("blackbox/spare"));
  }
  QString Data(const QString& name) const { return data_.filePath(name); }
  void Put(const QString& name, const std::string& content) const {
    QFile f(Data(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.data(), static_cast<qint64>(content.size()));
  }
  void OpenWithCtrlH() {
    fMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fMain));
    QTest::keyClick(fMain, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(fHistory && fHistory->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fHistory));
  }

  QTemporaryDir data_;
};

TEST_F(HistoryWindow, CtrlHShowsTheHeatersTheirReadoutsAndSessionsAndTheSessionsOfNoHeater) {
  OpenWithCtrlH();
  EXPECT_EQ(fHistory->windowTitle(), "История отопителей");
  EXPECT_EQ(fHistory->windowModality(), Qt::NonModal);
  EXPECT_EQ(Column(fHistory->tvHeaters, 0), QStringList({"100", "2005", "777123"}));
  EXPECT_EQ(Column(fHistory->tvHeaters, 1), QStringList({"7", "9", ""}));
  // As many as the window lists.
  EXPECT_EQ(Column(fHistory->tvHeaters, 2), QStringList({"2", "1", "0"}));
  EXPECT_EQ(Column(fHistory->tvHeaters, 3), QStringList({"10.03.2026 09:00:00", "10.02.2026 09:00:00", ""}));
  // The first heater is the chosen one.
  EXPECT_EQ(Column(fHistory->tvReadouts, 0), QStringList({"10.03.2026 09:00:00", "10.01.2026 09:00:00"}));
  EXPECT_EQ(Column(fHistory->tvReadouts, 1),
            QStringList({"7200 сек. (0-2:0:0)", "3600 сек. (0-1:0:0)"}));
  EXPECT_EQ(Column(fHistory->tvReadouts, 2), QStringList({"5", "5"}));
  EXPECT_EQ(Column(fHistory->tvReadouts, 3), QStringList({"2", "2"}));
  EXPECT_EQ(Column(fHistory->tvSessions, 0), QStringList({"10.03.2026 08:55:00", "10.01.2026 08:00:00"}));
  EXPECT_EQ(Column(fHistory->tvOtherSessions, 1), QStringList({"S_2026-02-01_12-00-00.txt"}));
  fHistory->tvHeaters->setCurrentItem(fHistory->tvHeaters->topLevelItem(1));
  EXPECT_EQ(Column(fHistory->tvReadouts, 0), QStringList({"10.02.2026 09:00:00"}));
  EXPECT_TRUE(Column(fHistory->tvSessions, 0).isEmpty());
  fHistory->tvHeaters->setCurrentItem(fHistory->tvHeaters->topLevelItem(2));
  EXPECT_TRUE(Column(fHistory->tvReadouts, 0).isEmpty());
  EXPECT_EQ(Column(fHistory->tvSessions, 1), QStringList({"S_2026-04-05_10-00-00_777123.txt"}));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(HistoryWindow, AChosenSessionShowsItsTimeline) {
  OpenWithCtrlH();
  fHistory->tvSessions->setCurrentItem(fHistory->tvSessions->topLevelItem(0));
  EXPECT_EQ(Column(fHistory->tvEvents, 0), QStringList({"10.03.2026 08:55:00", "10.03.2026 08:56:10"}));
  EXPECT_EQ(Column(fHistory->tvEvents, 1), QStringList({"Порт /dev/ttyUSB0 открыт", "Пуск"}));
  EXPECT_TRUE(fHistory->lEventsNote->isHidden());
  // A session without a timeline has no events, and nothing to say.
  fHistory->tvSessions->setCurrentItem(fHistory->tvSessions->topLevelItem(1));
  EXPECT_EQ(fHistory->tvEvents->model()->rowCount(), 0);
  EXPECT_TRUE(fHistory->lEventsNote->isHidden());
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A broken timeline shows what can be shown and says what it passed over; a
// link is not followed, and neither it nor a file too large is shown empty
// without a word.
TEST_F(HistoryWindow, ABrokenTimelineSaysWhatItPassedOverAndOneNotReadSaysWhy) {
  const QString other = "sessions/S_2026-02-01_12-00-00.events.tsv";
  Put(other, "2026-02-01 12:00:00\tПорт COM1 открыт\r\nмусор\n2026-02-30 12:00:01\tПуск\n");
  OpenWithCtrlH();
  QTreeWidget* list = fHistory->tvOtherSessions;
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_EQ(Column(fHistory->tvEvents, 1), QStringList({"Порт COM1 открыт"}));
  EXPECT_TRUE(fHistory->lEventsNote->isVisibleTo(fHistory));
  EXPECT_EQ(fHistory->lEventsNote->text(), "Пропущено строк: 2");

  const auto chooseAfresh = [&] {
    fHistory->Refresh();
    list->setCurrentItem(list->topLevelItem(0));
  };
  QFile::remove(Data(other));
  ASSERT_TRUE(QFile::link(Data("sessions/S_2026-03-10_08-55-00_100.events.tsv"), Data(other)));
  chooseAfresh();
  EXPECT_EQ(fHistory->tvEvents->model()->rowCount(), 0);
  EXPECT_EQ(fHistory->lEventsNote->text(),
            "Файл событий \"" + Data(other) + "\" — символическая ссылка: события не показаны");
  QFile::remove(Data(other));
  Put(other, "");
  ASSERT_TRUE(QFile::resize(Data(other), kTimelineMaxBytes + 1));
  chooseAfresh();
  EXPECT_EQ(fHistory->tvEvents->model()->rowCount(), 0);
  EXPECT_EQ(fHistory->lEventsNote->text(), "Файл событий \"" + Data(other) + "\" больше 16 МиБ: события не показаны");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(HistoryWindow, TheFilterKeepsTheHeatersWhoseSerialHoldsIt) {
  OpenWithCtrlH();
  QTest::keyClicks(fHistory->edSerial, "00");
  EXPECT_EQ(Column(fHistory->tvHeaters, 0), QStringList({"100", "2005"}));
  QTest::keyClicks(fHistory->edSerial, "5");
  EXPECT_EQ(Column(fHistory->tvHeaters, 0), QStringList({"2005"}));
  EXPECT_EQ(Column(fHistory->tvReadouts, 0), QStringList({"10.02.2026 09:00:00"}));
}

TEST_F(HistoryWindow, EnterOpensAReadoutInTheBlackBoxWindowAndDoubleClickAJournalInTheGraphWindow) {
  OpenWithCtrlH();
  QTreeWidget* readouts = fHistory->tvReadouts;
  readouts->setFocus();
  readouts->setCurrentItem(readouts->topLevelItem(1));
  QTest::keyClick(readouts, Qt::Key_Return);
  ASSERT_TRUE(fBB->isVisible());
  EXPECT_EQ(fBB->ReportImage(), Image(100, 7, 3600));
  // An old readout says so, and what changed shows against the readout before
  // it, as after that readout.
  EXPECT_EQ(fBB->lSource->text(), "Из архива: прочитан 10.01.2026 09:00");
  EXPECT_EQ(fBB->lChanges->text(), "");
  readouts->setCurrentItem(readouts->topLevelItem(0));
  QTest::keyClick(readouts, Qt::Key_Return);
  EXPECT_EQ(fBB->lSource->text(), "Из архива: прочитан 10.03.2026 09:00");
  EXPECT_TRUE(fBB->lChanges->text().startsWith("Изменения с чтения 10.01.2026 09:00: время работы +1"))
      << fBB->lChanges->text().toStdString();

  QTreeWidget* sessions = fHistory->tvOtherSessions;
  const QRect row = sessions->visualItemRect(sessions->topLevelItem(0));
  ASSERT_TRUE(row.isValid());
  // The first click of the two, then the second that makes them a double click.
  QTest::mouseClick(sessions->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(sessions->viewport(), Qt::LeftButton, {}, row.center());
  ASSERT_TRUE(QTest::qWaitFor([] { return fGraph->isVisible(); }, kDeadlineMs)) << TakeErrors().join("|").toStdString();
  EXPECT_EQ(fGraph->Charts->Series(11).Size(), 1u);
  EXPECT_EQ(fGraph->Charts->Series(11).X(0), 9);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(HistoryWindow, TheBlackBoxWindowsMenuOpensItAndItReadsTheFolderAfresh) {
  OpenWithCtrlH();
  fHistory->close();
  ReadoutArchive(DataFolder{data_.path().toStdString()}).Keep(Image(31, 1, 0), {2027, 1, 1, 0, 0, 0});
  fBB->aHistory->trigger();
  ASSERT_TRUE(fHistory->isVisible());
  EXPECT_EQ(Column(fHistory->tvHeaters, 0), QStringList({"31", "100", "2005", "777123"}));
}

// The act of a heater's visit: the day of its latest readout, that readout
// against the one before it.
TEST_F(HistoryWindow, ActOfTheChosenHeatersVisitSumsUpItsLatestReadout) {
  OpenWithCtrlH();
  EXPECT_TRUE(fHistory->bVisitAct->isEnabled());
  EXPECT_EQ(fHistory->bVisitAct->text(), "Акт диагностики…");
  VisitActContent act;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TfVisitAct*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act = dialog->Content();
    dialog->reject();
  });
  fHistory->bVisitAct->click();
  EXPECT_EQ(act.date, "Дата: 10.03.2026");
  EXPECT_EQ(act.blackBoxHeading.substr(act.blackBoxHeading.size() - 19), "10.03.2026 09:00:00");
  EXPECT_EQ(act.changesHeading, "Изменения с чтения 10.01.2026 09:00");
  EXPECT_EQ(act.heater.front(), "Серийный номер: 100");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(HistoryWindow, OpenFolderShowsTheDataFolderInTheFileManager) {
  DesktopUrls desktop;
  OpenWithCtrlH();
  QTest::mouseClick(fHistory->bOpenFolder, Qt::LeftButton);
  EXPECT_EQ(desktop.shown, QList<QUrl>{QUrl::fromLocalFile(data_.path())});
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test

