// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's tooltips: every button and the lamp say what they are,
// the record log's header says what the column under the mouse holds, with
// its unit, and the lamp when the last frame came.

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComLed.h"
#include "tests/app/AppFixture.h"

namespace o5::test {
namespace {

class HintsTest : public AppFixture {
 protected:
  // Asks `w` for its tooltip at `pos` as the toolkit does under the mouse.
  static QString ToolTipAt(QWidget* w, QPoint pos) {
    QHelpEvent event(QEvent::ToolTip, pos, w->mapToGlobal(pos));
    QApplication::sendEvent(w, &event);
    return w->toolTip();
  }
  // The middle of the header's character `index`.
  static QPoint HeaderCharacter(int index) {
    const QString header = fMain->Label7->text();
    const QFontMetrics m = fMain->Label7->fontMetrics();
    const int x = (m.horizontalAdvance(header.left(index)) + m.horizontalAdvance(header.left(index + 1))) / 2;
    return {fMain->Label7->contentsRect().left() + x, fMain->Label7->height() / 2};
  }
};

TEST_F(HintsTest, EveryButtonSaysWhatItDoes) {
  for (QWidget* w : std::initializer_list<QWidget*>{fMain->bModes, fMain->bGraph, fMain->bClr, fMain->bBlackBox,
                                                     fMain->bVer, fMain->bStart, fMain->bStop, fMain->BSet,
                                                     fMain->BSR, fMain->bSaveData})
    EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  EXPECT_TRUE(fMain->bClr->toolTip().contains("F8"));
}

TEST_F(HintsTest, TheHeaderNamesTheColumnUnderTheMouseWithItsUnit) {
  const QString header = fMain->Label7->text();
  auto at = [&](const QString& name) { return ToolTipAt(fMain->Label7, HeaderCharacter(header.indexOf(name))); };
  EXPECT_EQ(at("     U;"), QString::fromUtf8("U: Напряжение питания в десятых долях вольта: 126 — это 12,6 В"));
  EXPECT_TRUE(at("Tж;").contains(QString::fromUtf8("°C")));
  EXPECT_TRUE(at("Тплам").contains(QString::fromUtf8("кельвин")));
  EXPECT_TRUE(at("WTime").startsWith("WTime: "));
  EXPECT_TRUE(at("ПП").startsWith(QString::fromUtf8("ПП: ")));
  // Past the last column there is nothing to say.
  const QFontMetrics m = fMain->Label7->fontMetrics();
  EXPECT_EQ(ToolTipAt(fMain->Label7, {m.horizontalAdvance(header) + 2, 5}), QString());
}

TEST_F(HintsTest, TheLampSaysThePortIsClosedAndNoFrameHasCome) {
  const QString hint = ToolTipAt(fMain->ComLed1, {5, 5});
  EXPECT_TRUE(hint.startsWith(QString::fromUtf8("Порт закрыт."))) << hint.toStdString();
  EXPECT_TRUE(hint.contains(QString::fromUtf8("Кадров от отопителя ещё не было."))) << hint.toStdString();
}

}  // namespace
}  // namespace o5::test
