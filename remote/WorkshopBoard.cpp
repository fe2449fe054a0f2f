// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/WorkshopBoard.h"

#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"
#include "heater/RecordLog.h"

namespace o5 {

namespace {

// Takes only the mode of a decoded record.
class ModeSink : public TelemetrySink {
 public:
  void CycleMode(uint8_t mode) override { this->mode = mode; }
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view) override {}
  std::optional<int> mode;
};

}  // namespace

bool WorkshopBoard::Take(const BenchMessage& message, const std::string& now) {
  BenchRow& row = rows_[message.bench];
  row.bench = message.bench;
  switch (message.kind) {
    case BenchMessage::Kind::Status:
      row.online = message.online;
      if (message.online) row.serial = message.serial;
      return true;
    case BenchMessage::Kind::Records: {
      // Only the live topic's single records; history chunks are the past.
      if (message.lines.size() != 1) return false;
      RecordFrames frames;
      if (!ParseRecordLine(message.lines.front(), frames)) return false;
      TelemetryState& telemetry = telemetry_[message.bench];
      ModeSink sink;
      for (const Frame& frame : RecordTelemetryFrames(frames, 0)) DecodeTelemetry(frame, telemetry, sink);
      if (sink.mode) row.mode = ModeNameText(*sink.mode);
      row.fault = FaultCodeText(telemetry.faultCode);
      row.lastRecord = now;
      return true;
    }
    case BenchMessage::Kind::BlackBox:
      if (message.serial) row.serial = message.serial;
      return true;
    default:
      return false;
  }
}

}  // namespace o5
