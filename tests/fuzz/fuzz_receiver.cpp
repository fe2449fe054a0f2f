// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz entry for the receive path: line bytes in any split across receive
// events, watchdog ticks between the events, reply waits polled as the wait
// does, and every telemetry frame the receiver accepts decoded into a sink that
// checks each effect.
//
// Input: byte 0 is the number n of schedule bytes that follow it; the rest are
// the line bytes. Each schedule byte hands the next 1..32 line bytes over as
// one receive event (low five bits + 1), then runs 0..6 watchdog ticks (high
// three bits); the high bits 7 run no tick but start a new reply wait. The
// schedule repeats until the line bytes are used up; without one, all of them
// come in a single event.
//
// Holds, for every input:
//  - the receiver agrees, byte for byte and tick for tick, with a plain
//    rendering of the receive rules (frame buffer, byte count, hunting, the
//    watchdog, the reply ticks, the counters, the telemetry frames handed on,
//    the answer of every reply poll);
//  - the decoding of every telemetry frame makes exactly the chart points,
//    run-time text, mode caption, record text and logged record that the
//    frame's bytes call for, formatted by printf, and every text is UTF-8.

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "heater/TelemetryDecoder.h"
#include "link/FrameReceiver.h"
#include "tests/fuzz/FuzzCheck.h"
#include "heater/ModeNames.h"

namespace o5::fuzz {
namespace {

constexpr unsigned kEventLengthMask = 0x1F;
constexpr unsigned kTickShift = 5;
constexpr unsigned kStartWait = 7;
// The command codes the tool waits for.
constexpr uint8_t kAwaitedCodes[] = {1, 3, 19, 20, 104, 105, 119};

// The receive rules written down as plainly as possible.
class ReferenceReceiver {
 public:
  // True when the byte completes a valid frame without the reply flag.
  bool Take(uint8_t b) {
    if (hunting) {
      if (b == kStartByte) {
        buffer[0] = b;
        count = 1;
        hunting = false;
      }
      return false;
    }
    buffer[static_cast<size_t>(count++)] = b;
    if (count < kFrameSize) return false;
    count = 0;
    partialTicks = 0;
    hunting = true;
    unsigned sum = 0;
    for (int i = 0; i < kFrameSize - 1; ++i) sum += buffer[static_cast<size_t>(i)];
    if ((sum & 0xFFu) != buffer[9]) {
      ++badChecksum;
      return false;
    }
    ++frames;
    if (buffer[1] & kReplyFlag) {
      ++replies;
      lastReply = buffer;
      if (waiting && !waitArrived && replyTicks < 10 && buffer[3] == 0 && buffer[4] == awaited) {
        waitArrived = true;
        waitReply = buffer;
      }
      return false;
    }
    return true;
  }

  void Tick() {
    if (count > 0 && ++partialTicks > 3) {
      count = 0;
      partialTicks = 0;
      hunting = true;
      ++partialDropped;
    }
    if (waiting && replyTicks < 10) ++replyTicks;
  }

  void BeginWait(uint8_t code) {
    waiting = true;
    awaited = code;
    replyTicks = 0;
    waitArrived = false;
  }

  Frame buffer{};
  Frame lastReply{};
  int count = 0;
  bool hunting = true;
  int partialTicks = 0;
  bool waiting = false;
  uint8_t awaited = 0;
  bool waitArrived = false;
  Frame waitReply{};
  int replyTicks = 0;
  uint64_t frames = 0, badChecksum = 0, replies = 0, partialDropped = 0;
};

void SameState(const FrameReceiver& r, const FrameReceiver::PendingReply& w,
               const ReferenceReceiver& m) {
  Require(r.buffer() == m.buffer, "frame buffer");
  Require(r.byteCount() == m.count, "byte count");
  Require(r.byteCount() >= 0 && r.byteCount() < kFrameSize, "byte count range");
  Require(r.hunting() == m.hunting, "hunting flag");
  Require(r.hunting() == (r.byteCount() == 0), "hunting exactly when nothing is stored");
  if (m.waiting) {
    Require(w.arrived == m.waitArrived, "the wait's reply arrived");
    if (w.arrived) Require(w.reply == m.waitReply, "the wait's reply");
    Require(w.ticks == m.replyTicks, "reply ticks");
    Require(w.ticks >= 0 && w.ticks <= FrameReceiver::kReplyTicks, "reply ticks range");
  }
  Require(r.counters().frames == m.frames, "frame counter");
  Require(r.counters().badChecksum == m.badChecksum, "checksum counter");
  Require(r.counters().replies == m.replies, "reply counter");
  Require(r.counters().partialDropped == m.partialDropped, "partial-frame counter");
  if (m.replies > 0) Require(r.lastReply() == m.lastReply, "latest reply");
}

std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Require(n >= 0 && static_cast<size_t>(n) < sizeof text, "format length");
  return std::string(text, static_cast<size_t>(n));
}

std::string Bits(uint8_t v) {
  std::string s;
  for (int bit = 7; bit >= 0; --bit) s += (v >> bit) & 1 ? '1' : '0';
  return s;
}

struct Effect {
  enum Kind { kCycle, kModeNumber, kPoint, kTime, kMode, kRecord } kind;
  int series = 0;
  double x = 0;
  double y = 0;
  std::string text;
  bool operator==(const Effect&) const = default;

  static Effect Cycle(int32_t runTimer) { return {kCycle, 0, double(runTimer), 0, {}}; }
  static Effect Mode(int mode) { return {kModeNumber, 0, 0, double(mode), {}}; }
  static Effect Point(int series, double x, double y) { return {kPoint, series, x, y, {}}; }
  static Effect Text(Kind kind, std::string_view text) { return {kind, 0, 0, 0, std::string(text)}; }
};

class RecordingSink : public TelemetrySink {
 public:
  void CycleBegins(int32_t runTimer) override { effects.push_back(Effect::Cycle(runTimer)); }
  void CycleMode(uint8_t mode) override { effects.push_back(Effect::Mode(mode)); }
  void AddPoint(int series, double x, double y) override {
    Require(series >= 0 && series < 13, "series index");
    effects.push_back(Effect::Point(series, x, y));
  }
  void SetTimeText(std::string_view text) override {
    Require(ValidUtf8(text), "run-time text is UTF-8");
    effects.push_back(Effect::Text(Effect::kTime, text));
  }
  void SetModeCaption(std::string_view text) override {
    Require(ValidUtf8(text), "mode caption is UTF-8");
    effects.push_back(Effect::Text(Effect::kMode, text));
  }
  void AppendRecord(std::string_view record) override {
    Require(ValidUtf8(record), "logged record is UTF-8");
    effects.push_back(Effect::Text(Effect::kRecord, record));
  }
  std::vector<Effect> effects;
};

// Decodes one accepted frame and holds the decoding to the frame's bytes.
void DecodeAndCheck(const Frame& frame, TelemetryState& state) {
  Require(FrameChecksumValid(frame), "only frames with a valid checksum are decoded");
  Require(!(frame[1] & kReplyFlag), "replies are not decoded");
  const int b6 = frame[5], b7 = frame[6], b8 = frame[7], b9 = frame[8];
  const int s6 = b6 > 127 ? b6 - 256 : b6;
  const int s7 = b7 > 127 ? b7 - 256 : b7;
  const int s8 = b8 > 127 ? b8 - 256 : b8;

  std::vector<Effect> expected;
  std::string record = state.record;
  int32_t runTimer = state.runTimer;
  const auto append = [&](const std::string& piece) {
    if (record.size() < kMaxRecordLength) record += piece;
  };
  const auto point = [&](int series, int y) {
    expected.push_back(Effect::Point(series, runTimer, y));
  };
  switch (frame[4]) {
    case 'e':
      runTimer = b6 * 256 + b7;
      expected.push_back(Effect::Cycle(runTimer));
      record = Format("%5d; %5d; %5d; ", runTimer, b8, b9);
      point(11, b9);
      expected.push_back(Effect::Text(Effect::kTime, Format("%d:%d", runTimer / 60, runTimer % 60)));
      break;
    case 'f':
      append(Format("%5d; %5d; %5d; %5d; ", b6, b7, b8, b9));
      point(6, b6);
      point(4, b7);
      point(5, b8);
      point(9, b9);
      break;
    case 'g':
      append(Format("%5d; %5d; %5d; %5d;", b6, b7, b8, b9));
      expected.push_back(Effect::Text(Effect::kMode, Format("%d - ", b9) + std::string(ModeName(b9))));
      expected.push_back(Effect::Mode(b9));
      point(8, b6);
      point(7, b7);
      point(12, b8);
      point(10, b9);
      break;
    case 'h': {
      const int flame = b8 * 256 + b9 - 273;
      append(Format("%5d; %5d; %5d;", s6, s7, flame));
      point(0, s6);
      point(1, s7);
      point(2, flame);
      break;
    }
    case 'i':
      append(Format("%5d; %5d; %3d;", s8, b7, b6));
      point(3, s8);
      break;
    case 'j':
      append(Bits(frame[5]) + " " + Bits(frame[6]) + " " + Bits(frame[7]) + " " + Bits(frame[8]) + ";");
      break;
    case 'k':
      expected.push_back(Effect::Text(Effect::kRecord, record));
      break;
    default:
      break;
  }

  RecordingSink sink;
  DecodeTelemetry(frame, state, sink);
  Require(sink.effects == expected, "decoding effects");
  Require(state.record == record, "record text");
  Require(state.runTimer == runTimer, "run timer");
  Require(state.runTimer >= 0 && state.runTimer <= 65535, "run timer range");
  Require(state.record.size() < kMaxRecordLength + 64, "record length is bounded");
  Require(ValidUtf8(state.record), "record is UTF-8");
}

struct Session {
  FrameReceiver receiver;
  ReferenceReceiver reference;
  TelemetryState telemetry;
  FrameReceiver::PendingReply wait{0, 0};
  bool waiting = false;

  ~Session() {
    if (waiting) receiver.Detach(wait);
  }

  // The wait ends as the reply wait ends it: at its reply or its tenth tick.
  void Poll() {
    if (!waiting) return;
    SameState(receiver, wait, reference);
    if (wait.arrived) {
      Require(wait.reply[4] == wait.byte5 && wait.reply[3] == 0, "the awaited reply");
      Require(FrameChecksumValid(wait.reply), "a reply has a valid checksum");
    } else if (!wait.Expired()) {
      return;
    } else {
      Require(reference.replyTicks >= 10, "the wait expires after ten ticks");
    }
    receiver.Detach(wait);
    waiting = false;
    reference.waiting = false;
  }

  void Event(const uint8_t* bytes, size_t size) {
    std::vector<Frame> expected;
    for (size_t i = 0; i < size; ++i)
      if (reference.Take(bytes[i])) expected.push_back(reference.buffer);
    size_t handed = 0;
    receiver.Feed(bytes, size, [&](const Frame& frame) {
      Require(handed < expected.size(), "no more telemetry frames than the rules give");
      Require(frame == expected[handed], "telemetry frame handed on");
      Require(&frame == &receiver.buffer(), "the frame is read from the frame buffer");
      ++handed;
      DecodeAndCheck(frame, telemetry);
    });
    Require(handed == expected.size(), "every telemetry frame is handed on");
    SameState(receiver, wait, reference);
    Poll();
  }

  void Tick() {
    receiver.Tick();
    reference.Tick();
    SameState(receiver, wait, reference);
    Poll();
  }

  void BeginWait(uint8_t code) {
    if (waiting) receiver.Detach(wait);
    wait = FrameReceiver::PendingReply(0, code);
    receiver.Attach(wait);
    reference.BeginWait(code);
    waiting = true;
    SameState(receiver, wait, reference);
    Poll();
  }
};

}  // namespace
}  // namespace o5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace o5::fuzz;
  if (size == 0) return 0;
  const size_t steps = std::min<size_t>(data[0], size - 1);
  const uint8_t* schedule = data + 1;
  const uint8_t* line = data + 1 + steps;
  const size_t lineSize = size - 1 - steps;

  Session session;
  if (steps == 0) {
    session.Event(line, lineSize);
    return 0;
  }
  size_t at = 0;
  for (size_t s = 0; at < lineSize; ++s) {
    const uint8_t step = schedule[s % steps];
    const size_t length = std::min<size_t>((step & kEventLengthMask) + 1, lineSize - at);
    session.Event(line + at, length);
    at += length;
    const unsigned high = step >> kTickShift;
    if (high == kStartWait)
      session.BeginWait(kAwaitedCodes[(step & kEventLengthMask) % std::size(kAwaitedCodes)]);
    else
      for (unsigned t = 0; t < high; ++t) session.Tick();
  }
  return 0;
}
