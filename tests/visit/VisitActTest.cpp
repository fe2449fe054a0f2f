// SPDX-License-Identifier: GPL-3.0-or-later
// The act of a visit: its runs gathered from the day's journals, its page
// read back from the PDF as a customer would read it, and the dialog that
// makes it.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

#include "archive/ArchiveNames.h"
#include "archive/VisitAct.h"
#include "archive/VisitRuns.h"
#include "heater/BlackBoxExport.h"
#include "heater/FaultLegend.h"
#include "settings/SettingsFile.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/VisitJournals.h"
#include "ui/UserDialogs.h"
#include "ui/blackbox/BlackBoxPrint.h"
#include "ui/blackbox/TfBB.h"
#include "archive/ReadoutArchive.h"
#include "ui/visit/VisitActDialog.h"
#include "ui/visit/VisitActPrint.h"

namespace o5 {
namespace {

constexpr uint32_t kSerial = 658188;
const LocalTime kMorning{2026, 12, 8, 9, 58, 27};

void Write(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }


class VisitActTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetSettingsDirectory(dir_.path().toStdString());
    std::filesystem::create_directories(Sessions());
  }
  void TearDown() override {
    SetSettingsDirectory("");
    SetFileDialog({});
    SetPrintDialog({});
  }
  std::string Sessions() const { return dir_.filePath("sessions").toStdString(); }
  QString At(const QString& name) const { return dir_.filePath(name); }
  // Writes a session's journal and timeline as the tool names them.
  std::string Keep(const LocalTime& opened, std::optional<uint32_t> serial, const std::vector<test::PlannedRun>& runs,
                   const std::string& firmware = "3.1") {
    const test::WrittenSession s = test::WriteSession(opened, runs, firmware);
    const JournalName name{opened, serial};
    const std::string path = Sessions() + "/" + JournalFileName(name);
    Write(path, s.journal);
    Write(Sessions() + "/" + TimelineFileName(name), s.timeline);
    return path;
  }
  // A day's visit: three runs in two sessions, the second of them faulty.
  Visit ThreeRuns() {
    Keep(kMorning, kSerial, {{300}, {400, 13, 60, 45}});
    Keep({2026, 12, 8, 11, 0, 0}, kSerial, {{500}});
    return GatherVisit(Sessions(), kSerial, kMorning);
  }
  VisitActBlackBox BlackBox() const {
    return {test::LivedBlackBox(3), "08.12.2026 12:10:00", BlackBoxEarlier{test::LivedBlackBox(0), "07.11.2026 10:00"}};
  }

  QTemporaryDir dir_;
};

TEST_F(VisitActTest, RunsOfTheDayCarryTheirClockLengthWarmUpAndFaults) {
  Keep(kMorning, kSerial, {{300}, {400, 13, 60, 45}});
  Keep({2026, 12, 8, 11, 0, 0}, kSerial, {{500, 9, 200, 0}}, "3.2");
  Keep({2026, 12, 7, 11, 0, 0}, kSerial, {{100}});           // another day
  Keep({2026, 12, 8, 12, 0, 0}, 111111, {{100}});            // another heater
  const std::string current = Keep({2026, 12, 8, 13, 0, 0}, std::nullopt, {{200, 5, 150, 1000}});
  // Neither the session of another heater nor one of another day is this visit's.
  EXPECT_EQ(GatherVisit(Sessions(), 111111, kMorning, current).runs.size(), 2u);
  EXPECT_EQ(GatherVisit(Sessions(), kSerial, {2026, 12, 7, 0, 0, 0}, current).runs.size(), 1u);

  const Visit visit = GatherVisit(Sessions(), kSerial, kMorning, current);
  struct Expected {
    LocalTime start;
    int64_t length;
    std::vector<int> codes;
    std::vector<LocalTime> at;
    std::vector<std::optional<int64_t>> lasted;
  };
  // The first session stood 5 s, then ran 301 cycles and stood 20 s.
  const std::vector<Expected> expected = {
      {{2026, 12, 8, 9, 58, 32}, 300, {}, {}, {}},
      {{2026, 12, 8, 10, 3, 53}, 400, {13}, {{2026, 12, 8, 10, 4, 53}}, {45}},
      {{2026, 12, 8, 11, 0, 5}, 500, {}, {}, {}},  // a fault of no length is no fault
      {{2026, 12, 8, 13, 0, 5}, 200, {5}, {{2026, 12, 8, 13, 2, 35}}, {std::nullopt}},  // to the run's end
  };
  ASSERT_EQ(visit.runs.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(k);
    const SessionRun& run = visit.runs[k].model;
    ASSERT_TRUE(run.start);
    EXPECT_EQ(WallDateTimeText(*run.start), DisplayTime(expected[k].start));
    EXPECT_EQ(run.length, expected[k].length);
    ASSERT_TRUE(run.warmUpAt);
    EXPECT_EQ(*run.warmUpAt, 40);
    ASSERT_EQ(run.faults.size(), expected[k].codes.size());
    for (size_t f = 0; f < run.faults.size(); ++f) {
      EXPECT_EQ(run.faults[f].code, expected[k].codes[f]);
      ASSERT_TRUE(run.faults[f].clock);
      EXPECT_EQ(WallDateTimeText(*run.faults[f].clock), DisplayTime(expected[k].at[f]));
      EXPECT_EQ(run.faults[f].lasted, expected[k].lasted[f]);
    }
  }
  // The act says of each run what "Итоги пуска" says of it.
  const std::vector<std::string> last = ActRunText(visit.runs[3], 4).lines;
  EXPECT_EQ(last.back(), FaultNotice(5) + " — в 13:02:35, длилась до конца пуска");
  EXPECT_EQ(visit.firmware, "3.1, дата 12.05.2025");  // the current session read the version last
  EXPECT_EQ(DefaultChartRun(visit.runs), 3u);
  EXPECT_EQ(ActDuration(45), "45 с");
  EXPECT_EQ(ActDuration(337), "5 мин 37 с");
  EXPECT_EQ(ActDuration(3725), "1 ч 02 мин 05 с");
}

// A run's lines on the act read what the runs model has of it, as "Итоги
// пуска" does: a run found going on, a warm-up before the port opened, a
// fault without a clock or to the run's end.
TEST(VisitActRunText, TheLinesSayWhatTheModelKnows) {
  const WallSeconds ten = WallSecondsOf(2026, 12, 8, 10, 0, 0);
  const auto run = [](std::optional<WallSeconds> start, bool found, std::optional<int64_t> warmUp, int firstMode,
                      std::vector<RunFault> faults) {
    SessionRun r;
    r.start = start;
    r.foundGoingOn = found;
    r.length = 3725;
    r.warmUpAt = warmUp;
    r.firstMode = firstMode;
    r.faults = std::move(faults);
    return r;
  };
  struct Case {
    const char* what;
    SessionRun model;
    std::vector<std::string> lines;
  };
  const std::vector<Case> cases = {
      {"begun and watched", run(ten, false, 40, 1, {}),
       {"Начало: 08.12.2026 10:00:00", "Длительность: 1 ч 02 мин 05 с", "До прогрева: 40 с", "Неисправностей не было"}},
      {"found going on, warmed up before", run(ten, true, std::nullopt, 22, {{13, 22, 613, ten + 613, 45}}),
       {"Начало: 08.12.2026 10:00:00 (пуск шёл до открытия порта)", "Длительность: 1 ч 02 мин 05 с",
        "До прогрева: до открытия порта", FaultNotice(13) + " — в 10:10:13, длилась 45 с"}},
      {"no clock, a fault to the end", run(std::nullopt, false, std::nullopt, 1, {{9, 5, 100, std::nullopt, std::nullopt}}),
       {"Начало: не записано (пуск начался до подключения)", "Длительность: 1 ч 02 мин 05 с",
        "До прогрева: прогрев не достигнут", FaultNotice(9) + " — через 1 мин 40 с от начала, длилась до конца пуска"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VisitRun visitRun;
    visitRun.model = c.model;
    const VisitActRunText text = ActRunText(visitRun, 2);
    EXPECT_EQ(text.heading, "Пуск 2");
    EXPECT_EQ(text.lines, c.lines);
  }
}

TEST_F(VisitActTest, ActOfThreeRunsAndABlackBoxIsOnePageACustomerCanRead) {
  const Visit visit = ThreeRuns();
  ASSERT_EQ(visit.runs.size(), 3u);
  const VisitActFields fields{"Автосервис «Север», бокс 2", "Иванов И. И.", "ГАЗель NEXT А123ВС 45",
                              "Отопитель исправен. Неисправность 13 устранена: заменена свеча."};
  std::vector<const VisitRun*> runs;
  for (const VisitRun& run : visit.runs) runs.push_back(&run);
  const VisitActContent act =
      MakeVisitAct(fields, kMorning, runs, {1, 2, 3}, DefaultChartRun(visit.runs), BlackBox(), visit.firmware, kSerial);
  const QByteArray pdf = VisitActPdf(act, &visit.runs[1]);
  Write(At("act.pdf").toStdString(), pdf.toStdString());
  if (const char* keep = std::getenv("O5_KEEP_VISIT_ACT")) Write(keep, pdf.toStdString());

  const QString flat = test::PdfText(At("act.pdf")).simplified();
  for (const char* text :
       {"Акт диагностики отопителя Ортан 5", "Дата: 08.12.2026", "Мастерская: Автосервис «Север», бокс 2",
        "Заказчик: Иванов И. И.", "Автомобиль: ГАЗель NEXT А123ВС 45", "Серийный номер: 658188",
        "Версия программного обеспечения: 3.1, дата 12.05.2025", "прочитан 08.12.2026 12:10:00",
        "Общее время работы: 361,8 ч", "Изменения с чтения 07.11.2026 10:00", "Попытки запуска исчерпаны",
        "Начало: 08.12.2026 09:58:32", "Длительность: 5 мин 00 с", "Длительность: 6 мин 40 с",
        "Длительность: 8 мин 20 с", "До прогрева: 40 с", "в 10:04:53, длилась 45 с", "График пуска 2",
        "Заключение", "Неисправность 13 устранена: заменена свеча.", "Мастер:", "Заказчик:"})
    EXPECT_TRUE(flat.contains(QString::fromUtf8(text))) << text;
  // Nothing only the tool reads: the window's "сек. (d-h:m:s)" run times.
  EXPECT_FALSE(flat.contains(QString::fromUtf8("сек. ("))) << flat.toStdString();

  const test::PdfWords words = test::PdfWordBoxes(At("act.pdf"));
  EXPECT_EQ(words.pages, 1);
  ASSERT_FALSE(words.boxes.empty());
  // A word's box is about its font's size and a seventh: 8 pt gives some
  // 9.2, 7 pt some 8.
  const double smallest =
      std::min_element(words.boxes.begin(), words.boxes.end(), [](auto& a, auto& b) { return a.height() < b.height(); })
          ->height();
  EXPECT_GE(smallest, 8.9);
  EXPECT_TRUE(test::PdfInfo(At("act.pdf")).contains("(A4)"));
}

TEST_F(VisitActTest, TenRunsGoOnToASecondPageWithoutShrinkingTheText) {
  std::vector<test::PlannedRun> planned(10, test::PlannedRun{200, 13, 50, 20});
  Keep(kMorning, kSerial, planned);
  const Visit visit = GatherVisit(Sessions(), kSerial, kMorning);
  ASSERT_EQ(visit.runs.size(), 10u);
  std::vector<const VisitRun*> runs;
  std::vector<size_t> numbers;
  for (size_t k = 0; k < visit.runs.size(); ++k) runs.push_back(&visit.runs[k]), numbers.push_back(k + 1);
  const VisitActContent act = MakeVisitAct({"Мастерская", "", "", ""}, kMorning, runs, numbers, 9u, BlackBox(),
                                           visit.firmware, kSerial);
  Write(At("ten.pdf").toStdString(), VisitActPdf(act, &visit.runs[9]).toStdString());
  const test::PdfWords words = test::PdfWordBoxes(At("ten.pdf"));
  EXPECT_EQ(words.pages, 2);
  const double smallest =
      std::min_element(words.boxes.begin(), words.boxes.end(), [](auto& a, auto& b) { return a.height() < b.height(); })
          ->height();
  EXPECT_GE(smallest, 8.9);
  const QString flat = test::PdfText(At("ten.pdf")).simplified();
  EXPECT_TRUE(flat.contains(QString::fromUtf8("Пуск 10")));
  EXPECT_TRUE(flat.contains(QString::fromUtf8("Мастер:")));
}

// From the black-box window: the visit of the heater whose readout it
// shows, on that readout's day, compared with the readout before.
TEST_F(VisitActTest, TheBlackBoxWindowsReportGivesTheHeaterTheDayAndTheEarlierReadout) {
  std::ofstream(dir_.filePath("config.ini").toStdString()) << "[Options]\nDataDir=" << dir_.path().toStdString() << "\n";
  ThreeRuns();
  const ReadoutArchive archive(DataFolder{dir_.path().toStdString()});
  archive.Keep(test::LivedBlackBox(0), {2026, 11, 7, 10, 0, 0});
  const std::string latest = archive.Keep(test::LivedBlackBox(3), {2026, 12, 8, 12, 10, 0});
  TfBB w;
  w.OpenImage(QString::fromStdString(latest));
  ASSERT_TRUE(w.aVisitAct->isEnabled());
  const VisitActSource source = VisitOfReport(w, "");
  EXPECT_EQ(source.serial, kSerial);
  EXPECT_EQ(ActDate(source.date), "08.12.2026");
  EXPECT_EQ(source.visit.runs.size(), 3u);
  ASSERT_TRUE(source.blackBox && source.blackBox->earlier);
  EXPECT_EQ(source.blackBox->readAt, "08.12.2026 12:10:00");
  EXPECT_EQ(source.blackBox->earlier->time, "07.11.2026 10:00");
}

TEST_F(VisitActTest, DialogTicksEveryRunChartsTheLastFaultyOneAndRemembersTheWorkshop) {
  SettingsFile().WriteString(kSettingsSection, kReportWorkshopKey, "Автосервис «Север»");
  VisitActSource source{ThreeRuns(), BlackBox(), kSerial, kMorning};
  TfVisitAct dialog(source);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Акт диагностики"));
  EXPECT_EQ(dialog.edWorkshop->text(), QString::fromUtf8("Автосервис «Север»"));
  // Each field is named by its own label, for the keyboard and a screen reader.
  for (QWidget* field : std::initializer_list<QWidget*>{dialog.edWorkshop, dialog.edCustomer, dialog.edVehicle,
                                                         dialog.mConclusion, dialog.lvRuns, dialog.cbChartRun}) {
    EXPECT_FALSE(field->accessibleName().isEmpty()) << field->objectName().toStdString();
    const auto labels = dialog.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == field; }))
        << field->objectName().toStdString();
  }
  // No two of its labels and buttons share a letter for Alt.
  QStringList letters;
  for (const QLabel* l : dialog.findChildren<QLabel*>()) letters << l->text().section('&', 1).left(1).toLower();
  for (const QPushButton* b : dialog.findChildren<QPushButton*>()) letters << b->text().section('&', 1).left(1).toLower();
  letters.removeAll("");
  EXPECT_EQ(QSet<QString>(letters.begin(), letters.end()).size(), letters.size()) << letters.join(' ').toStdString();
  ASSERT_EQ(dialog.lvRuns->count(), 3);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(dialog.lvRuns->item(row)->checkState(), Qt::Checked);
  ASSERT_NE(dialog.ChartRun(), nullptr);
  EXPECT_EQ(dialog.ChartRun()->model.faults.size(), 1u);  // the second run
  EXPECT_EQ(dialog.bSave->text(), QString::fromUtf8("&Сохранить…"));

  // Unticking the charted run charts the last faultless one instead.
  dialog.lvRuns->item(1)->setCheckState(Qt::Unchecked);
  ASSERT_NE(dialog.ChartRun(), nullptr);
  EXPECT_EQ(dialog.ChartRun()->model.length, 500);
  EXPECT_EQ(dialog.Content().runs.size(), 2u);

  if (const char* shot = std::getenv("O5_VISIT_ACT_SHOT")) {
    dialog.show();
    dialog.grab().save(shot);
  }
  dialog.edWorkshop->setText(QString::fromUtf8("Мастерская у дороги"));
  dialog.edCustomer->setText(QString::fromUtf8("Петров"));
  QString proposed;
  SetFileDialog([&](FileDialogRequest& r) {
    proposed = r.path.section('/', -1);
    return At("saved.pdf");
  });
  dialog.bSaveClick();
  EXPECT_EQ(proposed, QString("Act_658188_2026-12-08.pdf"));
  const QString flat = test::PdfText(At("saved.pdf")).simplified();
  EXPECT_TRUE(flat.contains(QString::fromUtf8("Заказчик: Петров")));
  EXPECT_EQ(SettingsFile().ReadString(kSettingsSection, kReportWorkshopKey), "Мастерская у дороги");

  // The printer gets the same page.
  SetPrintDialog([&](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(At("printed.pdf"));
    return true;
  });
  dialog.bPrintClick();
  EXPECT_EQ(test::PdfText(At("printed.pdf")).simplified(), flat);
}

}  // namespace
}  // namespace o5
