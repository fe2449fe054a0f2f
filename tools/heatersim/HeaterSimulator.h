// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator's one event loop: poll() over the pseudo-terminal, standard input and a
// signal pipe, with every timer (telemetry cycle, line pacing, delayed replies, receive
// time-outs, hang-up and reconnection) folded into the poll time-out.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/heatersim/BlackBox.h"
#include "tools/heatersim/EventLog.h"
#include "tools/heatersim/FaultDice.h"
#include "tools/heatersim/HeaterModel.h"
#include "tools/heatersim/LineFaults.h"
#include "tools/heatersim/PtyDevice.h"
#include "tools/heatersim/RecordReplay.h"
#include "tools/heatersim/RequestReceiver.h"
#include "tools/heatersim/SimClock.h"
#include "tools/heatersim/SimFrame.h"
#include "tools/heatersim/SimOptions.h"
#include "tools/heatersim/TxLine.h"

namespace o5::sim {

class CommandInterpreter;

class HeaterSimulator {
 public:
  // While nobody holds the device, this is how often the simulator looks whether somebody
  // has opened it: our end reports a hang-up all that time, so it cannot simply wait on it.
  static constexpr Milliseconds kPeerProbe{50};
  // Longest line accepted on standard input.
  static constexpr std::size_t kMaxCommandLength = 4096;

  HeaterSimulator(const SimOptions& options, const BlackBox& blackBox, std::FILE* out, std::FILE* err);
  ~HeaterSimulator();

  // Runs until "quit", a signal, or the end of standard input with --exit-on-eof.
  // Returns the exit status.
  int Run();

  // Controls for the commands.
  void RequestQuit() { quit_ = true; }
  bool StartHeater();
  bool StopHeater();
  bool SetHeaterFault(int code);
  void SetTelemetry(bool on) { telemetry_ = on; }
  LineFaults& Faults() { return faults_; }
  void FaultsChanged(const std::string& description);
  void SetSilence(bool on, std::optional<Milliseconds> duration);
  bool HangUp(const std::string& reason);
  void Reconnect();
  // Raw bytes or a built frame onto the line; false while nobody holds the device.
  bool SendBytes(const std::vector<std::uint8_t>& bytes, const std::string& tag);
  void SetBaud(long baud);
  void SetSpeed(double speed) { speed_ = speed; }
  void SetVoltage(int tenths) { model_.SetVoltage(tenths); }
  // Sends the records of a saved log as telemetry instead of the model's.
  void SetReplay(RecordReplay replay, const std::string& path);
  BlackBox& Box() { return blackBox_; }
  std::string Status() const;
  void Say(const std::string& line);

 private:
  void OpenDevice(bool linkMustWork);
  void InstallSignals();
  void ServiceTimers(TimePoint now);
  void UpdatePeer();
  void LineLost();
  void PumpTx(TimePoint now);
  int PollTimeout(TimePoint now) const;
  void ReadDevice();
  void ReadCommands();
  void HandleReceived(const std::vector<RequestReceiver::Event>& events);
  void HandleRequest(const Frame& frame);
  void Reply(const Frame& request, const FrameData& data);
  void EmitCycle(TimePoint now);
  void EmitReplayCycle(TimePoint now);
  Duration CyclePeriod() const;
  void EnqueueWithFaults(Frame frame, bool telemetry, TimePoint notBefore, const std::string& what);
  void NoteModeChange();

  SimOptions options_;
  std::FILE* out_;
  EventLog log_;
  BlackBox blackBox_;
  HeaterModel model_;
  LineFaults faults_;
  FaultDice dice_;
  RequestReceiver receiver_;
  TxLine tx_;
  PtyDevice pty_;
  std::unique_ptr<CommandInterpreter> commands_;
  std::optional<RecordReplay> replay_;

  bool quit_ = false;
  bool telemetry_;
  bool silent_;
  double speed_;
  bool peerPresent_ = false;
  bool stdinOpen_ = true;
  std::string commandBuffer_;
  bool discardingLongLine_ = false;
  int lastMode_ = kModeOff;
  double simulatedRemainder_ = 0;
  bool firstCycle_ = true;
  TimePoint nextCycle_{};
  std::optional<TimePoint> startedAt_;  // a start since the latest cycle
  std::optional<TimePoint> silenceUntil_;
  std::optional<TimePoint> hangupAt_;
  std::optional<TimePoint> reconnectAt_;
  std::optional<TimePoint> busyUntil_;
  int signalPipe_[2] = {-1, -1};
};

}  // namespace o5::sim
