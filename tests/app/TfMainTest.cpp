// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its controls, clearing, saving the record log, the receive
// path from a real pseudo-terminal, commands on a closed port, and the exit
// sequence.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <unistd.h>

#include "app/ByteTracePane.h"
#include "archive/DataFolder.h"
#include "link/ComPort.h"
#include "tests/app/AppFixture.h"
#include "tests/support/PtyLine.h"
#include "tests/support/ReportFiles.h"
#include "ui/UserDialogs.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

const char* const kHeader =
    "WTime; ModeT; Error;    ТН; vdDef; vdClc; Помпа;  Реле; Свеча;     U; Режим;   Tж;  Tпер; "
    "Тплам; Tплт;   Cmd;  ПП";

// A telemetry frame of kind `kind` with data bytes 6..9.
std::string Telemetry(char kind, uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9) {
  const Frame f = BuildRequest(0x00, 0, 0, static_cast<uint8_t>(kind), b6, b7, b8, b9);
  return std::string(f.begin(), f.end());
}

std::string FrameBytes(const Frame& f) { return std::string(f.begin(), f.end()); }

class TfMainTest : public AppFixture {};

TEST_F(TfMainTest, WindowCarriesItsTextsAndStartsClosed) {
  EXPECT_EQ(fMain->windowTitle(), QString::fromUtf8("Ортан5 Диагностика 1.0.2"));
  EXPECT_EQ(fMain->Label7->text(), QString::fromUtf8(kHeader));
  EXPECT_EQ(fMain->lTime->text(), QString());
  EXPECT_EQ(fMain->bModes->text(), QString::fromUtf8("Режимы"));
  EXPECT_TRUE(fMain->bModes->isCheckable());
  EXPECT_EQ(fMain->bGraph->text(), QString::fromUtf8("Графики"));
  EXPECT_EQ(fMain->bClr->text(), QString::fromUtf8("Стереть (F8)"));
  EXPECT_EQ(fMain->bBlackBox->text(), QString::fromUtf8("Черный\nящик"));
  EXPECT_EQ(fMain->bVer->text(), QString::fromUtf8("Версия ПО\nОртан 5"));
  EXPECT_EQ(fMain->bStart->text(), QString::fromUtf8("Пуск"));
  EXPECT_TRUE(fMain->bStart->font().bold());
  EXPECT_EQ(fMain->bStop->text(), QString::fromUtf8("Стоп"));
  EXPECT_EQ(fMain->BSet->text(), QString::fromUtf8("Настр"));
  EXPECT_EQ(fMain->BSR->text(), QString::fromUtf8("Откр/закр"));
  EXPECT_EQ(fMain->bSaveData->text(), QString::fromUtf8("Сохранить"));
  EXPECT_FALSE(fMain->Port->Connected());
  EXPECT_EQ(fMain->Port->Port(), "COM1");
  EXPECT_EQ(fMain->Port->BaudRate(), br1200);
  EXPECT_EQ(fMain->Port->FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(fMain->Panel6->height(), 102);
  EXPECT_EQ(fMain->Panel4->height(), 50);
  EXPECT_FALSE(fMain->MT->isVisibleTo(fMain));
  EXPECT_EQ(fMain->Label7->font().family(), fMain->MR->font().family());
  EXPECT_EQ(fMain->Label7->font().pixelSize(), fMain->MR->font().pixelSize());
}

TEST_F(TfMainTest, F8ClearsThePanesWhateverTheShiftStateAndFocus) {
  fMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
  const Qt::KeyboardModifiers states[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier,
                                          Qt::AltModifier, Qt::ShiftModifier | Qt::ControlModifier};
  QWidget* focusTargets[] = {fMain->MR, fMain->MC, fMain->BSR, fMain->MR, fMain->MC};
  for (int i = 0; i < 5; ++i) {
    fMain->MC->setPlainText("console");
    fMain->MR->setPlainText("record");
    const uint8_t byte = 7;
    fMain->MT->AppendBytes(&byte, 1);
    focusTargets[i]->setFocus();
    QTest::keyClick(focusTargets[i], Qt::Key_F8, states[i]);
    EXPECT_TRUE(fMain->MC->toPlainText().isEmpty()) << i;
    EXPECT_TRUE(fMain->MR->toPlainText().isEmpty()) << i;
    EXPECT_EQ(fMain->MT->LineCount(), 0u) << i;
  }
  // Other keys reach the pane as usual.
  fMain->MR->setFocus();
  QTest::keyClicks(fMain->MR, "x");
  EXPECT_EQ(fMain->MR->toPlainText(), "x");
}

TEST_F(TfMainTest, F8InAnotherWindowDoesNothingHere) {
  fMain->MR->setPlainText("record");
  frmModes->show();
  QTest::keyClick(frmModes, Qt::Key_F8);
  EXPECT_EQ(fMain->MR->toPlainText(), "record");
}

// On a Russian desktop the toolkit's file and print dialogs speak Russian too;
// in a language without a catalog they stay as they are.
TEST_F(TfMainTest, TheToolkitsDialogsSpeakTheDesktopsLanguage) {
  ASSERT_TRUE(TranslateToolkitDialogs(QLocale(QLocale::Russian, QLocale::Russia)));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Перейти к:");
  EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), "Печать");
  // No catalog: English, as for the tests after this one.
  EXPECT_FALSE(TranslateToolkitDialogs(QLocale(QLocale::Swahili, QLocale::Kenya)));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
}

TEST_F(TfMainTest, RecordLogFileNameHasNoLeadingZeros) {
  const QDateTime when(QDate(2026, 12, 6), QTime(8, 5, 3));
  EXPECT_EQ(TfMain::RecordLogFileName(when), "D_2026-12-6_8-5-3.txt");
  const QDateTime late(QDate(2026, 1, 31), QTime(23, 59, 59));
  EXPECT_EQ(TfMain::RecordLogFileName(late), "D_2026-1-31_23-59-59.txt");
}

TEST_F(TfMainTest, ABlackBoxImageOpensFromTheMainWindowByCtrlOOrByDroppingIt) {
  QTemporaryDir dir;
  auto image = [&](const char* name, uint8_t serial) {
    QByteArray bytes(256, '\0');
    bytes[3] = 0x55;
    bytes[4] = 0x37;
    bytes[32] = static_cast<char>(serial);
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
  };
  fMain->show();
  fMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(fMain));
  AnswerFileDialogs({image("a.bin", 7)});
  QTest::keyClick(fMain->MC, Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(fBB->isVisible());
  EXPECT_EQ(fBB->l13->text(), QString::fromUtf8("Серийный номер: 7."));
  EXPECT_EQ(FileDialogRequests().size(), 1);

  // Dropped on the record log: the pane does not take it as text.
  fBB->hide();
  fMain->MR->setPlainText("record");
  auto drop = [&](const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    data.setText(path);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fMain->MR->viewport(), &enter);
    QDropEvent event(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fMain->MR->viewport(), &event);
  };
  drop(image("b.bin", 9));
  ASSERT_TRUE(QTest::qWaitFor([] { return fBB->isVisible(); }, 10000));
  EXPECT_EQ(fBB->l13->text(), QString::fromUtf8("Серийный номер: 9."));
  EXPECT_EQ(fMain->MR->toPlainText(), "record");

  // A file that is no image: one error, the window stays as it was.
  fBB->hide();
  drop(dir.filePath("missing.bin"));
  ASSERT_TRUE(QTest::qWaitFor([] { return !CapturedErrors().isEmpty(); }, 10000));
  EXPECT_EQ(TakeErrors().size(), 1);
  EXPECT_FALSE(fBB->isVisible());
  EXPECT_EQ(fBB->l13->text(), QString::fromUtf8("Серийный номер: 9."));
  ClearFileDialogs();
}

class SaveTest : public TfMainTest {
 protected:
  void SetUp() override {
    TfMainTest::SetUp();
    ASSERT_TRUE(work_.isValid());
    old_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
  }
  void TearDown() override {
    QDir::setCurrent(old_);
    TfMainTest::TearDown();
  }
  QStringList SavedFiles() const { return QDir(work_.path()).entryList({"D_*.txt"}, QDir::Files); }
  QByteArray Saved() const {
    const QStringList files = SavedFiles();
    if (files.size() != 1) return "<" + QByteArray::number(files.size()) + " files>";
    QFile f(QDir(work_.path()).filePath(files[0]));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  QTemporaryDir work_;
  QString old_;
};

TEST_F(SaveTest, WritesEveryRecordWithCrLfAndLeavesTheLogAlone) {
  fMain->MR->setPlainText("  307;     5;     0; \nsecond line");
  QTest::mouseClick(fMain->bSaveData, Qt::LeftButton);
  EXPECT_EQ(Saved(), QByteArray("  307;     5;     0; \r\nsecond line\r\n"));
  EXPECT_EQ(fMain->MR->toPlainText(), "  307;     5;     0; \nsecond line");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(SaveTest, AnEmptyLogGivesAnEmptyFile) {
  QTest::mouseClick(fMain->bSaveData, Qt::LeftButton);
  EXPECT_EQ(Saved(), QByteArray());
}

TEST_F(SaveTest, AFolderThatCannotBeWrittenIsReportedAndTheLogKept) {
  fMain->MR->setPlainText("record");
  // The current folder goes away under the tool (root ignores permission bits).
  ASSERT_TRUE(QDir().mkdir("gone"));
  QDir::setCurrent("gone");
  ASSERT_EQ(rmdir(QDir::currentPath().toLocal8Bit().constData()), 0);
  QTest::mouseClick(fMain->bSaveData, Qt::LeftButton);
  const QStringList errors = TakeErrors();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Не удалось сохранить файл \"D_")) << errors[0].toStdString();
  EXPECT_EQ(fMain->MR->toPlainText(), "record");
}

TEST_F(TfMainTest, ReceivedTelemetryIsTracedDecodedAndLogged) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();

  std::string cycle = "\x01\x02";  // noise before the first start byte
  cycle += Telemetry('e', 0x01, 0x33, 0x05, 0x00);
  cycle += Telemetry('f', 1, 2, 3, 4);
  cycle += Telemetry('g', 5, 6, 125, 21);
  cycle += Telemetry('h', 0xFB, 0x50, 0x02, 0x5F);
  cycle += Telemetry('i', 9, 8, 0xF0, 0);
  cycle += Telemetry('j', 0x01, 0x00, 0x80, 0xFF);
  cycle += Telemetry('k', 0, 0, 0, 0);
  line.Send(cycle);

  ASSERT_TRUE(QTest::qWaitFor([&] { return !fMain->MR->toPlainText().isEmpty(); }, 10000));
  EXPECT_EQ(fMain->MR->toPlainText().toStdString(),
            "  307;     5;     0;     1;     2;     3;     4;     5;     6;   125;    21;"
            "   -5;    80;   334;  -16;     8;   9;"
            "00000001 00000000 10000000 11111111;");
  EXPECT_EQ(fMain->MT->LineCount(), cycle.size());
  EXPECT_EQ(fMain->MT->Line(0), "1");
  EXPECT_EQ(fMain->MT->Line(2), "170");
  EXPECT_EQ(fMain->lTime->text(), "5:7");
  EXPECT_EQ(frmModes->ModeCaption(), QString::fromUtf8("21 - Прогрев"));
  // The fault bytes mark their bits in the legend: byte 1 bit 1 (l11), byte 3
  // bit 8 (l38) and the eight bits of byte 4.
  int marked = 0;
  for (int i = 0; i < kFaultBitCount; ++i) marked += frmModes->FaultActive(i) ? 1 : 0;
  EXPECT_EQ(marked, 10);
  EXPECT_TRUE(frmModes->FaultActive(7));
  EXPECT_TRUE(frmModes->FaultActive(16));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// The heater's fault is named again on the first telemetry after every
// opening of the port: the heater at the other end may be another one.
TEST_F(TfMainTest, TheFaultIsNamedAgainAfterThePortIsClosedAndOpened) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  const auto faultLines = [&] {
    return fMain->MC->toPlainText().count(QString::fromUtf8("Неисправность 13: Попытки запуска исчерпаны"));
  };
  for (int opening = 1; opening <= 2; ++opening) {
    SCOPED_TRACE(opening);
    QTest::mouseClick(fMain->BSR, Qt::LeftButton);
    ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
    // The same code twice in one opening is named once.
    line.Send(Telemetry('e', 0, 60, 26, 13) + Telemetry('k', 0, 0, 0, 0) + Telemetry('e', 0, 61, 26, 13));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->lTime->text() == "1:1"; }, 10000));
    EXPECT_EQ(faultLines(), opening);
    QTest::mouseClick(fMain->BSR, Qt::LeftButton);
    ASSERT_FALSE(fMain->Port->Connected());
    fMain->lTime->clear();
  }
}

// A port opened in the middle of a cycle: the first cycle's end logs the
// empty record, an empty first line of the pane, and the journal holds the
// lines just as the pane shows them.
TEST_F(TfMainTest, AnEmptyFirstRecordIsTheFirstLineOfThePaneAsOfTheJournal) {
  const QString sessions = QString::fromStdString(ChooseDataFolder().Sessions());
  QDir(sessions).removeRecursively();
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
  line.Send(Telemetry('k', 0, 0, 0, 0));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MT->LineCount() >= 10; }, 10000));
  line.Send(Telemetry('e', 0x01, 0x33, 0x05, 0x00) + Telemetry('k', 0, 0, 0, 0));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MR->document()->blockCount() == 2; }, 10000));

  EXPECT_EQ(fMain->MR->toPlainText().toStdString(), "\n  307;     5;     0; ");
  const QStringList journals = QDir(sessions).entryList({"S_*.txt"});
  ASSERT_EQ(journals.size(), 1);
  EXPECT_EQ(FileBytes(sessions + "/" + journals[0]), QByteArray("\r\n  307;     5;     0; \r\n"));
}

TEST_F(TfMainTest, ACommandOnAClosedPortShowsTheWriteErrorAndSendsNothingMore) {
  QTest::mouseClick(fMain->bStart, Qt::LeftButton);
  const QStringList errors = TakeErrors();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("WriteFile function failed (win error code: "))
      << errors[0].toStdString();
  EXPECT_TRUE(fMain->MC->toPlainText().isEmpty());
}

TEST_F(TfMainTest, AfterAnErrorFromAClickTheNextClickReachesItsOwnButton) {
  // Clicks through the window, as the platform delivers them: the error
  // leaves the first click's handler on its way to the error display.
  fMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
  QWindow* window = fMain->windowHandle();
  const auto clickAt = [&](QWidget* w) {
    QTest::mouseClick(window, Qt::LeftButton, {}, w->mapTo(fMain, w->rect().center()));
  };
  clickAt(fMain->bStart);
  ASSERT_EQ(TakeErrors().size(), 1);
  ASSERT_FALSE(fMain->bModes->isChecked());
  clickAt(fMain->bModes);
  EXPECT_TRUE(fMain->bModes->isChecked());
  clickAt(fMain->bStop);
  EXPECT_EQ(TakeErrors().size(), 1);
  clickAt(fMain->bModes);
  EXPECT_FALSE(fMain->bModes->isChecked());
}

TEST_F(TfMainTest, ClosingWithTheLineSilentSendsTheExitRequestThenTheFallback) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  fMain->Port->OpenPort();
  ASSERT_TRUE(fMain->Port->Connected());
  fMain->FormClose();
  EXPECT_FALSE(fMain->Port->Connected());
  const std::string sent = line.Receive(20, 5000ms);
  EXPECT_EQ(Hex(sent), "AA 09 00 00 14 00 00 00 00 C7 AA 01 00 00 14 00 00 00 00 BF");
  EXPECT_EQ(fMain->MC->toPlainText(), QString::fromUtf8("Нет связи с отопителем."));
  // Both windows' settings are on disk.
  SettingsFile saved;
  EXPECT_NE(saved.ReadInteger("Options", "FormGraphWidth", -1), -1);
  EXPECT_NE(saved.ReadInteger("Options", "FormModesTop", -1), -1);
}

TEST_F(TfMainTest, ClosingWithAReplyDoesNotSendTheFallback) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  fMain->Port->OpenPort();
  ASSERT_TRUE(fMain->Port->Connected());
  // The heater answers the exit request as soon as it sees it.
  QTimer answer;
  std::string seen;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    seen += line.Receive(10 - seen.size(), 1ms);
    if (seen.size() == 10) {
      line.Send(FrameBytes(BuildRequest(0x19, 0, 0, 20, 0, 0, 0, 0)));
      answer.stop();
    }
  });
  answer.start(5);
  fMain->FormClose();
  EXPECT_EQ(Hex(seen), "AA 09 00 00 14 00 00 00 00 C7");
  EXPECT_EQ(line.ReceiveAll(300ms, 1000ms), "");
  EXPECT_TRUE(fMain->MC->toPlainText().isEmpty());
  EXPECT_FALSE(fMain->Port->Connected());
}

TEST_F(TfMainTest, ClosingEndsTheProgramWhateverWindowsAreShown) {
  fMain->show();
  fMain->bModes->click();
  fGraph->show();
  fBB->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frmModes));
  QTimer closer;
  closer.setSingleShot(true);
  QObject::connect(&closer, &QTimer::timeout, [] { fMain->close(); });
  closer.start(0);
  // A message loop that does not end is ended by this guard with another code.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(7); });
  guard.start(30000);
  EXPECT_EQ(QCoreApplication::exec(), 0);
  // The toolkit's own quit request, posted when the last window closed, is
  // left over; in the program nothing runs after the loop, here tests do.
  QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
  EXPECT_FALSE(fMain->isVisible());
  SettingsFile saved;
  EXPECT_NE(saved.ReadInteger("Options", "FormModesTop", -1), -1);
  EXPECT_NE(saved.ReadInteger("Options", "FormGraphWidth", -1), -1);
}

TEST_F(TfMainTest, ClosingWithThePortClosedSendsNothing) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  fMain->FormClose();
  EXPECT_EQ(line.ReceiveAll(300ms, 1000ms), "");
  EXPECT_TRUE(fMain->MC->toPlainText().isEmpty());
}

TEST_F(TfMainTest, AnUnwritableSettingsFileStillLetsTheToolCloseAndSendItsExitRequest) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  fMain->Port->OpenPort();
  ASSERT_TRUE(fMain->Port->Connected());
  SetSettingsDirectory(SettingsDir().toStdString() + "/missing-folder");
  fMain->FormClose();
  const QStringList errors = TakeErrors();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Unable to write to ")) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains("missing-folder/config.ini"));
  EXPECT_EQ(Hex(line.Receive(10, 5000ms)), "AA 09 00 00 14 00 00 00 00 C7");
  EXPECT_FALSE(fMain->Port->Connected());
}

}  // namespace
}  // namespace o5::test
