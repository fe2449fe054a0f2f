// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/TelemetryDecoder.h"

#include <algorithm>

#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"
#include "heater/TelemetrySeries.h"

namespace o5 {

namespace {

// A short text built on the stack. The formats of the record are fixed "%5d"
// style fields; printf would cost more than the rest of the pipeline together.
class TextBuffer {
 public:
  // Like "%*d": the decimal value, minus sign included, right-aligned in at
  // least `width` characters.
  void Int(int32_t value, int width = 0) {
    char digits[12];
    int n = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[n++] = '-';
    for (int pad = width - n; pad > 0; --pad) Put(' ');
    while (n > 0) Put(digits[--n]);
  }

  void Text(std::string_view text) {
    const size_t n = std::min(text.size(), sizeof data_ - size_);
    text.copy(data_ + size_, n);
    size_ += n;
  }

  void Bits(uint8_t value) {
    for (int bit = 7; bit >= 0; --bit) Put((value >> bit) & 1u ? '1' : '0');
  }

  void Put(char c) {
    if (size_ < sizeof data_) data_[size_++] = c;
  }

  std::string_view View() const { return {data_, size_}; }

 private:
  char data_[128];
  size_t size_ = 0;
};

void AppendField(TelemetryState& state, const TextBuffer& text) {
  if (state.record.size() >= kMaxRecordLength) return;
  state.record.append(text.View());
}

// "%5d; " and "%5d;" of the record formats.
void Field5(TextBuffer& text, int32_t value, bool trailingBlank = true) {
  text.Int(value, 5);
  text.Put(';');
  if (trailingBlank) text.Put(' ');
}

}  // namespace

void DecodeTelemetry(const Frame& frame, TelemetryState& state, TelemetrySink& sink) {
  if (frame[1] & kReplyFlag) return;

  const uint8_t b6 = frame[5];
  const uint8_t b7 = frame[6];
  const uint8_t b8 = frame[7];
  const uint8_t b9 = frame[8];
  const double x = state.runTimer;

  switch (frame[4]) {
    case kTelemetryRunTime: {
      state.runTimer = b6 * 256 + b7;
      sink.CycleBegins(state.runTimer);
      TextBuffer text;
      Field5(text, state.runTimer);
      Field5(text, b8);
      Field5(text, b9);
      state.record.assign(text.View());
      sink.AddPoint(series::kError, state.runTimer, b9);
      // The legend stays static; the code is named once, when it appears,
      // and its end is said as well: otherwise the console's last line would
      // still name a fault while the heater runs clean.
      if (b9 != state.faultCode) {
        state.faultCode = b9;
        sink.FaultNamed(b9 != 0 ? FaultNotice(b9) : FaultGoneNotice());
      }
      TextBuffer time;
      time.Int(state.runTimer / 60);
      time.Put(':');
      time.Int(state.runTimer % 60);
      sink.SetTimeText(time.View());
      break;
    }
    case kTelemetryFan: {
      TextBuffer text;
      Field5(text, b6);
      Field5(text, b7);
      Field5(text, b8);
      Field5(text, b9);
      AppendField(state, text);
      sink.AddPoint(series::kTN, x, b6);
      sink.AddPoint(series::kAirSet, x, b7);
      sink.AddPoint(series::kAirMeasured, x, b8);
      sink.AddPoint(series::kPump, x, b9);
      break;
    }
    case kTelemetryOutputs: {
      TextBuffer text;
      Field5(text, b6);
      Field5(text, b7);
      Field5(text, b8);
      Field5(text, b9, false);
      AppendField(state, text);
      TextBuffer caption;
      caption.Int(b9);
      caption.Text(kModeCaptionSeparator);
      caption.Text(ModeName(b9));
      sink.SetModeCaption(caption.View());
      sink.CycleMode(b9);
      sink.AddPoint(series::kRelay, x, b6);
      sink.AddPoint(series::kGlowPlug, x, b7);
      sink.AddPoint(series::kVoltage, x, b8);
      sink.AddPoint(series::kMode, x, b9);
      break;
    }
    case kTelemetryTemperatures: {
      const int liquidIn = static_cast<int8_t>(b6);
      const int liquidOut = static_cast<int8_t>(b7);
      const int flame = b8 * 256 + b9 - kKelvinOffset;
      TextBuffer text;
      Field5(text, liquidIn);
      Field5(text, liquidOut);
      Field5(text, flame, false);
      AppendField(state, text);
      sink.AddPoint(series::kLiquidIn, x, liquidIn);
      sink.AddPoint(series::kLiquidOut, x, liquidOut);
      sink.AddPoint(series::kFlame, x, flame);
      break;
    }
    case kTelemetryBoard: {
      const int board = static_cast<int8_t>(b8);
      TextBuffer text;
      Field5(text, board);
      Field5(text, b7);
      text.Int(b6, 3);
      text.Put(';');
      AppendField(state, text);
      sink.AddPoint(series::kBoard, x, board);
      break;
    }
    case kTelemetryFaults: {
      TextBuffer text;
      text.Bits(b6);
      text.Put(' ');
      text.Bits(b7);
      text.Put(' ');
      text.Bits(b8);
      text.Put(' ');
      text.Bits(b9);
      text.Put(';');
      AppendField(state, text);
      sink.FaultBytes({b6, b7, b8, b9});
      break;
    }
    case kTelemetryEndOfCycle:
      sink.AppendRecord(state.record);
      break;
    default:
      break;
  }
}

}  // namespace o5
