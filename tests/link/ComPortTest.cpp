// SPDX-License-Identifier: GPL-3.0-or-later
// The port component against real pseudo-terminals: opening and closing, the
// settings that reach the tty, the settings bracket, exclusive use, transfers,
// renaming, links and observers, and the list of system ports.
//
// A pseudo-terminal keeps the bit rate (also one without a B-constant), the
// stop bits, CRTSCTS, CMSPAR and PARODD, and every input, output and local
// flag; it always reads back CS8 and no PARENB, whatever was set.

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>
#include <fstream>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/ComPort.h"
#include "tests/link/PtyPair.h"
#include "tests/link/Raised.h"
#include "tests/support/ErrorCapture.h"

namespace o5 {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;

termios TtyOf(const PtyPair& pty) {
  termios t{};
  tcgetattr(pty.Slave(), &t);
  return t;
}

speed_t SpeedOf(const PtyPair& pty) {
  const termios t = TtyOf(pty);
  return cfgetospeed(&t);
}

// The rate as the kernel keeps it, which also holds rates without a B-constant.
unsigned KernelRate(const PtyPair& pty) {
  struct {
    tcflag_t iflag, oflag, cflag, lflag;
    cc_t line;
    cc_t cc[19];
    speed_t ispeed, ospeed;
  } t{};
  ioctl(pty.Slave(), _IOR('T', 0x2A, decltype(t)), &t);
  return t.ospeed;
}

class ComPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TakeErrors();
    port.SetPort(pty.Path());
    port.SetBaudRate(br1200);
    port.SetDataBits(dbEight);
    port.SetStopBits(sbOneStopBit);
    port.Parity().SetBits(prNone);
    port.FlowControl().SetFlowControl(fcNone);
    link.NotifyConnection = [this](bool on) { log.push_back(on ? "link on" : "link off"); };
    port.AddLink(&link);
  }
  void TearDown() override {
    port.ClosePort();
    EXPECT_TRUE(test::TakeErrors().isEmpty());
  }

  PtyPair pty;
  TComPort port;
  TComLink link;
  std::vector<std::string> log;
};

TEST_F(ComPortTest, OpensAndClosesInTheStatedOrder) {
  port.OnBeforeOpen = [&](QObject*) { log.push_back("before open"); };
  port.OnAfterOpen = [&](QObject*) { log.push_back("after open"); };
  port.OnBeforeClose = [&](QObject*) { log.push_back("before close"); };
  port.OnAfterClose = [&](QObject*) { log.push_back("after close"); };
  port.OnCTSChange = [&](QObject*, bool on) { log.push_back(on ? "cts on" : "cts off"); };
  port.OnDSRChange = [&](QObject*, bool on) { log.push_back(on ? "dsr on" : "dsr off"); };
  port.OnRLSDChange = [&](QObject*, bool on) { log.push_back(on ? "rlsd on" : "rlsd off"); };
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);

  port.OpenPort();
  EXPECT_TRUE(port.Connected());
  EXPECT_GE(port.Handle(), 0);
  // A pseudo-terminal has no modem lines: they read as off.
  EXPECT_EQ(log, (std::vector<std::string>{"before open", "link on", "after open", "cts off",
                                           "dsr off", "rlsd off"}));
  log.clear();
  port.OpenPort();
  EXPECT_TRUE(log.empty());

  port.ClosePort();
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);
  EXPECT_EQ(log, (std::vector<std::string>{"cts off", "dsr off", "rlsd off", "before close",
                                           "link off", "after close"}));
  log.clear();
  port.ClosePort();
  port.SetConnected(false);
  EXPECT_TRUE(log.empty());
}

TEST_F(ComPortTest, ConnectedOpensAndCloses) {
  port.SetConnected(true);
  EXPECT_TRUE(port.Connected());
  port.SetConnected(true);
  port.SetConnected(false);
  EXPECT_FALSE(port.Connected());
  port.SetConnected(true);
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(log, (std::vector<std::string>{"link on", "link off", "link on"}));
}

TEST_F(ComPortTest, MainWindowSettingsReachTheTty) {
  port.OpenPort();
  const termios t = TtyOf(pty);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
  EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B1200));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), 0u);
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
  EXPECT_NE(t.c_cflag & CREAD, 0u);
  EXPECT_NE(t.c_cflag & CLOCAL, 0u);
  // Transparent 8-bit transfer: nothing translated, nothing echoed.
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | BRKINT | PARMRK | INPCK),
            0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(port.FlowControl().FlowControl(), fcNone);
}

TEST_F(ComPortTest, ChangesWhileOpenReachTheTtyAtOnce) {
  port.OpenPort();
  port.SetBaudRate(br9600);
  EXPECT_EQ(SpeedOf(pty), static_cast<speed_t>(B9600));
  port.SetStopBits(sbTwoStopBits);
  EXPECT_NE(TtyOf(pty).c_cflag & CSTOPB, 0u);
  port.FlowControl().SetFlowControl(fcSoftware);
  EXPECT_EQ(TtyOf(pty).c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_EQ(TtyOf(pty).c_cflag & CRTSCTS, 0u);
  port.FlowControl().SetFlowControl(fcHardware);
  EXPECT_NE(TtyOf(pty).c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(TtyOf(pty).c_iflag & (IXON | IXOFF), 0u);
  port.Parity().SetBits(prMark);
  EXPECT_EQ(TtyOf(pty).c_cflag & (CMSPAR | PARODD), static_cast<tcflag_t>(CMSPAR | PARODD));
  port.Parity().SetBits(prSpace);
  EXPECT_EQ(TtyOf(pty).c_cflag & (CMSPAR | PARODD), static_cast<tcflag_t>(CMSPAR));
  port.Parity().SetBits(prOdd);
  EXPECT_EQ(TtyOf(pty).c_cflag & (CMSPAR | PARODD), static_cast<tcflag_t>(PARODD));
}

TEST_F(ComPortTest, RatesWithoutAConstantReachTheTty) {
  port.SetBaudRate(br14400);
  port.OpenPort();
  EXPECT_EQ(KernelRate(pty), 14400u);
  port.SetBaudRate(br256000);
  EXPECT_EQ(KernelRate(pty), 256000u);
  port.SetBaudRate(brCustom);
  EXPECT_EQ(KernelRate(pty), 9600u);
  port.SetCustomBaudRate(31250);
  EXPECT_EQ(KernelRate(pty), 31250u);
  port.SetBaudRate(br1200);
  EXPECT_EQ(SpeedOf(pty), static_cast<speed_t>(B1200));
  EXPECT_EQ(KernelRate(pty), 1200u);
}

TEST_F(ComPortTest, ChangesWhileClosedApplyAtTheNextOpening) {
  port.SetBaudRate(br2400);
  port.SetStopBits(sbTwoStopBits);
  EXPECT_EQ(SpeedOf(pty), static_cast<speed_t>(B38400));
  port.OpenPort();
  EXPECT_EQ(SpeedOf(pty), static_cast<speed_t>(B2400));
  EXPECT_NE(TtyOf(pty).c_cflag & CSTOPB, 0u);
}

class CountingPort : public TComPort {
 public:
  using TComPort::TComPort;
  void ApplyAllSettings() override {
    ++applied;
    TComPort::ApplyAllSettings();
  }
  int applied = 0;
};

TEST_F(ComPortTest, SettingsBracketAppliesOnceWhenTheOutermostEnds) {
  PtyPair other;
  CountingPort counting;
  counting.SetPort(other.Path());
  counting.SetBaudRate(br1200);
  counting.EndSettingsUpdate();  // without a begin: nothing
  EXPECT_EQ(counting.applied, 0);
  counting.OpenPort();
  EXPECT_EQ(counting.applied, 1);

  counting.BeginSettingsUpdate();
  counting.BeginSettingsUpdate();
  counting.SetBaudRate(br4800);
  counting.SetStopBits(sbTwoStopBits);
  counting.Parity().SetBits(prOdd);
  counting.EndSettingsUpdate();
  EXPECT_EQ(SpeedOf(other), static_cast<speed_t>(B1200));
  EXPECT_EQ(TtyOf(other).c_cflag & CSTOPB, 0u);
  EXPECT_EQ(counting.applied, 1);
  counting.EndSettingsUpdate();
  EXPECT_EQ(counting.applied, 2);
  EXPECT_EQ(SpeedOf(other), static_cast<speed_t>(B4800));
  EXPECT_NE(TtyOf(other).c_cflag & CSTOPB, 0u);
  EXPECT_NE(TtyOf(other).c_cflag & PARODD, 0u);
  counting.EndSettingsUpdate();
  EXPECT_EQ(counting.applied, 2);
  counting.ClosePort();
}

TEST_F(ComPortTest, QueueSizesAreKeptEven) {
  port.Buffer().SetInputSize(1023);
  EXPECT_EQ(port.Buffer().InputSize(), 1022);
  port.Buffer().SetOutputSize(4097);
  EXPECT_EQ(port.Buffer().OutputSize(), 4096);
  port.Buffer().SetInputSize(2048);
  EXPECT_EQ(port.Buffer().InputSize(), 2048);
}

TEST_F(ComPortTest, SyncMethodCannotChangeWhileOpen) {
  port.OpenPort();
  port.SetSyncMethod(smThreadSync);  // the same value changes nothing
  const EComPort e = Raised([&] { port.SetSyncMethod(smNone); });
  EXPECT_EQ(e.ErrorCode, CError_ConnChangeProp);
  EXPECT_EQ(e.SystemErrorCode, -1);
  EXPECT_STREQ(e.what(), "Cannot set property while connected");
  EXPECT_EQ(port.SyncMethod(), smThreadSync);
  port.ClosePort();
  port.SetSyncMethod(smWindowSync);
  EXPECT_EQ(port.SyncMethod(), smWindowSync);
}

TEST_F(ComPortTest, FlowControlSummary) {
  TComFlowControl& f = port.FlowControl();
  EXPECT_EQ(f.FlowControl(), fcNone);
  f.SetFlowControl(fcHardware);
  EXPECT_EQ(f.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(f.OutCTSFlow());
  EXPECT_FALSE(f.XonXoffIn());
  EXPECT_FALSE(f.XonXoffOut());
  EXPECT_EQ(f.FlowControl(), fcHardware);
  f.SetControlDTR(dtrHandshake);  // takes no part in the summary
  EXPECT_EQ(f.FlowControl(), fcHardware);
  f.SetFlowControl(fcSoftware);
  EXPECT_EQ(f.ControlRTS(), rtsDisable);
  EXPECT_FALSE(f.OutCTSFlow());
  EXPECT_TRUE(f.XonXoffIn());
  EXPECT_TRUE(f.XonXoffOut());
  EXPECT_EQ(f.FlowControl(), fcSoftware);
  f.SetXonXoffIn(false);
  EXPECT_EQ(f.FlowControl(), fcCustom);
  f.SetFlowControl(fcCustom);
  EXPECT_TRUE(f.XonXoffOut());
  EXPECT_FALSE(f.XonXoffIn());
  f.SetFlowControl(fcNone);
  EXPECT_EQ(f.FlowControl(), fcNone);
  f.SetControlRTS(rtsEnable);
  EXPECT_EQ(f.FlowControl(), fcCustom);
}

TEST_F(ComPortTest, AssigningAGroupCopiesAllValues) {
  TComPort other;
  other.Timeouts().SetWriteTotalConstant(50);
  other.Timeouts().SetReadInterval(7);
  other.Parity().SetBits(prEven);
  other.Parity().SetCheck(true);
  port.SetTimeouts(other.Timeouts());
  port.SetParity(other.Parity());
  EXPECT_EQ(port.Timeouts().WriteTotalConstant(), 50);
  EXPECT_EQ(port.Timeouts().ReadInterval(), 7);
  EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 100);
  EXPECT_EQ(port.Parity().Bits(), prEven);
  EXPECT_TRUE(port.Parity().Check());
}

TEST_F(ComPortTest, OpeningAMissingDeviceFails) {
  port.SetPort("/dev/o5-no-such-port");
  const EComPort e = Raised([&] { port.OpenPort(); });
  EXPECT_EQ(e.ErrorCode, CError_OpenFailed);
  EXPECT_EQ(e.SystemErrorCode, ENOENT);
  EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  EXPECT_FALSE(port.Connected());
  EXPECT_TRUE(log.empty());
}

TEST_F(ComPortTest, SecondUserOfTheDeviceIsRefused) {
  port.OpenPort();
  TComPort second;
  second.SetPort(pty.Path());
  TComLink secondLink;
  bool told = false;
  secondLink.NotifyConnection = [&](bool) { told = true; };
  second.AddLink(&secondLink);
  // The flock refuses it (EWOULDBLOCK); without root, TIOCEXCL already
  // refuses the open() itself (EBUSY).
  const EComPort e = Raised([&] { second.OpenPort(); });
  EXPECT_EQ(e.ErrorCode, CError_OpenFailed);
  EXPECT_TRUE(e.SystemErrorCode == EWOULDBLOCK || e.SystemErrorCode == EBUSY) << e.what();
  EXPECT_FALSE(second.Connected());
  EXPECT_FALSE(told);
  // The first user goes on undisturbed.
  EXPECT_EQ(port.WriteText("ok"), 2);
  EXPECT_EQ(pty.Receive(2, 5s), "ok");
  // Once it lets go, the device can be had again.
  port.ClosePort();
  second.OpenPort();
  EXPECT_TRUE(second.Connected());
  second.ClosePort();
  port.OpenPort();
  EXPECT_TRUE(port.Connected());
}

TEST_F(ComPortTest, WritesReachTheFarEnd) {
  port.OpenPort();
  const std::string frame("\xAA\x09\x00\x00\x68\x00\x00\x00\x00\x1B", 10);
  EXPECT_EQ(port.WriteText(frame), 10);
  EXPECT_EQ(pty.Receive(10, 5s), frame);
  std::string big(20000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  // Larger than the pseudo-terminal holds: WriteText waits for room while the
  // far end reads.
  std::string got;
  std::thread reader([&] { got = pty.Receive(big.size(), 20s); });
  EXPECT_EQ(port.WriteText(big), static_cast<int>(big.size()));
  reader.join();
  EXPECT_EQ(got, big);
}

TEST_F(ComPortTest, ReadTextTakesWhatHasArrivedWithoutWaiting) {
  port.SetEvents({});  // no monitor: nothing else reads
  port.OpenPort();
  std::string s = "old";
  EXPECT_EQ(port.ReadText(s, 10), 0);
  EXPECT_EQ(s, "");
  pty.Send(std::string("\x01\x00\xAA\xFF", 4));
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.QueuedInputCount() == 4; }, 5000));
  EXPECT_EQ(port.ReadText(s, 0), 0);
  EXPECT_EQ(s, "");
  EXPECT_EQ(port.ReadText(s, 3), 3);
  EXPECT_EQ(s, std::string("\x01\x00\xAA", 3));
  EXPECT_EQ(port.QueuedInputCount(), 1);
  EXPECT_EQ(port.ReadText(s, 10), 1);
  EXPECT_EQ(s, "\xFF");
}

TEST_F(ComPortTest, DiscardNullDropsZeroBytes) {
  port.SetEvents({});
  port.SetDiscardNull(true);
  port.OpenPort();
  pty.Send(std::string("a\0b\0", 4));
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.QueuedInputCount() == 4; }, 5000));
  std::string s;
  EXPECT_EQ(port.ReadText(s, 4), 2);
  EXPECT_EQ(s, "ab");
}

TEST_F(ComPortTest, TransfersOnAClosedPortFail) {
  EXPECT_EQ(port.WriteText(""), 0);
  std::string s = "x";
  EXPECT_EQ(port.ReadText(s, 0), 0);
  EXPECT_EQ(s, "");
  const EComPort w = Raised([&] { port.WriteText("x"); });
  EXPECT_EQ(w.ErrorCode, CError_WriteFailed);
  EXPECT_EQ(w.SystemErrorCode, EBADF);
  EXPECT_STREQ(w.what(), "WriteFile function failed (win error code: 9)");
  const EComPort r = Raised([&] { port.ReadText(s, 5); });
  EXPECT_EQ(r.ErrorCode, CError_ReadFailed);
  EXPECT_EQ(r.SystemErrorCode, EBADF);
}

TEST_F(ComPortTest, NewNameWhileOpenReopens) {
  PtyPair second;
  port.OpenPort();
  log.clear();
  port.SetPort(pty.Path());  // the same text: nothing
  EXPECT_TRUE(log.empty());
  port.SetPort(second.Path());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(log, (std::vector<std::string>{"link off", "link on"}));
  EXPECT_EQ(port.WriteText("2"), 1);
  EXPECT_EQ(second.Receive(1, 5s), "2");

  log.clear();
  const EComPort e = Raised([&] { port.SetPort("/dev/o5-no-such-port"); });
  EXPECT_EQ(e.ErrorCode, CError_OpenFailed);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Port(), "/dev/o5-no-such-port");
  EXPECT_EQ(log, (std::vector<std::string>{"link off"}));
}

// The setup dialog applies its values inside a settings bracket; a new name
// reopens the port there. The device it opens still has whatever mode it was
// left in (here a fresh tty's: canonical, echoing, 38400): the port sets its
// own raw mode at once, not when the bracket ends.
TEST_F(ComPortTest, ReopenedInsideTheBracketRunsRawFromTheFirstMoment) {
  PtyPair second;
  port.OpenPort();
  port.BeginSettingsUpdate();
  port.SetPort(second.Path());
  ASSERT_TRUE(port.Connected());
  const termios t = TtyOf(second);
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B1200));
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  // A CR from the heater is taken as it is and not echoed back to it.
  second.Send("\r");
  ASSERT_TRUE(QTest::qWaitFor([&] { return port.QueuedInputCount() > 0; }, 5000));
  std::string got;
  EXPECT_EQ(port.ReadText(got, 1), 1);
  EXPECT_EQ(got, "\r");
  EXPECT_EQ(second.ReceiveAll(200ms, 2s), "");
  port.EndSettingsUpdate();
  EXPECT_EQ(SpeedOf(second), static_cast<speed_t>(B1200));
}

TEST_F(ComPortTest, LinksRegisterOnce) {
  const EComPort twice = Raised([&] { port.AddLink(&link); });
  EXPECT_EQ(twice.ErrorCode, CError_RegFailed);
  EXPECT_EQ(twice.SystemErrorCode, -1);
  EXPECT_STREQ(twice.what(), "Link (un)registration failed");
  TComLink stranger;
  EXPECT_EQ(Raised([&] { port.RemoveLink(&stranger); }).ErrorCode, CError_RegFailed);
  port.RemoveLink(&link);
  EXPECT_EQ(Raised([&] { port.RemoveLink(&link); }).ErrorCode, CError_RegFailed);
  port.OpenPort();
  EXPECT_TRUE(log.empty());
}

class UnbindingObserver : public TComPortObserver {
 public:
  void ComPortDestroyed(TCustomComPort* port) override {
    told = true;
    port->RemoveLink(&link);
    port->RemoveObserver(this);
  }
  TComLink link;
  bool told = false;
};

TEST_F(ComPortTest, ObserversUnbindWhileThePortIsDestroyed) {
  UnbindingObserver observer;
  std::vector<std::string> seen;
  observer.link.NotifyConnection = [&](bool on) { seen.push_back(on ? "on" : "off"); };
  {
    TComPort doomed;
    doomed.SetPort(pty.Path());
    doomed.AddObserver(&observer);
    doomed.AddLink(&observer.link);
    doomed.OpenPort();
  }
  EXPECT_TRUE(observer.told);
  EXPECT_EQ(seen, (std::vector<std::string>{"on", "off"}));
}

TEST(ComPortList, ListsSystemPortsAndExtraNamesThatExistSorted) {
  PtyPair pty, second;
  QTemporaryDir dir;
  // A link to a pseudo-terminal, as the simulator makes one.
  const std::string other = dir.filePath("Another").toStdString();
  ASSERT_EQ(symlink(second.Path().c_str(), other.c_str()), 0);
  const std::string missing = dir.filePath("zz-gone").toStdString();
  const std::string extra = pty.Path() + ":" + missing + "  " + other + "\tcom7";
  setenv("ORTAN5_EXTRA_PORTS", extra.c_str(), 1);
  std::vector<std::string> names = {"stale"};
  TCustomComPort::ListSerialPorts(names);
  std::vector<SerialPortEntry> entries;
  TCustomComPort::ListSerialPorts(entries);
  unsetenv("ORTAN5_EXTRA_PORTS");
  for (const std::string& name : {pty.Path(), other})
    EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
  EXPECT_EQ(std::count(names.begin(), names.end(), missing), 0);
  // "com7" stands for /dev/ttyS6: listed by the system's own path where that
  // port is there, and not as a second name for it.
  EXPECT_EQ(std::count(names.begin(), names.end(), "com7"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "stale"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "/dev/tty0"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "/dev/ptmx"), 0);
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(),
                             [&](const auto& a, const auto& b) { return lower(a) < lower(b); }));
  // Every system port is a device path; both lists name the same ports.
  ASSERT_EQ(entries.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(entries[i].path, names[i]);
    if (names[i] == pty.Path()) {
      EXPECT_EQ(entries[i].description, "Псевдотерминал");
    }
    if (names[i] == other || names[i] == pty.Path()) continue;
    EXPECT_EQ(names[i].rfind("/dev/", 0), 0u) << names[i];
  }
}

TEST(ComPortList, WithoutExtraNamesOnlyDevicesAreListed) {
  unsetenv("ORTAN5_EXTRA_PORTS");
  std::vector<std::string> names;
  TCustomComPort::ListSerialPorts(names);
  for (const std::string& name : names) EXPECT_EQ(name.rfind("/dev/", 0), 0u) << name;
}

}  // namespace
}  // namespace o5
