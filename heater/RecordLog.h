#pragma once
// Reading a record log back: the text the main window's record log holds, or
// a file it saved, one telemetry record per line. Each complete record is
// turned back into the frames the heater sent and run through the telemetry
// decoding, so a record is charted exactly as the live telemetry charted it.
//
// A line is a complete record only when the decoding of the frames read from
// it gives back the line itself, character for character. A line of a cycle
// that lost frames (fields shifted or missing, or a lost 'e' that made the
// line carry two cycles), a hand-edited line and any other text fail that test
// and are skipped: they are counted, never charted.
//
// A run is a stretch of records whose run timer stays at kFirstRunningSecond
// or above. Live, a timer below that clears the charts, so a chart shows the
// record just before its run and the run itself; that is what is charted of
// the log's last run.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "heater/TelemetryDecoder.h"

namespace o5 {

// What ends each line of a record log written to a file: the saved log and
// the session journal alike.
inline constexpr std::string_view kRecordLogLineEnd = "\r\n";

// One point the telemetry decoding gave to the charts: series index 0..12.
struct TelemetryPoint {
  int series;
  double x;
  double y;
  bool operator==(const TelemetryPoint&) const = default;
};

// The frames of a complete record, kinds 'e' to 'j' (the data bytes 6..9).
using RecordFrames = std::array<std::array<uint8_t, 4>, 6>;

// The frames a complete record line was made of; false when the line is not
// a complete record. Trailing blanks and a carriage return are ignored.
bool ParseRecordLine(std::string_view line, RecordFrames& frames);

// The seven frames ('e' to 'k', checksums set) that make the decoding log the
// record: what the heater sent for it.
std::array<Frame, 7> RecordTelemetryFrames(const RecordFrames& frames, uint8_t control);

class RecordLog {
 public:
  // Reads every line of `text` (lines end in LF or CR LF; a UTF-8 byte-order
  // mark at the start is ignored).
  explicit RecordLog(std::string_view text);

  std::size_t RecordCount() const { return records_; }
  std::size_t SkippedLines() const { return skipped_; }
  // Runs in the log: stretches of complete records with a run timer at or
  // above kFirstRunningSecond.
  std::size_t RunCount() const { return runs_; }

  // The chart points of the records shown, in the order the live decoding
  // added them: the last run with the record just before it or, with no run in
  // the log, its last record, as the live chart showed them when that run
  // ended or the log did. Empty when the log holds no complete record.
  const std::vector<TelemetryPoint>& ShownPoints() const { return shown_; }
  std::size_t ShownRecords() const { return shownRecords_; }

  // The Russian message for the user: how many runs and which one is shown,
  // how many lines were skipped; empty when there is nothing to say (one run,
  // nothing skipped).
  std::string Message() const;

 private:
  void Take(int32_t runTimer, const std::vector<TelemetryPoint>& points);

  std::size_t records_ = 0;
  std::size_t skipped_ = 0;
  std::size_t runs_ = 0;
  // The records since the latest one below kFirstRunningSecond, that one
  // included: what the live chart shows at this point of the log.
  std::vector<TelemetryPoint> current_;
  std::size_t currentRecords_ = 0;
  bool currentIsRun_ = false;
  std::vector<TelemetryPoint> shown_;
  std::size_t shownRecords_ = 0;
};

}  // namespace o5
