// SPDX-License-Identifier: GPL-3.0-or-later
// Every control of every window driven as an assistive tool drives it (over
// AT-SPI a screen reader calls the control's accessible actions, or sets its
// value): each action must do what a click does. The black-box window acts
// only through its context menu (its labels, grid and progress bar do not);
// the modes window holds no control that acts (the mode list is text), and its
// own close box refuses by design.

#include <QAccessible>
#include <QLineEdit>
#include <QTreeWidget>
#include <QUrl>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "heater/BlackBoxImage.h"
#include "link/ComComboBox.h"
#include "link/ComPort.h"
#include "link/ComSetupFrm.h"
#include "tests/app/AppFixture.h"
#include "tests/support/DesktopUrls.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/PtyLine.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/history/TfHistory.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr int kDeadlineMs = 20000;

QAccessibleActionInterface* Actions(QObject* control) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
  return iface ? iface->actionInterface() : nullptr;
}

// Runs the named action of a control, as an assistive tool does.
void Act(QObject* control, const QString& action) {
  QAccessibleActionInterface* actions = Actions(control);
  ASSERT_NE(actions, nullptr) << control->objectName().toStdString();
  ASSERT_TRUE(actions->actionNames().contains(action))
      << control->objectName().toStdString() << ": " << actions->actionNames().join(',').toStdString();
  actions->doAction(action);
}

void Press(QObject* control) { Act(control, QAccessibleActionInterface::pressAction()); }
void Toggle(QObject* control) { Act(control, QAccessibleActionInterface::toggleAction()); }

void SetValue(QObject* control, int value) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
  ASSERT_TRUE(iface && iface->valueInterface()) << control->objectName().toStdString();
  iface->valueInterface()->setCurrentValue(value);
}

// Opens a selector's list through its accessible action and picks the item
// with this text in the open list, as the user does there.
void PickThroughPopup(QComboBox* box, const QString& text) {
  Press(box);
  ASSERT_TRUE(QTest::qWaitFor([&] { return box->view()->isVisible(); }, kDeadlineMs))
      << box->objectName().toStdString();
  const int row = box->findText(text);
  ASSERT_GE(row, 0) << text.toStdString();
  box->view()->setCurrentIndex(box->model()->index(row, 0));
  QTest::keyClick(box->view(), Qt::Key_Return);
  EXPECT_EQ(box->currentText(), text) << box->objectName().toStdString();
}

// Runs `inside` once a modal dialog of type D is up: a press that opens one
// runs it in its own message loop. One timer per dialog: `inside` stays
// connected to it.
template <typename D>
void WhenDialogShows(QTimer& poll, std::function<void(D*)> inside) {
  QObject::connect(&poll, &QTimer::timeout, [&poll, inside] {
    if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
      poll.stop();
      // Once it is the active window: its activation arriving later would
      // close a list opened in it.
      EXPECT_TRUE(QTest::qWaitForWindowActive(dialog, kDeadlineMs));
      inside(dialog);
    }
  });
  poll.start(10);
}

class AccessibleActions : public AppFixture {
 protected:
  void SetUp() override {
    // Listed while they lead to a terminal: links to pseudo-terminals, as the
    // simulator makes them.
    ASSERT_EQ(symlink(lineA_.Path().c_str(), portA_.c_str()), 0);
    ASSERT_EQ(symlink(lineB_.Path().c_str(), portB_.c_str()), 0);
    setenv("ORTAN5_EXTRA_PORTS", (portA_ + ":" + portB_).c_str(), 1);
    AppFixture::SetUp();
    fMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fMain));
  }
  void TearDown() override {
    AppFixture::TearDown();
    unsetenv("ORTAN5_EXTRA_PORTS");
  }
  // Port names the selectors list besides the system's own, whatever ports
  // the machine has; picking one for a closed port only stores it.
  PtyLine lineA_, lineB_;
  QTemporaryDir portDir_;
  const std::string portA_ = portDir_.filePath("o5-accessible-a").toStdString();
  const std::string portB_ = portDir_.filePath("o5-accessible-b").toStdString();
  // The first frame that reaches the heater's end after `action`.
  std::string FirstFrameAfter(PtyLine& line, const std::function<void()>& action) {
    std::string got;
    action();
    const bool arrived = QTest::qWaitFor(
        [&] {
          got += line.Receive(10 - got.size(), 1ms);
          return got.size() >= 10;
        },
        kDeadlineMs);
    EXPECT_TRUE(arrived) << "nothing reached the heater";
    // The handler has run to its end (its wait for a reply that never comes
    // included) inside the wait above; what else it sent is not needed.
    line.ReceiveAll(100ms, 1000ms);
    return Hex(got);
  }
};

TEST_F(AccessibleActions, TheModesWindowFollowsItsButtonHoweverItsStateChanges) {
  QToolButton* b = fMain->bModes;
  Toggle(b);
  EXPECT_TRUE(b->isChecked());
  EXPECT_TRUE(frmModes->isVisible());
  Toggle(b);
  EXPECT_FALSE(frmModes->isVisible());
  // A toggle button offers Toggle, not Press.
  b->setChecked(true);
  EXPECT_TRUE(frmModes->isVisible());
  b->setChecked(false);
  EXPECT_FALSE(frmModes->isVisible());
  b->setFocus();
  QTest::keyClick(b, Qt::Key_Space);
  EXPECT_TRUE(b->isChecked());
  EXPECT_TRUE(frmModes->isVisible());
  // Its own close box still refuses while the button is down.
  EXPECT_FALSE(frmModes->close());
  EXPECT_TRUE(frmModes->isVisible());
  EXPECT_TRUE(b->isChecked());
}

TEST_F(AccessibleActions, MainWindowButtonsSendTheirRequestsAndOpenAndCloseThePort) {
  PtyLine line;
  fMain->Port->SetPort(line.Path());
  Press(fMain->BSR);
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Port->Connected(); }, kDeadlineMs));
  EXPECT_EQ(FirstFrameAfter(line, [] { Press(fMain->bStop); }), "AA 01 00 00 03 00 00 00 00 AE");
  EXPECT_EQ(FirstFrameAfter(line, [] { Press(fMain->bStart); }), "AA 01 00 00 01 00 00 00 00 AC");
  EXPECT_EQ(FirstFrameAfter(line, [] { Press(fMain->bVer); }), "AA 09 00 00 68 00 00 00 00 1B");
  EXPECT_EQ(FirstFrameAfter(line, [] { Press(fMain->bBlackBox); }).substr(0, 14), "AA 09 00 00 77");
  // The line stays silent: each command said so on the console.
  EXPECT_TRUE(fMain->MC->toPlainText().contains(QString::fromUtf8("Нет связи с отопителем.")));
  Press(fMain->bClr);
  EXPECT_TRUE(QTest::qWaitFor([] { return fMain->MC->toPlainText().isEmpty(); }, kDeadlineMs));
  Press(fMain->BSR);
  EXPECT_TRUE(QTest::qWaitFor([] { return !fMain->Port->Connected(); }, kDeadlineMs));
}

TEST_F(AccessibleActions, MainWindowShowsTheGraphAndSavesTheRecordLog) {
  Press(fMain->bGraph);
  EXPECT_TRUE(QTest::qWaitFor([] { return fGraph->isVisible(); }, kDeadlineMs));
  QTemporaryDir folder;
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.path()));
  fMain->MR->setPlainText("record");
  Press(fMain->bSaveData);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return !QDir(folder.path()).entryList({"D_*.txt"}, QDir::Files).isEmpty(); },
      kDeadlineMs));
  QDir::setCurrent(before);
}

TEST_F(AccessibleActions, ThePortSelectorOpensItsListAndAPickMovesThePort) {
  PickThroughPopup(fMain->cbPort, QString::fromStdString(portB_));
  EXPECT_EQ(fMain->Port->Port(), portB_);
  PickThroughPopup(fMain->cbPort, QString::fromStdString(portA_));
  EXPECT_EQ(fMain->Port->Port(), portA_);
}

TEST_F(AccessibleActions, TheSetupDialogsSelectorsAndButtons) {
  QTimer pollOk;
  bool shown = false;
  WhenDialogShows<TComSetupFrm>(pollOk, [&](TComSetupFrm* dialog) {
    shown = true;
    PickThroughPopup(dialog->Combo1, QString::fromStdString(portB_));
    PickThroughPopup(dialog->Combo2, "9600");
    PickThroughPopup(dialog->Combo3, "7");
    PickThroughPopup(dialog->Combo4, "2");
    PickThroughPopup(dialog->Combo5, "Even");
    PickThroughPopup(dialog->Combo6, "Software");
    Press(dialog->Button1);
  });
  Press(fMain->BSet);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown && !QApplication::activeModalWidget(); }, kDeadlineMs));
  EXPECT_EQ(fMain->Port->Port(), portB_);
  EXPECT_EQ(fMain->Port->BaudRate(), br9600);
  EXPECT_EQ(fMain->Port->DataBits(), dbSeven);
  EXPECT_EQ(fMain->Port->StopBits(), sbTwoStopBits);
  EXPECT_EQ(fMain->Port->Parity().Bits(), prEven);
  EXPECT_EQ(fMain->Port->FlowControl().FlowControl(), fcSoftware);

  // Cancel applies nothing.
  shown = false;
  QTimer pollCancel;
  WhenDialogShows<TComSetupFrm>(pollCancel, [&](TComSetupFrm* dialog) {
    shown = true;
    PickThroughPopup(dialog->Combo1, QString::fromStdString(portA_));
    PickThroughPopup(dialog->Combo2, "1200");
    Press(dialog->Button2);
  });
  Press(fMain->BSet);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown && !QApplication::activeModalWidget(); }, kDeadlineMs));
  EXPECT_EQ(fMain->Port->Port(), portB_);
  EXPECT_EQ(fMain->Port->BaudRate(), br9600);
}

TEST_F(AccessibleActions, GraphWindowBoxesButtonsCheckBoxesAndSwatches) {
  fGraph->show();
  ChartWidget* chart = fGraph->Charts;
  SetValue(fGraph->edXStep, 7);
  EXPECT_EQ(chart->BottomAxis().Increment(), 7);
  SetValue(fGraph->edYStep, 3);
  EXPECT_EQ(chart->LeftAxis().Increment(), 3);
  SetValue(fGraph->edYMax, 90);
  EXPECT_EQ(chart->LeftAxis().Maximum(), 90);
  SetValue(fGraph->edYMin, 10);
  EXPECT_EQ(chart->LeftAxis().Minimum(), 10);
  SetValue(fGraph->edXMax, 500);
  EXPECT_EQ(chart->BottomAxis().Maximum(), 500);
  SetValue(fGraph->edXMin, 100);
  EXPECT_EQ(chart->BottomAxis().Minimum(), 100);

  Press(fGraph->bUp);
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->LeftAxis().Minimum() == 13; }, kDeadlineMs));
  Press(fGraph->bDown);
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->LeftAxis().Minimum() == 10; }, kDeadlineMs));
  Press(fGraph->bRight);
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->BottomAxis().Minimum() == 107; }, kDeadlineMs));
  Press(fGraph->bLeft);
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->BottomAxis().Minimum() == 100; }, kDeadlineMs));
  fGraph->AddPoint(0, 150, 50);
  Press(fGraph->Button1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->Series(0).Size() == 0; }, kDeadlineMs));

  for (int i = 0; i < TfGraph::kSeriesCount; ++i) {
    SCOPED_TRACE(i + 1);
    SetValue(fGraph->ed[i], 4);
    EXPECT_EQ(chart->SeriesWidth(i), 4);
    ASSERT_TRUE(fGraph->cb[i]->isChecked());
    Toggle(fGraph->cb[i]);
    EXPECT_FALSE(chart->SeriesVisible(i));
    Toggle(fGraph->cb[i]);
    EXPECT_TRUE(chart->SeriesVisible(i));
  }

  // A swatch's press opens the colour dialog; the colour chosen there is the
  // series' colour.
  const QColor chosen(10, 200, 30);
  for (int i : {0, TfGraph::kSeriesCount - 1}) {
    SCOPED_TRACE(i + 1);
    QTimer poll;
    WhenDialogShows<QColorDialog>(poll, [&](QColorDialog* dialog) {
      dialog->setCurrentColor(chosen);
      dialog->accept();
    });
    Press(fGraph->sp[i]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return chart->SeriesColor(i) == chosen; }, kDeadlineMs));
    EXPECT_EQ(fGraph->sp[i]->Color(), chosen);
  }
}

// Opens a context menu as a right click does and presses each named item
// through its accessible interface: each asks its file dialog (the test's
// dialog cancels it) with the caption given.
void PressMenuItems(QMenu* menu, QWidget* over,
                    const std::vector<std::pair<const char*, const char*>>& itemsAndCaptions) {
  menu->popup(over->mapToGlobal(QPoint(20, 20)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, kDeadlineMs));
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
  ASSERT_NE(iface, nullptr);
  ClearFileDialogs();
  for (const auto& [item, caption] : itemsAndCaptions) {
    SCOPED_TRACE(item);
    QAccessibleInterface* found = nullptr;
    for (int i = 0; i < iface->childCount() && !found; ++i)
      if (iface->child(i)->text(QAccessible::Name) == QString::fromUtf8(item)) found = iface->child(i);
    ASSERT_NE(found, nullptr);
    ASSERT_NE(found->actionInterface(), nullptr);
    const qsizetype before = FileDialogRequests().size();
    found->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return FileDialogRequests().size() > before; }, kDeadlineMs));
    EXPECT_EQ(FileDialogRequests().back().caption, QString::fromUtf8(caption));
  }
  menu->hide();
}

TEST_F(AccessibleActions, MenuItemsOfTheBlackBoxAndGraphWindowsDoWhatChoosingThemDoes) {
  // A report on show, so that every item is enabled. Printing opens the
  // system's print dialog and is left out.
  fBB->ShowReport();
  fBB->show();
  PressMenuItems(fBB->pmBB, fBB,
                 {{"Сохранить отчёт…", "Сохранить отчёт"},
                  {"Сохранить образ…", "Сохранить образ"},
                  {"Открыть образ…", "Открыть образ"},
                  {"Сравнить с…", "Сравнить с образом"}});
  fGraph->show();
  PressMenuItems(fGraph->pmCharts, fGraph->Charts,
                 {{"Открыть журнал…", "Открыть журнал…"},
                  {"Сохранить данные…", "Сохранить данные…"},
                  {"Сохранить рисунок…", "Сохранить рисунок…"}});
}

TEST_F(AccessibleActions, TheHistoryWindowOpensFromTheBlackBoxMenuAndItsRowsFilterAndButtonsAct) {
  QTemporaryDir data;
  QFile config(SettingsDir() + "/config.ini");
  ASSERT_TRUE(config.open(QIODevice::WriteOnly));
  config.write(("[Options]\nDataDir=" + data.path() + "\n").toUtf8());
  config.close();
  // A readout in the archive: a report shown after a readout keeps it.
  const BlackBoxBytes before = BlackBoxImage;
  BlackBoxImage[3] = 0x55, BlackBoxImage[4] = 0x37, BlackBoxImage[32] = 42;
  fBB->ShowReport();
  BlackBoxImage = before;
  fBB->show();

  fBB->pmBB->popup(fBB->mapToGlobal(QPoint(20, 20)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return fBB->pmBB->isVisible(); }, kDeadlineMs));
  QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(fBB->pmBB);
  ASSERT_NE(menu, nullptr);
  for (int i = 0; i < menu->childCount(); ++i)
    if (menu->child(i)->text(QAccessible::Name) == QString::fromUtf8("История…"))
      menu->child(i)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_TRUE(QTest::qWaitFor([] { return fHistory && fHistory->isVisible(); }, kDeadlineMs));

  QAccessible::queryAccessibleInterface(fHistory->edSerial)->setText(QAccessible::Value, "7");
  EXPECT_EQ(fHistory->tvHeaters->topLevelItemCount(), 0);
  QAccessible::queryAccessibleInterface(fHistory->edSerial)->setText(QAccessible::Value, "42");
  ASSERT_EQ(fHistory->tvHeaters->topLevelItemCount(), 1);

  // A row chosen as an assistive tool chooses it, then "Открыть".
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(fHistory->tvReadouts);
  ASSERT_TRUE(list && list->tableInterface());
  // Once the list has laid out its rows, as a tool finds it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->tableInterface()->rowCount() == 1; }, kDeadlineMs));
  QAccessibleInterface* cell = list->tableInterface()->cellAt(0, 0);
  ASSERT_NE(cell, nullptr);
  ASSERT_NE(cell->actionInterface(), nullptr) << "no actions";
  const BlackBoxBytes kept = fBB->ReportImage();
  fBB->hide();
  cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  Press(fHistory->bOpen);
  EXPECT_TRUE(QTest::qWaitFor([] { return fBB->isVisible(); }, kDeadlineMs));
  EXPECT_EQ(fBB->ReportImage(), kept);

  DesktopUrls desktop;
  Press(fHistory->bOpenFolder);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.shown.isEmpty(); }, kDeadlineMs));
  EXPECT_EQ(desktop.shown, QList<QUrl>{QUrl::fromLocalFile(data.path())});
  EXPECT_EQ(TakeErrors(), QStringList());
}

// Presses one item of an open menu through its accessible interface.
void PressMenuItem(QMenu* menu, const char* item) {
  SCOPED_TRACE(item);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
  ASSERT_NE(iface, nullptr);
  QAccessibleInterface* found = nullptr;
  for (int i = 0; i < iface->childCount() && !found; ++i)
    if (iface->child(i)->text(QAccessible::Name) == QString::fromUtf8(item)) found = iface->child(i);
  ASSERT_NE(found, nullptr);
  ASSERT_NE(found->actionInterface(), nullptr);
  found->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// The chart menu's items that act on the chart itself: the cursors go where
// the menu was opened.
TEST_F(AccessibleActions, TheGraphMenusCursorModesAndColourItemsDoWhatChoosingThemDoes) {
  fGraph->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(fGraph));
  ChartWidget* chart = fGraph->Charts;
  const PlotMapping p = chart->Frame().plot;
  auto openAt = [&](int x) {
    fGraph->pmCharts->popup(chart->mapToGlobal(QPoint(x, p.top + 20)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fGraph->pmCharts->isVisible(); }, kDeadlineMs));
  };
  const int a = p.left + p.width / 3;
  const int b = p.left + p.width * 2 / 3;
  openAt(a);
  PressMenuItem(fGraph->pmCharts, "Метка A здесь");
  ASSERT_TRUE(QTest::qWaitFor([&] { return chart->CursorX(Cursor::kA).has_value(); }, kDeadlineMs));
  EXPECT_NEAR(*chart->CursorX(Cursor::kA), p.PixelToX(a), 1e-9);
  openAt(b);
  PressMenuItem(fGraph->pmCharts, "Метка B здесь");
  ASSERT_TRUE(QTest::qWaitFor([&] { return chart->CursorX(Cursor::kB).has_value(); }, kDeadlineMs));
  EXPECT_NEAR(*chart->CursorX(Cursor::kB), p.PixelToX(b), 1e-9);
  openAt(a);
  PressMenuItem(fGraph->pmCharts, "Убрать метки");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !chart->CursorX(Cursor::kA) && !chart->CursorX(Cursor::kB); },
                              kDeadlineMs));

  ASSERT_TRUE(chart->TimelineShown());
  openAt(a);
  PressMenuItem(fGraph->pmCharts, "Режимы и неисправности");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !chart->TimelineShown(); }, kDeadlineMs));
  openAt(a);
  PressMenuItem(fGraph->pmCharts, "Режимы и неисправности");
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->TimelineShown(); }, kDeadlineMs));

  openAt(a);
  PressMenuItem(fGraph->pmCharts, "Различимые цвета");
  EXPECT_TRUE(QTest::qWaitFor([&] { return chart->SeriesColor(0) != QColor(0, 128, 0); }, kDeadlineMs));
  EXPECT_EQ(fGraph->sp[0]->Color(), chart->SeriesColor(0));
  fGraph->pmCharts->hide();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test

