// SPDX-License-Identifier: GPL-3.0-or-later
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
// The runs of a log are split by the one model of runs (SessionRuns), fed
// through the live chart's feed from its complete records: every run of the
// log can be charted as the live chart showed it when the run had ended, with
// the same start and length. A log has no clock per record: the clock of a
// journal's runs comes from its timeline (SetRunClocks).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "heater/RunSplitter.h"
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

// One run of a log, and what the list of runs tells of it.
struct LogRun {
  std::size_t firstPoint = 0;  // its points are [firstPoint, endPoint) of the log's
  std::size_t endPoint = 0;
  std::size_t records = 0;
  int32_t firstTimer = 0;  // run timers of its first and last record
  int32_t lastTimer = 0;
  // The highest mode the run reached before its after-run (cooling, pre-purge
  // and purge, which follow every stop); one of those only when the run had
  // nothing else.
  int highestMode = 0;
  int highestRunning = 0;
  int highestAfterRun = 0;
  std::vector<int> faults;  // the non-zero fault codes, in the order they came
  int64_t length = 0;       // the run's length, seconds (the model's)
  bool foundGoingOn = false;  // the run began before its first record
  std::optional<WallSeconds> start;  // where the clock is known
  std::string reached;      // how far it got (RunReachedText)
};

// A run's beginning as a session's timeline tells it: the clock time of the
// run's first cycle, and whether the run was found going on there.
struct TimelineRunMark {
  WallSeconds clock = 0;
  bool foundGoingOn = false;
};

class RecordLog : private RunChart {
 public:
  // Reads every line of `text` (lines end in LF or CR LF; a UTF-8 byte-order
  // mark at the start is ignored).
  explicit RecordLog(std::string_view text);

  std::size_t RecordCount() const { return records_; }
  std::size_t SkippedLines() const { return skipped_; }
  std::size_t RunCount() const { return runs_.size(); }
  // Oldest first.
  const std::vector<LogRun>& Runs() const { return runs_; }

  // The chart points of run `run` (0 is the oldest), in the order the live
  // decoding added them: what the live chart showed when the run had ended.
  std::span<const TelemetryPoint> RunPoints(std::size_t run) const;
  // Those of the last run; empty when the log holds no run.
  std::span<const TelemetryPoint> ShownPoints() const;

  // The model the runs were split by: each run's start, length, modes,
  // faults and ranges.
  const SessionRuns& Model() const { return feed_.Runs(); }

  // Gives the runs their clock from the session's timeline: `opened` is when
  // the session's port was opened, `marks` its run beginnings in order. The
  // k-th mark belongs to the k-th run; a timeline that has no mark for a run
  // found going on at the log's first record (written before such runs were
  // marked) gives that run the opening time for its first record.
  void SetRunClocks(std::optional<WallSeconds> opened, const std::vector<TimelineRunMark>& marks);

  // The start of run `run` known from elsewhere (the live session's clock).
  void SetRunStart(std::size_t run, WallSeconds start);

  // The Russian message for the user, empty when there is nothing to say:
  // a log without a run; with `sayRuns`, how many runs there are and that the
  // last is shown; how many lines were skipped.
  std::string Message(bool sayRuns = true) const;

 private:
  void Take(int32_t runTimer, const RecordFrames& frames, const std::vector<TelemetryPoint>& points);
  void BeginRun() override;
  void DescribeRuns();
  void AddPoint(int series, double x, double y) override;

  std::size_t records_ = 0;
  std::size_t skipped_ = 0;
  RunFeed feed_{*this};
  std::vector<TelemetryPoint> points_;
  std::vector<LogRun> runs_;
};

}  // namespace o5
