// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The local date and time in the names of the files the tool keeps:
// "2026-12-07_15-20-03", zero-padded, so that names sort by time.

#include <compare>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace o5 {

struct LocalTime {
  int year = 1970;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  auto operator<=>(const LocalTime&) const = default;
};

// The local clock now, read after the system's time zone is looked up again,
// so that a change of the zone while the tool runs shows at once.
LocalTime LocalTimeNow();
LocalTime LocalTimeOf(std::time_t t);
// The local clock now with the zone's offset from UTC, in seconds east.
struct LocalClock {
  LocalTime time;
  long utcOffset = 0;
};
LocalClock LocalClockNow();
// "UTC+03:00", "UTC-09:30", "UTC+00:00".
std::string UtcOffsetText(long seconds);
// The moment a local time names (the system's time zone rules decide an
// hour that a clock change makes ambiguous).
std::time_t TimeOf(const LocalTime& t);

// "yyyy-MM-dd_HH-mm-ss".
std::string FileStamp(const LocalTime& t);
inline constexpr std::size_t kFileStampLength = 19;
// The time of a stamp written as FileStamp writes it, digits and separators
// exactly; anything else, or a date that does not exist, is no stamp.
std::optional<LocalTime> ParseFileStamp(std::string_view text);
// The same time with its numbers written with or without leading zeros
// ("2025-3-5_9-7-3" as well as "2025-03-05_09-07-03"), as names of files
// saved by earlier versions of the tool spell it.
std::optional<LocalTime> ParseUnpaddedFileStamp(std::string_view text);

// "07.12.2026 15:20:03", as the tool shows a time to the user.
std::string DisplayTime(const LocalTime& t);

}  // namespace o5
