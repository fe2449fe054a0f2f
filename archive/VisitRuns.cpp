// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/VisitRuns.h"

#include <algorithm>
#include <filesystem>

#include "archive/ArchiveNames.h"
#include "archive/JournalRuns.h"
#include "archive/SessionJournal.h"
#include "heater/HeaterCommands.h"
#include "heater/SessionEvents.h"
#include "heater/TextTranslation.h"
#include "settings/UserFile.h"

namespace o5 {

namespace {

// As the graph window reads it: a journal of a day's telemetry is some
// megabytes.
constexpr std::size_t kMaxJournalBytes = 128u << 20;
// Between the version and its date on the act.
//: The heater's firmware version %1 and its date %2.
constexpr const char* kFirmwareWithDate = O5_TEXT("VisitRuns", "%1, дата %2");

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

std::vector<VisitRun> JournalVisitRuns(const std::string& journalPath, std::string_view journal,
                                       const std::vector<TimelineEvent>& timeline) {
  RecordLog log(journal);
  GiveRunClocks(journalPath, timeline, log);
  const std::string fileName = std::filesystem::path(journalPath).filename().string();
  const std::vector<SessionRun>& model = log.Model().Runs();
  std::vector<VisitRun> runs;
  for (std::size_t k = 0; k < log.RunCount() && k < model.size(); ++k) {
    const std::span<const TelemetryPoint> points = log.RunPoints(k);
    runs.push_back({fileName, k + 1, log.RunCount(), model[k], {points.begin(), points.end()}});
  }
  return runs;
}

std::string FirmwareInTimeline(const std::vector<TimelineEvent>& timeline) {
  // The console's lines of a version read, in whichever language the session
  // wrote them (the command's own event, kEventVersion, is no version).
  const WrittenText versionLine("HeaterCommands", kVersionLine.data());
  const WrittenText dateLine("HeaterCommands", kVersionDateLine.data());
  const WrittenText versionAsked = WrittenEvent(kEventVersion);
  std::string version, date;
  for (const TimelineEvent& event : timeline) {
    const std::string_view text = event.text;
    if (const std::size_t start = versionLine.StartOf(text); start > 0 && !versionAsked.Is(text)) {
      version = Trimmed(text.substr(start));
      date.clear();
    } else if (const std::size_t start = dateLine.StartOf(text); start > 0 && !version.empty()) {
      date = Trimmed(text.substr(start));
    }
  }
  if (version.empty() || date.empty()) return version;
  return WithArgument(Translate("VisitRuns", kFirmwareWithDate), {version, date});
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
    const std::string timelinePath = JournalTimelinePath(path);
    const std::vector<TimelineEvent> timeline =
        timelinePath.empty() ? std::vector<TimelineEvent>() : ReadTimeline(timelinePath).events;
    for (VisitRun& run : JournalVisitRuns(path, LoadOrEmpty(path, kMaxJournalBytes), timeline))
      visit.runs.push_back(std::move(run));
    if (std::string firmware = FirmwareInTimeline(timeline); !firmware.empty()) visit.firmware = std::move(firmware);
  }
  return visit;
}

}  // namespace o5
