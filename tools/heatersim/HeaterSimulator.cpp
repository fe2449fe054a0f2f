// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/HeaterSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

#include "tools/heatersim/CommandInterpreter.h"
#include "tools/heatersim/HexText.h"
#include "tools/heatersim/TelemetryCycle.h"

namespace o5::sim {

// Below a second: the run timer of the first cycle after a start reads 0.
constexpr double kFirstCycleAfterStartMs = 999;

namespace {

int gSignalWriteFd = -1;

void OnSignal(int number) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(number);
  if (gSignalWriteFd >= 0) {
    const ssize_t written = ::write(gSignalWriteFd, &byte, 1);
    static_cast<void>(written);
  }
  errno = saved;
}

std::string CodeName(std::uint8_t code) { return std::to_string(code); }

std::string KindName(std::uint8_t kind) { return std::string("telemetry '") + static_cast<char>(kind) + "'"; }

}  // namespace

HeaterSimulator::HeaterSimulator(const SimOptions& options, const BlackBox& blackBox, std::FILE* out,
                                 std::FILE* err)
    : options_(options),
      out_(out),
      log_(err, Clock::now()),
      blackBox_(blackBox),
      model_(HeaterModel::Settings{options.ambientC, options.voltageTenths}, blackBox_),
      faults_(options.faults),
      dice_(options.seed),
      tx_(options.baud),
      commands_(std::make_unique<CommandInterpreter>(*this)),
      telemetry_(options.telemetry),
      silent_(options.silence),
      speed_(options.speed) {}

HeaterSimulator::~HeaterSimulator() {
  if (gSignalWriteFd == signalPipe_[1]) gSignalWriteFd = -1;
  for (int fd : signalPipe_) {
    if (fd >= 0) ::close(fd);
  }
}

void HeaterSimulator::InstallSignals() {
  if (::pipe2(signalPipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create a pipe");
  gSignalWriteFd = signalPipe_[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(number, &action, nullptr);
  // A closed standard output or error must not end the heater.
  std::signal(SIGPIPE, SIG_IGN);
  // Started in the background of an interactive shell, the simulator would be stopped by the
  // terminal at its first read or write; ignored, a read fails instead and the simulator runs
  // on without commands.
  std::signal(SIGTTIN, SIG_IGN);
  std::signal(SIGTTOU, SIG_IGN);
}

void HeaterSimulator::Say(const std::string& line) {
  std::fputs(line.c_str(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void HeaterSimulator::OpenDevice(bool linkMustWork) {
  pty_.Open();
  peerPresent_ = false;
  if (!options_.linkPath.empty()) {
    try {
      pty_.PlaceLink(options_.linkPath);
    } catch (const std::exception& e) {
      // At start a bad link path is a bad command line; on reconnection the device is there
      // and usable by its own path.
      if (linkMustWork) throw;
      log_.Line("ERROR", e.what());
    }
  }
  Say("PORT " + pty_.DevicePath());
  log_.Line("LINE", "device " + pty_.DevicePath() +
                        (options_.linkPath.empty() ? std::string() : " linked as " + options_.linkPath) +
                        "; waiting for a program to open it");
}

int HeaterSimulator::Run() {
  InstallSignals();
  try {
    OpenDevice(true);
  } catch (const std::system_error& e) {
    log_.Line("ERROR", e.what());
    std::fprintf(stderr, "ortan5-heatersim: %s\n", e.what());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ortan5-heatersim: %s\n", e.what());
    return 2;
  }
  const TimePoint start = Clock::now();
  nextCycle_ = start;
  if (options_.hangupAfter) hangupAt_ = start + *options_.hangupAfter;
  if (silent_) log_.Line("FAULT", "silence on");
  const Duration cycleLineTime = tx_.ByteTime() * static_cast<long>(kKindsPerCycle * kFrameSize);
  if (cycleLineTime > options_.cycle) {
    log_.Line("WARN", "a cycle of 7 frames needs " +
                          std::to_string(std::chrono::duration_cast<Milliseconds>(cycleLineTime).count()) +
                          " ms on the line, longer than the cycle of " + std::to_string(options_.cycle.count()) +
                          " ms; telemetry still waiting at the next cycle is dropped");
  }
  if (options_.running) StartHeater();

  int status = 0;
  while (!quit_) {
    const TimePoint now = Clock::now();
    ServiceTimers(now);
    UpdatePeer();
    PumpTx(now);
    if (quit_) break;

    pollfd fds[3];
    nfds_t count = 0;
    fds[count++] = {signalPipe_[0], POLLIN, 0};
    const int stdinIndex = stdinOpen_ ? static_cast<int>(count) : -1;
    if (stdinOpen_) fds[count++] = {STDIN_FILENO, POLLIN, 0};
    // Our end of a device nobody holds reports POLLHUP without end; it is left out of the poll
    // then, and looked at again every kPeerProbe, so that the loop never spins.
    const int deviceIndex = pty_.IsOpen() && peerPresent_ ? static_cast<int>(count) : -1;
    if (deviceIndex >= 0) fds[count++] = {pty_.Fd(), POLLIN, 0};

    const int ready = ::poll(fds, count, PollTimeout(Clock::now()));
    if (ready < 0) {
      if (errno == EINTR) continue;
      log_.Line("ERROR", std::string("poll: ") + std::strerror(errno));
      status = 1;
      break;
    }
    if (fds[0].revents & POLLIN) {
      unsigned char number = 0;
      while (::read(signalPipe_[0], &number, 1) == 1) {
        log_.Line("INFO", "signal " + std::to_string(number) + ": ending");
        quit_ = true;
      }
    }
    if (deviceIndex >= 0 && fds[deviceIndex].revents != 0) {
      ReadDevice();
      if (fds[deviceIndex].revents & (POLLHUP | POLLERR)) UpdatePeer();
    }
    if (stdinIndex >= 0 && fds[stdinIndex].revents != 0) ReadCommands();
  }

  if (!options_.saveBlackBox.empty()) {
    try {
      blackBox_.SaveFile(options_.saveBlackBox);
      log_.Line("INFO", "black box saved to " + options_.saveBlackBox);
    } catch (const std::exception& e) {
      log_.Line("ERROR", e.what());
      status = 1;
    }
  }
  pty_.RemoveLink();
  pty_.Close();
  log_.Line("INFO", "ended");
  return status;
}

void HeaterSimulator::ServiceTimers(TimePoint now) {
  HandleReceived(receiver_.Expire(now));
  if (silenceUntil_ && now >= *silenceUntil_) {
    silenceUntil_.reset();
    SetSilence(false, std::nullopt);
  }
  if (hangupAt_ && now >= *hangupAt_) {
    hangupAt_.reset();
    HangUp("--hangup-after");
  }
  if (busyUntil_ && now >= *busyUntil_) {
    busyUntil_.reset();
    pty_.Release();
    log_.Line("FAULT", "busy: " + pty_.DevicePath() + " let go");
  }
  if (reconnectAt_ && now >= *reconnectAt_) {
    reconnectAt_.reset();
    try {
      Reconnect();
    } catch (const std::exception& e) {
      log_.Line("ERROR", e.what());
    }
  }
  if (now >= nextCycle_) {
    if (!firstCycle_) {
      double simulated = static_cast<double>(options_.cycle.count()) * speed_ + simulatedRemainder_;
      // A heater counts its run from the start itself and sends a cycle every
      // second: the first cycle after a start reports the time since then,
      // and never a second or more, however fast the simulated time runs.
      if (startedAt_) {
        const double since = std::chrono::duration<double, std::milli>(now - *startedAt_).count() * speed_;
        simulated = std::clamp(since, 0.0, std::min(simulated, kFirstCycleAfterStartMs));
        startedAt_.reset();
      }
      const auto whole = static_cast<long long>(simulated);
      simulatedRemainder_ = simulated - static_cast<double>(whole);
      model_.Advance(Milliseconds{whole});
      NoteModeChange();
    }
    firstCycle_ = false;
    EmitCycle(now);
    nextCycle_ += CyclePeriod();
    // After a stop of the process (a debugger, a suspended terminal) the cycle starts afresh
    // instead of sending the missed cycles in a burst.
    if (nextCycle_ <= now) nextCycle_ = now + CyclePeriod();
  }
}

void HeaterSimulator::UpdatePeer() {
  // Our own hold is no program on the line.
  if (!pty_.IsOpen() || pty_.Held()) return;
  const bool present = pty_.PeerPresent();
  if (present == peerPresent_) return;
  if (present) {
    peerPresent_ = true;
    log_.Line("LINE", "open: a program holds " + pty_.DevicePath());
  } else {
    ReadDevice();
    LineLost();
  }
}

void HeaterSimulator::LineLost() {
  peerPresent_ = false;
  tx_.Clear();
  HandleReceived(receiver_.Flush());
  log_.Line("LINE", "closed: nobody holds " + pty_.DevicePath() + "; the heater's bytes are lost until it is opened");
}

void HeaterSimulator::PumpTx(TimePoint now) {
  if (!pty_.IsOpen() || !peerPresent_) return;
  const int fd = pty_.Fd();
  const auto write = [fd](const std::uint8_t* bytes, std::size_t count) {
    TxLine::WriteResult result;
    const ssize_t written = ::write(fd, bytes, count);
    if (written >= 0) {
      result.accepted = static_cast<std::size_t>(written);
    } else if (errno == EIO || errno == EPIPE) {
      result.lineGone = true;
    }
    // EAGAIN: the device's buffer is full because nobody reads; like bytes nobody picks up
    // from a serial port's buffer, they are lost.
    return result;
  };
  const TxLine::PumpResult result = tx_.Pump(now, write);
  for (const TxItem& item : result.finished) {
    if (item.lost > 0) {
      log_.Bytes("TX-LOST", item.bytes);
    } else if (!(item.telemetry && options_.quietTelemetry && item.tag == "TX")) {
      log_.Bytes(item.tag, item.bytes);
    }
  }
  if (result.lineGone) UpdatePeer();
}

int HeaterSimulator::PollTimeout(TimePoint now) const {
  TimePoint wake = now + std::chrono::seconds(1);
  const auto consider = [&wake](std::optional<TimePoint> at) {
    if (at && *at < wake) wake = *at;
  };
  consider(nextCycle_);
  consider(receiver_.NextDeadline());
  consider(silenceUntil_);
  consider(hangupAt_);
  consider(reconnectAt_);
  consider(busyUntil_);
  if (pty_.IsOpen() && peerPresent_) consider(tx_.NextDeadline());
  if (pty_.IsOpen() && !peerPresent_) consider(now + kPeerProbe);
  if (wake <= now) return 0;
  const auto ms = std::chrono::ceil<Milliseconds>(wake - now).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, 1000));
}

void HeaterSimulator::ReadDevice() {
  if (!pty_.IsOpen()) return;
  std::uint8_t buffer[512];
  for (;;) {
    const ssize_t got = ::read(pty_.Fd(), buffer, sizeof buffer);
    if (got > 0) {
      HandleReceived(receiver_.Feed(buffer, static_cast<std::size_t>(got), Clock::now()));
      continue;
    }
    // EAGAIN: all read; EIO: nobody holds the device any more, noticed by UpdatePeer.
    if (got < 0 && errno == EINTR) continue;
    break;
  }
}

void HeaterSimulator::ReadCommands() {
  char buffer[1024];
  const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (got <= 0) {
    stdinOpen_ = false;
    if (options_.exitOnEof) {
      log_.Line("INFO", "standard input closed: ending");
      quit_ = true;
    } else {
      log_.Line("INFO", "standard input closed: running on without commands");
    }
    return;
  }
  for (ssize_t i = 0; i < got && !quit_; ++i) {
    const char c = buffer[i];
    if (c != '\n') {
      if (discardingLongLine_) continue;
      if (commandBuffer_.size() >= kMaxCommandLength) {
        discardingLongLine_ = true;
        commandBuffer_.clear();
        continue;
      }
      commandBuffer_ += c;
      continue;
    }
    if (discardingLongLine_) {
      discardingLongLine_ = false;
      Say("ERROR line longer than " + std::to_string(kMaxCommandLength) + " characters ignored");
      continue;
    }
    const std::string line = std::move(commandBuffer_);
    commandBuffer_.clear();
    for (const std::string& reply : commands_->Execute(line)) Say(reply);
  }
}

void HeaterSimulator::HandleReceived(const std::vector<RequestReceiver::Event>& events) {
  for (const RequestReceiver::Event& event : events) {
    switch (event.type) {
      case RequestReceiver::EventType::Frame: {
        log_.Bytes("RX", event.bytes);
        Frame frame{};
        std::copy(event.bytes.begin(), event.bytes.end(), frame.begin());
        HandleRequest(frame);
        break;
      }
      case RequestReceiver::EventType::BadChecksum: log_.Bytes("RX-BAD", event.bytes); break;
      case RequestReceiver::EventType::Partial: log_.Bytes("RX-PARTIAL", event.bytes); break;
      case RequestReceiver::EventType::Garbage: log_.Bytes("RX-GARBAGE", event.bytes); break;
    }
  }
}

void HeaterSimulator::HandleRequest(const Frame& frame) {
  const std::uint8_t control = frame[kControlIndex];
  const std::uint8_t code = frame[kCodeIndex];
  if (control & kReplyFlag) {
    log_.Line("INFO", "frame with the reply flag ignored: only the heater sends those");
    return;
  }
  FrameData data{};
  switch (code) {
    case kCodeStart:
      log_.Line("INFO", StartHeater() ? "start: run begins" : "start ignored: already running");
      break;
    case kCodeStop:
      log_.Line("INFO", StopHeater() ? "stop: purging" : "stop ignored: not running");
      break;
    case kCodePostStart:
    case kCodeExit:
      break;
    case kCodeVersion: data = options_.version; break;
    case kCodeVersionDate: data = options_.versionDate; break;
    case kCodeBlackBoxRead: {
      const std::size_t address = frame[kDataIndex];
      data = {frame[kDataIndex], blackBox_.At(address), blackBox_.At(address + 1), blackBox_.At(address + 2)};
      const std::size_t second = BlackBox::kSignature + 1;
      if (faults_.noBlackBox && address <= second && second <= address + 2) {
        data[1 + second - address] = BlackBox::kSignature2Absent;
        if (address <= BlackBox::kSignature) data[1 + BlackBox::kSignature - address] = BlackBox::kSignature1;
        log_.Line("FAULT", "no-blackbox: signature read as 55 38");
      }
      break;
    }
    default:
      log_.Line("INFO", "unknown request code " + CodeName(code) + " ignored");
      return;
  }
  // Frames with control byte 0x01 go out blind (start, stop, the fall-back frames) and get
  // no answer; only requests with 0x08 in the control byte are answered.
  if (!(control & kAnswerWanted)) return;
  Reply(frame, data);
}

void HeaterSimulator::Reply(const Frame& request, const FrameData& data) {
  const std::uint8_t code = request[kCodeIndex];
  const std::string what = "reply " + CodeName(code);
  if (faults_.Unanswered(code)) {
    log_.Line("FAULT", "no-reply: request " + CodeName(code) + " left unanswered");
    return;
  }
  if (silent_) {
    log_.Line("FAULT", "silence: request " + CodeName(code) + " left unanswered");
    return;
  }
  std::uint8_t byte4 = 0;
  if (faults_.wrongByte4) {
    byte4 = 1;
    log_.Line("FAULT", "wrong-byte4: " + what + " carries 01 in byte 4");
  }
  const Frame reply = BuildFrame(static_cast<std::uint8_t>(request[kControlIndex] | kReplyFlag), 0, byte4, code, data);
  // On a real line the request itself takes ten byte times to arrive before the heater can
  // answer it.
  TimePoint due = Clock::now() + tx_.ByteTime() * static_cast<long>(kFrameSize);
  if (faults_.replyDelay.count() > 0) {
    due += faults_.replyDelay;
    log_.Line("FAULT", "reply-delay: " + what + " held back " + std::to_string(faults_.replyDelay.count()) + " ms");
  }
  EnqueueWithFaults(reply, false, due, what);
}

void HeaterSimulator::SetReplay(RecordReplay replay, const std::string& path) {
  log_.Line("INFO", "replay: " + std::to_string(replay.Records()) + " records of " + path + ", " +
                        std::to_string(replay.Skipped()) + " lines skipped (not complete records)");
  replay_ = std::move(replay);
}

// A replay runs through its records `speed` times faster than the cycle; the model's time
// runs faster instead and keeps its cycle.
Duration HeaterSimulator::CyclePeriod() const {
  if (!replay_) return options_.cycle;
  const auto period = std::chrono::duration_cast<Duration>(options_.cycle / speed_);
  return std::max<Duration>(period, Milliseconds{1});
}

void HeaterSimulator::EmitCycle(TimePoint now) {
  // Bytes nobody receives would pile up in the device and reach the next program that opens
  // it as stale telemetry; a heater's bytes on an unplugged line are simply lost.
  if (!telemetry_ || silent_ || !pty_.IsOpen() || !peerPresent_) return;
  if (replay_) {
    EmitReplayCycle(now);
    return;
  }
  if (const std::size_t dropped = tx_.DropWaitingTelemetry()) {
    log_.Line("INFO", std::to_string(dropped) + " telemetry frames of the last cycle not sent: the line is too slow");
  }
  for (const Frame& frame : BuildTelemetryCycle(model_.State())) {
    EnqueueWithFaults(frame, true, now, KindName(frame[kCodeIndex]));
  }
}

// A saved session is played whole: a record waits for a line that is still sending the
// previous one instead of being dropped.
void HeaterSimulator::EmitReplayCycle(TimePoint now) {
  if (replay_->Done() || tx_.TelemetryWaiting()) return;
  for (const Frame& frame : replay_->NextCycle()) EnqueueWithFaults(frame, true, now, KindName(frame[kCodeIndex]));
  if (replay_->Done())
    log_.Line("INFO", "replay: all " + std::to_string(replay_->Records()) + " records sent");
}

void HeaterSimulator::EnqueueWithFaults(Frame frame, bool telemetry, TimePoint notBefore, const std::string& what) {
  const bool priority = !telemetry;
  if (dice_.Roll(faults_.noisePercent)) {
    TxItem noise;
    const int count = dice_.Between(1, 4);
    for (int i = 0; i < count; ++i) noise.bytes.push_back(dice_.NoiseByte());
    noise.tag = "TX-NOISE";
    noise.telemetry = telemetry;
    noise.priority = priority;
    noise.notBefore = notBefore;
    log_.Line("FAULT", "noise: " + std::to_string(count) + " bytes before " + what);
    tx_.Enqueue(std::move(noise));
  }
  if (dice_.Roll(faults_.badChecksumPercent)) {
    const std::uint8_t right = frame[kChecksumIndex];
    frame[kChecksumIndex] = static_cast<std::uint8_t>(right + 1);
    log_.Line("FAULT", "bad-checksum: " + what + " with checksum " + ToHex(&frame[kChecksumIndex], 1) +
                           " instead of " + ToHex(&right, 1));
  }
  TxItem item;
  item.bytes.assign(frame.begin(), frame.end());
  item.telemetry = telemetry;
  item.priority = priority;
  item.notBefore = notBefore;
  if (dice_.Roll(faults_.partialPercent)) {
    const int keep = dice_.Between(1, static_cast<int>(kFrameSize) - 1);
    item.bytes.resize(static_cast<std::size_t>(keep));
    item.tag = "TX-PARTIAL";
    log_.Line("FAULT", "partial: " + what + " cut after " + std::to_string(keep) + " bytes");
  } else if (dice_.Roll(faults_.splitPercent)) {
    item.splitAt = static_cast<std::size_t>(dice_.Between(1, static_cast<int>(kFrameSize) - 1));
    item.splitGap = faults_.splitGap;
    log_.Line("FAULT", "split: " + what + " paused " + std::to_string(faults_.splitGap.count()) + " ms after " +
                           std::to_string(item.splitAt) + " bytes");
  }
  tx_.Enqueue(std::move(item));
}

void HeaterSimulator::NoteModeChange() {
  const int mode = model_.Mode();
  if (mode == lastMode_) return;
  log_.Line("MODE", std::to_string(lastMode_) + " -> " + std::to_string(mode));
  lastMode_ = mode;
}

bool HeaterSimulator::StartHeater() {
  const bool started = model_.Start();
  if (started) startedAt_ = Clock::now();
  NoteModeChange();
  return started;
}

bool HeaterSimulator::StopHeater() {
  const bool stopped = model_.Stop();
  NoteModeChange();
  return stopped;
}

bool HeaterSimulator::SetHeaterFault(int code) {
  if (!model_.SetFault(code)) return false;
  log_.Line("FAULT", code == 0 ? std::string("heater fault cleared") : "heater fault code " + std::to_string(code));
  NoteModeChange();
  return true;
}

void HeaterSimulator::FaultsChanged(const std::string& description) { log_.Line("FAULT", description); }

void HeaterSimulator::SetSilence(bool on, std::optional<Milliseconds> duration) {
  silent_ = on;
  silenceUntil_.reset();
  if (on) {
    // The frame on the line finishes; nothing after it goes out, delayed replies included.
    tx_.DropWaiting();
    if (duration) silenceUntil_ = Clock::now() + *duration;
  }
  log_.Line("FAULT", std::string("silence ") +
                         (on ? (duration ? "for " + std::to_string(duration->count()) + " ms" : std::string("on"))
                             : std::string("off")));
}

bool HeaterSimulator::HangUp(const std::string& reason) {
  if (!pty_.IsOpen()) return false;
  const std::string path = pty_.DevicePath();
  ReadDevice();
  tx_.Clear();
  HandleReceived(receiver_.Flush());
  pty_.RemoveLink();
  pty_.Close();
  busyUntil_.reset();
  peerPresent_ = false;
  log_.Line("FAULT", "hangup: " + path + " closed (" + reason + ")");
  if (options_.reconnectAfter) reconnectAt_ = Clock::now() + *options_.reconnectAfter;
  return true;
}

void HeaterSimulator::Reconnect() {
  if (pty_.IsOpen()) HangUp("reconnect");
  reconnectAt_.reset();
  busyUntil_.reset();
  OpenDevice(false);
  if (options_.reconnectBusy) {
    pty_.Hold();
    busyUntil_ = Clock::now() + *options_.reconnectBusy;
    log_.Line("FAULT", "busy: " + pty_.DevicePath() + " held for " +
                           std::to_string(options_.reconnectBusy->count()) + " ms");
  }
}

bool HeaterSimulator::SendBytes(const std::vector<std::uint8_t>& bytes, const std::string& tag) {
  if (!pty_.IsOpen() || !peerPresent_) return false;
  TxItem item;
  item.bytes = bytes;
  item.tag = tag;
  item.notBefore = Clock::now();
  tx_.Enqueue(std::move(item));
  return true;
}

void HeaterSimulator::SetBaud(long baud) {
  tx_.SetBaud(baud);
  options_.baud = baud;
}

std::string HeaterSimulator::Status() const {
  const HeaterState state = model_.State();
  std::string line = "STATUS port=" + (pty_.IsOpen() ? pty_.DevicePath() : std::string("-"));
  line += " line=" + std::string(!pty_.IsOpen() ? "hung-up" : peerPresent_ ? "open" : "closed");
  line += " link=" + (options_.linkPath.empty() ? std::string("-") : options_.linkPath);
  line += " mode=" + std::to_string(state.mode) + " run=" + std::to_string(state.runSeconds);
  line += " liquid=" + std::to_string(state.liquid) + " fault-code=" + std::to_string(state.errorCode);
  line += " telemetry=" + std::string(telemetry_ ? "on" : "off") + " silence=" + (silent_ ? "on" : "off");
  line += " baud=" + (options_.baud > 0 ? std::to_string(options_.baud) : std::string("off"));
  line += " cycle=" + std::to_string(options_.cycle.count());
  char speed[32];
  std::snprintf(speed, sizeof speed, "%g", speed_);
  line += " speed=" + std::string(speed) + " " + faults_.Describe();
  if (replay_) line += " replay=" + std::to_string(replay_->Sent()) + "/" + std::to_string(replay_->Records());
  return line;
}

}  // namespace o5::sim
