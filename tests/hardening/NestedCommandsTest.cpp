// SPDX-License-Identifier: GPL-3.0-or-later
// A command started while another command waits for its reply runs inside that
// wait, with the whole tool against the heater simulator. Each wait keeps its
// own expected reply and its own time, so both commands complete when the
// heater answers every request: the version read twice in quick succession,
// and the version read in the middle of a black-box readout.

#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"

namespace o5::test {
namespace {

constexpr const char* kVersionRequest = "AA 09 00 00 68 00 00 00 00 1B";

class NestedCommands : public ToolFixture {
 protected:
  // Presses "Версия ПО Ортан 5" once `ready` holds, from inside whatever wait
  // is running then.
  void PressVersionWhen(std::function<bool()> ready) {
    QObject::connect(&presser_, &QTimer::timeout, [this, ready] {
      if (!ready()) return;
      presser_.stop();
      QTest::mouseClick(fMain->bVer, Qt::LeftButton);
    });
    presser_.start(1);
  }
  QString VersionLine() const { return QString::fromUtf8("Версия 4.2.7 - 1"); }

  QTimer presser_;
};

// A command never runs inside itself: the second press, as soon as the first
// one waits for its reply, is ignored.
TEST_F(NestedCommands, VersionPressedTwiceInQuickSuccessionRunsOnce) {
  Connect({"--no-telemetry"});
  PressVersionWhen([] { return fMain->Receiver().WaitDepth() == 1; });
  QTest::mouseClick(fMain->bVer, Qt::LeftButton);
  EXPECT_FALSE(presser_.isActive()) << "the second press did not happen inside the first wait";
  QTest::qWait(300);
  EXPECT_EQ(Received(*sim_, kVersionRequest), 1u);
  EXPECT_EQ(ConsoleCount(VersionLine()), 1) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(ConsoleCount(NoReplyLine()), 0) << ConsoleLines().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(NestedCommands, VersionPressedDuringABlackBoxReadout) {
  // Paced eight times faster than the heater's line: the readout's 87
  // exchanges take two seconds instead of fifteen, each reply still arriving
  // while a wait runs.
  Connect({"--no-telemetry", "--baud", "9600"});
  PressVersionWhen([this] { return BlackBoxReads(*sim_) >= 10; });
  QTest::mouseClick(fMain->bBlackBox, Qt::LeftButton);
  EXPECT_FALSE(presser_.isActive()) << "the version was not pressed during the readout";
  EXPECT_EQ(BlackBoxReads(*sim_), 87u);
  EXPECT_TRUE(fBB->isVisible());
  EXPECT_FALSE(fBB->pRead->isVisible());
  EXPECT_EQ(ConsoleCount(VersionLine()), 1) << ConsoleLines().join("|").toStdString();
  EXPECT_EQ(ConsoleCount(NoReplyLine()), 0) << ConsoleLines().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// A reply for another address, as the heater may still send for a readout
// that was cut when the port went (it comes in on the port opened again),
// does not answer the next readout's read: that one waits for its own.
TEST_F(NestedCommands, AReplyForAnotherAddressDoesNotAnswerARead) {
  Connect({"--no-telemetry", "--baud", "9600"});
  ASSERT_EQ(sim_->Command("reply-delay 500").rfind("OK", 0), 0u);
  QTimer stale;
  QObject::connect(&stale, &QTimer::timeout, [&] {
    if (BlackBoxReads(*sim_) < 1) return;
    stale.stop();
    // The probe (address 3) waits: the reply to address 42 comes first.
    sim_->Command("frame 19 00 00 77 2A 01 02 03");
    sim_->Command("reply-delay 0");
  });
  stale.start(1);
  QTest::mouseClick(fMain->bBlackBox, Qt::LeftButton);
  EXPECT_FALSE(stale.isActive()) << "the stale reply was not sent during the readout";
  EXPECT_EQ(BlackBoxReads(*sim_), 87u);
  EXPECT_TRUE(fBB->isVisible());
  EXPECT_EQ(ConsoleCount(NoReplyLine()), 0) << ConsoleLines().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test
