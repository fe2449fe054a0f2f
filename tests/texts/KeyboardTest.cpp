// SPDX-License-Identifier: GPL-3.0-or-later
// The main window from the keyboard: Tab walks the toolbar, the port controls
// and the panes in the order they are seen, the text panes hand Tab on instead
// of swallowing it, and F8 clears the panes from every stop of that walk.

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "tests/comui/QStringPrinter.h"
#include "tests/texts/TextsFixture.h"

namespace o5::test {
namespace {

class KeyboardTest : public TextsFixture {
 protected:
  void SetUp() override {
    TextsFixture::SetUp();
    ShowAndSettle(fMain);
    fMain->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fMain));
  }

  static QString Focused() {
    QWidget* w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("(none)");
  }

  // The names the focus visits, starting where it is, pressing `key` `count` times.
  static QStringList Walk(Qt::Key key, int count) {
    QStringList names{Focused()};
    for (int i = 0; i < count; ++i) {
      QWidget* w = QApplication::focusWidget();
      if (!w) break;
      QTest::keyClick(w, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
      names << Focused();
    }
    return names;
  }

  // Top to bottom, left to right within a row: the toolbar, the port
  // controls and the remote access, the console, the record log's save
  // button above the log.
  const QStringList order_{"bModes", "bGraph", "bClr", "bBlackBox", "bVer",      "bStart", "bStop",
                           "cbPort", "BSet",   "BSR",  "bRemote",   "MC",        "bSaveData", "MR"};
};

TEST_F(KeyboardTest, TheFirstStopHasTheFocusWhenTheWindowOpens) {
  EXPECT_EQ(Focused(), order_.first());
}

TEST_F(KeyboardTest, TabWalksTheWindowInTheOrderItIsSeen) {
  fMain->bModes->setFocus(Qt::TabFocusReason);
  QStringList expected = order_;
  expected << order_.first();
  EXPECT_EQ(Walk(Qt::Key_Tab, order_.size()), expected);
}

TEST_F(KeyboardTest, ShiftTabWalksItBackwards) {
  fMain->MR->setFocus(Qt::TabFocusReason);
  QStringList expected;
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) expected << *it;
  expected << order_.last();
  EXPECT_EQ(Walk(Qt::Key_Backtab, order_.size()), expected);
}

TEST_F(KeyboardTest, TextPanesPassTabOnAndKeepTheirText) {
  fMain->MC->setPlainText("console");
  fMain->MR->setPlainText("record");
  fMain->MC->setFocus(Qt::TabFocusReason);
  QTest::keyClick(fMain->MC, Qt::Key_Tab);
  EXPECT_EQ(Focused(), "bSaveData");
  fMain->MR->setFocus(Qt::TabFocusReason);
  QTest::keyClick(fMain->MR, Qt::Key_Tab);
  EXPECT_EQ(Focused(), "bModes");
  EXPECT_EQ(fMain->MC->toPlainText(), "console");
  EXPECT_EQ(fMain->MR->toPlainText(), "record");
}

TEST_F(KeyboardTest, F8ClearsThePanesFromEveryStop) {
  for (const QString& name : order_) {
    SCOPED_TRACE(name.toStdString());
    auto* w = fMain->findChild<QWidget*>(name);
    ASSERT_NE(w, nullptr);
    fMain->MC->setPlainText("console");
    fMain->MR->setPlainText("record");
    w->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(Focused(), name);
    QTest::keyClick(w, Qt::Key_F8);
    EXPECT_EQ(fMain->MC->toPlainText(), QString());
    EXPECT_EQ(fMain->MR->toPlainText(), QString());
  }
}

// Space works the focused toolbar button, as it does everywhere else.
TEST_F(KeyboardTest, SpaceWorksTheFocusedToggle) {
  fMain->bModes->setFocus(Qt::TabFocusReason);
  QTest::keyClick(fMain->bModes, Qt::Key_Space);
  EXPECT_TRUE(fMain->bModes->isChecked());
  QTest::keyClick(fMain->bModes, Qt::Key_Space);
  EXPECT_FALSE(fMain->bModes->isChecked());
}

}  // namespace
}  // namespace o5::test
