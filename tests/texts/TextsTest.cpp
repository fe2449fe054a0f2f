// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the user reads, taken from the live widgets of the four windows
// and the port setup dialog and compared, space for space, with the texts the
// tool is meant to show. The expected texts are written out here on purpose
// rather than taken from the code's constants: a typo in a constant must fail.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <vector>

#include "chart/ChartWidget.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "link/ComSetupFrm.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/texts/TextsFixture.h"
#include "heater/BlackBoxImage.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/ColorSwatch.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

QStringList Q(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* t : texts) list << QString::fromUtf8(t);
  return list;
}

// The items as the drop-down list shows them.
QStringList Items(const QComboBox* box) {
  QStringList list;
  for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
  return list;
}

QString Q(const char* text) { return QString::fromUtf8(text); }

class TextsTest : public TextsFixture {};

// --- main window ------------------------------------------------------------

TEST_F(TextsTest, MainWindowCaptions) {
  EXPECT_EQ(fMain->windowTitle(), Q("Ортан5 Диагностика 1.0.2"));
  EXPECT_EQ(fMain->BSet->text(), Q("Настр"));
  EXPECT_EQ(fMain->BSR->text(), Q("Откр/закр"));
  EXPECT_EQ(fMain->bSaveData->text(), Q("Сохранить"));
  // Emptied at start-up; the run time appears with the first telemetry.
  EXPECT_EQ(fMain->lTime->text(), QString());
  EXPECT_EQ(fMain->MC->toPlainText(), QString());
  EXPECT_EQ(fMain->MR->toPlainText(), QString());
}

TEST_F(TextsTest, ToolbarCaptionsLeftToRight) {
  std::vector<QToolButton*> buttons{fMain->bModes,    fMain->bGraph, fMain->bClr,  fMain->bBlackBox,
                                    fMain->bVer,      fMain->bStart, fMain->bStop};
  ShowAndSettle(fMain);
  std::sort(buttons.begin(), buttons.end(),
            [](QToolButton* a, QToolButton* b) { return a->x() < b->x(); });
  QStringList captions;
  for (QToolButton* b : buttons) captions << b->text();
  EXPECT_EQ(captions, Q({"Режимы", "Графики", "Стереть (F8)", "Черный\nящик", "Версия ПО\nОртан 5",
                         "Пуск", "Стоп"}));
  for (QToolButton* b : buttons)
    EXPECT_EQ(b->font().bold(), b == fMain->bStart || b == fMain->bStop) << b->text().toStdString();
  // The bevel parts the commands to the heater from the others, and the run
  // time follows them.
  EXPECT_LT(fMain->bVer->x(), fMain->Bevel1->x());
  EXPECT_LT(fMain->Bevel1->x(), fMain->bStart->x());
  EXPECT_LT(fMain->bStop->x(), fMain->lTime->x());
}

TEST_F(TextsTest, RecordLogHeader) {
  EXPECT_EQ(fMain->Label7->text(),
            Q("WTime; ModeT; Error;    ТН; vdDef; vdClc; Помпа;  Реле; Свеча;     U; Режим;   Tж;  "
              "Tпер; Тплам; Tплт;   Cmd;  ПП"));
}

// --- modes window --------------------------------------------------------------

TEST_F(TextsTest, ModesWindowCaptionModeBarAndModeList) {
  EXPECT_EQ(frmModes->windowTitle(), Q("Информация"));
  EXPECT_EQ(frmModes->Panel1->text(), Q("0 - Не работает"));
  EXPECT_EQ(frmModes->Memo1->toPlainText().split('\n'),
            Q({" 0 - Не работает", " 1 - Проверка перед пуском", " 2 - Охлаждение", " 3-20 Розжиг",
               "21 - Прогрев", "22 - Сильный", "23 - Малый", "24 - Выжигание", "25 - Предпродувка",
               "26 - Продувка", "27 - Ждущий"}));
}

TEST_F(TextsTest, FaultLegendTopToBottom) {
  struct Line {
    const char* name;
    const char* caption;
  };
  const Line expected[] = {
      {"l18", "16 ДП недостаточно остыл"},
      {"l17", "13 Попытки запуска исчерпаны"},
      {"l16", "20 Нет связи по послед. каналу"},
      {"l15", "17 КЗ топливного насоса"},
      {"l14", "17 обрыв цепи топливного насоса"},
      {"l13", "28 Самовращение воздуходувки"},
      {"l12", "10 Трудное вращение воздуходувкой"},
      {"l11", "27 воздуходувка не вращается"},
      {"l28", " 4 КЗ датчика температуры"},
      {"l27", " 4 обрыв датчика температуры"},
      {"l26", " 3 КЗ датчика перегрева"},
      {"l25", " 3 обрыв датчика перегрева"},
      {"l24", "21 срыв пламени на  прогреве"},
      {"l23", " 5 обрыв датчика пламени"},
      {"l22", " 6 КЗ внутреннего датчика темп."},
      {"l21", " 6 Обрыв внутреннего датчика темп."},
      {"l38", " 9 свеча КЗ"},
      {"l37", " 9 свеча обрыв"},
      {"l36", "14 помпа КЗ"},
      {"l35", "14 помпа обрыв"},
      {"l34", "12 повышенное напряжение питания"},
      {"l33", "15 пониженное напряжение питания"},
      {"l32", ""},
      {"l31", ""},
      {"l48", "18 реле КЗ"},
      {"l47", "18 реле обрыв"},
      {"l46", " 7 срыв пламени на режиме малый"},
      {"l45", " 8 срыв пламени на режиме сильный"},
      {"l44", "19 срыв пламени на режиме средний"},
      {"l43", "11 перегрев по скорости"},
      {"l42", " 2 возможный перегрев"},
      {"l41", " 1 перегрев"},
  };
  QList<QLabel*> labels = frmModes->pErr->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(labels.size(), 32);
  std::stable_sort(labels.begin(), labels.end(),
                   [](QLabel* a, QLabel* b) { return a->y() < b->y(); });
  for (int i = 0; i < 32; ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(labels[i]->objectName(), Q(expected[i].name));
    EXPECT_EQ(labels[i]->text(), Q(expected[i].caption));
    EXPECT_EQ(labels[i]->x(), 5);
  }
}

// --- graph window ----------------------------------------------------------------

TEST_F(TextsTest, GraphWindowRowsButtonAndAxes) {
  EXPECT_EQ(fGraph->windowTitle(), Q("Графики"));
  const QStringList rows = Q({"Тжидкости", "Тперегрева", "Тпламени", "Тна плате", "Вент. Задатчик",
                              "Вент. Измерение", "Топливный насос", "Свеча", "Реле", "Помпа",
                              "Режим", "Неисправность", "U"});
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE(n);
    auto* box = fGraph->findChild<QCheckBox*>(QStringLiteral("cb%1").arg(n));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), rows[n - 1]);
    auto* swatch = fGraph->findChild<ColorSwatch*>(QStringLiteral("sp%1").arg(n));
    ASSERT_NE(swatch, nullptr);
    EXPECT_EQ(swatch->toolTip(), Q("Изменить цвет"));
  }
  EXPECT_EQ(fGraph->Button1->text(), Q("Очистить"));
  EXPECT_EQ(fGraph->Charts->BottomAxis().Title(), "Время, с");
  EXPECT_EQ(fGraph->Charts->LeftAxis().Title(), "");
  // The pan buttons carry arrows, not words.
  for (QToolButton* b : {fGraph->bUp, fGraph->bDown, fGraph->bLeft, fGraph->bRight})
    EXPECT_EQ(b->text(), QString()) << b->objectName().toStdString();
}

// --- black-box window ---------------------------------------------------------------

TEST_F(TextsTest, BlackBoxWindowBeforeTheFirstReport) {
  EXPECT_EQ(fBB->windowTitle(), Q("Черный ящик"));
  const std::pair<QLabel*, const char*> labels[] = {
      {fBB->lDP, "Значения датчика пламени при обучении:"},
      {fBB->l1, "Версия:"},
      {fBB->l2, "Номер текущей записи:"},
      {fBB->l3, "Количество прерываний работы (потери питания при работе):"},
      {fBB->l11, "Количество неисправностей (кроме 13 кода):"},
      {fBB->l4, "Количество запусков с первой попытки:"},
      {fBB->l5, "Количество запусков НЕ с первой попытки:"},
      {fBB->l6, "Количество незапусков:"},
      {fBB->l7, "Общее время работы (сек):"},
      {fBB->l8, "Время работы на малом режиме (сек):"},
      {fBB->l9, "Время работы на сильном режиме (сек):"},
      {fBB->l10, "Время работы на ждущем режиме (сек):"},
      {fBB->l12, "Код изделия:"},
      {fBB->l13, "Серийный номер:"},
      {fBB->l14, "Конфигурационный байт:"},
  };
  for (const auto& [label, caption] : labels) EXPECT_EQ(label->text(), Q(caption));
  // The grid stays empty until the first report.
  for (int row = 0; row < fBB->sgBB->rowCount(); ++row)
    for (int column = 0; column < fBB->sgBB->columnCount(); ++column) {
      const QTableWidgetItem* item = fBB->sgBB->item(row, column);
      EXPECT_TRUE(!item || item->text().isEmpty()) << row << "," << column;
    }
  const QList<QLabel*> progress = fBB->pRead->findChildren<QLabel*>();
  QStringList progressTexts;
  for (const QLabel* l : progress) progressTexts << l->text();
  EXPECT_EQ(progressTexts, Q({"Подождите, идет чтение черного ящика из Ортана 5..."}));
}

TEST_F(TextsTest, BlackBoxReportTitlesAndLabelForms) {
  const BlackBoxBytes saved = BlackBoxImage;
  BlackBoxImage.fill(0);
  fBB->ShowReport();
  BlackBoxImage = saved;

  QStringList titles;
  for (int row = 1; row <= 14; ++row) titles << fBB->sgBB->item(row, 0)->text();
  EXPECT_EQ(titles, Q({"Количество повторов неисправности", "Код неисправности", "Время возникновения",
                       "Режим работы", "Напряжение питания, В", "Температура датчика пламени",
                       "Температура жидкости", "Температура перегрева",
                       "Тжидкости через 10сек работы", "С какой попытки произведен розжиг",
                       "Байт ошибки 1", "Байт ошибки 2", "Байт ошибки 3", "Байт ошибки 4"}));
  EXPECT_EQ(fBB->sgBB->item(0, 0)->text(), QString());
  QStringList numbers;
  for (int column = 1; column <= 13; ++column) numbers << fBB->sgBB->item(0, column)->text();
  EXPECT_EQ(numbers, Q({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}));

  EXPECT_EQ(fBB->lDP->text(), Q("Значения датчика пламени при обучении: 0, 0, 0"));
  EXPECT_EQ(fBB->l1->text(), Q("Версия: 0."));
  EXPECT_EQ(fBB->l2->text(), Q("Номер текущей записи: 0."));
  EXPECT_EQ(fBB->l3->text(), Q("Количество прерываний работы (потери питания при работе): 0."));
  EXPECT_EQ(fBB->l4->text(), Q("Количество запусков с первой попытки: 0."));
  EXPECT_EQ(fBB->l5->text(), Q("Количество запусков НЕ с первой попытки: 0."));
  EXPECT_EQ(fBB->l6->text(), Q("Количество незапусков: 0."));
  EXPECT_EQ(fBB->l7->text(), Q("Общее время работы : 0 сек. (0-0:0:0)"));
  EXPECT_EQ(fBB->l8->text(), Q("Время работы на малом режиме : 0 сек. (0-0:0:0)"));
  EXPECT_EQ(fBB->l9->text(), Q("Время работы на сильном режиме : 0 сек. (0-0:0:0)"));
  EXPECT_EQ(fBB->l10->text(), Q("Время работы на ждущем режиме : 0 сек. (0-0:0:0)"));
  EXPECT_EQ(fBB->l11->text(), Q("Количество неисправностей (кроме 13 кода): 0."));
  EXPECT_EQ(fBB->l12->text(), Q("Код изделия: 0."));
  EXPECT_EQ(fBB->l13->text(), Q("Серийный номер: 0."));
  EXPECT_EQ(fBB->l14->text(), Q("Конфигурационный байт: 0."));
}

// --- port setup dialog -------------------------------------------------------------------

// Runs `inspect` on the setup dialog that the main window's "Настр" opens,
// then cancels it.
void WithSetupDialog(const std::function<void(TComSetupFrm*)>& inspect) {
  bool seen = false;
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll->stop();
    seen = true;
    inspect(dialog);
    dialog->reject();
  });
  poll->start(10);
  fMain->BSetClick(fMain->BSet);
  delete poll;
  EXPECT_TRUE(seen);
}

TEST_F(TextsTest, SetupDialogTexts) {
  WithSetupDialog([](TComSetupFrm* d) {
    EXPECT_EQ(d->windowTitle(), Q("Setup"));
    EXPECT_EQ(d->GroupBox1->title(), Q(" Settings "));
    EXPECT_EQ((QStringList{d->Label1->text(), d->Label2->text(), d->Label3->text(), d->Label4->text(),
                           d->Label5->text(), d->Label6->text()}),
              Q({"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"}));
    EXPECT_EQ(d->Button1->text(), Q("OK"));
    EXPECT_EQ(d->Button2->text(), Q("Cancel"));
    EXPECT_EQ(Items(d->Combo2),
              Q({"Custom", "110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                 "38400", "56000", "57600", "115200", "128000", "256000"}));
    EXPECT_EQ(Items(d->Combo3), Q({"5", "6", "7", "8"}));
    EXPECT_EQ(Items(d->Combo4), Q({"1", "1.5", "2"}));
    EXPECT_EQ(Items(d->Combo5), Q({"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(Items(d->Combo6), Q({"Hardware", "Software", "None", "Custom"}));
    // The main window's port starts at 1200 baud 8N1 without flow control.
    EXPECT_EQ((QStringList{d->Combo2->Text(), d->Combo3->Text(), d->Combo4->Text(), d->Combo5->Text(),
                           d->Combo6->Text()}),
              Q({"1200", "8", "1", "None", "None"}));
  });
}

// The port's own error messages are English and reach the user through the
// error display; errno 13 is the one a user without the dialout group meets.
TEST_F(TextsTest, PortErrorThatNamesThePermissionProblem) {
  EXPECT_STREQ(EComPort(1, 13).what(), "Unable to open com port (win error code: 13)");
  EXPECT_STREQ(EComPort(23, 2).what(), "Registry error (win error code: 2)");
}

}  // namespace
}  // namespace o5::test
