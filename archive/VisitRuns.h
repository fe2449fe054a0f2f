// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runs of a visit: what a heater did at the workshop in one day, from the
// journals of its sessions of that day (the current one included), as the
// "Акт диагностики" lists them: each run's start by the clock, its length,
// the time to warm-up and its faults with the clock time they came and how
// long they lasted.
//
// A run is made from its chart points and, where the session's timeline
// knows it, the clock time it began (MakeVisitRun). Whatever keeps a
// session's runs hands them over in that form, so the act does not care
// whether a run was read back from a journal or is the live one.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LocalTime.h"
#include "heater/RecordLog.h"

namespace o5 {

struct VisitFault {
  int code = 0;
  double offset = 0;               // seconds from the run's first point
  std::optional<LocalTime> at;     // by the clock, where the run's start is known
  double seconds = 0;              // how long the heater reported it
};

struct VisitRun {
  std::string journal;             // the journal's file name, without its folder
  std::size_t number = 0;          // 1.. within its journal
  std::size_t of = 0;              // runs in that journal
  std::optional<LocalTime> start;  // by the clock
  double length = 0;               // seconds, the last run timer minus the first
  std::optional<double> warmUp;    // seconds from the first point to the warm-up mode
  std::vector<VisitFault> faults;  // in the order they came
  std::vector<TelemetryPoint> points;  // the run's chart, as the graph window shows it
};

// The run of `points` (in the order the telemetry gave them), begun at
// `start` by the clock when known. A fault is a stretch of points with one
// non-zero code; it lasts until the code changes or the run ends.
VisitRun MakeVisitRun(std::span<const TelemetryPoint> points, std::optional<LocalTime> start);

// The clock time each run of `log` began, from the session's timeline
// `timeline` ("Работа началась" events); nothing for a run the session found
// going on, or when the timeline has fewer starts than the log has runs.
std::vector<std::optional<LocalTime>> RunStarts(const RecordLog& log, std::string_view timeline);

// The runs of one journal, with their starts from its timeline (may be empty).
std::vector<VisitRun> JournalVisitRuns(std::string_view journal, std::string_view timeline,
                                       const std::string& fileName);

// The firmware version the session read ("Версия …" and "Дата …" lines of
// the console, kept in the timeline), the last one read; empty when none.
std::string FirmwareInTimeline(std::string_view timeline);

struct Visit {
  std::vector<VisitRun> runs;  // oldest first
  std::string firmware;        // as FirmwareInTimeline, the latest of the day
};

// The visit of heater `serial` on `day` (its date only): the runs of the
// journals in `sessionsFolder` named with that serial and opened that day,
// and of `currentJournal` (the session going on, which may not carry the
// serial yet; empty when there is none) when it began that day and names no
// other heater. Journals that cannot be read are passed over.
Visit GatherVisit(const std::string& sessionsFolder, uint32_t serial, const LocalTime& day,
                  const std::string& currentJournal = {});

}  // namespace o5
