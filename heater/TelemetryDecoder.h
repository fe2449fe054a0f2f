// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoding of the heater's telemetry frames. The heater sends one cycle of
// seven frames, kinds 'e' to 'k' in byte 5: 'e' starts a new text record, 'f'
// to 'j' extend it, 'k' logs it. Each frame also feeds chart points, and 'e'
// and 'g' set the run-time text and the mode caption.
//
// The decoding is a plain function of the frame and the telemetry state; its
// effects on the windows go through a TelemetrySink, so it runs (and is tested
// and measured) without any widget. It formats by hand and reuses the record's
// storage: a steady stream of frames allocates nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/Frame.h"

namespace o5 {

// Telemetry kinds, frame byte 5.
inline constexpr uint8_t kTelemetryRunTime = 'e';      // run timer, mode T, error
inline constexpr uint8_t kTelemetryFan = 'f';          // ТН, air set-point and measurement, pump
inline constexpr uint8_t kTelemetryOutputs = 'g';      // relay, glow plug, voltage, mode
inline constexpr uint8_t kTelemetryTemperatures = 'h'; // liquid in and out, flame
inline constexpr uint8_t kTelemetryBoard = 'i';        // board temperature, Cmd, ПП
inline constexpr uint8_t kTelemetryFaults = 'j';       // the four fault bytes
inline constexpr uint8_t kTelemetryEndOfCycle = 'k';   // logs the record

// The Kelvin offset of the flame temperature the heater reports.
inline constexpr int kKelvinOffset = 273;

// A record normally holds one cycle, about 130 bytes. When 'e' frames keep
// getting lost, every cycle appends to the same record and 'k' logs it again
// each time, so the log would grow quadratically; past this length the record
// takes no more fields until the next 'e' starts it afresh.
inline constexpr size_t kMaxRecordLength = 4096;

struct TelemetryState {
  std::string record;    // UTF-8; the record being built, kept after 'k' until the next 'e'
  int32_t runTimer = 0;  // seconds, from the latest 'e'; the X of every chart point
  uint8_t faultCode = 0;  // from the latest 'e'; 0 is no fault
};

class TelemetrySink {
 public:
  // A cycle begins with its 'e' frame, before that frame's point, and learns
  // its mode from the 'g' frame, before that frame's points: where the runs
  // begin and end is decided per cycle (RunFeed), not here.
  virtual void CycleBegins(int32_t /*runTimer*/) {}
  virtual void CycleMode(uint8_t /*mode*/) {}
  virtual void AddPoint(int series, double x, double y) = 0;
  virtual void SetTimeText(std::string_view text) = 0;
  virtual void SetModeCaption(std::string_view text) = 0;
  virtual void AppendRecord(std::string_view record) = 0;
  // The fault code of the telemetry has changed: to a non-zero one
  // ("Неисправность 13: Попытки запуска исчерпаны") or back to none
  // (kFaultGoneNotice). Only the main window tells the user; a record log
  // read back from a file is quiet.
  virtual void FaultNamed(std::string_view /*notice*/) {}
  // The four fault bytes of a 'j' frame, in frame order: the faults the
  // heater reports now (the modes window marks them in its legend).
  virtual void FaultBytes(const std::array<uint8_t, 4>& /*bytes*/) {}

 protected:
  ~TelemetrySink() = default;
};

// Decodes one telemetry frame (checksum already verified). Reply frames and
// kinds other than 'e'..'k' change nothing. Texts passed to the sink are UTF-8
// and valid only during the call.
void DecodeTelemetry(const Frame& frame, TelemetryState& state, TelemetrySink& sink);

}  // namespace o5
