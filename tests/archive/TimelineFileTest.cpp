// SPDX-License-Identifier: GPL-3.0-or-later
// A timeline read as a shared folder may hand it over: broken, hostile,
// huge, or not a file at all.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "archive/TimelineFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::TempDir;
using test::WriteBytes;

const std::string kStamp = "2026-12-07 15:20:03\t";

// The texts of the events of `content` and the count of lines passed over.
struct Parsed {
  std::vector<std::string> texts;
  std::size_t skipped;
  bool operator==(const Parsed&) const = default;
  friend void PrintTo(const Parsed& p, std::ostream* os) {
    *os << p.skipped << " skipped:";
    for (const std::string& t : p.texts) *os << " [" << t << "]";
  }
};

Parsed Parse(const std::string& content) {
  const TimelineReading reading = ParseTimelineText(content);
  Parsed parsed{{}, reading.skipped};
  for (const TimelineEvent& event : reading.events) parsed.texts.push_back(event.text);
  return parsed;
}

TEST(TimelineFile, EachLineIsAnEventShownAsWhatItIsOrCountedAsPassedOver) {
  const std::string longText(5000, 'x');
  const std::string longCyrillic = std::string(4093 - kStamp.size(), 'y') + "ЖЖ";
  const struct {
    const char* name;
    std::string content;
    Parsed expected;
  } cases[] = {
      {"plain", kStamp + "Пуск\n", {{"Пуск"}, 0}},
      {"CR before the line end", kStamp + "Пуск\r\n" + kStamp + "Стоп\r\n", {{"Пуск", "Стоп"}, 0}},
      {"a last line cut short", kStamp + "Пуск\n" + kStamp + "Сто", {{"Пуск"}, 0}},
      {"empty lines", "\n\r\n" + kStamp + "Пуск\n\n", {{"Пуск"}, 0}},
      {"bad dates",
       "2026-13-07 15:20:03\ta\n2026-12-07 25:20:03\tb\nnote\n2026-12-07T15:20:03\tc\n" + kStamp + "Пуск\n",
       {{"Пуск"}, 4}},
      {"a line of 5000 bytes", kStamp + longText + "\n", {{std::string(4096 - kStamp.size(), 'x') + "…"}, 0}},
      // The cut goes through the second Ж: the character is left out whole.
      {"a cut through a character", kStamp + longCyrillic + "\n", {{std::string(4093 - kStamp.size(), 'y') + "Ж…"}, 0}},
      {"bidirectional controls",
       kStamp + "Порт \xE2\x80\xAE" "moc.exe\xE2\x81\xA6x\xE2\x81\xA9\xE2\x80\x8F\n",
       {{"Порт [U+202E]moc.exe[U+2066]x[U+2069][U+200F]"}, 0}},
      {"control characters", kStamp + "a\x1B[2Jb\tc\x7F\n", {{"a[U+001B][2Jb[U+0009]c[U+007F]"}, 0}},
      {"a broken character stays", kStamp + "a\xFF" "b\n", {{"a\xFF" "b"}, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parse(c.content), c.expected) << c.name;
}

TEST(TimelineFile, WhatIsNoTimelineToReadIsSaidAndALinkIsNotFollowed) {
  TempDir dir;
  const std::string events = kStamp + "Пуск\n";
  WriteBytes(dir / "plain.events.tsv", events + "junk\n");
  ASSERT_EQ(::symlink((dir / "plain.events.tsv").c_str(), (dir / "link.events.tsv").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "fifo.events.tsv").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((dir / "folder.events.tsv").c_str(), 0700), 0);
  WriteBytes(dir / "large.events.tsv", "");
  ASSERT_EQ(::truncate((dir / "large.events.tsv").c_str(), kTimelineMaxBytes + 1), 0);

  const TimelineReading plain = ReadTimeline(dir / "plain.events.tsv");
  EXPECT_EQ(plain.events.size(), 1u);
  EXPECT_EQ(plain.Note(), "Пропущено строк: 1");
  // A session of an earlier version has none: nothing to say.
  EXPECT_EQ(ReadTimeline(dir / "none.events.tsv").Note(), "");
  const struct {
    const char* name;
    std::string problem;
  } refused[] = {
      {"link", " — символическая ссылка: события не показаны"},
      {"fifo", " — не обычный файл: события не показаны"},
      {"folder", " — не обычный файл: события не показаны"},
      {"large", " больше 16 МиБ: события не показаны"},
  };
  for (const auto& r : refused) {
    const std::string path = dir / (std::string(r.name) + ".events.tsv");
    const TimelineReading reading = ReadTimeline(path);
    EXPECT_TRUE(reading.events.empty()) << r.name;
    EXPECT_EQ(reading.Note(), "Файл событий \"" + path + "\"" + r.problem) << r.name;
  }
}

}  // namespace
}  // namespace o5
