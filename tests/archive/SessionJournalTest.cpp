// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "archive/SessionJournal.h"
#include "settings/UserFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using namespace std::chrono_literals;

const LocalTime kOpened{2026, 12, 7, 15, 20, 3};
const std::string kRecord = "  307;     5;     0;    30;    60;    58;     1;     1;     0;   126;    22;"
                            "   60;   70;   527;   35;     0;   1;00000000 00000000 00000000 00000000;";

class SessionJournalTest : public ::testing::Test {
 protected:
  std::string Sessions() const { return data_.Sessions(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (std::filesystem::exists(Sessions()))
      for (const auto& entry : std::filesystem::directory_iterator(Sessions()))
        names.push_back(entry.path().filename().string());
    return names;
  }

  TempDir dir_;
  DataFolder data_{dir_ / "ortan5", false};
  std::chrono::steady_clock::time_point now_{};
  SessionJournal journal_{[this] { return now_; }};
};

TEST_F(SessionJournalTest, EachLineIsInTheFileWithItsLineEndAsSoonAsItIsAppended) {
  journal_.Begin(data_, kOpened);
  EXPECT_THAT(Names(), ::testing::IsEmpty());
  journal_.Append(kRecord);
  const std::string path = Sessions() + "/S_2026-12-07_15-20-03.txt";
  EXPECT_EQ(journal_.Path(), path);
  EXPECT_EQ(ReadBytes(path), kRecord + "\r\n");
  journal_.Append("");
  journal_.Append(kRecord);
  EXPECT_EQ(ReadBytes(path), kRecord + "\r\n\r\n" + kRecord + "\r\n");
}

TEST_F(SessionJournalTest, AReadoutNamesTheJournalAfterTheHeaterBeforeOrAfterItsFirstLine) {
  journal_.Begin(data_, kOpened);
  journal_.Append(kRecord);
  journal_.NameHeater(658188);
  journal_.Append(kRecord);
  EXPECT_THAT(Names(), ::testing::UnorderedElementsAre("S_2026-12-07_15-20-03_658188.txt",
                                                       "S_2026-12-07_15-20-03_658188.events.tsv"));
  EXPECT_EQ(ReadBytes(journal_.Path()), kRecord + "\r\n" + kRecord + "\r\n");

  // The next opening is a journal of its own, named when its heater is read.
  journal_.Begin(data_, {2026, 12, 7, 16, 0, 0});
  journal_.NameHeater(7);
  journal_.Append(kRecord);
  EXPECT_EQ(journal_.Path(), Sessions() + "/S_2026-12-07_16-00-00_7.txt");
}

TEST_F(SessionJournalTest, AnotherJournalOfTheSameSecondIsLeftAloneAndTheNextSecondTaken) {
  std::filesystem::create_directories(Sessions());
  WriteBytes(Sessions() + "/S_2026-12-07_15-20-03.txt", "another bench\r\n");
  journal_.Begin(data_, kOpened);
  journal_.Append(kRecord);
  EXPECT_EQ(journal_.Path(), Sessions() + "/S_2026-12-07_15-20-04.txt");
  EXPECT_EQ(ReadBytes(Sessions() + "/S_2026-12-07_15-20-03.txt"), "another bench\r\n");
}

TEST_F(SessionJournalTest, NamedAfterItsHeaterTheJournalLeavesAnotherBenchsJournalOfThatNameAlone) {
  std::filesystem::create_directories(Sessions());
  // Another bench's journal of the same second, named after the same heater
  // when this opening's name was still free.
  WriteBytes(Sessions() + "/S_2026-12-07_15-20-03_658188.txt", "another bench\r\n");
  journal_.Begin(data_, kOpened);
  journal_.Append(kRecord);
  journal_.NameHeater(658188);
  EXPECT_FALSE(journal_.TakeFailure());
  EXPECT_EQ(journal_.Path(), Sessions() + "/S_2026-12-07_15-20-04_658188.txt");
  journal_.Append(kRecord);
  EXPECT_EQ(ReadBytes(journal_.Path()), kRecord + "\r\n" + kRecord + "\r\n");
  EXPECT_EQ(ReadBytes(Sessions() + "/S_2026-12-07_15-20-03_658188.txt"), "another bench\r\n");
}

TEST_F(SessionJournalTest, TheTimelineBesideTheJournalHoldsEachEventWithItsTimeAndIsRenamedWithIt) {
  journal_.Begin(data_, kOpened);
  const LocalTime before = LocalTimeNow();
  journal_.Event("Порт /dev/ttyUSB0 открыт");
  // Made with the journal, under the opening's time.
  EXPECT_EQ(journal_.TimelinePath(), Sessions() + "/S_2026-12-07_15-20-03.events.tsv");
  EXPECT_EQ(journal_.Path(), Sessions() + "/S_2026-12-07_15-20-03.txt");
  journal_.Append(kRecord);
  journal_.Event("Пуск\tнажат\n");
  journal_.NameHeater(658188);
  journal_.Event("Черный ящик прочитан, серийный номер 658188");
  EXPECT_EQ(journal_.TimelinePath(), Sessions() + "/S_2026-12-07_15-20-03_658188.events.tsv");
  const std::string text = ReadBytes(journal_.TimelinePath());
  const auto events = ParseTimeline(text);
  ASSERT_EQ(events.size(), 4u) << text;
  // The first line names the zone of the times.
  EXPECT_EQ(events[0].text, "Часовой пояс: " + UtcOffsetText(LocalClockNow().utcOffset));
  EXPECT_EQ(events[1].text, "Порт /dev/ttyUSB0 открыт");
  EXPECT_EQ(events[2].text, "Пуск нажат ");
  EXPECT_EQ(events[3].text, "Черный ящик прочитан, серийный номер 658188");
  EXPECT_GE(events[0].when, before);
  EXPECT_LE(events[3].when, LocalTimeNow());
  EXPECT_EQ(text.substr(0, 20), TimelineLine(events[0].when, "").substr(0, 20));
  EXPECT_EQ(text.substr(10, 1) + text.substr(19, 1), " \t");
  // A line cut short and what is no event are passed over.
  EXPECT_EQ(ParseTimeline(text + "note\n2026-12-07 15:20:09\tcut").size(), 4u);
}

TEST_F(SessionJournalTest, TheDiskIsAskedAtMostOnceASecondAndTheTimerCatchesTheLastLines) {
  journal_.Begin(data_, kOpened);
  for (int i = 0; i < 20; ++i) {
    journal_.Append(kRecord);
    now_ += 40ms;
  }
  EXPECT_EQ(journal_.Syncs(), 0u);
  now_ += 300ms;
  journal_.Append(kRecord);
  EXPECT_EQ(journal_.Syncs(), 1u);
  journal_.Tick();
  EXPECT_EQ(journal_.Syncs(), 1u);
  journal_.Append(kRecord);
  now_ += 1s;
  journal_.Tick();
  journal_.Tick();
  EXPECT_EQ(journal_.Syncs(), 2u);
}

TEST_F(SessionJournalTest, AFolderThatCannotBeMadeFailsOncePerOpeningAndIsTriedAgainWithEachLine) {
  WriteBytes(data_.path, "a file where the data folder should be");
  journal_.Begin(data_, kOpened);
  journal_.Append(kRecord);
  const auto failure = journal_.TakeFailure();
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, "Не удалось записать журнал сеанса в папку \"" + Sessions() + "\": " + SystemReason(ENOTDIR));
  journal_.Append(kRecord);
  EXPECT_FALSE(journal_.TakeFailure());

  // Once the folder can be made, lines go to the journal again.
  std::filesystem::remove(data_.path);
  journal_.Append(kRecord);
  EXPECT_EQ(ReadBytes(journal_.Path()), kRecord + "\r\n");
  WriteBytes(dir_ / "blocked", "");
  journal_.Begin({dir_ / "blocked", false}, kOpened);
  journal_.Append(kRecord);
  EXPECT_TRUE(journal_.TakeFailure());
}

TEST_F(SessionJournalTest, ALineThatDoesNotFitIsTakenBackWholeAndTheJournalGoesOnAfter) {
  // A file size limit stands in for a full disk: the write that crosses it
  // is cut short. In a child, so that the limit stays there.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    SessionJournal journal;
    journal.Begin(data_, kOpened);
    journal.Append(kRecord);
    const rlimit limit{kRecord.size() + 30, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    journal.Append(kRecord);
    const bool failed = journal.TakeFailure().has_value();
    const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &none);
    journal.Append("after");
    ::_exit(failed ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadBytes(Sessions() + "/S_2026-12-07_15-20-03.txt"), kRecord + "\r\nafter\r\n");
}

TEST(JournalList, TheJournalsOfAFolderNewestFirstWithoutOtherFiles) {
  TempDir dir;
  for (const char* name : {"S_2026-12-07_15-20-03.txt", "S_2027-01-01_00-00-00_5.txt", "S_2026-12-07_15-20-04_9.txt",
                           "notes.txt", "S_2026-12-7_1-2-3.txt"})
    WriteBytes(dir / name, "");
  std::filesystem::create_directory(dir / "S_2028-01-01_00-00-00.txt");
  std::vector<std::string> names;
  for (const JournalFile& j : ListJournals(dir.path())) names.push_back(std::filesystem::path(j.path).filename());
  EXPECT_THAT(names, ::testing::ElementsAre("S_2027-01-01_00-00-00_5.txt", "S_2026-12-07_15-20-04_9.txt",
                                            "S_2026-12-07_15-20-03.txt"));
}

// The system's zone changes while the tool runs: the timeline says so at
// once, and its times are the new zone's.
TEST_F(SessionJournalTest, AChangeOfTheTimeZoneIsNamedWhereItHappens) {
  const char* const was = std::getenv("TZ");
  const std::string before = was ? was : "";
  setenv("TZ", "MSK-3", 1);
  journal_.Begin(data_, kOpened);
  journal_.Event("Порт /dev/ttyUSB0 открыт");
  journal_.Event("Пуск");
  setenv("TZ", "YEKT-5", 1);
  journal_.Event("Стоп");
  const LocalTime yekt = LocalTimeNow();
  if (was)
    setenv("TZ", before.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  const auto events = ParseTimeline(ReadBytes(journal_.TimelinePath()));
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].text, "Часовой пояс: UTC+03:00");
  EXPECT_EQ(events[1].text, "Порт /dev/ttyUSB0 открыт");
  EXPECT_EQ(events[2].text, "Пуск");
  EXPECT_EQ(events[3].text, "Часовой пояс: UTC+05:00");
  EXPECT_EQ(events[4].text, "Стоп");
  EXPECT_LE(events[4].when, yekt);
  EXPECT_EQ(UtcOffsetText(-(9 * 3600 + 30 * 60)), "UTC-09:30");
}

}  // namespace
}  // namespace o5
