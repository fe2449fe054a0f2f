// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as a keyboard user and a screen reader meet them: every control
// of the graph window has a name, the chart is reached by Tab and read by the
// arrows, its menu opens from the keyboard, Escape closes the window it is
// pressed in and no other, the setup dialog's selectors are named by their own
// labels, the lamp names the port's state, and console lines are announced.

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <vector>

#include "app/Announcer.h"
#include "heater/BlackBoxImage.h"
#include "link/ComComboBox.h"
#include "link/ComLed.h"
#include "link/ComPort.h"
#include "link/ComSetupFrm.h"
#include "tests/app/AppFixture.h"
#include "tests/support/PtyLine.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/GraphSeries.h"
#include "ui/graph/TfGraph.h"
#include "ui/help/HelpWindow.h"
#include "ui/history/TfHistory.h"
#include "ui/graph/TfRunSummary.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

constexpr int kDeadlineMs = 20000;

QString Name(QObject* o) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
  return iface ? iface->text(QAccessible::Name) : QString();
}

QString Description(QObject* o) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
  return iface ? iface->text(QAccessible::Description) : QString();
}

class KeyboardAndNames : public AppFixture {
 protected:
  void ShowGraph() {
    fGraph->show();
    fGraph->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fGraph));
  }
};

TEST_F(KeyboardAndNames, EveryControlOfTheGraphWindowHasAName) {
  ShowGraph();
  QStringList unnamed;
  int controls = 0;
  for (QWidget* w : fGraph->findChildren<QWidget*>()) {
    if (!w->isVisible()) continue;
    if (!qobject_cast<QAbstractSpinBox*>(w) && !qobject_cast<QAbstractButton*>(w) &&
        !qobject_cast<ColorSwatch*>(w))
      continue;
    ++controls;
    if (Name(w).trimmed().isEmpty()) unnamed << w->objectName();
  }
  // At least the six axis boxes, each row's three controls, the arrows and "Очистить".
  EXPECT_GE(controls, 6 + 13 * 3 + 4 + 1);
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(' ').toStdString();
  EXPECT_EQ(Name(fGraph->edXStep), QString::fromUtf8("Ось X: шаг"));
  EXPECT_EQ(Name(fGraph->ed[0]), QString::fromUtf8("Толщина линии: ") + QString::fromUtf8(kGraphSeries[0].caption));
  EXPECT_EQ(Name(fGraph->sp[0]), QString::fromUtf8("Цвет: ") + QString::fromUtf8(kGraphSeries[0].caption));
  EXPECT_TRUE(Description(fGraph->sp[0]).startsWith(fGraph->sp[0]->Color().name()));
  EXPECT_FALSE(fGraph->bLeft->toolTip().isEmpty());
}

TEST_F(KeyboardAndNames, TabReachesTheChartAndTheArrowsReadEverySeries) {
  for (int s = 0; s < TfGraph::kSeriesCount; ++s)
    for (int x = 0; x <= 60; x += 2) fGraph->AddPoint(s, x, 100);
  ShowGraph();
  fGraph->Button1->setFocus();
  QWidget* chart = nullptr;
  for (int k = 0; k < 80 && !chart; ++k) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (Name(QApplication::focusWidget()).startsWith(QString::fromUtf8("График"))) chart = QApplication::focusWidget();
  }
  ASSERT_EQ(chart, fGraph->Charts);
  QTest::keyClick(chart, Qt::Key_Right);
  const QString read = Name(chart) + ' ' + Description(chart);
  EXPECT_TRUE(read.contains(QString::fromUtf8("t = "))) << read.toStdString();
  for (const GraphSeries& s : kGraphSeries)
    EXPECT_TRUE(read.contains(QString::fromUtf8(s.caption) + QString::fromUtf8(": 100"))) << s.caption;
  EXPECT_TRUE(fGraph->Charts->ReadoutBox()->isVisible());
  // Shift ten points on, End to the last: the marks go where the cursor is.
  QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(fGraph->Charts->KeyboardX(), 20.0);
  QTest::keyClick(chart, Qt::Key_End);
  EXPECT_EQ(fGraph->Charts->KeyboardX(), 60.0);
  QTest::keyClick(chart, Qt::Key_Left);
  EXPECT_TRUE(Description(chart).startsWith(QString::fromUtf8("t = 58"))) << Description(chart).toStdString();

  QTest::keyClick(chart, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(QTest::qWaitFor([] { return fGraph->pmCharts->isVisible(); }, kDeadlineMs));
  EXPECT_EQ(fGraph->pmCharts->activeAction(), fGraph->aOpenLog);
  fGraph->pmCharts->setActiveAction(fGraph->aMarkA);
  QTest::keyClick(fGraph->pmCharts, Qt::Key_Return);
  EXPECT_EQ(fGraph->Charts->CursorX(Cursor::kA), 58.0);

  QTest::keyClick(chart, Qt::Key_Menu);
  ASSERT_TRUE(QTest::qWaitFor([] { return fGraph->pmCharts->isVisible(); }, kDeadlineMs));
  EXPECT_EQ(fGraph->pmCharts->activeAction(), fGraph->aOpenLog);
  const QList<QAction*> items = fGraph->pmCharts->actions();
  ASSERT_EQ(items.last()->text(), QString::fromUtf8("Различимые цвета"));
  fGraph->pmCharts->setActiveAction(items.last());
  QTest::keyClick(fGraph->pmCharts, Qt::Key_Return);
  QSet<QRgb> colours;
  for (int s = 0; s < TfGraph::kSeriesCount; ++s) colours.insert(fGraph->Charts->SeriesColor(s).rgb());
  EXPECT_EQ(colours.size(), TfGraph::kSeriesCount);
}

TEST_F(KeyboardAndNames, SwatchesTakeTheFocusAndOpenTheirDialogByKey) {
  ShowGraph();
  EXPECT_NE(fGraph->sp[3]->focusPolicy() & Qt::TabFocus, 0);
  fGraph->sp[3]->setFocus();
  bool opened = false;
  QTimer::singleShot(0, [&] {
    (void)QTest::qWaitFor([] { return fGraph->dlgColor->isVisible(); }, kDeadlineMs);
    opened = fGraph->dlgColor->isVisible();
    fGraph->dlgColor->reject();
  });
  QTest::keyClick(fGraph->sp[3], Qt::Key_Space);
  EXPECT_TRUE(opened);
  // The focus comes back to the swatch that opened the dialog.
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() == fGraph->sp[3]; }, kDeadlineMs))
      << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
}

TEST_F(KeyboardAndNames, TheBlackBoxGridIsNamedAndItsMenuAndEscapeWorkByKeys) {
  const BlackBoxBytes saved = BlackBoxImage;
  BlackBoxImage.fill(0xFF);
  fBB->ShowReport();
  BlackBoxImage = saved;
  fBB->show();
  fBB->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(fBB));
  QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(fBB->sgBB)->tableInterface();
  ASSERT_NE(table, nullptr);
  QAccessibleTableCellInterface* cell = table->cellAt(5, 13)->tableCellInterface();
  ASSERT_NE(cell, nullptr);
  // The toolkit makes the header cells afresh for each call and leaves them
  // to the caller.
  const QList<QAccessibleInterface*> rowHeaders = cell->rowHeaderCells();
  const QList<QAccessibleInterface*> columnHeaders = cell->columnHeaderCells();
  const QString rowHeader = rowHeaders.isEmpty() ? QString() : rowHeaders.first()->text(QAccessible::Name);
  const QString columnHeader = columnHeaders.isEmpty() ? QString() : columnHeaders.first()->text(QAccessible::Name);
  for (QAccessibleInterface* header : rowHeaders + columnHeaders)
    QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(header));
  EXPECT_EQ(rowHeader, fBB->sgBB->item(5, 0)->text());
  EXPECT_EQ(columnHeader, "12");
  int described = 0;
  for (int row = 1; row < fBB->sgBB->rowCount(); ++row)
    for (int column = 1; column < fBB->sgBB->columnCount(); ++column) {
      const QString tip = fBB->sgBB->item(row, column)->toolTip();
      if (tip.isEmpty()) continue;
      ++described;
      EXPECT_EQ(table->cellAt(row, column)->text(QAccessible::Description), tip);
    }
  EXPECT_GT(described, 0);

  fBB->sgBB->setFocus();
  QTest::keyClick(fBB->sgBB, Qt::Key_F10, Qt::ShiftModifier);
  ASSERT_TRUE(QTest::qWaitFor([] { return fBB->pmBB->isVisible(); }, kDeadlineMs));
  EXPECT_EQ(fBB->pmBB->activeAction(), fBB->pmBB->actions().value(0));
  QTest::keyClick(fBB->pmBB, Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([] { return !fBB->pmBB->isVisible(); }, kDeadlineMs));
  EXPECT_TRUE(fBB->isVisible());
  QTest::keyClick(fBB->sgBB, Qt::Key_Escape);
  EXPECT_TRUE(QTest::qWaitFor([] { return !fBB->isVisible(); }, kDeadlineMs));
}

// Escape closes the window it is pressed in, whichever window of the tool that
// is, and no other: not the window a tool window or a dialog belongs to. The
// modes window, which refuses its close box, refuses Escape as well.
TEST_F(KeyboardAndNames, EscapeClosesTheWindowItIsPressedInAndNoOther) {
  THelpWindow help;
  struct Case {
    const char* name;
    std::function<QWidget*()> open;  // shows the window Escape is pressed in
    std::function<QList<QWidget*>()> staying;
  };
  const auto none = [] { return QList<QWidget*>{}; };
  const std::vector<Case> cases = {
      {"graph", [] { return static_cast<QWidget*>(fGraph); }, none},
      {"summary",
       [] {
         fGraph->show();
         fGraph->aRunSummaryExecute();
         return static_cast<QWidget*>(fGraph->fRunSummary);
       },
       [] { return QList<QWidget*>{fGraph}; }},
      {"history",
       [] {
         ShowHistory();
         return static_cast<QWidget*>(fHistory);
       },
       none},
      {"black box", [] { return static_cast<QWidget*>(fBB); }, none},
      {"modes", [] { return static_cast<QWidget*>(frmModes); }, [] { return QList<QWidget*>{frmModes}; }},
      {"help", [&help] { return static_cast<QWidget*>(&help); }, none},
      {"about box over help",
       [&help] {
         help.show();
         help.bAboutClick();
         return static_cast<QWidget*>(help.AboutBox);
       },
       [&help] { return QList<QWidget*>{&help}; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* window = c.open();
    ASSERT_NE(window, nullptr);
    window->show();
    window->raise();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(focus, Qt::Key_Escape);
    if (c.staying().contains(window))
      QTest::qWait(100);
    else
      EXPECT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, kDeadlineMs));
    for (QWidget* other : c.staying()) EXPECT_TRUE(other->isVisible()) << other->objectName().toStdString();
    QList<QWidget*> shown = c.staying();
    shown << window;
    for (QWidget* w : shown) w->hide();
  }

  // A modal dialog over the graph window: Escape cancels the dialog alone.
  fGraph->show();
  fGraph->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(fGraph));
  bool pressed = false;
  QTimer::singleShot(0, [&pressed] {
    QColorDialog* dialog = fGraph->dlgColor;
    if (QTest::qWaitFor([dialog] { return dialog->isAncestorOf(QApplication::focusWidget()); }, kDeadlineMs)) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      pressed = true;
    }
    // Whatever happened, the dialog must not stay open over the test.
    QTimer::singleShot(kDeadlineMs, dialog, [dialog] { static_cast<QDialog*>(dialog)->reject(); });
  });
  const QColor before = fGraph->sp[0]->Color();
  QElapsedTimer shown;
  shown.start();
  fGraph->sp1MouseDown(1);
  EXPECT_TRUE(pressed);
  EXPECT_LT(shown.elapsed(), kDeadlineMs);
  EXPECT_EQ(fGraph->sp[0]->Color(), before);
  EXPECT_TRUE(fGraph->isVisible());
}

TEST_F(KeyboardAndNames, TheSetupDialogsSelectorsAreNamedByTheirOwnLabels) {
  TComSetupFrm form;
  QSet<QString> names;
  const QList<QLabel*> labels = form.findChildren<QLabel*>();
  // On this platform a selector's name is the item it shows; what labels it
  // is its labelled-by relation: its own label first (the group box around
  // them follows as the toolkit adds it).
  for (TComComboBox* combo : form.Combos()) {
    const auto related = QAccessible::queryAccessibleInterface(combo)->relations(QAccessible::Label);
    ASSERT_FALSE(related.isEmpty()) << combo->objectName().toStdString();
    auto* label = qobject_cast<QLabel*>(related.first().first->object());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), combo);
    EXPECT_TRUE(labels.contains(label));
    names.insert(related.first().first->text(QAccessible::Name));
  }
  EXPECT_EQ(names.size(), 6);
}

TEST_F(KeyboardAndNames, TheLampNamesThePortsStateAndThePanesAreNamed) {
  EXPECT_TRUE(Name(fMain->ComLed1).startsWith(QString::fromUtf8("Порт закрыт")));
  EXPECT_FALSE(Description(fMain->ComLed1).isEmpty());
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  fMain->BSR->click();
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Port->Connected(); }, kDeadlineMs));
  EXPECT_TRUE(Name(fMain->ComLed1).startsWith(QString::fromUtf8("Порт открыт")));
  fMain->BSR->click();
  ASSERT_TRUE(QTest::qWaitFor([] { return !fMain->Port->Connected(); }, kDeadlineMs));
  EXPECT_EQ(Name(fMain->MC), QString::fromUtf8("Консоль"));
  EXPECT_EQ(Name(fMain->MR), QString::fromUtf8("Журнал записей"));
  EXPECT_FALSE(Name(fMain->Image1).isEmpty());
}

// Each control of the main window looks different with the focus, from the
// start, before any Tab has been pressed.
TEST_F(KeyboardAndNames, TheFocusIsSeenOnEveryControlOfTheMainWindow) {
  fMain->show();
  fMain->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(fMain));
  const QList<QWidget*> controls = {fMain->bModes, fMain->bGraph, fMain->bClr,  fMain->bBlackBox, fMain->bVer,
                                    fMain->bStart, fMain->bStop,  fMain->cbPort, fMain->BSet,     fMain->BSR,
                                    fMain->MC,     fMain->bSaveData, fMain->MR};
  for (QWidget* control : controls) {
    QWidget* other = control == fMain->MC ? fMain->MR : fMain->MC;
    other->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    const QImage without = control->grab().toImage();
    control->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    const QImage with = control->grab().toImage();
    if (qEnvironmentVariableIsSet("O5_KEEP_FOCUS_PICTURES"))
      with.save(QStringLiteral("/tmp/focus-%1.png").arg(control->objectName()));
    EXPECT_NE(with, without) << control->objectName().toStdString();
  }
}

TEST_F(KeyboardAndNames, ConsoleLinesAreAnnouncedAndRecordsAreNot) {
  fMain->ConsoleLine("Нет связи с отопителем.");
  ASSERT_TRUE(QTest::qWaitFor([] { return !fMain->Announcements->Text().isEmpty(); }, kDeadlineMs));
  EXPECT_EQ(fMain->Announcements->Text(), QString::fromUtf8("Нет связи с отопителем."));
  EXPECT_EQ(Name(fMain->Announcements), QString::fromUtf8("Нет связи с отопителем."));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(fMain->Announcements)->role(), QAccessible::Notification);
  // The lines of one reply are heard as one; empty lines not at all.
  fMain->ConsoleLine("");
  fMain->ConsoleLine("Версия 1");
  fMain->ConsoleLine("Дата   2");
  EXPECT_TRUE(QTest::qWaitFor(
      [] { return fMain->Announcements->Text() == QString::fromUtf8("Версия 1 Дата   2"); }, kDeadlineMs))
      << fMain->Announcements->Text().toStdString();
  // Records are not announced.
  fMain->MR->appendPlainText("record");
  QTest::qWait(50);
  EXPECT_EQ(fMain->Announcements->Text(), QString::fromUtf8("Версия 1 Дата   2"));
}

}  // namespace
}  // namespace o5::test
