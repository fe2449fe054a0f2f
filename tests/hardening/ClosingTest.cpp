// SPDX-License-Identifier: GPL-3.0-or-later
// Closing the main window at awkward moments, with the whole tool against the
// heater simulator: while a command waits for its reply, while the black box
// is read, while the port's monitor is blocked in handing over an event, and
// from inside the receive handler itself. Each time the window closes without
// a deadlock or a crash, the exit request reaches the heater, and the port is
// closed.

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/Simulator.h"
#include "ui/blackbox/TfBB.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kExitRequest = "AA 09 00 00 14 00 00 00 00 C7";
constexpr const char* kExitFallback = "AA 01 00 00 14 00 00 00 00 BF";
constexpr const char* kVersionRequest = "AA 09 00 00 68 00 00 00 00 1B";

class Closing : public ToolFixture {
 protected:
  void ExpectClosedWithTheExitRequest() {
    EXPECT_TRUE(sim_->WaitForReceived(kExitRequest, 5s)) << sim_->LogText();
    EXPECT_FALSE(fMain->Port->Connected());
    EXPECT_FALSE(fMain->isVisible());
  }
};

TEST_F(Closing, DuringAReplyWait) {
  Connect({"--no-telemetry", "--no-reply", "104"});
  fMain->show();
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (Received(*sim_, kVersionRequest) == 0) return;
    closer.stop();
    fMain->close();
  });
  closer.start(5);
  QElapsedTimer clock;
  clock.start();
  fMain->bVerClick(fMain->bVer);
  EXPECT_LT(clock.elapsed(), 10000);
  ExpectClosedWithTheExitRequest();
  // The heater answered the exit request: no blind repeat. The version wait
  // that the exit cut short says nothing.
  EXPECT_EQ(Received(*sim_, kExitFallback), 0u);
  EXPECT_TRUE(ConsoleLines().isEmpty()) << ConsoleLines().join("|").toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(Closing, DuringABlackBoxReadout) {
  Connect({"--no-telemetry"});
  fMain->show();
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (BlackBoxReads(*sim_) < 20) return;
    closer.stop();
    fMain->close();
  });
  closer.start(5);
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ExpectClosedWithTheExitRequest();
  EXPECT_FALSE(fBB->isVisible());
  // No read request after the exit request.
  const auto frames = sim_->ReceivedFrames();
  const auto exitAt = std::find(frames.begin(), frames.end(), kExitRequest);
  ASSERT_NE(exitAt, frames.end());
  EXPECT_EQ(std::count_if(exitAt, frames.end(),
                          [](const std::string& f) { return f.rfind("AA 09 00 00 77", 0) == 0; }),
            0);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// Telemetry as fast as the line takes it: the monitor always has an event to
// hand over. The window closes after the user-interface thread has been busy
// long enough for the monitor to be blocked in a hand-over.
TEST_F(Closing, WhileTheMonitorIsBlockedInAHandOver) {
  Connect({"--no-pacing", "--running", "--cycle", "20"});
  fMain->show();
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Receiver().counters().frames > 50; }, 20000));
  const uint64_t dispatches = fMain->Port->DispatchCount();
  bool closed = false;
  QTimer::singleShot(0, [&] {
    QThread::msleep(300);
    fMain->close();
    closed = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 20000)) << "the close did not return";
  EXPECT_GT(fMain->Port->DispatchCount(), dispatches);
  ExpectClosedWithTheExitRequest();
  EXPECT_TRUE(TakeErrors().isEmpty());
}

// Closed from inside a receive event: the monitor is blocked on the running
// hand-over, so no reply can come in while the exit request waits; the wait
// runs out and the blind repeat follows.
TEST_F(Closing, FromInsideTheReceiveHandler) {
  Connect({"--no-pacing", "--running", "--cycle", "50"});
  fMain->show();
  const auto receive = fMain->Port->OnRxChar;
  bool closed = false;
  fMain->Port->OnRxChar = [&](QObject* sender, int count) {
    receive(sender, count);
    if (closed || fMain->Receiver().counters().frames < 20) return;
    closed = true;
    fMain->close();
  };
  ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 20000));
  ExpectClosedWithTheExitRequest();
  EXPECT_TRUE(sim_->WaitForReceived(kExitFallback, 5s));
  EXPECT_EQ(ConsoleCount(NoReplyLine()), 1);
  // The monitor that was blocked has ended: nothing is delivered any more.
  const uint64_t dispatches = fMain->Port->DispatchCount();
  QTest::qWait(500);
  EXPECT_EQ(fMain->Port->DispatchCount(), dispatches);
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test
