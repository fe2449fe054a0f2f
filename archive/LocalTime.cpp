#include "archive/LocalTime.h"

#include <cstdio>

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

LocalTime LocalTimeNow() { return LocalTimeOf(std::time(nullptr)); }

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

std::optional<LocalTime> ParseFileStamp(std::string_view text) {
  if (text.size() != kFileStampLength) return std::nullopt;
  for (const auto& [at, separator] : {std::pair{4, '-'}, {7, '-'}, {10, '_'}, {13, '-'}, {16, '-'}})
    if (text[static_cast<std::size_t>(at)] != separator) return std::nullopt;
  const LocalTime t{Digits(text, 0, 4),  Digits(text, 5, 2),  Digits(text, 8, 2),
                    Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2)};
  if (t.year < 0 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour < 0 || t.hour > 23 ||
      t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
    return std::nullopt;
  if (t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
  return t;
}

std::string DisplayTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace o5
