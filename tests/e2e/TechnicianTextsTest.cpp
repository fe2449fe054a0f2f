// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool tells a technician against the heater simulator: a readout's
// temperatures below zero, its codes and modes named in the grid, the PDF and
// the CSV, the workshop's lines of the PDF; the console naming a fault the
// heater reports and telling of a line that has fallen silent; the lamp's
// tooltip with the last frame's time; what changed since the heater's
// earlier readout.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "archive/ReadoutArchive.h"
#include "link/ComPort.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"
#include "ui/visit/VisitActDialog.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

const QString kNoData = QString::fromUtf8("Нет данных от отопителя: проверьте выбор порта и подключение.");

class TechnicianTexts : public ToolFixture {
 protected:
  void Command(const std::string& line) { ASSERT_EQ(sim_->Command(line).rfind("OK", 0), 0u) << line; }
  static int Records() { return fMain->MR->toPlainText().isEmpty() ? 0 : fMain->MR->document()->blockCount(); }
  static QString Cell(int row, int column) { return fBB->sgBB->item(row, column)->text(); }
  static QString Tip(int row, int column) { return fBB->sgBB->item(row, column)->toolTip(); }
};

// The simulator's black box holds winter faults: record 0 at -8, -7 and -8 °C,
// record 8 at -20, -19 and -20 °C. Its record 0 is code 13 in mode 20, its
// record 11 code 17.
TEST_F(TechnicianTexts, AReadoutShowsColdAsColdAndNamesItsCodesAndModes) {
  Connect({"--no-pacing", "--no-telemetry", "--quiet"});
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ASSERT_TRUE(fBB->HasReport()) << ConsoleLines().join("|").toStdString();

  EXPECT_EQ(QStringList({Cell(7, 1), Cell(8, 1), Cell(9, 1)}), QStringList({"-8", "-7", "-8"}));
  EXPECT_EQ(QStringList({Cell(7, 9), Cell(8, 9), Cell(9, 9)}), QStringList({"-20", "-19", "-20"}));

  EXPECT_EQ(Cell(2, 1), "13");
  EXPECT_EQ(Tip(2, 1), QString::fromUtf8("Попытки запуска исчерпаны"));
  EXPECT_EQ(Tip(2, 12), QString::fromUtf8("КЗ топливного насоса, обрыв цепи топливного насоса"));
  EXPECT_EQ(Tip(4, 1), QString::fromUtf8("20 - Розжиг18"));
  EXPECT_EQ(Tip(11, 1), QString::fromUtf8("13 Попытки запуска исчерпаны"));
  EXPECT_EQ(Tip(1, 1), QString());

  QTemporaryDir dir;
  AnswerFileDialogs({dir.filePath("report.pdf"), dir.filePath("report.csv")});
  fBB->aSaveReportExecute();
  fBB->aSaveReportExecute();
  EXPECT_TRUE(TakeErrors().isEmpty());

  const QString pdf = PdfText(dir.filePath("report.pdf"));
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(RowsMissingFromPdf(pdf, *fBB->sgBB), QStringList());
  for (const char* text : {"Расшифровка", "Код неисправности 13: Попытки запуска исчерпаны",
                           "Код неисправности 17: КЗ топливного насоса, обрыв цепи топливного насоса",
                           "Режим работы 20: Розжиг18", "Мастерская:", "Заказчик / автомобиль:", "Подпись:",
                           kAppTitle})
    EXPECT_TRUE(pdf.contains(QString::fromUtf8(text))) << text << "\n" << pdf.toStdString();

  const auto rows = CsvRows(FileBytes(dir.filePath("report.csv")).mid(3).toStdString());
  auto row = [&](const std::string& first) {
    for (const auto& r : rows)
      if (!r.empty() && r.front() == first) return r;
    return std::vector<std::string>();
  };
  const auto liquid = row("Температура жидкости");
  ASSERT_GT(liquid.size(), 9u);
  EXPECT_EQ(liquid[1], "-8");
  EXPECT_EQ(liquid[9], "-20");
  EXPECT_EQ(row("Расшифровка").size(), 1u);
  bool named = false;
  for (const auto& r : rows)
    named |= r == std::vector<std::string>{"Код неисправности", "13", "Попытки запуска исчерпаны"};
  EXPECT_TRUE(named);
  ClearFileDialogs();
}

// A fault the heater reports is named once in the console, when it appears,
// and its end once, when it is gone.
TEST_F(TechnicianTexts, AFaultOfTheTelemetryIsNamedInTheConsoleOnceAndItsEndToo) {
  Connect({"--no-pacing", "--cycle", "100", "--running", "--quiet"});
  ASSERT_TRUE(QTest::qWaitFor([] { return Records() >= 2; }, 20000));
  const QString thirteen = QString::fromUtf8("Неисправность 13: Попытки запуска исчерпаны");
  Command("fault 13");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(thirteen) > 0; }, 20000))
      << ConsoleLines().join("|").toStdString();
  const int records = Records();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Records() >= records + 5; }, 20000));
  EXPECT_EQ(ConsoleCount(thirteen), 1);

  // Its end is said once too, so that the console does not end with a fault
  // while the heater runs clean.
  Command("fault off");
  const QString gone = QString::fromUtf8("Неисправность снята");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(gone) > 0; }, 20000)) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(ConsoleLines().last(), gone);
  Command("fault 5");
  const QString five = QString::fromUtf8("Неисправность 5: обрыв датчика пламени");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(five) > 0; }, 20000)) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(ConsoleCount(thirteen), 1);
  EXPECT_EQ(ConsoleCount(gone), 1);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// Two readouts of one heater, its black box changed between them by two
// starts, two hours, one fault and its record: the second says so at the foot
// of the panel, marks the changed labels and the new record's column, and its
// PDF has the same section. A saved image compares the same way.
TEST_F(TechnicianTexts, ASecondReadoutTellsWhatChangedSinceTheFirst) {
  QTemporaryDir data;
  std::ofstream(SettingsDir().toStdString() + "/config.ini")
      << "[Options]\nDataDir=" << data.path().toStdString() << "\n";
  Connect({"--no-pacing", "--no-telemetry", "--quiet"});
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ASSERT_TRUE(fBB->HasReport()) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(fBB->lChanges->text(), QString());
  const uint32_t serial = BlackBoxSerialNumber(fBB->ReportImage());
  const auto first = ReadoutArchive(DataFolder{data.path().toStdString()}).Readouts(serial);
  ASSERT_EQ(first.size(), 1u);

  BlackBoxBytes image = fBB->ReportImage();
  image[8] += 2;   // starts at the first attempt
  image[15] += 1;  // run time + 65536 s, about 18.2 h
  image[29] += 1;  // faults
  const int record = (image[6] + 1) % 13;
  image[6] = static_cast<uint8_t>(record);
  image[static_cast<size_t>(48 + 16 * record + 2)] ^= 0x5A;  // its time
  const QString changed = data.filePath("changed.bin");
  std::ofstream(changed.toStdString(), std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  Command("load-blackbox " + changed.toStdString());
  // Readouts are kept by the second: the second one must not share it.
  QTest::qWait(1100);
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ASSERT_EQ(fBB->ReportImage(), image);

  const LocalTime& w = first[0].when;
  const QDateTime firstTime(QDate(w.year, w.month, w.day), QTime(w.hour, w.minute));
  const QString heading = QString::fromUtf8("Изменения с чтения ") + firstTime.toString("dd.MM.yyyy HH:mm");
  EXPECT_EQ(fBB->lChanges->text(),
            heading + QString::fromUtf8(": время работы +18") + QLocale().decimalPoint() +
                QString::fromUtf8("2 ч, запусков +2, неисправностей +1, новых записей неисправностей: 1."))
      << fBB->lChanges->text().toStdString();
  EXPECT_TRUE(fBB->l4->autoFillBackground());
  EXPECT_EQ(fBB->l4->toolTip(), QString::fromUtf8("Было: 412. Изменение: +2."));
  EXPECT_FALSE(fBB->l5->autoFillBackground());
  EXPECT_EQ(fBB->l5->toolTip(), QString());
  EXPECT_NE(fBB->sgBB->item(3, record + 1)->background(), fBB->sgBB->item(3, 1 + (record + 1) % 13)->background());

  // The window says it is a readout, and when, and offers its commands.
  const QString readAt = fBB->lSource->text();
  EXPECT_TRUE(QRegularExpression(QString::fromUtf8("^Прочитан из отопителя \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"))
                  .match(readAt)
                  .hasMatch())
      << readAt.toStdString();
  EXPECT_TRUE(readAt.contains(QDate::currentDate().toString("dd.MM.yyyy")) ||
              readAt.contains(QDate::currentDate().addDays(-1).toString("dd.MM.yyyy")));
  QStringList buttons;
  for (const QToolButton* b : fBB->pCommands->findChildren<QToolButton*>())
    if (b->isVisible()) buttons << b->text();
  EXPECT_EQ(buttons, QStringList({"Сохранить отчёт…", "Печать…", "Сохранить образ…", "Открыть образ…",
                                  "Сравнить с…", "История…", "Акт диагностики…"}));

  QTemporaryDir dir;
  // The act of the visit sums up the same readout, against the same one before.
  AnswerFileDialogs({dir.filePath("act.pdf")});
  QTimer::singleShot(0, [] {
    auto* act = qobject_cast<TfVisitAct*>(QApplication::activeModalWidget());
    ASSERT_NE(act, nullptr);
    act->bSave->click();
    act->reject();
  });
  fBB->aVisitAct->trigger();
  ClearFileDialogs();
  const QString actText = PdfText(dir.filePath("act.pdf")).simplified();
  for (const QString& text : {QString::fromUtf8("Серийный номер: %1").arg(serial), heading})
    EXPECT_TRUE(actText.contains(text)) << text.toStdString() << "\n" << actText.toStdString();

  AnswerFileDialogs({dir.filePath("report.pdf"), dir.filePath("report.csv")});
  fBB->aSaveReportExecute();
  fBB->aSaveReportExecute();
  ClearFileDialogs();
  const QString pdf = PdfText(dir.filePath("report.pdf"));
  for (const QString& text :
       {heading, QString::fromUtf8("Количество запусков с первой попытки: было 412, изменение +2")})
    EXPECT_TRUE(pdf.contains(text)) << text.toStdString() << "\n" << pdf.toStdString();
  // One page, its words 8 pt or more, across most of its width.
  const PdfWords words = PdfWordBoxes(dir.filePath("report.pdf"));
  EXPECT_EQ(words.pages, 1);
  EXPECT_GE(words.MedianHeight(), 8.8);
  EXPECT_GE(words.Span(), 0.8);

  // The CSV counts: a number in the cell after each caption, the readout's
  // time, and what changed.
  const auto rows = CsvRows(FileBytes(dir.filePath("report.csv")).mid(3).toStdString());
  auto row = [&](const std::string& first) {
    for (const auto& r : rows)
      if (!r.empty() && r.front().rfind(first, 0) == 0) return r;
    return std::vector<std::string>();
  };
  const QRegularExpression number("^-?\\d+$");
  for (const char* caption : {"Количество запусков с первой попытки", "Серийный номер", "Общее время работы"}) {
    const auto r = row(caption);
    ASSERT_GE(r.size(), 2u) << caption;
    EXPECT_EQ(r[0], caption);
    EXPECT_TRUE(number.match(QString::fromStdString(r[1])).hasMatch()) << caption << ": " << r[1];
  }
  EXPECT_EQ(row("Количество запусков с первой попытки")[1], "414");
  EXPECT_EQ(row("Серийный номер")[1], std::to_string(serial));
  const auto read = row("Прочитан из отопителя");
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(QString::fromStdString(read[1]).left(16), readAt.right(16));
  EXPECT_EQ(row("Изменения с чтения").size(), 1u);
  EXPECT_EQ(row("Изменения с чтения")[0], heading.toStdString());

  const QString saved = dir.filePath("BB_" + QString::number(serial) + "_2026-01-02_03-04-05.bin");
  ASSERT_TRUE(QFile::copy(QString::fromStdString(first[0].path), saved));
  fBB->CompareWith(saved);
  EXPECT_TRUE(fBB->lChanges->text().startsWith(QString::fromUtf8("Изменения с чтения 02.01.2026 03:04: время работы")))
      << fBB->lChanges->text().toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// An open port without a valid frame: one console line after 5 s of silence,
// never a message box, and again after each new silence. The lamp's tooltip
// says when the last frame came.
TEST_F(TechnicianTexts, ASilentLineIsToldOncePerSilenceAndTheLampKnowsTheLastFrame) {
  QElapsedTimer sinceOpening;
  sinceOpening.start();
  Connect({"--no-pacing", "--cycle", "100", "--silence", "--quiet"});
  EXPECT_TRUE(fMain->LampHint().contains(QString::fromUtf8("Кадров от отопителя ещё не было")))
      << fMain->LampHint().toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(kNoData) > 0; }, 30000));
  EXPECT_GE(sinceOpening.elapsed(), 5000);

  // Still the same silence: no second line.
  QTest::qWait(6000);
  EXPECT_EQ(ConsoleCount(kNoData), 1);

  Command("silence off");
  ASSERT_TRUE(QTest::qWaitFor([] { return Records() >= 2; }, 20000));
  EXPECT_TRUE(fMain->LampHint().contains(QString::fromUtf8("Последний кадр от отопителя: ")))
      << fMain->LampHint().toStdString();
  EXPECT_EQ(ConsoleCount(kNoData), 1);

  Command("silence on");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(kNoData) == 2; }, 30000))
      << ConsoleLines().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_TRUE(TakeInformation().isEmpty());
}

}  // namespace
}  // namespace o5::test
