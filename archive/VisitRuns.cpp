// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/VisitRuns.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "archive/ArchiveNames.h"
#include "archive/SessionJournal.h"
#include "heater/SessionEvents.h"
#include "heater/TelemetrySeries.h"
#include "settings/UserFile.h"

namespace o5 {

namespace {

// As the graph window reads them: a journal of a day's telemetry is some
// megabytes, its timeline far less.
constexpr std::size_t kMaxJournalBytes = 128u << 20;
constexpr std::size_t kMaxTimelineBytes = 16u << 20;
// The console's lines of a version read (the command's own event is
// kEventVersion, which is no version).
constexpr std::string_view kVersionLine = "Версия ";
constexpr std::string_view kDateLine = "Дата ";
constexpr std::string_view kFirmwareDate = ", дата ";

LocalTime After(const LocalTime& start, double seconds) {
  return LocalTimeOf(TimeOf(start) + static_cast<std::time_t>(std::llround(seconds)));
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

std::string LoadOrEmpty(const std::string& path, std::size_t limit) {
  if (path.empty()) return {};
  try {
    return LoadUserFile(path, limit);
  } catch (const std::exception&) {
    return {};  // gone, or unreadable: the visit goes without it
  }
}

bool SameDay(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

}  // namespace

VisitRun MakeVisitRun(std::span<const TelemetryPoint> points, std::optional<LocalTime> start) {
  VisitRun run;
  run.start = start;
  run.points.assign(points.begin(), points.end());
  if (points.empty()) return run;
  double first = points.front().x, last = first;
  for (const TelemetryPoint& p : points) {
    first = std::min(first, p.x);
    last = std::max(last, p.x);
  }
  run.length = last - first;
  VisitFault* open = nullptr;
  for (const TelemetryPoint& p : points) {
    if (p.series == series::kMode && !run.warmUp && static_cast<int>(p.y) == kWarmUpMode) run.warmUp = p.x - first;
    if (p.series != series::kError) continue;
    const int code = static_cast<int>(p.y);
    if (open && code == open->code) continue;
    if (open) open->seconds = p.x - first - open->offset;
    open = nullptr;
    if (code == 0) continue;
    VisitFault fault;
    fault.code = code;
    fault.offset = p.x - first;
    if (start) fault.at = After(*start, fault.offset);
    run.faults.push_back(fault);
    open = &run.faults.back();
  }
  if (open) open->seconds = run.length - open->offset;
  return run;
}

std::vector<std::optional<LocalTime>> RunStarts(const RecordLog& log, std::string_view timeline) {
  std::vector<std::optional<LocalTime>> starts(log.RunCount());
  if (log.RunCount() == 0) return starts;
  std::vector<LocalTime> began;
  for (const TimelineEvent& event : ParseTimeline(timeline))
    if (event.text == kEventRunBegan) began.push_back(event.when);
  // A run the session found going on at its first cycle began before the
  // timeline; the timeline notes the beginnings of the others in order.
  const bool foundGoingOn = log.Runs().front().firstTimer >= kFirstRunningSecond;
  for (std::size_t run = foundGoingOn ? 1 : 0; run < log.RunCount(); ++run) {
    const std::size_t at = run - (foundGoingOn ? 1 : 0);
    if (at < began.size()) starts[run] = began[at];
  }
  return starts;
}

std::vector<VisitRun> JournalVisitRuns(std::string_view journal, std::string_view timeline,
                                       const std::string& fileName) {
  const RecordLog log(journal);
  const std::vector<std::optional<LocalTime>> starts = RunStarts(log, timeline);
  std::vector<VisitRun> runs;
  for (std::size_t k = 0; k < log.RunCount(); ++k) {
    VisitRun run = MakeVisitRun(log.RunPoints(k), starts[k]);
    run.journal = fileName;
    run.number = k + 1;
    run.of = log.RunCount();
    runs.push_back(std::move(run));
  }
  return runs;
}

std::string FirmwareInTimeline(std::string_view timeline) {
  std::string version, date;
  for (const TimelineEvent& event : ParseTimeline(timeline)) {
    const std::string_view text = event.text;
    if (text.starts_with(kVersionLine) && text != kEventVersion) {
      version = Trimmed(text.substr(kVersionLine.size()));
      date.clear();
    } else if (text.starts_with(kDateLine) && !version.empty()) {
      date = Trimmed(text.substr(kDateLine.size()));
    }
  }
  if (version.empty() || date.empty()) return version;
  return version + std::string(kFirmwareDate) + date;
}

Visit GatherVisit(const std::string& sessionsFolder, uint32_t serial, const LocalTime& day,
                  const std::string& currentJournal) {
  std::vector<std::string> journals;
  for (const JournalFile& file : ListJournals(sessionsFolder))
    if (file.name.serial == serial && SameDay(file.name.opened, day)) journals.push_back(file.path);
  std::reverse(journals.begin(), journals.end());  // oldest first
  // The session going on belongs to the visit when it began that day and
  // names no other heater: a readout names its journal only once it is made.
  const auto current = ParseJournalFileName(std::filesystem::path(currentJournal).filename().string());
  if (current && SameDay(current->opened, day) && (!current->serial || current->serial == serial)) {
    const auto same = [&](const std::string& path) {
      std::error_code error;
      return std::filesystem::equivalent(path, currentJournal, error);
    };
    if (std::none_of(journals.begin(), journals.end(), same)) journals.push_back(currentJournal);
  }
  Visit visit;
  for (const std::string& path : journals) {
    const std::string timeline = LoadOrEmpty(TimelinePathFor(path), kMaxTimelineBytes);
    const std::string fileName = std::filesystem::path(path).filename().string();
    for (VisitRun& run : JournalVisitRuns(LoadOrEmpty(path, kMaxJournalBytes), timeline, fileName))
      visit.runs.push_back(std::move(run));
    if (std::string firmware = FirmwareInTimeline(timeline); !firmware.empty()) visit.firmware = std::move(firmware);
  }
  return visit;
}

}  // namespace o5
