// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/JournalRuns.h"

#include <ctime>
#include <filesystem>

#include "archive/ArchiveNames.h"
#include "heater/SessionEvents.h"

namespace o5 {

WallSeconds WallOf(const LocalTime& t) { return WallSecondsOf(t.year, t.month, t.day, t.hour, t.minute, t.second); }

// Wall seconds count the local clock's fields as UTC counts its own.
LocalTime WallLocalTime(WallSeconds t) {
  const std::time_t time = static_cast<std::time_t>(t);
  std::tm fields{};
  gmtime_r(&time, &fields);
  return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec};
}

std::string JournalTimelinePath(const std::string& journalPath) {
  const std::filesystem::path journal(journalPath);
  const auto name = ParseJournalFileName(journal.filename().string());
  return name ? (journal.parent_path() / TimelineFileName(*name)).string() : std::string();
}

void GiveRunClocks(const std::string& journalPath, const std::vector<TimelineEvent>& events, RecordLog& log) {
  const auto name = ParseJournalFileName(std::filesystem::path(journalPath).filename().string());
  if (!name || log.RunCount() == 0) return;
  // The marks in whichever language the session wrote them.
  const WrittenText began = WrittenEvent(kEventRunBegan);
  const WrittenText found = WrittenEvent(kEventRunFound);
  std::vector<TimelineRunMark> marks;
  for (const TimelineEvent& event : events)
    if (const bool goingOn = found.Is(event.text); goingOn || began.Is(event.text))
      marks.push_back({WallOf(event.when), goingOn});
  log.SetRunClocks(WallOf(name->opened), marks);
}

void GiveRunClocks(const std::string& journalPath, RecordLog& log) {
  const std::string timeline = JournalTimelinePath(journalPath);
  if (timeline.empty() || log.RunCount() == 0) return;
  // No timeline, or none to read: the runs go without a clock.
  GiveRunClocks(journalPath, ReadTimeline(timeline).events, log);
}

}  // namespace o5
