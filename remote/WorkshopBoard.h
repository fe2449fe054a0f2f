// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The benches of one workshop as a viewer sees them: a row per bench that has
// published, from its retained status (online, or offline by its will) and
// its live records, each decoded as the record log decodes it for the mode
// and the fault.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "heater/TelemetryDecoder.h"
#include "remote/RemoteFormat.h"

namespace o5 {

struct BenchRow {
  std::string bench;
  bool online = false;
  std::optional<uint32_t> serial;
  std::string mode;   // by name; empty before a record
  std::string fault;  // named; empty before a record
  std::string lastRecord;  // the clock time it came, "HH:MM:SS"
};

class WorkshopBoard {
 public:
  // `now` is the clock time the message came. True when a row changed.
  bool Take(const BenchMessage& message, const std::string& now);
  const std::map<std::string, BenchRow>& Rows() const { return rows_; }

 private:
  std::map<std::string, BenchRow> rows_;
  std::map<std::string, TelemetryState> telemetry_;
};

}  // namespace o5
