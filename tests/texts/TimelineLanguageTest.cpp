// SPDX-License-Identifier: GPL-3.0-or-later
// The session's timeline in the tool's language: on an English desktop its
// events and the console's lines it keeps have no Russian word, and a session
// written in either language is read back alike in either: the same run
// clocks, the same firmware for the act.

#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/ToolTranslation.h"
#include "archive/ArchiveNames.h"
#include "archive/JournalRuns.h"
#include "archive/SessionJournal.h"
#include "archive/VisitRuns.h"
#include "heater/FaultLegend.h"
#include "heater/HeaterCommands.h"
#include "heater/ModeNames.h"
#include "heater/SessionEvents.h"
#include "settings/SettingsFile.h"
#include "tests/support/VisitJournals.h"
#include "tests/texts/SessionNotes.h"

namespace o5::test {
namespace {

using ::testing::ElementsAre;

constexpr uint32_t kSerial = 658188;
const LocalTime kMorning{2026, 12, 8, 9, 58, 27};

bool HasRussian(const std::string& text) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  return QString::fromStdString(text).contains(cyrillic);
}

// The tool's catalogs as start-up installs them for a desktop of `language`;
// "none" leaves the texts as written and knows no other language, as a
// program without catalogs.
void UseLanguage(const std::string& language) {
  InstallToolTranslation(language == "none" ? std::string() : std::string(O5_TEST_CATALOG_DIR), language);
}

class TimelineLanguage : public ::testing::Test {
 protected:
  void TearDown() override { UseLanguage("none"); }
};

TEST_F(TimelineLanguage, AnEventIsKnownInItsSourceAndInEveryShippedLanguage) {
  for (const char* language : {"ru", "en"}) {
    UseLanguage(language);
    EXPECT_THAT(TranslationsOf("SessionEvents", kEventRunBegan.data()), ElementsAre("Работа началась", "Run began"))
        << language;
    EXPECT_TRUE(WrittenEvent(kEventRunFound).Is("Heater already running"));
    EXPECT_TRUE(WrittenEvent(kEventRunFound).Is("Отопитель уже работает"));
    EXPECT_FALSE(WrittenEvent(kEventRunFound).Is("Heater already running "));
    const WrittenText version("HeaterCommands", kVersionLine.data());
    EXPECT_EQ(version.StartOf("Version 4.2.7 - 1"), 8u);
    EXPECT_EQ(version.StartOf("Версия 4.2.7 - 1"), std::string("Версия ").size());
    EXPECT_EQ(version.StartOf("Versions"), 0u);
  }
  // A text no catalog has, and a program without catalogs: the source alone.
  EXPECT_THAT(TranslationsOf("SessionEvents", "нет такого текста"), ElementsAre("нет такого текста"));
  UseLanguage("none");
  EXPECT_THAT(TranslationsOf("SessionEvents", kEventRunBegan.data()), ElementsAre("Работа началась"));
}

// Every kind of event and console line a session keeps, as the main window
// tells them, on an English desktop.
TEST_F(TimelineLanguage, ASessionOnAnEnglishDesktopKeepsNoRussianWord) {
  UseLanguage("en");
  const std::vector<std::string> kept = WholeSessionNotes(true);
  EXPECT_THAT(kept, ElementsAre("Port /dev/ttyUSB0 open", "Mode 0 - Off", "Start", "Run began",
                                "Mode 1 - Check before start", "Firmware version", "Version 4.2.7 - 1",
                                "Date    17.3.21 - 0", "Mode 21 - Warm-up", FaultNotice(13), FaultGoneNotice(),
                                "Data from the heater coming in again", "Black box reading started",
                                "Black box read, serial number 658188", "Black box reading started",
                                "Black box reading cut short", "Stop", "Run ended, length 0:05:00",
                                "Port device lost, port closed", "Device connected again, port /dev/ttyUSB0 open",
                                "Heater already running", "Port closed"));
  for (const std::string& text : kept) EXPECT_FALSE(HasRussian(text)) << text;
}

// The timeline's line naming the time zone is in the language of its events.
TEST_F(TimelineLanguage, TheTimeZoneIsNamedInTheToolsLanguage) {
  QTemporaryDir data;
  ASSERT_TRUE(data.isValid());
  for (const char* language : {"en", "ru"}) {
    UseLanguage(language);
    SessionJournal journal;
    journal.Begin(DataFolder{data.path().toStdString()}, LocalTimeNow());
    journal.Event(EventText(kEventStart));
    journal.End();
    const std::vector<TimelineEvent> events = ReadTimeline(journal.TimelinePath()).events;
    ASSERT_EQ(events.size(), 2u);
    const std::string zone = UtcOffsetText(LocalClockNow().utcOffset);
    EXPECT_EQ(events[0].text, (language == std::string("en") ? "Time zone: " : "Часовой пояс: ") + zone);
    std::filesystem::remove(journal.Path());
    std::filesystem::remove(journal.TimelinePath());
  }
}

// A day's sessions written on a desktop of one language, read back as the act
// of a visit and the graph window read them on a desktop of the other.
TEST_F(TimelineLanguage, ASessionWrittenInEitherLanguageReadsTheSameInEither) {
  struct Reading {
    std::vector<std::optional<WallSeconds>> starts;
    std::vector<int64_t> lengths;
    std::string firmware;
  };
  QTemporaryDir data;
  ASSERT_TRUE(data.isValid());
  const auto folder = [&](const std::string& language) {
    return data.filePath(QString::fromStdString(language)).toStdString();
  };
  for (const std::string written : {"ru", "en"}) {
    UseLanguage(written);
    std::filesystem::create_directories(folder(written));
    for (const auto& [opened, runs] : std::vector<std::pair<LocalTime, std::vector<PlannedRun>>>{
             {kMorning, {{300}, {400, 13, 60, 45}}}, {{2026, 12, 8, 11, 0, 0}, {{500}}}}) {
      const WrittenSession session = WriteSession(opened, runs, "3.1");
      EXPECT_EQ(HasRussian(session.timeline), written == "ru") << session.timeline;
      std::ofstream(folder(written) + "/" + JournalFileName({opened, kSerial}), std::ios::binary) << session.journal;
      std::ofstream(folder(written) + "/" + TimelineFileName({opened, kSerial}), std::ios::binary) << session.timeline;
    }
  }
  const auto read = [&](const std::string& written) {
    Reading reading;
    const Visit visit = GatherVisit(folder(written), kSerial, kMorning);
    for (const VisitRun& run : visit.runs) {
      reading.starts.push_back(run.model.start);
      reading.lengths.push_back(run.model.length);
    }
    reading.firmware = visit.firmware;
    return reading;
  };
  const struct {
    std::string written, read, firmware;
  } cases[] = {
      {"ru", "ru", "3.1, дата 12.05.2025"},
      {"en", "ru", "3.1, дата 12.05.2025"},
      {"ru", "en", "3.1, date 12.05.2025"},
      {"en", "en", "3.1, date 12.05.2025"},
  };
  UseLanguage("ru");
  const Reading expected = read("ru");
  ASSERT_EQ(expected.starts.size(), 3u);
  EXPECT_EQ(expected.starts[0], WallOf(kMorning) + 5);  // the first run began after five cycles standing
  EXPECT_EQ(expected.lengths, (std::vector<int64_t>{300, 400, 500}));
  for (const auto& c : cases) {
    UseLanguage(c.read);
    const Reading reading = read(c.written);
    EXPECT_EQ(reading.starts, expected.starts) << c.written << " read in " << c.read;
    EXPECT_EQ(reading.lengths, expected.lengths) << c.written << " read in " << c.read;
    EXPECT_EQ(reading.firmware, c.firmware) << c.written << " read in " << c.read;
  }
  // Without the catalogs an English timeline gives neither: what the readers
  // above know, they know through the shipped catalogs.
  UseLanguage("none");
  const Reading unknown = read("en");
  EXPECT_EQ(unknown.firmware, "");
  EXPECT_NE(unknown.starts, expected.starts);
}

}  // namespace
}  // namespace o5::test
