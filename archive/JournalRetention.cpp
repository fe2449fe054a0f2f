// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/JournalRetention.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "archive/DataFolder.h"
#include "archive/FileInUse.h"
#include "archive/SessionJournal.h"
#include "settings/SettingsFile.h"

namespace o5 {

namespace {

constexpr std::time_t kSecondsPerDay = 24 * 60 * 60;
constexpr uint64_t kBytesPerMB = 1024 * 1024;

}  // namespace

JournalLimits ReadJournalLimits(const SettingsFile& settings) {
  JournalLimits limits;
  limits.days = settings.ReadInteger(kSettingsSection, kJournalDaysKey, JournalLimits::kDefaultDays);
  limits.maxMB = settings.ReadInteger(kSettingsSection, kJournalMaxMBKey, JournalLimits::kDefaultMaxMB);
  return limits;
}

std::size_t KeepJournalsWithin(const std::string& sessionsFolder, const JournalLimits& limits,
                               std::time_t now) {
  // A journal and its timeline are kept or deleted together.
  std::vector<SessionFiles> sessions = ListSessions(sessionsFolder);
  std::reverse(sessions.begin(), sessions.end());  // oldest first
  std::vector<uint64_t> sizes;
  uint64_t total = 0;
  for (const SessionFiles& session : sessions) {
    uint64_t size = 0;
    for (const std::string* path : {&session.journal, &session.timeline}) {
      struct stat st;
      if (!path->empty() && ::lstat(path->c_str(), &st) == 0) size += static_cast<uint64_t>(st.st_size);
    }
    sizes.push_back(size);
    total += size;
  }
  const std::time_t oldestKept = now - static_cast<std::time_t>(limits.days) * kSecondsPerDay;
  const uint64_t maxBytes = static_cast<uint64_t>(limits.maxMB) * kBytesPerMB;
  std::size_t deleted = 0;
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    const bool tooOld = limits.days > 0 && TimeOf(sessions[i].name.opened) < oldestKept;
    const bool tooMuch = limits.maxMB > 0 && total > maxBytes;
    if (!tooOld && !tooMuch) break;
    // A session that a copy of the tool still writes, here or on another
    // bench, is kept whatever its age and size.
    std::vector<std::string> files;
    for (const std::string* path : {&sessions[i].journal, &sessions[i].timeline})
      if (!path->empty()) files.push_back(*path);
    if (!DeleteUnlessInUse(files)) continue;
    total -= sizes[i];
    ++deleted;
  }
  return deleted;
}

void KeepJournals() {
  const JournalLimits limits = ReadJournalLimits(SettingsFile());
  KeepJournalsWithin(ChooseDataFolder().Sessions(), limits, std::time(nullptr));
}

}  // namespace o5
