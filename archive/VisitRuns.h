// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The runs of a visit: what a heater did at the workshop in one day, from the
// journals of its sessions of that day (the current one included), as the
// "Акт диагностики" lists them. Each journal is read back as the graph window
// reads it (JournalRuns): its runs are the model's, with the clock of its
// timeline, so a run's start, length, warm-up and faults on the act are those
// of "Итоги пуска".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LocalTime.h"
#include "archive/TimelineFile.h"
#include "heater/RecordLog.h"
#include "heater/SessionRuns.h"

namespace o5 {

struct VisitRun {
  std::string journal;             // the journal's file name, without its folder
  std::size_t number = 0;          // 1.. within its journal
  std::size_t of = 0;              // runs in that journal
  SessionRun model;                // the run as the model of runs has it
  std::vector<TelemetryPoint> points;  // the run's chart, as the graph window shows it
};

// The runs of the journal at `journalPath` (its content `journal`), with the
// clock of its timeline's events `timeline`.
std::vector<VisitRun> JournalVisitRuns(const std::string& journalPath, std::string_view journal,
                                       const std::vector<TimelineEvent>& timeline);

// The firmware version the session read ("Версия …" and "Дата …" lines of
// the console, kept in the timeline in any language the tool ships), the
// last one read, in the tool's language ("3.1, дата 12.05.2025"); empty when
// none.
std::string FirmwareInTimeline(const std::vector<TimelineEvent>& timeline);

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
