// SPDX-License-Identifier: GPL-3.0-or-later
// The event monitor and the hand-over of line events: receive events, closing
// while hand-overs are pending or running, device loss, and writes that the
// far end holds back. All against real pseudo-terminals.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/ComPort.h"
#include "tests/link/PtyPair.h"
#include "tests/link/Raised.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/ProcessStats.h"

namespace o5 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::PtyPair;

// Processor time the whole process spends while the event loop runs for a
// second. A thread spinning on a dead or readable descriptor takes a core.
double CpuOverASecond() {
  const double before = test::ProcessCpuSeconds();
  QTest::qWait(1000);
  return test::ProcessCpuSeconds() - before;
}

// Lets the monitor hand over and block, without the event loop running.
void LetTheMonitorBlock() { std::this_thread::sleep_for(500ms); }

class ComPortEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TakeErrors();
    port.SetPort(pty.Path());
    port.SetBaudRate(br1200);
    link.NotifyConnection = [this](bool on) { links.push_back(on); };
    port.AddLink(&link);
  }
  void TearDown() override { port.ClosePort(); }

  // The receive handler of the tool: read what is reported, keep it.
  void ReadOnReceive() {
    port.OnRxChar = [this](QObject* sender, int count) {
      EXPECT_EQ(sender, &port);
      counts.push_back(count);
      std::string s;
      port.ReadText(s, count);
      received += s;
    };
  }

  PtyPair pty;
  TComPort port;
  TComLink link;
  std::vector<bool> links;
  std::vector<int> counts;
  std::string received;
};

TEST_F(ComPortEvents, ReceivedBytesArriveInOrderAndCountsAreNeverZero) {
  ReadOnReceive();
  port.OpenPort();
  std::string data(6000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 13 + 1);
  for (size_t at = 0; at < data.size(); at += 250) pty.Send(data.substr(at, 250));
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= data.size(); }, 20000));
  EXPECT_EQ(received, data);
  for (int c : counts) EXPECT_GT(c, 0);
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(ComPortEvents, BytesLeftUnreadAreReportedAgain) {
  // A handler that takes one byte per event still gets every byte.
  port.OnRxChar = [this](QObject*, int count) {
    counts.push_back(count);
    std::string s;
    port.ReadText(s, 1);
    received += s;
  };
  port.OpenPort();
  pty.Send("abcdef");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 6; }, 10000));
  EXPECT_EQ(received, "abcdef");
}

TEST_F(ComPortEvents, WithoutReceiveHandlerTheMonitorDoesNotSpin) {
  port.OpenPort();
  pty.Send("abc");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.DispatchCount() >= 1; }, 5000));
  EXPECT_LT(CpuOverASecond(), 0.25);
  // Unread bytes are reported again only when more arrive.
  EXPECT_LE(port.DispatchCount(), 3u);
  ReadOnReceive();
  pty.Send("d");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 4; }, 5000));
  EXPECT_EQ(received, "abcd");
  EXPECT_EQ(counts.back(), 4);
}

TEST_F(ComPortEvents, WithoutEventsNoMonitorRuns) {
  ReadOnReceive();
  port.SetEvents({});
  port.OpenPort();
  pty.Send("xy");
  QTest::qWait(300);
  EXPECT_TRUE(counts.empty());
  EXPECT_EQ(port.DispatchCount(), 0u);
  EXPECT_EQ(port.QueuedInputCount(), 2);
}

TEST_F(ComPortEvents, HandlerErrorIsShownAndEventsGoOn) {
  int calls = 0;
  port.OnRxChar = [&](QObject*, int count) {
    std::string s;
    port.ReadText(s, count);
    received += s;
    if (++calls == 1) throw EComPort(CError_ReadFailed, 99);
  };
  port.OpenPort();
  pty.Send("a");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !test::CapturedErrors().isEmpty(); }, 5000));
  EXPECT_EQ(test::TakeErrors(), QStringList{"ReadFile function failed (win error code: 99)"});
  pty.Send("b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 5000));
  EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortEvents, AHandlerErrorBeforeReadingIsNotRepeatedForTheSameBytes) {
  int calls = 0;
  port.OnRxChar = [&](QObject*, int count) {
    if (++calls == 1) throw EComPort(CError_ClearComFailed, 99);
    std::string s;
    port.ReadText(s, count);
    received += s;
  };
  port.OpenPort();
  pty.Send("a");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !test::CapturedErrors().isEmpty(); }, 5000));
  QTest::qWait(1000);
  EXPECT_EQ(test::TakeErrors(), QStringList{"ClearCommError function failed (win error code: 99)"});
  EXPECT_EQ(calls, 1);
  // New bytes bring the waiting ones with them.
  pty.Send("b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 5000));
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortEvents, ClosingRunsAPendingHandOver) {
  ReadOnReceive();
  port.OpenPort();
  pty.Send("xyz");
  LetTheMonitorBlock();
  port.ClosePort();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(received, "xyz");
  EXPECT_EQ(links, (std::vector<bool>{true, false}));
}

TEST_F(ComPortEvents, ClosingInsideANestedLoopOfATimerHandler) {
  ReadOnReceive();
  port.OpenPort();
  bool done = false;
  // A button handler that waits for a reply, and inside the wait a second
  // handler closes the port while a hand-over is pending.
  QTimer::singleShot(0, [&] {
    QEventLoop wait;
    QTimer::singleShot(0, &wait, [&] {
      pty.Send("abc");
      LetTheMonitorBlock();
      port.ClosePort();
      wait.quit();
    });
    wait.exec();
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 20000));
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(received, "abc");
}

TEST_F(ComPortEvents, ClosingInsideAQueuedCallWithAPendingHandOver) {
  ReadOnReceive();
  port.OpenPort();
  bool done = false;
  QObject context;
  QMetaObject::invokeMethod(
      &context,
      [&] {
        pty.Send("q");
        LetTheMonitorBlock();
        port.ClosePort();
        done = true;
      },
      Qt::QueuedConnection);
  ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 20000));
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(received, "q");
}

TEST_F(ComPortEvents, ClosingFromInsideADispatch) {
  int calls = 0;
  port.OnRxChar = [&](QObject*, int) {
    ++calls;
    port.ClosePort();
  };
  port.OpenPort();
  pty.Send("a");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Connected(); }, 5000));
  QTest::qWait(200);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(links, (std::vector<bool>{true, false}));
  // The port opens again and receives; the closed one's monitor is gone.
  ReadOnReceive();
  port.OpenPort();
  pty.Send("b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "b"; }, 5000));
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(ComPortEvents, ClosingFromAReplyWaitInsideADispatch) {
  bool waiting = false;
  port.OnRxChar = [&](QObject*, int count) {
    std::string s;
    port.ReadText(s, count);
    received += s;
    if (waiting) return;
    waiting = true;
    // A command run from the receive handler that waits for its reply; the
    // user closes the port meanwhile.
    QTimer::singleShot(50, [&] { port.ClosePort(); });
    while (port.Connected()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    waiting = false;
  };
  port.OpenPort();
  pty.Send("r");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Connected() && !waiting; }, 10000));
  EXPECT_EQ(received, "r");
  port.OpenPort();
  pty.Send("s");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "rs"; }, 5000));
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

TEST_F(ComPortEvents, RenamingFromInsideADispatchReopens) {
  PtyPair second;
  bool renamed = false;
  port.OnRxChar = [&](QObject*, int count) {
    std::string s;
    port.ReadText(s, count);
    received += s;
    if (!renamed) {
      renamed = true;
      port.SetPort(second.Path());
    }
  };
  port.OpenPort();
  pty.Send("1");
  ASSERT_TRUE(QTest::qWaitFor([&] { return renamed; }, 5000));
  EXPECT_TRUE(port.Connected());
  second.Send("2");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "12"; }, 5000));
  EXPECT_EQ(links, (std::vector<bool>{true, false, true}));
}

TEST_F(ComPortEvents, DestroyingAnOpenPortWithAPendingHandOver) {
  {
    TComPort doomed;
    doomed.SetPort(pty.Path());
    int calls = 0;
    doomed.OnRxChar = [&](QObject*, int) { ++calls; };
    doomed.OpenPort();
    pty.Send("d");
    LetTheMonitorBlock();
  }
  SUCCEED();
}

TEST_F(ComPortEvents, DeviceLossClosesThePortWithOneError) {
  ReadOnReceive();
  port.OpenPort();
  pty.Send("a");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "a"; }, 5000));
  pty.CloseMaster();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Connected(); }, 5000));
  QTest::qWait(300);
  EXPECT_EQ(test::TakeErrors(), QStringList{"ReadFile function failed (win error code: 5)"});
  EXPECT_EQ(links, (std::vector<bool>{true, false}));
  EXPECT_LT(CpuOverASecond(), 0.25);
  EXPECT_TRUE(test::TakeErrors().isEmpty());

  PtyPair replacement;
  port.SetPort(replacement.Path());
  port.OpenPort();
  replacement.Send("b");
  ASSERT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 5000));
  EXPECT_EQ(port.WriteText("c"), 1);
  EXPECT_EQ(replacement.Receive(1, 5s), "c");
}

TEST_F(ComPortEvents, DeviceLossWithoutReceiveHandler) {
  port.OpenPort();
  pty.CloseMaster();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !port.Connected(); }, 5000));
  QTest::qWait(300);
  EXPECT_EQ(test::TakeErrors().size(), 1);
}

// Which call notices a loss first is a matter of timing; the loss reads the
// same whichever it is.
TEST_F(ComPortEvents, DeviceLossFoundByAWriteRaisesOnlyThat) {
  ReadOnReceive();
  port.OpenPort();
  pty.CloseMaster();
  LetTheMonitorBlock();
  const EComPort e = Raised([&] { port.WriteText("x"); });
  EXPECT_EQ(e.ErrorCode, CError_ReadFailed);
  EXPECT_EQ(e.SystemErrorCode, EIO);
  EXPECT_STREQ(e.what(), "ReadFile function failed (win error code: 5)");
  EXPECT_FALSE(port.Connected());
  QTest::qWait(300);
  EXPECT_TRUE(test::TakeErrors().isEmpty());
  EXPECT_EQ(links, (std::vector<bool>{true, false}));
}

TEST_F(ComPortEvents, DeviceLossDuringAReplyWait) {
  ReadOnReceive();
  port.OpenPort();
  bool done = false;
  QTimer::singleShot(0, [&] {
    pty.CloseMaster();
    while (port.Connected()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    done = true;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
  QTest::qWait(300);
  EXPECT_EQ(test::TakeErrors(), QStringList{"ReadFile function failed (win error code: 5)"});
}

TEST_F(ComPortEvents, WriteHeldBackByTheFarEndEndsAtTheTimeLimit) {
  port.OpenPort();
  pty.FillTowardsTheFarEnd();
  // 100 ms per byte plus 1000 ms: 2000 ms for a frame.
  auto start = Clock::now();
  const int written = port.WriteText(std::string(10, 'w'));
  auto took = Clock::now() - start;
  EXPECT_LT(written, 10);
  EXPECT_GE(took, 1950ms);
  EXPECT_LT(took, 8000ms);

  port.Timeouts().SetWriteTotalMultiplier(0);
  port.Timeouts().SetWriteTotalConstant(300);
  start = Clock::now();
  EXPECT_EQ(port.WriteText("more"), 0);
  took = Clock::now() - start;
  EXPECT_GE(took, 280ms);
  EXPECT_LT(took, 5000ms);
  EXPECT_TRUE(port.Connected());
  EXPECT_TRUE(test::TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5
