// SPDX-License-Identifier: GPL-3.0-or-later
// The port coming back by itself after its device went away, with the whole
// tool against the heater simulator under a stable name (its --link): a device
// that returns, one that returns busy, one that never returns; and what ends
// the waiting: the user's own close, a failed open by hand, another port
// chosen, the tool closing.

#include <QAbstractItemView>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComComboBox.h"
#include "link/ComLed.h"
#include "link/ComPort.h"
#include "link/ComReconnect.h"
#include "link/ComSetupFrm.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/PtyLine.h"
#include "tests/support/Simulator.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

const QString kLost = "ReadFile function failed (win error code: 5)";
// Long enough for several attempts of the tool to find nothing, or a device
// that refuses it.
constexpr int kSeveralAttemptsMs = 3500;
// A device that is back is open again within about a second; the deadline
// leaves room for a loaded machine.
constexpr int kReturnDeadlineMs = 15000;

class Reconnect : public ToolFixture {
 protected:
  int Records() const {
    return fMain->MR->toPlainText().isEmpty() ? 0 : fMain->MR->document()->blockCount();
  }
  // Telemetry flows, then the simulator hangs up: one error, the port closed,
  // and the tool waiting for the device.
  void LoseTheDevice() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return Records() >= 2; }, 20000));
    sim_->SendLine("hangup");
    ASSERT_TRUE(QTest::qWaitFor([] { return !fMain->Port->Connected(); }, 10000));
    EXPECT_EQ(TakeErrors(), QStringList{kLost});
    EXPECT_EQ(fMain->ComLed1->State(), lsOff);
    EXPECT_TRUE(fMain->Reconnect->Waiting());
  }
  void ComeBack() {
    ASSERT_EQ(sim_->Command("reconnect").rfind("OK", 0), 0u);
    ASSERT_TRUE(sim_->WaitForPort(2, 10s));
  }
  // Attempts go by and the port stays closed, without a word.
  void ExpectStaysClosed() {
    QTest::qWait(kSeveralAttemptsMs);
    EXPECT_FALSE(fMain->Port->Connected());
    EXPECT_EQ(fMain->ComLed1->State(), lsOff);
    EXPECT_TRUE(TakeErrors().isEmpty());
  }
  // Open again by itself, the lamp lit, the records flowing, nothing said.
  void ExpectBackByItself() {
    ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Port->Connected(); }, kReturnDeadlineMs))
        << TakeErrors().join("|").toStdString();
    EXPECT_EQ(fMain->ComLed1->State(), lsOn);
    EXPECT_FALSE(fMain->Reconnect->Waiting());
    const int now = Records();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Records() >= now + 2; }, 20000));
    EXPECT_TRUE(TakeErrors().isEmpty());
    EXPECT_TRUE(ConsoleLines().isEmpty()) << ConsoleLines().join("|").toStdString();
  }
};

TEST_F(Reconnect, ADeviceThatReturnsUnderItsNameIsOpenedAgainQuietly) {
  Connect({"--running", "--no-pacing", "--cycle", "100", "--reconnect-after",
           std::to_string(kSeveralAttemptsMs)},
          true);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    LoseTheDevice();
    // The attempts before the device is back fail without a word, and cost
    // next to nothing.
    const double cpu = CpuWhileServing(2000);
    RecordProperty("cpu_waiting_over_2s_ms", static_cast<int>(cpu * 1000));
    EXPECT_LT(cpu, 0.5);
    EXPECT_TRUE(TakeErrors().isEmpty());
    ExpectBackByItself();
    EXPECT_EQ(fMain->Port->Port(), LinkPath());
    EXPECT_EQ(fMain->Port->BaudRate(), br1200);
  }
}

TEST_F(Reconnect, ADeviceThatReturnsBusyIsTriedAgainUntilItIsFree) {
  Connect({"--running", "--no-pacing", "--cycle", "100", "--reconnect-after", "200",
           "--reconnect-busy", std::to_string(kSeveralAttemptsMs)},
          true);
  LoseTheDevice();
  ASSERT_TRUE(sim_->WaitForLog("FAULT", "held for", 10s)) << sim_->LogText();
  const int failedBefore = fMain->Reconnect->FailedAttempts();
  ASSERT_TRUE(QTest::qWaitFor([&] { return sim_->WaitForLog("FAULT", "let go", 0s).has_value(); },
                              20000))
      << sim_->LogText();
  // Attempts were refused while it was held, and no error reached the user.
  EXPECT_GE(fMain->Reconnect->FailedAttempts() - failedBefore, 2);
  EXPECT_TRUE(TakeErrors().isEmpty());
  ExpectBackByItself();
}

TEST_F(Reconnect, ADeviceThatNeverReturnsIsAwaitedQuietlyUntilTheUserOpensByHand) {
  Connect({"--running", "--no-pacing", "--cycle", "100"}, true);
  LoseTheDevice();
  const double cpu = CpuWhileServing(kSeveralAttemptsMs);
  RecordProperty("cpu_waiting_ms", static_cast<int>(cpu * 1000));
  EXPECT_LT(cpu, 0.5);
  EXPECT_FALSE(fMain->Port->Connected());
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_TRUE(fMain->Reconnect->Waiting());

  // The user's own attempt fails, says so once, and ends the waiting: the
  // device coming back later is left alone.
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  EXPECT_EQ(TakeErrors(), QStringList{"Unable to open com port (win error code: 2)"});
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  ComeBack();
  ExpectStaysClosed();
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  EXPECT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
}

TEST_F(Reconnect, ThePortTheUserClosedStaysClosed) {
  Connect({"--running", "--no-pacing", "--cycle", "100", "--reconnect-after", "300"}, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Records() >= 2; }, 20000));
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_FALSE(fMain->Port->Connected());
  sim_->SendLine("hangup");
  ASSERT_TRUE(sim_->WaitForPort(2, 10s));
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  ExpectStaysClosed();
}

TEST_F(Reconnect, OpeningByHandWhileWaitingEndsTheWaiting) {
  Connect({"--running", "--no-pacing", "--cycle", "100"}, true);
  LoseTheDevice();
  ComeBack();
  // The user opens it by hand, most likely before the tool's next attempt;
  // should the tool have been quicker, the click closed the port instead.
  // Either way the user acted, and closing by hand then is not undone.
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  if (fMain->Port->Connected()) QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  TakeErrors();
  ExpectStaysClosed();
}

TEST_F(Reconnect, AnotherPortChosenInTheListEndsTheWaiting) {
  PtyLine other;
  setenv("ORTAN5_EXTRA_PORTS", other.Path().c_str(), 1);
  Connect({"--running", "--no-pacing", "--cycle", "100"}, true);
  LoseTheDevice();
  // Picked the way a user picks: the list opens (and is read afresh), the
  // item is highlighted, Enter.
  fMain->cbPort->showPopup();
  unsetenv("ORTAN5_EXTRA_PORTS");
  const int row = fMain->cbPort->findText(QString::fromStdString(other.Path()));
  ASSERT_GE(row, 0);
  QAbstractItemView* view = fMain->cbPort->view();
  view->setCurrentIndex(fMain->cbPort->model()->index(row, 0));
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_EQ(fMain->Port->Port(), other.Path());
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  ComeBack();
  ExpectStaysClosed();
  EXPECT_EQ(fMain->Port->Port(), other.Path());
}

TEST_F(Reconnect, AnotherPortChosenInTheSetupDialogEndsTheWaiting) {
  PtyLine other;
  setenv("ORTAN5_EXTRA_PORTS", other.Path().c_str(), 1);
  Connect({"--running", "--no-pacing", "--cycle", "100"}, true);
  LoseTheDevice();
  bool seen = false;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    driver.stop();
    seen = true;
    TComComboBox* combo = dialog->Combo1;
    combo->showPopup();
    const int row = combo->findText(QString::fromStdString(other.Path()));
    if (row >= 0) {
      combo->view()->setCurrentIndex(combo->model()->index(row, 0));
      QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    QTest::mouseClick(dialog->Button1, Qt::LeftButton);
  });
  driver.start(10);
  fMain->BSetClick(fMain->BSet);
  unsetenv("ORTAN5_EXTRA_PORTS");
  ASSERT_TRUE(seen);
  EXPECT_EQ(fMain->Port->Port(), other.Path());
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  ComeBack();
  ExpectStaysClosed();
}

TEST_F(Reconnect, ClosingTheToolEndsTheWaiting) {
  Connect({"--running", "--no-pacing", "--cycle", "100"}, true);
  LoseTheDevice();
  fMain->FormClose();
  EXPECT_FALSE(fMain->Reconnect->Waiting());
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test
