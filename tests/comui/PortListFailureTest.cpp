// SPDX-License-Identifier: GPL-3.0-or-later
// A system port list that cannot be read: the setup dialog is not shown and the
// error reaches the error display; a selector keeps the items it had.
//
// The port component reads the list from a fixed system folder, so this
// program puts its own opendir() in front of the C library's and lets the
// folder fail while `failTtyList` is set. Nothing else is touched.

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <cstring>

#include "link/ComComboBox.h"
#include "link/ComSetupFrm.h"
#include "tests/comui/ComUiSupport.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/support/ErrorCapture.h"

namespace {
bool failTtyList = false;
}  // namespace

extern "C" DIR* opendir(const char* name) {
  if (failTtyList && std::strncmp(name, "/sys/class/tty", 14) == 0) {
    errno = EACCES;
    return nullptr;
  }
  using OpenDir = DIR* (*)(const char*);
  static const auto real = reinterpret_cast<OpenDir>(dlsym(RTLD_NEXT, "opendir"));
  return real(name);
}

namespace o5 {
namespace {

class PortListFailureTest : public ::testing::Test {
 protected:
  void SetUp() override { test::TakeErrors(); }
  void TearDown() override { failTtyList = false; }

  test::Pty a;
  test::ExtraPorts extra{{a.Path()}};
  TComPort port;
};

TEST_F(PortListFailureTest, TheSeamWorks) {
  std::vector<std::string> names;
  TCustomComPort::ListSerialPorts(names);
  failTtyList = true;
  try {
    TCustomComPort::ListSerialPorts(names);
    FAIL() << "the list was read";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 23);
    EXPECT_EQ(e.SystemErrorCode, EACCES);
  }
}

TEST_F(PortListFailureTest, SetupDialogIsNotShown) {
  test::SetUpLikeMainWindow(port, a.Path());
  port.SetConnected(true);
  failTtyList = true;
  test::DialogDriver driver([](TComSetupFrm* d) { d->accept(); });
  try {
    port.ShowPortDialog();
    FAIL() << "no error";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode, 23);
    EXPECT_STREQ(e.what(), "Registry error (win error code: 13)");
  }
  EXPECT_FALSE(driver.Seen());
  EXPECT_EQ(test::LiveSetupDialogs(), 0);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Port(), a.Path());
}

TEST_F(PortListFailureTest, SetupButtonShowsTheError) {
  test::SetUpLikeMainWindow(port, a.Path());
  QPushButton BSet("Настр");
  QObject::connect(&BSet, &QPushButton::clicked, [&] { port.ShowPortDialog(); });
  failTtyList = true;
  QTest::mouseClick(&BSet, Qt::LeftButton);
  EXPECT_EQ(test::TakeErrors(), QStringList{"Registry error (win error code: 13)"});
  EXPECT_EQ(test::LiveSetupDialogs(), 0);
}

TEST_F(PortListFailureTest, SelectorKeepsItsItems) {
  TComComboBox combo;
  combo.SetComProperty(cpPort);
  const int items = combo.count();
  ASSERT_GE(items, 1);
  failTtyList = true;
  EXPECT_THROW(combo.SetComProperty(cpPort), EComPort);
  EXPECT_EQ(combo.count(), items);
}

// The list is read again each time the selector opens: a list that cannot
// be read then is shown as the error, and the selector stays shut with its
// items.
TEST_F(PortListFailureTest, OpeningTheSelectorShowsTheErrorAndKeepsItsItems) {
  TComComboBox combo;
  combo.SetComProperty(cpPort);
  const int items = combo.count();
  combo.show();
  failTtyList = true;
  QTest::mouseClick(&combo, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([] { return !test::CapturedErrors().isEmpty(); }, 10000));
  EXPECT_EQ(test::TakeErrors(), QStringList{"Registry error (win error code: 13)"});
  EXPECT_EQ(combo.count(), items);
  EXPECT_FALSE(combo.view()->isVisible());
  failTtyList = false;
  QTest::mouseClick(&combo, Qt::LeftButton);
  EXPECT_TRUE(combo.view()->isVisible());
  combo.hidePopup();
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5
