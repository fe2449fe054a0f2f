// What the tool tells a technician against the heater simulator: a readout's
// temperatures below zero, its codes and modes named in the grid, the PDF and
// the CSV, the workshop's lines of the PDF; the console naming a fault the
// heater reports and telling of a line that has fallen silent; the lamp's
// tooltip with the last frame's time.

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"

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

// A fault the heater reports is named once in the console, when it appears.
TEST_F(TechnicianTexts, AFaultOfTheTelemetryIsNamedInTheConsoleOnce) {
  Connect({"--no-pacing", "--cycle", "100", "--running", "--quiet"});
  ASSERT_TRUE(QTest::qWaitFor([] { return Records() >= 2; }, 20000));
  const QString thirteen = QString::fromUtf8("Неисправность 13: Попытки запуска исчерпаны");
  Command("fault 13");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(thirteen) > 0; }, 20000))
      << ConsoleLines().join("|").toStdString();
  const int records = Records();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Records() >= records + 5; }, 20000));
  EXPECT_EQ(ConsoleCount(thirteen), 1);

  Command("fault off");
  Command("fault 5");
  const QString five = QString::fromUtf8("Неисправность 5: обрыв датчика пламени");
  ASSERT_TRUE(QTest::qWaitFor([&] { return ConsoleCount(five) > 0; }, 20000)) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(ConsoleCount(thirteen), 1);
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
