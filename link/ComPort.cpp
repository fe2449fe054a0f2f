// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ComPort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "link/ComMonitor.h"
#include "link/ComPortPosix.h"

namespace o5 {

namespace {

// The order in which the events of one set are dispatched.
constexpr TComEvent kDispatchOrder[] = {evError, evRxChar, evTxEmpty, evBreak, evRing,
                                        evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

template <class T>
bool Store(T& field, const T& v) {
  if (field == v) return false;
  field = v;
  return true;
}

template <class... Args, class F>
void Raise(const F& handler, Args... args) {
  if (handler) handler(args...);
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lx = static_cast<unsigned char>((x >= 'A' && x <= 'Z') ? x - 'A' + 'a' : x);
    const auto ly = static_cast<unsigned char>((y >= 'A' && y <= 'Z') ? y - 'A' + 'a' : y);
    return lx < ly;
  });
}

// Write time limit in milliseconds; both terms zero means no limit (-1).
int WriteLimitMs(int multiplier, int constant, size_t bytes) {
  const long long m = std::max(multiplier, 0);
  const long long c = std::max(constant, 0);
  if (m == 0 && c == 0) return -1;
  return static_cast<int>(std::min<long long>(m * static_cast<long long>(bytes) + c, INT_MAX));
}

}  // namespace

TCustomComPort::TCustomComPort(QObject* owner) : QObject(owner) {}

TCustomComPort::~TCustomComPort() {
  // The owner is being torn down; its handlers may refer to parts of it that
  // are already gone.
  OnBeforeOpen = OnAfterOpen = OnBeforeClose = OnAfterClose = nullptr;
  OnRxChar = nullptr;
  OnTxEmpty = OnBreak = OnRing = OnRxFlag = OnRx80Full = nullptr;
  OnCTSChange = OnDSRChange = OnRLSDChange = nullptr;
  OnError = nullptr;
  CloseQuietly();
  retired_.clear();
  const std::vector<TComPortObserver*> observers = observers_;
  for (TComPortObserver* o : observers)
    if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
      o->ComPortDestroyed(this);
  observers_.clear();
  links_.clear();
}

// --- settings -------------------------------------------------------------

void TCustomComPort::SetPort(const std::string& name) {
  if (name == port_) return;
  port_ = name;
  if (connected_) {
    ClosePort();
    OpenPort();
  }
}

void TCustomComPort::SetBaudRate(TBaudRate v) {
  if (Store(baudRate_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetCustomBaudRate(int v) {
  if (Store(customBaudRate_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetDataBits(TDataBits v) {
  if (Store(dataBits_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetStopBits(TStopBits v) {
  if (Store(stopBits_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetDiscardNull(bool v) {
  if (Store(discardNull_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetEventChar(uint8_t v) {
  if (Store(eventChar_, v)) ApplyGroup(Group::Line);
}
void TCustomComPort::SetEvents(TComEvents v) { events_ = v; }

void TCustomComPort::SetSyncMethod(TSyncMethod v) {
  if (v == syncMethod_) return;
  if (connected_) throw EComPort(CError_ConnChangeProp);
  syncMethod_ = v;
}

void TCustomComPort::SetConnected(bool v) {
  if (v == connected_) return;
  if (v)
    OpenPort();
  else
    ClosePort();
}

void TCustomComPort::BeginSettingsUpdate() { ++updateCount_; }

void TCustomComPort::EndSettingsUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) ApplyAllSettings();
}

// An opening applies the port's own settings whatever the bracket: a port
// reopened inside a bracket (a new name from the setup dialog) would otherwise
// run with whatever mode the device was left in (canonical, echoing, another
// speed) until the bracket ends.
bool TCustomComPort::CanApply() const {
  return connected_ && fd_ >= 0 && (updateCount_ == 0 || opening_);
}

void TCustomComPort::ApplyGroup(Group g) {
  if (!CanApply()) return;
  switch (g) {
    case Group::Buffer:
      ApplyBufferSettings();
      break;
    case Group::Line:
      ApplyLineSettings();
      break;
    case Group::Timeouts:
      ApplyTimeoutSettings();
      break;
  }
}

void TCustomComPort::ApplyAllSettings() {
  ApplyBufferSettings();
  ApplyLineSettings();
  ApplyTimeoutSettings();
}

// The tty's queues are sized by its driver and cannot be asked for another
// size; the sizes are kept as the recommendation they are.
void TCustomComPort::ApplyBufferSettings() {}

void TCustomComPort::ApplyLineSettings() {
  if (!CanApply()) return;
  posix::LineConfig c;
  c.bitRate = BaudRateToInt(baudRate_, customBaudRate_);
  c.dataBits = dataBits_;
  c.stopBits = stopBits_;
  c.parity = parity_.Bits();
  c.replaceParityErrors = parity_.Check() && parity_.Replace();
  c.rtsCtsFlow = flowControl_.OutCTSFlow() || flowControl_.ControlRTS() == rtsHandshake;
  c.xonXoffOut = flowControl_.XonXoffOut();
  c.xonXoffIn = flowControl_.XonXoffIn();
  c.xonChar = flowControl_.XonChar();
  c.xoffChar = flowControl_.XoffChar();
  c.dtr = flowControl_.ControlDTR();
  c.rts = flowControl_.ControlRTS();
  if (const int err = posix::ApplyLine(fd_, c)) Fail(CError_SetStateFailed, err);
}

// Reads never wait (the tty is non-blocking) and the
// write time limit is worked out by each WriteText, so there is nothing to
// hand to the device.
void TCustomComPort::ApplyTimeoutSettings() {}

// --- opening and closing ----------------------------------------------------

void TCustomComPort::CreateHandle() {
  int fd = -1;
  if (const int err = posix::OpenExclusive(posix::DevicePath(port_), &fd))
    throw EComPort(CError_OpenFailed, err);
  fd_ = fd;
}

void TCustomComPort::DestroyHandle() {
  if (fd_ >= 0) posix::CloseExclusive(fd_);
  fd_ = -1;
  pushback_.clear();
}

void TCustomComPort::OpenPort() {
  if (connected_ || closing_) return;
  Raise(OnBeforeOpen, this);
  if (connected_) return;
  ReapMonitors();
  CreateHandle();
  connected_ = true;
  lossPending_ = false;
  lineErrorState_ = CounterState::Unknown;
  {
    opening_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{opening_};
    try {
      ApplyAllSettings();
      // Line errors from before the opening are not ours to report.
      LineErrorSet();
      monitorStarted_ = !events_.Empty();
      if (monitorStarted_) {
        auto monitor = std::make_unique<ComMonitor>(this, fd_, events_);
        if (const int err = monitor->Start()) throw EComPort(CError_OpenFailed, err);
        monitor_ = std::move(monitor);
      }
    } catch (...) {
      monitorStarted_ = false;
      DestroyHandle();
      connected_ = false;
      throw;
    }
  }
  ++openings_;
  NotifyLinks(true);
  Raise(OnAfterOpen, this);
  if (!connected_) return;
  const TComSignals s = ModemSignals();
  Raise(OnCTSChange, this, s.Has(csCTS));
  Raise(OnDSRChange, this, s.Has(csDSR));
  Raise(OnRLSDChange, this, s.Has(csRLSD));
}

void TCustomComPort::ClosePort() {
  if (!connected_ || closing_) return;
  closing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{closing_};
  Raise(OnCTSChange, this, false);
  Raise(OnDSRChange, this, false);
  Raise(OnRLSDChange, this, false);
  Raise(OnBeforeClose, this);
  // Writes are synchronous, so no transfer is pending that would need
  // aborting. Hand-overs already made are run while the monitor stops and may
  // still read; then both queues are discarded, with no complaint from a
  // device that has gone.
  StopMonitor();
  monitorStarted_ = false;
  if (fd_ >= 0) posix::Purge(fd_);
  DestroyHandle();
  connected_ = false;
  lossPending_ = false;
  closing_ = false;
  NotifyLinks(false);
  Raise(OnAfterClose, this);
}

void TCustomComPort::StopMonitor() {
  if (!monitor_) return;
  monitor_->RequestStop();
  if (monitor_->State().dispatching) {
    // Closed from inside this monitor's own hand-over: the thread is blocked
    // on us and cannot end before the dispatch returns. It is joined then; it
    // does not touch the tty after the stop signal, so the tty can close now.
    monitor_->State().retired = true;
    retired_.push_back(std::move(monitor_));
    return;
  }
  // The monitor may be blocked in a hand-over posted to us, possibly from
  // inside a nested event loop: deliver it, and any that follows, until the
  // thread has ended.
  while (!monitor_->WaitFinished(0)) {
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (monitor_->WaitFinished(2)) break;
  }
  monitor_->Join();
  monitor_.reset();
}

void TCustomComPort::ReapMonitorsLater() {
  QMetaObject::invokeMethod(
      &deferred_, [this] { ReapMonitors(); }, Qt::QueuedConnection);
}

void TCustomComPort::ReapMonitors() {
  for (auto it = retired_.begin(); it != retired_.end();) {
    if ((*it)->State().dispatching) {
      ++it;
      continue;
    }
    (*it)->Join();
    it = retired_.erase(it);
  }
}

void TCustomComPort::CloseQuietly() {
  try {
    ClosePort();
  } catch (const std::exception&) {
    // Destruction goes on: an error cannot be shown from here.
  }
  if (!connected_) return;
  StopMonitor();
  DestroyHandle();
  connected_ = false;
  NotifyLinks(false);
}

// --- transfers and status -------------------------------------------------

int TCustomComPort::WriteText(const std::string& bytes) {
  if (bytes.empty()) return 0;
  if (fd_ < 0) throw EComPort(CError_WriteFailed, EBADF);
  const int limit =
      WriteLimitMs(timeouts_.WriteTotalMultiplier(), timeouts_.WriteTotalConstant(), bytes.size());
  const posix::WriteResult r = posix::WriteWithin(fd_, bytes.data(), bytes.size(), limit,
                                                  BaudRateToInt(baudRate_, customBaudRate_));
  if (r.error != 0) Fail(CError_WriteFailed, r.error);
  return static_cast<int>(r.written);
}

int TCustomComPort::ReadText(std::string& out, int count) {
  out.clear();
  if (count <= 0) return 0;
  if (fd_ < 0) throw EComPort(CError_ReadFailed, EBADF);
  out.resize(static_cast<size_t>(count));
  size_t got = std::min(pushback_.size(), out.size());
  std::memcpy(out.data(), pushback_.data(), got);
  pushback_.erase(0, got);
  if (got < out.size()) {
    const posix::ReadResult r = posix::ReadAvailable(fd_, out.data() + got, out.size() - got);
    got += r.bytes;
    // Bytes in hand are delivered; the hang-up shows again at the next look.
    if (got == 0 && r.endOfFile) {
      out.clear();
      DeviceLost(CError_ReadFailed, EIO);
      return 0;
    }
    if (got == 0 && r.error != 0) {
      out.clear();
      Fail(CError_ReadFailed, r.error);
      return 0;
    }
  }
  out.resize(got);
  bytesTaken_ += got;
  if (discardNull_) out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
  return static_cast<int>(out.size());
}

int TCustomComPort::QueuedInputCount() {
  if (fd_ < 0) throw EComPort(CError_ClearComFailed, EBADF);
  int n = 0;
  if (const int err = posix::InputCount(fd_, &n)) {
    Fail(CError_ClearComFailed, err);
    return 0;
  }
  return n + static_cast<int>(pushback_.size());
}

TComSignals TCustomComPort::ModemSignals() {
  if (fd_ < 0) throw EComPort(CError_ModemStatFailed, EBADF);
  TComSignals s;
  if (const int err = posix::ModemLines(fd_, &s)) Fail(CError_ModemStatFailed, err);
  return s;
}

TComErrors TCustomComPort::LineErrorSet() {
  if (fd_ < 0) throw EComPort(CError_ClearComFailed, EBADF);
  TComErrors errors;
  if (lineErrorState_ == CounterState::Unsupported) return errors;
  posix::LineErrorCounts now{};
  if (const int err = posix::ReadLineErrorCounts(fd_, &now)) {
    // Pseudo-terminals and some adapters keep no line error counters.
    if (posix::ClassifyErrno(err) == posix::ErrnoKind::Unsupported)
      lineErrorState_ = CounterState::Unsupported;
    else
      Fail(CError_ClearComFailed, err);
    return errors;
  }
  if (lineErrorState_ == CounterState::Known) {
    auto grew = [&](posix::LineErrorIndex i) { return now[i] != lineErrorCounts_[i]; };
    if (grew(posix::leFrame)) errors.Add(ceFrame);
    if (grew(posix::leParity) && parity_.Check()) errors.Add(ceRxParity);
    if (grew(posix::leOverrun)) errors.Add(ceOverrun);
    if (grew(posix::leBreak)) errors.Add(ceBreak);
    if (grew(posix::leBufferOverrun)) errors.Add(ceRxOver);
  }
  lineErrorCounts_ = now;
  lineErrorState_ = CounterState::Known;
  return errors;
}

// --- links and observers ----------------------------------------------------

void TCustomComPort::AddLink(TComLink* link) {
  if (!link || std::find(links_.begin(), links_.end(), link) != links_.end())
    throw EComPort(CError_RegFailed);
  links_.push_back(link);
}

void TCustomComPort::RemoveLink(TComLink* link) {
  const auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) throw EComPort(CError_RegFailed);
  links_.erase(it);
}

void TCustomComPort::AddObserver(TComPortObserver* o) {
  if (o && std::find(observers_.begin(), observers_.end(), o) == observers_.end())
    observers_.push_back(o);
}

void TCustomComPort::RemoveObserver(TComPortObserver* o) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void TCustomComPort::NotifyLinks(bool connected) {
  // A link's handler may remove links (its own or others).
  const std::vector<TComLink*> links = links_;
  for (TComLink* l : links) {
    if (std::find(links_.begin(), links_.end(), l) == links_.end()) continue;
    if (l->NotifyConnection) l->NotifyConnection(connected);
  }
}

void TCustomComPort::NotifyLoss() {
  const std::vector<TComLink*> links = links_;
  for (TComLink* l : links) {
    if (std::find(links_.begin(), links_.end(), l) == links_.end()) continue;
    if (l->NotifyDeviceLost) l->NotifyDeviceLost();
  }
}

// --- dispatch and device loss -----------------------------------------------

bool TCustomComPort::DispatchEvents(ComMonitorState& from, TComEvents events, bool lineLost,
                                    int lostErrno) {
  if (!monitor_ || &monitor_->State() != &from || fd_ < 0) return false;
  ++dispatchCount_;
  ++dispatchDepth_;
  struct Depth {
    int& depth;
    ~Depth() { --depth; }
  } depth{dispatchDepth_};
  if (lineLost) {
    DeviceLost(CError_ReadFailed, lostErrno);
    return false;
  }
  const uint64_t takenBefore = bytesTaken_;
  for (TComEvent e : kDispatchOrder) {
    if (!events.Has(e)) continue;
    // A handler may have closed the port.
    if (!connected_ || fd_ < 0 || lossPending_) break;
    switch (e) {
      case evError: {
        const TComErrors errors = LineErrorSet();
        if (!errors.Empty()) Raise(OnError, this, errors);
        break;
      }
      case evRxChar: {
        const int n = CountForDispatch();
        if (n > 0) Raise(OnRxChar, this, n);
        break;
      }
      case evTxEmpty:
        Raise(OnTxEmpty, this);
        break;
      case evBreak:
        Raise(OnBreak, this);
        break;
      case evRing:
        Raise(OnRing, this);
        break;
      case evCTS:
        Raise(OnCTSChange, this, ModemSignals().Has(csCTS));
        break;
      case evDSR:
        Raise(OnDSRChange, this, ModemSignals().Has(csDSR));
        break;
      case evRxFlag:
        Raise(OnRxFlag, this);
        break;
      case evRLSD:
        Raise(OnRLSDChange, this, ModemSignals().Has(csRLSD));
        break;
      case evRx80Full:
        Raise(OnRx80Full, this);
        break;
    }
  }
  return events.Has(evRxChar) && bytesTaken_ == takenBefore;
}

int TCustomComPort::CountForDispatch() {
  int n = 0;
  if (const int err = posix::InputCount(fd_, &n)) {
    Fail(CError_ClearComFailed, err);
    return 0;
  }
  n += static_cast<int>(pushback_.size());
  if (n > 0) return n;
  // Woken for input that is not there: a hung-up line reads as end of file.
  // A byte that arrived just now is kept for the next ReadText.
  char c = 0;
  const posix::ReadResult r = posix::ReadAvailable(fd_, &c, 1);
  if (r.bytes == 1) {
    pushback_.push_back(c);
    return 1;
  }
  if (r.endOfFile)
    DeviceLost(CError_ReadFailed, EIO);
  else if (r.error != 0)
    Fail(CError_ReadFailed, r.error);
  return 0;
}

void TCustomComPort::Fail(int errorCode, int err) {
  if (posix::ClassifyErrno(err) == posix::ErrnoKind::DeviceGone) {
    DeviceLost(errorCode, err);
    return;
  }
  throw EComPort(errorCode, err);
}

void TCustomComPort::DeviceLost(int errorCode, int err) {
  // OpenPort closes the device itself and passes the error on.
  if (opening_) throw EComPort(errorCode, err);
  // A lost device is one event, whichever call happens to notice it first: the
  // monitor's wake-up, the count of waiting input, a status query or a write.
  // Which one comes first is a matter of timing, so the loss is reported as
  // what the line shows a hang-up to be, a read that ends (ReadFile, with the
  // failing call's errno: EIO for a hang-up).
  errorCode = CError_ReadFailed;
  // Closing anyway: the device going away meanwhile is no news.
  if (closing_ || !connected_) return;
  if (dispatchDepth_ > 0) {
    // The monitor is blocked on us: stop it, and end the port from a queued
    // call once the hand-over has returned. Whatever else notices the loss
    // before then finds it already taken care of.
    if (lossPending_) return;
    lossPending_ = true;
    lossCode_ = errorCode;
    lossErrno_ = err;
    if (monitor_) monitor_->RequestStop();
    QMetaObject::invokeMethod(
        &deferred_, [this] { LineLost(); }, Qt::QueuedConnection);
    return;
  }
  ClosePort();
  NotifyLoss();
  throw EComPort(errorCode, err);
}

void TCustomComPort::LineLost() {
  if (!lossPending_) return;
  lossPending_ = false;
  const int code = lossCode_;
  const int err = lossErrno_;
  // The port closes before the error is shown, so nothing claims a connection
  // that is gone while the message is up.
  ClosePort();
  NotifyLoss();
  throw EComPort(code, err);
}

void TCustomComPort::RaiseLater(std::exception_ptr error) {
  QMetaObject::invokeMethod(
      &deferred_, [error] { std::rethrow_exception(error); }, Qt::QueuedConnection);
}

// --- system ports -----------------------------------------------------------

void TCustomComPort::ListSerialPorts(std::vector<std::string>& names) {
  std::vector<SerialPortEntry> entries;
  ListSerialPorts(entries);
  names.clear();
  for (SerialPortEntry& e : entries) names.push_back(std::move(e.path));
}

void TCustomComPort::ListSerialPorts(std::vector<SerialPortEntry>& entries) {
  std::vector<SerialPortEntry> found;
  if (const int err = ListSerialDevices(SerialPortRoots{}, std::getenv(kExtraPortsVariable), found))
    throw EComPort(CError_RegError, err);
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return LessIgnoringCase(a.path, b.path);
  });
  entries = std::move(found);
}

std::string TCustomComPort::DevicePath(const std::string& name) { return posix::DevicePath(name); }

}  // namespace o5
