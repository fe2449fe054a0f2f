// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/LocalTime.h"

#include <cstdio>
#include <ctime>

namespace o5 {

namespace {

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : kDays[month - 1];
}

// `count` decimal digits at `at`; -1 when one of them is no digit.
int Digits(std::string_view text, std::size_t at, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) {
    const char c = text[at + static_cast<std::size_t>(i)];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

LocalTime LocalTimeOf(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalClock LocalClockNow() {
  // The reentrant conversion alone keeps the zone it found first.
  tzset();
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec}, tm.tm_gmtoff};
}

LocalTime LocalTimeNow() { return LocalClockNow().time; }

std::string UtcOffsetText(long seconds) {
  const long minutes = (seconds < 0 ? -seconds : seconds) / 60;
  char text[32];
  std::snprintf(text, sizeof text, "UTC%c%02ld:%02ld", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

std::time_t TimeOf(const LocalTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::string FileStamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

namespace {

std::optional<LocalTime> Valid(const LocalTime& t) {
  if (t.year < 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour < 0 || t.hour > 23 ||
      t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return std::nullopt;
  if (t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
  return t;
}

constexpr char kStampSeparators[] = {'-', '-', '_', '-', '-'};

}  // namespace

std::optional<LocalTime> ParseFileStamp(std::string_view text) {
  if (text.size() != kFileStampLength) return std::nullopt;
  for (std::size_t i = 0; i < 5; ++i)
    if (text[4 + 3 * i] != kStampSeparators[i]) return std::nullopt;
  return Valid({Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2), Digits(text, 11, 2),
                Digits(text, 14, 2), Digits(text, 17, 2)});
}

std::optional<LocalTime> ParseUnpaddedFileStamp(std::string_view text) {
  int fields[6];
  std::size_t at = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    // The year with its four digits, the others with one or two.
    const std::size_t widest = i == 0 ? 4 : 2;
    std::size_t width = 0;
    while (at + width < text.size() && width < widest && text[at + width] >= '0' && text[at + width] <= '9')
      ++width;
    if (width == 0 || (i == 0 && width != 4)) return std::nullopt;
    fields[i] = Digits(text, at, static_cast<int>(width));
    at += width;
    if (i < 5) {
      if (at >= text.size() || text[at] != kStampSeparators[i]) return std::nullopt;
      ++at;
    }
  }
  if (at != text.size()) return std::nullopt;
  return Valid({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
}

std::string DisplayTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace o5
