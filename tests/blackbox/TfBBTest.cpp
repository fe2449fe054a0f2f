// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/blackbox/TfBB.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "heater/BlackBoxImage.h"

namespace o5 {
namespace {

class TfBBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = BlackBoxImage;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  }
  void TearDown() override {
    BlackBoxImage = saved;
    QLocale::setDefault(QLocale::c());
  }
  BlackBoxBytes saved;
};

TEST_F(TfBBTest, StartsHiddenWithItsInitialCaptions) {
  TfBB w;
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), "Черный ящик");
  EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose));
  const struct {
    QLabel* label;
    const char* name;
    QPoint pos;
    const char* caption;
  } expected[] = {
      {w.lDP, "lDP", {493, 16}, "Значения датчика пламени при обучении:"},
      {w.l1, "l1", {25, 16}, "Версия:"},
      {w.l2, "l2", {25, 48}, "Номер текущей записи:"},
      {w.l3, "l3", {25, 73}, "Количество прерываний работы (потери питания при работе):"},
      {w.l11, "l11", {25, 93}, "Количество неисправностей (кроме 13 кода):"},
      {w.l4, "l4", {25, 122}, "Количество запусков с первой попытки:"},
      {w.l5, "l5", {25, 139}, "Количество запусков НЕ с первой попытки:"},
      {w.l6, "l6", {25, 156}, "Количество незапусков:"},
      {w.l7, "l7", {25, 185}, "Общее время работы (сек):"},
      {w.l8, "l8", {25, 202}, "Время работы на малом режиме (сек):"},
      {w.l9, "l9", {25, 218}, "Время работы на сильном режиме (сек):"},
      {w.l10, "l10", {25, 235}, "Время работы на ждущем режиме (сек):"},
      {w.l12, "l12", {601, 168}, "Код изделия:"},
      {w.l13, "l13", {601, 184}, "Серийный номер:"},
      {w.l14, "l14", {601, 226}, "Конфигурационный байт:"},
  };
  for (const auto& e : expected) {
    ASSERT_NE(e.label, nullptr) << e.name;
    EXPECT_EQ(e.label->objectName(), e.name);
    EXPECT_EQ(e.label->parentWidget(), w.Panel1) << e.name;
    EXPECT_EQ(e.label->pos(), e.pos) << e.name;
    EXPECT_EQ(e.label->text(), QString::fromUtf8(e.caption)) << e.name;
  }
  for (int row = 0; row < 15; ++row)
    for (int column = 0; column < 14; ++column) EXPECT_EQ(w.sgBB->item(row, column)->text(), "");
}

TEST_F(TfBBTest, PanelLabelsAndGridLookAsDescribed) {
  TfBB w;
  EXPECT_EQ(w.Panel1->geometry().topLeft(), QPoint(0, 0));
  EXPECT_EQ(w.Panel1->height(), 278);
  EXPECT_EQ(w.Panel1->width(), w.width());
  EXPECT_EQ(w.Panel1->palette().color(QPalette::Window), QColor(166, 202, 240));
  for (QLabel* l : {w.l1, w.l2, w.l3, w.l4, w.l5, w.l6, w.l7, w.l8, w.l9, w.l10, w.l11, w.l12, w.l13, w.l14}) {
    EXPECT_EQ(l->font().family(), "Arial") << l->objectName().toStdString();
    EXPECT_EQ(l->font().pixelSize(), 13);
    EXPECT_TRUE(l->font().bold());
    const bool maroon = l == w.l3 || l == w.l11;
    EXPECT_EQ(l->palette().color(QPalette::WindowText) == QColor(128, 0, 0), maroon)
        << l->objectName().toStdString();
  }
  EXPECT_EQ(w.lDP->font().family(), "MS Sans Serif");
  EXPECT_FALSE(w.lDP->font().bold());

  EXPECT_EQ(w.sgBB->rowCount(), 15);
  EXPECT_EQ(w.sgBB->columnCount(), 14);
  // Below the panel and the row of commands, as tall as the window leaves it
  // without that row.
  EXPECT_EQ(w.pCommands->geometry(), QRect(0, 278, w.width(), TfBB::kCommandsHeight));
  EXPECT_EQ(w.sgBB->geometry().top(), 278 + TfBB::kCommandsHeight);
  EXPECT_EQ(w.sgBB->geometry().bottom(), w.height() - 1);
  EXPECT_EQ(w.sgBB->height(), w.height() - TfBB::kCommandsHeight - 278);
  EXPECT_EQ(w.sgBB->columnWidth(0), 326);
  for (int c = 1; c < 14; ++c) EXPECT_EQ(w.sgBB->columnWidth(c), 40);
  for (int r = 0; r < 15; ++r) EXPECT_EQ(w.sgBB->rowHeight(r), 18);
  for (int c = 0; c < 14; ++c) EXPECT_FALSE(w.sgBB->item(0, c)->flags() & Qt::ItemIsSelectable);
  for (int r = 1; r < 15; ++r)
    for (int c = 0; c < 14; ++c) {
      EXPECT_TRUE(w.sgBB->item(r, c)->flags() & Qt::ItemIsSelectable);
      EXPECT_FALSE(w.sgBB->item(r, c)->flags() & Qt::ItemIsEditable);
    }

  EXPECT_EQ(w.pRead->geometry(), QRect(60, 184, 817, 233));
  EXPECT_EQ(w.pbReadBB->geometry(), QRect(24, 167, 763, 18));
  EXPECT_EQ(w.pbReadBB->minimum(), 0);
  EXPECT_EQ(w.pbReadBB->maximum(), 85);
  auto* caption = w.pRead->findChild<QLabel*>();
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->text(), "Подождите, идет чтение черного ящика из Ортана 5...");
}

TEST_F(TfBBTest, CellsCanBeSelectedButNotEdited) {
  BlackBoxImage.fill(0);
  TfBB w;
  w.ShowReport();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QTableWidgetItem* cell = w.sgBB->item(2, 3);
  const QRect rect = w.sgBB->visualItemRect(cell);
  QTest::mouseClick(w.sgBB->viewport(), Qt::LeftButton, {}, rect.center());
  EXPECT_TRUE(cell->isSelected());
  QTest::mouseDClick(w.sgBB->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::keyClicks(w.sgBB, "99");
  QTest::keyClick(w.sgBB, Qt::Key_F2);
  QTest::keyClick(w.sgBB, Qt::Key_Return);
  EXPECT_EQ(cell->text(), "0");
  EXPECT_TRUE(w.sgBB->findChildren<QLineEdit*>().isEmpty());
}

TEST_F(TfBBTest, ShowReportFillsEveryLabelAndCellFromTheImage) {
  BlackBoxImage.fill(0xFF);
  TfBB w;
  w.ShowReport();
  EXPECT_EQ(w.l13->text(), "Серийный номер: 16777215.");
  EXPECT_EQ(w.l7->text(), "Общее время работы : -1 сек. (0-0:0:-1)");
  EXPECT_EQ(w.lDP->text(), "Значения датчика пламени при обучении: 255, 255, 255");
  EXPECT_EQ(w.sgBB->item(0, 0)->text(), "");
  EXPECT_EQ(w.sgBB->item(0, 13)->text(), "12");
  EXPECT_EQ(w.sgBB->item(5, 0)->text(), "Напряжение питания, В");
  EXPECT_EQ(w.sgBB->item(5, 1)->text(), "25,5");  // the Russian locale's separator
  EXPECT_EQ(w.sgBB->item(14, 13)->text(), "255");

  // A second report replaces the first everywhere.
  BlackBoxImage.fill(0);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  w.ShowReport();
  EXPECT_EQ(w.l13->text(), "Серийный номер: 0.");
  EXPECT_EQ(w.l7->text(), "Общее время работы : 0 сек. (0-0:0:0)");
  EXPECT_EQ(w.sgBB->item(5, 1)->text(), "0.0");
  EXPECT_EQ(w.sgBB->item(14, 13)->text(), "0");
  EXPECT_EQ(w.sgBB->item(0, 13)->text(), "12");
}

// A readout says so on the panel, to the minute, clear of the labels; a run
// time's tooltip gives its hours in the locale's way; the command buttons
// wait for a report as the menu's commands do.
TEST_F(TfBBTest, TheSourceLineTheRunTimesHoursAndTheButtons) {
  BlackBoxImage.fill(0);
  BlackBoxImage[13] = 0x7C, BlackBoxImage[14] = 0xF4, BlackBoxImage[15] = 0x13;  // 1307772 s
  TfBB w;
  const auto* save = w.pCommands->findChild<QToolButton*>("bSaveReport");
  ASSERT_NE(save, nullptr);
  EXPECT_FALSE(save->isEnabled());
  EXPECT_TRUE(w.pCommands->findChild<QToolButton*>("bOpenImage")->isEnabled());
  EXPECT_EQ(w.lSource->text(), "");
  const QDateTime before = QDateTime::currentDateTime();
  w.ShowReport();
  const QDateTime after = QDateTime::currentDateTime();
  EXPECT_TRUE(save->isEnabled());
  const QString line = w.lSource->text();
  EXPECT_TRUE(line == "Прочитан из отопителя " + before.toString("dd.MM.yyyy HH:mm") ||
              line == "Прочитан из отопителя " + after.toString("dd.MM.yyyy HH:mm"))
      << line.toStdString();
  EXPECT_EQ(w.lSource->parentWidget(), w.Panel1);
  for (QLabel* label : {w.lDP, w.l1, w.l2, w.l3, w.l4, w.l5, w.l6, w.l7, w.l8, w.l9, w.l10, w.l11, w.l12, w.l13,
                        w.l14, w.lChanges})
    EXPECT_FALSE(label->geometry().intersects(w.lSource->geometry())) << label->objectName().toStdString();
  EXPECT_EQ(w.l7->toolTip(), "363,3 ч");
  EXPECT_EQ(w.l8->toolTip(), "0,0 ч");
  EXPECT_EQ(w.l4->toolTip(), "");
  EXPECT_EQ(w.l7->text(), "Общее время работы : 1307772 сек. (15-3:16:12)");
}

TEST_F(TfBBTest, LabelsGrowWithTheirText) {
  BlackBoxImage.fill(0xFF);
  TfBB w;
  const int before = w.l10->width();
  w.ShowReport();
  EXPECT_GT(w.l10->width(), before);
}

TEST_F(TfBBTest, ClosingHidesTheWindowAndKeepsTheReport) {
  BlackBoxImage.fill(7);
  TfBB w;
  w.ShowReport();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.l1->text(), "Версия: 7.");
  w.show();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.l1->text(), "Версия: 7.");
}

}  // namespace
}  // namespace o5
