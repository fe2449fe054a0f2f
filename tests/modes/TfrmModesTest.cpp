// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/modes/TfrmModes.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"

namespace o5 {
namespace {

class TfrmModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    SetSettingsDirectory(dir.path().toStdString());
  }
  void TearDown() override { SetSettingsDirectory(""); }

  void WriteConfig(const char* text) {
    QFile file(dir.filePath("config.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QTemporaryDir dir;
};

TEST_F(TfrmModesTest, IsAFixedSizeToolWindowOnTop) {
  TfrmModes w;
  EXPECT_EQ(w.windowTitle(), "Информация");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(w.size(), QSize(190, 662));
  EXPECT_EQ(w.minimumSize(), QSize(190, 662));
  EXPECT_EQ(w.maximumSize(), QSize(190, 662));
  EXPECT_EQ(w.font().family(), "MS Sans Serif");
  EXPECT_EQ(w.font().pixelSize(), 11);
  EXPECT_FALSE(w.testAttribute(Qt::WA_QuitOnClose));
}

TEST_F(TfrmModesTest, ModeBarStartsAtModeZero) {
  TfrmModes w;
  EXPECT_EQ(w.Panel1->text(), "0 - Не работает");
  EXPECT_EQ(w.Panel1->geometry(), QRect(0, 0, 190, 21));
  EXPECT_EQ(w.Panel1->palette().color(QPalette::Window), QColor(0, 0, 160));
  EXPECT_EQ(w.Panel1->palette().color(QPalette::WindowText), QColor(192, 192, 192));
  EXPECT_TRUE(w.Panel1->font().bold());
  EXPECT_EQ(w.Panel1->font().pixelSize(), 11);
  EXPECT_TRUE(w.Panel1->alignment() & Qt::AlignLeft);

  w.SetModeCaption("21 - Прогрев");
  EXPECT_EQ(w.ModeCaption(), "21 - Прогрев");
  EXPECT_EQ(w.Panel1->text(), "21 - Прогрев");
}

TEST_F(TfrmModesTest, ModeListHasItsElevenLines) {
  TfrmModes w;
  EXPECT_EQ(w.Memo1->geometry(), QRect(0, 21, 190, 152));
  EXPECT_FALSE(w.Memo1->isReadOnly());
  const QStringList expected = {
      " 0 - Не работает", " 1 - Проверка перед пуском", " 2 - Охлаждение", " 3-20 Розжиг",
      "21 - Прогрев",     "22 - Сильный",               "23 - Малый",      "24 - Выжигание",
      "25 - Предпродувка", "26 - Продувка",             "27 - Ждущий"};
  EXPECT_EQ(w.Memo1->toPlainText().split('\n'), expected);
}

TEST_F(TfrmModesTest, FaultLegendShowsThirtyTwoFixedLines) {
  TfrmModes w;
  EXPECT_EQ(w.pErr->geometry(), QRect(0, 173, 190, 489));
  const struct {
    const char* name;
    int top;
    const char* caption;
  } expected[] = {
      {"l18", 9, "16 ДП недостаточно остыл"},
      {"l17", 23, "13 Попытки запуска исчерпаны"},
      {"l16", 38, "20 Нет связи по послед. каналу"},
      {"l15", 53, "17 КЗ топливного насоса"},
      {"l14", 68, "17 обрыв цепи топливного насоса"},
      {"l13", 83, "28 Самовращение воздуходувки"},
      {"l12", 98, "10 Трудное вращение воздуходувкой"},
      {"l11", 113, "27 воздуходувка не вращается"},
      {"l28", 128, " 4 КЗ датчика температуры"},
      {"l27", 143, " 4 обрыв датчика температуры"},
      {"l26", 158, " 3 КЗ датчика перегрева"},
      {"l25", 172, " 3 обрыв датчика перегрева"},
      {"l24", 187, "21 срыв пламени на  прогреве"},
      {"l23", 202, " 5 обрыв датчика пламени"},
      {"l22", 217, " 6 КЗ внутреннего датчика темп."},
      {"l21", 232, " 6 Обрыв внутреннего датчика темп."},
      {"l38", 247, " 9 свеча КЗ"},
      {"l37", 262, " 9 свеча обрыв"},
      {"l36", 277, "14 помпа КЗ"},
      {"l35", 292, "14 помпа обрыв"},
      {"l34", 307, "12 повышенное напряжение питания"},
      {"l33", 321, "15 пониженное напряжение питания"},
      {"l32", 336, ""},
      {"l31", 351, ""},
      {"l48", 366, "18 реле КЗ"},
      {"l47", 381, "18 реле обрыв"},
      {"l46", 396, " 7 срыв пламени на режиме малый"},
      {"l45", 411, " 8 срыв пламени на режиме сильный"},
      {"l44", 426, "19 срыв пламени на режиме средний"},
      {"l43", 441, "11 перегрев по скорости"},
      {"l42", 456, " 2 возможный перегрев"},
      {"l41", 471, " 1 перегрев"},
  };
  ASSERT_EQ(w.pErr->findChildren<QLabel*>().size(), 32);
  for (size_t i = 0; i < 32; ++i) {
    auto* label = w.pErr->findChild<QLabel*>(expected[i].name);
    ASSERT_NE(label, nullptr) << expected[i].name;
    EXPECT_EQ(w.FaultLabels[i], label);
    EXPECT_EQ(label->text(), QString::fromUtf8(expected[i].caption)) << expected[i].name;
    EXPECT_EQ(label->pos(), QPoint(5, expected[i].top)) << expected[i].name;
  }
}

// The telemetry's fault bytes, frame after frame: the captions of the bits set
// are bold, red and "активна" to a screen reader, the others as built; texts
// and places never change, and a bold caption still fits the window.
TEST_F(TfrmModesTest, TheLegendMarksTheFaultsReportedNowAndClearsThemWhenTheyGo) {
  TfrmModes w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QColor plain = w.FaultLabels[0]->palette().color(QPalette::WindowText);
  std::vector<QString> texts;
  std::vector<QPoint> places;
  for (QLabel* l : w.FaultLabels) texts.push_back(l->text()), places.push_back(l->pos());
  const struct {
    std::array<uint8_t, 4> bytes;
    std::vector<std::string> marked;
  } frames[] = {
      {{0, 0, 0, 0}, {}},
      {{0x40, 0, 0, 0}, {"l17"}},
      {{0x40, 0x08, 0, 0x01}, {"l17", "l24", "l41"}},
      {{0, 0x08, 0x02, 0x20}, {"l24", "l32", "l46"}},
      {{0xFF, 0, 0, 0}, {"l18", "l17", "l16", "l15", "l14", "l13", "l12", "l11"}},
      {{0, 0, 0, 0}, {}},
  };
  for (const auto& frame : frames) {
    w.SetActiveFaults(frame.bytes);
    for (std::size_t i = 0; i < w.FaultLabels.size(); ++i) {
      QLabel* l = w.FaultLabels[i];
      const std::string name = l->objectName().toStdString();
      const bool marked = std::find(frame.marked.begin(), frame.marked.end(), name) != frame.marked.end();
      EXPECT_EQ(w.FaultActive(static_cast<int>(i)), marked) << name;
      EXPECT_EQ(l->font().bold(), marked) << name;
      EXPECT_EQ(l->palette().color(QPalette::WindowText), marked ? QColor(200, 0, 0) : plain) << name;
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(l);
      ASSERT_NE(a, nullptr);
      EXPECT_EQ(a->text(QAccessible::Name).contains("активна"), marked) << name;
      EXPECT_EQ(a->text(QAccessible::Description) == "активна", marked) << name;
      EXPECT_EQ(l->text(), texts[i]) << name;
      EXPECT_EQ(l->pos(), places[i]) << name;
      EXPECT_LE(l->geometry().right(), w.pErr->width()) << name;
    }
  }
  // Named as the legend reads it, the code's alignment blank left out.
  w.SetActiveFaults({0, 0, 0, 0x01});
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.findChild<QLabel*>("l41"))->text(QAccessible::Name),
            "1 перегрев, активна");
  w.SetActiveFaults({0, 0, 0x02, 0});
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.findChild<QLabel*>("l32"))->text(QAccessible::Name),
            "бит 2: без описания, активна");
}

TEST_F(TfrmModesTest, WithoutSettingsFileOpensAtTopLeft) {
  TfrmModes w;
  EXPECT_EQ(w.pos(), QPoint(0, 0));
}

TEST_F(TfrmModesTest, ReadsItsPositionAtCreation) {
  WriteConfig("[Options]\nFormModesTop=120\nFormModesLeft=$40\n");
  TfrmModes w;
  EXPECT_EQ(w.pos(), QPoint(0x40, 120));
}

TEST_F(TfrmModesTest, ValueThatIsNotAnIntegerReadsAsZero) {
  WriteConfig("[Options]\nFormModesTop=abc\nFormModesLeft=300\n");
  TfrmModes w;
  EXPECT_EQ(w.pos(), QPoint(300, 0));
}

TEST_F(TfrmModesTest, SavePositionWritesBothKeys) {
  {
    TfrmModes w;
    w.move(250, 77);
    w.SavePosition();
    const SettingsFile settings;
    EXPECT_EQ(settings.ReadInteger("Options", "FormModesTop", -1), 77);
    EXPECT_EQ(settings.ReadInteger("Options", "FormModesLeft", -1), 250);
  }
  TfrmModes again;
  EXPECT_EQ(again.pos(), QPoint(250, 77));
}

TEST_F(TfrmModesTest, SavePositionPassesAFailedWriteOn) {
  TfrmModes w;
  SetSettingsDirectory(dir.filePath("missing/folder").toStdString());
  try {
    w.SavePosition();
    FAIL() << "no error raised";
  } catch (const SettingsError& e) {
    EXPECT_TRUE(QString(e.what()).startsWith("Unable to write to ")) << e.what();
  }
}

TEST_F(TfrmModesTest, RefusesToClose) {
  TfrmModes w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  // The title bar's close box reaches the window through its platform window.
  w.windowHandle()->close();
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.isVisible());
  w.hide();
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace o5
