// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A session journal's runs read back with their clock: the journal's record
// log is split by the one model of runs (RecordLog), and the session's
// timeline beside it tells when each run began. The graph window, the list of
// a journal's runs and the act of a visit all read a journal's runs this way,
// so a run has the same start, length, warm-up and faults in each of them.

#include <string>
#include <vector>

#include "archive/LocalTime.h"
#include "archive/TimelineFile.h"
#include "heater/RecordLog.h"

namespace o5 {

// The model's clock (wall seconds) and the local time of the names of files.
WallSeconds WallOf(const LocalTime& t);
LocalTime WallLocalTime(WallSeconds t);

// The path of the timeline beside the journal at `journalPath`; empty when
// the name is no journal's.
std::string JournalTimelinePath(const std::string& journalPath);

// Gives the runs of the journal at `journalPath` the clock of the session's
// timeline `events`. The timeline notes where each run began ("Работа
// началась") or was found going on ("Отопитель уже работает"), at the clock
// time of the run's first cycle; a timeline written before runs found going
// on were noted leaves the first run, when it was found going on, to the
// opening time the journal's name carries.
void GiveRunClocks(const std::string& journalPath, const std::vector<TimelineEvent>& events, RecordLog& log);

// The same with the timeline beside the journal, read once; the runs stay
// without a clock where the journal has no timeline or it does not tell.
void GiveRunClocks(const std::string& journalPath, RecordLog& log);

}  // namespace o5
