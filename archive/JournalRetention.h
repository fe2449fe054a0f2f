#pragma once
// How long session journals are kept: at start, journals opened more than
// JournalDays ago are deleted, then the oldest until all of them together take
// at most JournalMaxMB. Only files named as journals are counted or deleted,
// and never one that a copy of the tool still writes (marked in use, see
// FileInUse): it counts towards JournalMaxMB but stays, and the other
// journals go in its place, oldest first.

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
// age of a journal is that of its name's time. Returns how many were deleted.
std::size_t KeepJournalsWithin(const std::string& sessionsFolder, const JournalLimits& limits,
                               std::time_t now);

// The start-up's pass: the data folder and the limits as config.ini gives
// them, now. Any failure leaves the journals as they are.
void KeepJournals();

}  // namespace o5
