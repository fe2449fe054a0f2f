// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial port component. It owns the tty device while open, keeps the line
// settings and applies them, runs an event monitor thread that waits for line
// events, and hands every event set to the user-interface thread, blocking until
// it has been handled. All operations are called on the user-interface thread.

#include <QObject>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/ComTypes.h"
#include "link/SerialPortList.h"

namespace o5 {

class TCustomComPort;
class ComMonitor;
struct ComMonitorState;

// Setting groups. Each keeps a back reference to its port; changing a value
// re-applies its group to an open port (unless a settings bracket is open).
class TComParity {
 public:
  explicit TComParity(TCustomComPort* port) : port_(port) {}
  TParityBits Bits() const { return bits_; }
  bool Check() const { return check_; }
  bool Replace() const { return replace_; }
  uint8_t ReplaceChar() const { return replaceChar_; }
  void SetBits(TParityBits v);
  void SetCheck(bool v);
  void SetReplace(bool v);
  void SetReplaceChar(uint8_t v);
  void Assign(const TComParity& other);

 private:
  void Changed();
  TCustomComPort* port_;
  TParityBits bits_ = prNone;
  bool check_ = false;
  bool replace_ = false;
  uint8_t replaceChar_ = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort* port) : port_(port) {}
  bool OutCTSFlow() const { return outCTSFlow_; }
  bool OutDSRFlow() const { return outDSRFlow_; }
  TDTRFlowControl ControlDTR() const { return controlDTR_; }
  TRTSFlowControl ControlRTS() const { return controlRTS_; }
  bool XonXoffOut() const { return xonXoffOut_; }
  bool XonXoffIn() const { return xonXoffIn_; }
  bool DSRSensitivity() const { return dsrSensitivity_; }
  bool TxContinueOnXoff() const { return txContinueOnXoff_; }
  uint8_t XonChar() const { return xonChar_; }
  uint8_t XoffChar() const { return xoffChar_; }
  void SetOutCTSFlow(bool v);
  void SetOutDSRFlow(bool v);
  void SetControlDTR(TDTRFlowControl v);
  void SetControlRTS(TRTSFlowControl v);
  void SetXonXoffOut(bool v);
  void SetXonXoffIn(bool v);
  void SetDSRSensitivity(bool v);
  void SetTxContinueOnXoff(bool v);
  void SetXonChar(uint8_t v);
  void SetXoffChar(uint8_t v);
  // Summary of the fields above, computed on reading; writing it sets them.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl v);
  void Assign(const TComFlowControl& other);

 private:
  void Changed();
  TCustomComPort* port_;
  bool outCTSFlow_ = false;
  bool outDSRFlow_ = false;
  TDTRFlowControl controlDTR_ = dtrDisable;
  TRTSFlowControl controlRTS_ = rtsDisable;
  bool xonXoffOut_ = false;
  bool xonXoffIn_ = false;
  bool dsrSensitivity_ = false;
  bool txContinueOnXoff_ = false;
  uint8_t xonChar_ = 17;
  uint8_t xoffChar_ = 19;
};

class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort* port) : port_(port) {}
  int ReadInterval() const { return readInterval_; }
  int ReadTotalMultiplier() const { return readTotalMultiplier_; }
  int ReadTotalConstant() const { return readTotalConstant_; }
  int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
  int WriteTotalConstant() const { return writeTotalConstant_; }
  void SetReadInterval(int v);
  void SetReadTotalMultiplier(int v);
  void SetReadTotalConstant(int v);
  void SetWriteTotalMultiplier(int v);
  void SetWriteTotalConstant(int v);
  void Assign(const TComTimeouts& other);

 private:
  void Changed();
  TCustomComPort* port_;
  int readInterval_ = -1;
  int readTotalMultiplier_ = 0;
  int readTotalConstant_ = 0;
  int writeTotalMultiplier_ = 100;
  int writeTotalConstant_ = 1000;
};

class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort* port) : port_(port) {}
  int InputSize() const { return inputSize_; }
  int OutputSize() const { return outputSize_; }
  void SetInputSize(int v);   // kept even: 1023 becomes 1022
  void SetOutputSize(int v);
  void Assign(const TComBuffer& other);

 private:
  void Changed();
  TCustomComPort* port_;
  int inputSize_ = 1024;
  int outputSize_ = 1024;
};

// An observer's registration with a port. The observer owns it.
class TComLink {
 public:
  std::function<void(bool)> NotifyConnection;
  // The port closed because its device went away (not because it was asked
  // to); called after the close, before the error is raised.
  std::function<void()> NotifyDeviceLost;
};

// Told when a port is destroyed, before its link list goes; the observer
// unbinds itself (and removes its link) from inside the call.
class TComPortObserver {
 public:
  virtual void ComPortDestroyed(TCustomComPort* port) = 0;

 protected:
  ~TComPortObserver() = default;
};

class TCustomComPort : public QObject {
  Q_OBJECT

 public:
  explicit TCustomComPort(QObject* owner = nullptr);
  ~TCustomComPort() override;

  // --- settings ---
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& name);  // a new name on an open port reopens it
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate v);
  int CustomBaudRate() const { return customBaudRate_; }
  void SetCustomBaudRate(int v);
  TDataBits DataBits() const { return dataBits_; }
  void SetDataBits(TDataBits v);
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits v);
  bool DiscardNull() const { return discardNull_; }
  void SetDiscardNull(bool v);
  uint8_t EventChar() const { return eventChar_; }
  void SetEventChar(uint8_t v);
  TComEvents Events() const { return events_; }
  void SetEvents(TComEvents v);  // takes effect at the next opening
  TSyncMethod SyncMethod() const { return syncMethod_; }
  void SetSyncMethod(TSyncMethod v);  // error 14 while open
  TComParity& Parity() { return parity_; }
  TComFlowControl& FlowControl() { return flowControl_; }
  TComTimeouts& Timeouts() { return timeouts_; }
  TComBuffer& Buffer() { return buffer_; }
  const TComParity& Parity() const { return parity_; }
  const TComFlowControl& FlowControl() const { return flowControl_; }
  const TComTimeouts& Timeouts() const { return timeouts_; }
  const TComBuffer& Buffer() const { return buffer_; }
  void SetParity(const TComParity& v) { parity_.Assign(v); }
  void SetFlowControl(const TComFlowControl& v) { flowControl_.Assign(v); }
  void SetTimeouts(const TComTimeouts& v) { timeouts_.Assign(v); }
  void SetBuffer(const TComBuffer& v) { buffer_.Assign(v); }

  bool Connected() const { return connected_; }
  void SetConnected(bool v);
  // Counts the openings of the port, so that a user of the port can tell the
  // port it began with from a later opening.
  uint64_t Openings() const { return openings_; }

  // --- operations ---
  void OpenPort();
  void ClosePort();
  int WriteText(const std::string& bytes);
  int ReadText(std::string& out, int count);
  int QueuedInputCount();
  TComSignals ModemSignals();
  TComErrors LineErrorSet();
  void BeginSettingsUpdate();
  void EndSettingsUpdate();
  virtual void ApplyAllSettings();
  void AddLink(TComLink* link);
  void RemoveLink(TComLink* link);
  void AddObserver(TComPortObserver* o);
  void RemoveObserver(TComPortObserver* o);
  // Runs the setup dialog for this port and returns when it is closed.
  void ShowPortDialog();
  // The system's serial ports, sorted without regard to letter case (error 23
  // when the system list cannot be read).
  static void ListSerialPorts(std::vector<std::string>& names);
  // The same list with a description of each device.
  static void ListSerialPorts(std::vector<SerialPortEntry>& entries);

  // The device a port name stands for: a name starting with "/" is a path,
  // "COMn" is /dev/ttyS(n-1), any other name is looked up under /dev.
  static std::string DevicePath(const std::string& name);

  // --- events (only OnRxChar is used by the tool) ---
  std::function<void(QObject*)> OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose;
  std::function<void(QObject*, int)> OnRxChar;
  std::function<void(QObject*)> OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
  std::function<void(QObject*, bool)> OnCTSChange, OnDSRChange, OnRLSDChange;
  std::function<void(QObject*, TComErrors)> OnError;

  // Diagnostics for tests and benchmarks.
  int Handle() const { return fd_; }
  uint64_t DispatchCount() const { return dispatchCount_; }

 protected:
  virtual void CreateHandle();
  virtual void DestroyHandle();

 private:
  friend class TComParity;
  friend class TComFlowControl;
  friend class TComTimeouts;
  friend class TComBuffer;
  friend class ComMonitor;

  enum class Group { Buffer, Line, Timeouts };
  enum class CounterState : uint8_t { Unknown, Known, Unsupported };
  void ApplyGroup(Group g);
  bool CanApply() const;
  void ApplyBufferSettings();
  void ApplyLineSettings();
  void ApplyTimeoutSettings();
  void NotifyLinks(bool connected);
  void NotifyLoss();
  // Runs on the user-interface thread, handed over by the monitor. Returns
  // true when input was reported and none of it was taken.
  bool DispatchEvents(ComMonitorState& from, TComEvents events, bool lineLost, int lostErrno);
  // The input count for a receive event; a hang-up that shows only as end of
  // file is found here.
  int CountForDispatch();
  // A platform call failed: a dead descriptor ends the port (DeviceLost), any
  // other failure raises `errorCode` with the errno.
  void Fail(int errorCode, int err);
  // The device went away: the port closes and one error is raised; inside a
  // hand-over both are left to a queued call (LineLost).
  void DeviceLost(int errorCode, int err);
  void LineLost();
  // Raises an error that left a hand-over from a queued call, so that the
  // monitor is released first.
  void RaiseLater(std::exception_ptr error);
  void StopMonitor();
  void ReapMonitorsLater();
  void ReapMonitors();
  void CloseQuietly();

  std::unique_ptr<ComMonitor> monitor_;
  bool monitorStarted_ = false;
  int fd_ = -1;
  int updateCount_ = 0;
  std::vector<TComLink*> links_;
  std::vector<TComPortObserver*> observers_;
  bool connected_ = false;
  TBaudRate baudRate_ = br9600;
  int customBaudRate_ = 9600;
  std::string port_ = "COM1";
  TStopBits stopBits_ = sbOneStopBit;
  TDataBits dataBits_ = dbEight;
  bool discardNull_ = false;
  uint8_t eventChar_ = 0;
  TComEvents events_ = kAllComEvents;
  TComBuffer buffer_{this};
  TComParity parity_{this};
  TComTimeouts timeouts_{this};
  TComFlowControl flowControl_{this};
  TSyncMethod syncMethod_ = smThreadSync;
  int dispatchDepth_ = 0;
  bool opening_ = false;
  bool closing_ = false;
  bool lossPending_ = false;
  int lossCode_ = 0;
  int lossErrno_ = 0;
  std::string pushback_;  // bytes taken by a hang-up probe, handed out first
  uint64_t bytesTaken_ = 0;  // by ReadText, to tell a dispatch that took nothing
  std::array<uint32_t, 5> lineErrorCounts_{};
  CounterState lineErrorState_ = CounterState::Unknown;
  // Monitors let go of from inside their own hand-over, joined once it returns.
  std::vector<std::unique_ptr<ComMonitor>> retired_;
  // Receiver of the port's queued calls. ClosePort delivers the hand-overs
  // posted to the port itself; these must not run inside it.
  QObject deferred_;
  uint64_t dispatchCount_ = 0;
  uint64_t openings_ = 0;
};

class TComPort : public TCustomComPort {
  Q_OBJECT
 public:
  using TCustomComPort::TCustomComPort;
};

}  // namespace o5
