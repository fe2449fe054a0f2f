// SPDX-License-Identifier: GPL-3.0-or-later
// The setup dialog: its layout, what it shows for a port, and what OK, Enter,
// Cancel and the close box do to a closed and to an open port.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <string>
#include <vector>

#include "link/ComLed.h"
#include "link/ComSetupFrm.h"
#include "tests/comui/ComUiSupport.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/support/ErrorCapture.h"

namespace o5 {
namespace {

using test::DialogDriver;
using test::Pty;

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

bool SameLine(const termios& a, const termios& b) {
  return cfgetospeed(&a) == cfgetospeed(&b) && cfgetispeed(&a) == cfgetispeed(&b) &&
         a.c_cflag == b.c_cflag && a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag &&
         a.c_lflag == b.c_lflag;
}

TEST(SetupDialogLayoutTest, SixRowsInAFixedDialog) {
  TComSetupFrm form;
  EXPECT_EQ(form.windowTitle(), "Setup");
  EXPECT_EQ(form.size(), QSize(231, 216));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.font().pointSize(), 8);

  EXPECT_EQ(form.GroupBox1->title(), " Settings ");
  EXPECT_EQ(form.GroupBox1->geometry(), QRect(8, 8, 217, 169));
  const QLabel* labels[] = {form.Label1, form.Label2, form.Label3,
                            form.Label4, form.Label5, form.Label6};
  const char* captions[] = {"Port",      "Baud rate", "Data bits",
                            "Stop bits", "Parity",    "Flow control"};
  const TComProperty properties[] = {cpPort,     cpBaudRate, cpDataBits,
                                     cpStopBits, cpParity,   cpFlowControl};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(labels[i]->text(), captions[i]);
    EXPECT_EQ(labels[i]->parentWidget(), form.GroupBox1);
    EXPECT_EQ(labels[i]->pos(), QPoint(8, 24 + 24 * i));
    TComComboBox* combo = form.Combos()[static_cast<size_t>(i)];
    EXPECT_EQ(combo->objectName(), QString("Combo%1").arg(i + 1));
    EXPECT_EQ(combo->parentWidget(), form.GroupBox1);
    EXPECT_EQ(combo->geometry(), QRect(80, 16 + 24 * i, 129, 21));
    EXPECT_EQ(combo->ComProperty(), properties[i]);
    EXPECT_EQ(combo->ComPort(), nullptr);
    EXPECT_FALSE(combo->AutoApply());
  }
  EXPECT_EQ(Items(*form.Combo4), (QStringList{"1", "1.5", "2"}));

  EXPECT_EQ(form.Button1->text(), "OK");
  EXPECT_EQ(form.Button1->geometry(), QRect(70, 184, 75, 25));
  EXPECT_TRUE(form.Button1->isDefault());
  EXPECT_EQ(form.Button2->text(), "Cancel");
  EXPECT_EQ(form.Button2->geometry(), QRect(150, 184, 75, 25));
  EXPECT_FALSE(form.Button2->isDefault());

  // Tab order: the six selectors, then OK, then Cancel.
  std::vector<QWidget*> order;
  QWidget* w = form.Combo1;
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    w = w->nextInFocusChain();
  } while (w != form.Combo1);
  EXPECT_EQ(order, (std::vector<QWidget*>{form.Combo1, form.Combo2, form.Combo3, form.Combo4,
                                          form.Combo5, form.Combo6, form.Button1, form.Button2}));
}

class SetupDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TakeErrors();
    test::SetUpLikeMainWindow(port, a.Path());
    lamp.SetComPort(&port);
    lamp.OnChange = [this](QObject*, TLedState s) { lampChanges.push_back(s); };
  }

  Pty a, b;
  test::ExtraPorts extra{{a.Path(), b.Path()}};
  test::CountingPort port;
  TComLed lamp;
  std::vector<TLedState> lampChanges;
};

TEST_F(SetupDialogTest, ShowsTheMainWindowsPortSettings) {
  QStringList shown;
  QStringList portItems;
  DialogDriver driver([&](TComSetupFrm* d) {
    for (TComComboBox* c : d->Combos()) {
      shown << c->Text();
      EXPECT_EQ(c->ComPort(), &port);
    }
    portItems = Items(*d->Combo1);
    const QPoint screenCentre = d->screen()->availableGeometry().center();
    EXPECT_LE((d->geometry().center() - screenCentre).manhattanLength(), 1);
    EXPECT_EQ(d->size(), QSize(231, 216));
    QTest::mouseClick(d->Button2, Qt::LeftButton);
  });
  port.ShowPortDialog();
  ASSERT_TRUE(driver.Seen());
  EXPECT_EQ(shown, (QStringList{a.QPath(), "1200", "8", "1", "None", "None"}));
  EXPECT_TRUE(portItems.contains(b.QPath()));
  EXPECT_EQ(test::LiveSetupDialogs(), 0);
}

TEST_F(SetupDialogTest, ListsThePortsAfreshEachTime) {
  Pty late;
  test::ExtraPorts more{{a.Path(), b.Path(), late.Path()}};
  QStringList portItems;
  DialogDriver driver([&](TComSetupFrm* d) {
    portItems = Items(*d->Combo1);
    d->reject();
  });
  port.ShowPortDialog();
  EXPECT_TRUE(portItems.contains(late.QPath()));
}

TEST_F(SetupDialogTest, CancelAppliesNothing) {
  port.SetConnected(true);
  port.applyAllCount = 0;
  lampChanges.clear();
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo1, b.QPath()));
    EXPECT_TRUE(test::PickItem(d->Combo2, "9600"));
    EXPECT_TRUE(test::PickItem(d->Combo5, "Even"));
    EXPECT_TRUE(test::PickItem(d->Combo6, "Hardware"));
    QTest::mouseClick(d->Button2, Qt::LeftButton);
  });
  port.ShowPortDialog();
  ASSERT_TRUE(driver.Seen());
  EXPECT_EQ(port.Port(), a.Path());
  EXPECT_EQ(port.BaudRate(), br1200);
  EXPECT_EQ(port.Parity().Bits(), prNone);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(port.applyAllCount, 0);
  EXPECT_TRUE(lampChanges.empty());
}

TEST_F(SetupDialogTest, CloseBoxAppliesNothing) {
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo1, b.QPath()));
    EXPECT_TRUE(test::PickItem(d->Combo3, "7"));
    d->close();
  });
  port.ShowPortDialog();
  ASSERT_TRUE(driver.Seen());
  EXPECT_EQ(port.Port(), a.Path());
  EXPECT_EQ(port.DataBits(), dbEight);
  EXPECT_EQ(port.applyAllCount, 0);
  EXPECT_EQ(test::LiveSetupDialogs(), 0);
}

TEST_F(SetupDialogTest, OkWithoutChangesSetsAnOpenPortsLineAgainOnce) {
  port.SetConnected(true);
  const int handle = port.Handle();
  const termios asApplied = a.Attributes();
  ASSERT_EQ(cfgetospeed(&asApplied), static_cast<speed_t>(B1200));
  // Someone else changes the line behind the port's back.
  termios changed = asApplied;
  cfsetospeed(&changed, B9600);
  cfsetispeed(&changed, B9600);
  changed.c_cflag |= CSTOPB | PARODD;
  a.SetAttributes(changed);
  ASSERT_FALSE(SameLine(a.Attributes(), asApplied));
  port.applyAllCount = 0;
  lampChanges.clear();

  DialogDriver driver([&](TComSetupFrm* d) { QTest::mouseClick(d->Button1, Qt::LeftButton); });
  port.ShowPortDialog();

  ASSERT_TRUE(driver.Seen());
  EXPECT_EQ(port.applyAllCount, 1);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Handle(), handle);
  EXPECT_TRUE(lampChanges.empty());
  EXPECT_TRUE(SameLine(a.Attributes(), asApplied));
}

TEST_F(SetupDialogTest, OkWithoutChangesKeepsAPortNamedOtherThanItsListedDevice) {
  const std::string shortName = a.Path().substr(std::string("/dev/").size());
  port.SetPort(shortName);
  port.SetConnected(true);
  const int handle = port.Handle();
  lampChanges.clear();

  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_EQ(d->Combo1->Text(), a.QPath());
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  port.ShowPortDialog();

  ASSERT_TRUE(driver.Seen());
  EXPECT_EQ(port.Port(), shortName);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Handle(), handle);
  EXPECT_TRUE(lampChanges.empty());
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(SetupDialogTest, OkAppliesTheChoicesTogether) {
  port.SetConnected(true);
  port.applyAllCount = 0;
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo2, "9600"));
    EXPECT_TRUE(test::PickItem(d->Combo3, "7"));
    EXPECT_TRUE(test::PickItem(d->Combo4, "2"));
    EXPECT_TRUE(test::PickItem(d->Combo5, "Odd"));
    // Nothing reaches the port before OK.
    EXPECT_EQ(port.BaudRate(), br1200);
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  port.ShowPortDialog();

  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.DataBits(), dbSeven);
  EXPECT_EQ(port.StopBits(), sbTwoStopBits);
  EXPECT_EQ(port.Parity().Bits(), prOdd);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
  EXPECT_EQ(port.applyAllCount, 1);
  // A pseudo-terminal forces 8 data bits and clears PARENB whatever it is
  // told; the bit rate, the stop bits and the parity's sense it keeps.
  const termios t = a.Attributes();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_TRUE(t.c_cflag & PARODD);
}

TEST_F(SetupDialogTest, EnterPressesOk) {
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo2, "4800"));
    QTest::keyClick(d->Combo1, Qt::Key_Return);
  });
  port.ShowPortDialog();
  EXPECT_EQ(port.BaudRate(), br4800);
}

TEST_F(SetupDialogTest, OkWithANewNameReopensOnTheNewDeviceWithTheNewSettings) {
  port.SetConnected(true);
  lampChanges.clear();
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo1, b.QPath()));
    EXPECT_TRUE(test::PickItem(d->Combo2, "2400"));
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  port.ShowPortDialog();

  EXPECT_TRUE(test::TakeErrors().isEmpty());
  EXPECT_EQ(port.Port(), b.Path());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(lampChanges, (std::vector<TLedState>{lsOff, lsOn}));
  const termios t = b.Attributes();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
  ASSERT_EQ(port.WriteText("ok"), 2);
  EXPECT_EQ(b.ReadFromFarEnd(2), "ok");
}

TEST_F(SetupDialogTest, OkWithAnUnlistedNameEmptiesTheNameOfAClosedPort) {
  Pty unlisted;
  port.SetPort(unlisted.Path());
  QString shownName = "?";
  DialogDriver driver([&](TComSetupFrm* d) {
    shownName = d->Combo1->Text();
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  port.ShowPortDialog();
  EXPECT_EQ(shownName, QString());
  EXPECT_EQ(port.Port(), "");
  try {
    port.SetConnected(true);
    FAIL() << "opened a port without a name";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 1);
  }
}

TEST_F(SetupDialogTest, OkWithAnUnlistedNameOnAnOpenPortFailsAfterTheDialogHasGone) {
  Pty unlisted;
  port.SetPort(unlisted.Path());
  port.SetConnected(true);
  lampChanges.clear();
  DialogDriver driver([&](TComSetupFrm* d) {
    EXPECT_TRUE(test::PickItem(d->Combo2, "4800"));
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  try {
    port.ShowPortDialog();
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 1);
    EXPECT_EQ(test::LiveSetupDialogs(), 0);
  }
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Port(), "");
  EXPECT_EQ(lampChanges, (std::vector<TLedState>{lsOff}));
  // The selectors after the port's name were not applied...
  EXPECT_EQ(port.BaudRate(), br1200);
  // ...and the settings bracket is closed again: a change reaches the device
  // at once.
  port.SetPort(a.Path());
  port.SetConnected(true);
  port.SetBaudRate(br19200);
  const termios t = a.Attributes();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
}

TEST_F(SetupDialogTest, ErrorReachesTheErrorDisplayWhenRunFromAButton) {
  Pty unlisted;
  port.SetPort(unlisted.Path());
  port.SetConnected(true);
  QPushButton BSet("Настр");
  QObject::connect(&BSet, &QPushButton::clicked, [&] { port.ShowPortDialog(); });
  DialogDriver driver([&](TComSetupFrm* d) { QTest::mouseClick(d->Button1, Qt::LeftButton); });
  QTest::mouseClick(&BSet, Qt::LeftButton);
  const QStringList errors = test::TakeErrors();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("Unable to open com port (win error code: "));
  EXPECT_FALSE(port.Connected());
}

}  // namespace
}  // namespace o5
