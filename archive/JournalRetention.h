// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long session journals are kept: at start, sessions opened more than
// JournalDays ago are deleted, then the oldest until all of them together take
// at most JournalMaxMB. A session is its journal and its timeline, counted and
// deleted together. Only files named as journals and timelines are counted or
// deleted, and never a session that a copy of the tool still writes (marked in
// use, see FileInUse): it counts towards JournalMaxMB but stays, and the other
// sessions go in its place, oldest first.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace o5 {

class SettingsFile;

inline constexpr const char* kJournalDaysKey = "JournalDays";
inline constexpr const char* kJournalMaxMBKey = "JournalMaxMB";

struct JournalLimits {
  static constexpr int kDefaultDays = 365;
  static constexpr int kDefaultMaxMB = 1024;
  // A value below 1 sets no limit.
  int days = kDefaultDays;
  int maxMB = kDefaultMaxMB;  // mebibytes
};

JournalLimits ReadJournalLimits(const SettingsFile& settings);

// Deletes from `sessionsFolder` what `limits` do not keep, as of `now`; the
// age of a session is that of its name's time. Returns how many sessions were
// deleted.
std::size_t KeepJournalsWithin(const std::string& sessionsFolder, const JournalLimits& limits,
                               std::time_t now);

// The start-up's pass: the data folder and the limits as config.ini gives
// them, now. Any failure leaves the journals as they are.
void KeepJournals();

}  // namespace o5
