// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "archive/FileInUse.h"
#include "archive/JournalRetention.h"
#include "archive/SessionJournal.h"
#include "archive/LocalTime.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;
using test::TempDir;
using test::WriteBytes;

constexpr std::size_t kMB = 1024 * 1024;
const std::time_t kNow = TimeOf({2026, 12, 7, 12, 0, 0});

class JournalRetentionTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, std::size_t bytes = 10) { WriteBytes(dir_ / name, std::string(bytes, 'x')); }
  std::vector<std::string> Left() const { return Left(dir_.path()); }
  static std::vector<std::string> Left(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  TempDir dir_;
};

TEST_F(JournalRetentionTest, JournalsOpenedMoreThanTheDaysAgoGoAndNothingElse) {
  Put("S_2026-12-04_11-59-59.txt");     // three days and a second
  Put("S_2026-12-04_12-00-01_77.txt");  // a second less than three days
  Put("S_2026-12-01_00-00-00.txt.bak");
  Put("notes.txt");
  EXPECT_EQ(KeepJournalsWithin(dir_.path(), {3, 1024}, kNow), 1u);
  EXPECT_THAT(Left(), ElementsAre("S_2026-12-01_00-00-00.txt.bak", "S_2026-12-04_12-00-01_77.txt", "notes.txt"));
}

TEST_F(JournalRetentionTest, TheOldestGoUntilAllTogetherTakeAtMostTheMegabytes) {
  Put("S_2026-12-05_10-00-00.txt", kMB);
  Put("S_2026-12-06_10-00-00_5.txt", kMB / 2);
  Put("S_2026-12-07_10-00-00.txt", kMB / 2);
  Put("big.txt", 3 * kMB);
  EXPECT_EQ(KeepJournalsWithin(dir_.path(), {365, 1}, kNow), 1u);
  EXPECT_THAT(Left(), ElementsAre("S_2026-12-06_10-00-00_5.txt", "S_2026-12-07_10-00-00.txt", "big.txt"));
  // A limit below one keeps everything by that rule.
  EXPECT_EQ(KeepJournalsWithin(dir_.path(), {0, 0}, kNow + 3650 * 86400), 0u);
}

TEST_F(JournalRetentionTest, AJournalGoesWithItsTimelineAndATimelineAloneCountsAsASession) {
  Put("S_2026-12-01_10-00-00.txt", kMB / 2);
  Put("S_2026-12-01_10-00-00.events.tsv", kMB / 2);
  Put("S_2026-12-02_10-00-00_5.events.tsv", 10);
  Put("S_2026-12-07_10-00-00.txt", kMB / 2);
  Put("S_2026-12-07_10-00-00.events.tsv", 10);
  Put("S_2026-12-07_10-00-00.tsv", kMB);
  EXPECT_EQ(KeepJournalsWithin(dir_.path(), {5, 1}, kNow), 2u);
  EXPECT_THAT(Left(), ElementsAre("S_2026-12-07_10-00-00.events.tsv", "S_2026-12-07_10-00-00.tsv",
                                  "S_2026-12-07_10-00-00.txt"));
}

TEST_F(JournalRetentionTest, TheLimitsComeFromTheSettingsFileWithTheirDefaults) {
  WriteBytes(dir_.SettingsPath(), "[Options]\nJournalDays=30\n");
  const JournalLimits limits = ReadJournalLimits(SettingsFile(dir_.SettingsPath()));
  EXPECT_EQ(limits.days, 30);
  EXPECT_EQ(limits.maxMB, 1024);
  WriteBytes(dir_.SettingsPath(), "[Options]\nJournalMaxMB=$10\n");
  EXPECT_EQ(ReadJournalLimits(SettingsFile(dir_.SettingsPath())).days, 365);
  EXPECT_EQ(ReadJournalLimits(SettingsFile(dir_.SettingsPath())).maxMB, 16);
}

// A copy of the tool writing a journal in a process of its own (another
// bench on a shared folder, or a second copy on this machine), until it is
// killed.
class OtherCopy {
 public:
  OtherCopy(const DataFolder& data, const LocalTime& opened) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      SessionJournal journal;
      journal.Begin(data, opened);
      journal.Append("a line");
      const char written = journal.Path().empty() ? '0' : '1';
      if (::write(ready[1], &written, 1) != 1) ::_exit(1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char written = '0';
    ready_ = pid_ > 0 && ::read(ready[0], &written, 1) == 1 && written == '1';
    ::close(ready[0]);
  }
  ~OtherCopy() { Kill(); }
  bool Ready() const { return ready_; }
  // As a crash ends it.
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

TEST_F(JournalRetentionTest, AJournalAnotherCopyStillWritesIsKeptUntilItsWriterIsGone) {
  const DataFolder data{dir_ / "data", true};
  OtherCopy writer(data, {2026, 11, 1, 8, 0, 0});
  ASSERT_TRUE(writer.Ready());
  // Older than the days and the oldest, under a bigger and newer journal.
  WriteBytes(data.Sessions() + "/S_2026-12-07_10-00-00.txt", std::string(2 * kMB, 'x'));
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 1u);
  EXPECT_THAT(Left(data.Sessions()), ElementsAre("S_2026-11-01_08-00-00.events.tsv", "S_2026-11-01_08-00-00.txt"));
  writer.Kill();
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 1u);
  EXPECT_THAT(Left(data.Sessions()), ElementsAre());
}

TEST_F(JournalRetentionTest, TheToolsOwnOpenJournalIsKeptAlsoAfterItWasReadMeanwhile) {
  const DataFolder data{dir_ / "data", true};
  SessionJournal journal;
  journal.Begin(data, {2026, 11, 1, 8, 0, 0});
  journal.Append("a line");
  // Opened and closed again, as the graph window reads it: the mark stays.
  EXPECT_EQ(test::ReadBytes(journal.Path()), "a line\r\n");
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 0u);
  journal.Append("more");
  EXPECT_EQ(test::ReadBytes(journal.Path()), "a line\r\nmore\r\n");
  journal.End();
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 1u);
}

// A data folder whose file system refuses locks (a share mounted without
// locking): the journals are written all the same, the warning comes once for
// the tool's whole start, and the retention, which cannot see whether another
// bench writes a journal, deletes none.
TEST_F(JournalRetentionTest, WithoutLocksJournalsAreWrittenAndKeptAndTheWarningComesOncePerStart) {
  const DataFolder data{dir_ / "data", true};
  struct Refused {
    Refused() { RefuseLocks(ENOLCK); }
    ~Refused() { RefuseLocks(0); }
  } refused;
  SessionJournal journal;
  for (const LocalTime& opened : {LocalTime{2026, 11, 1, 8, 0, 0}, LocalTime{2026, 11, 2, 8, 0, 0}}) {
    journal.Begin(data, opened);
    EXPECT_FALSE(journal.TakeLockWarning());
    journal.Append("a line");
    journal.Event("Порт открыт");
    EXPECT_EQ(test::ReadBytes(journal.Path()), "a line\r\n");
    EXPECT_FALSE(journal.TakeFailure());
    const auto warning = journal.TakeLockWarning();
    if (opened.day == 1)
      EXPECT_EQ(warning, JournalLockWarningText(data.path));
    else
      EXPECT_FALSE(warning);
    journal.End();
  }
  EXPECT_FALSE(journal.TakeLockWarning());
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 0u);
  EXPECT_EQ(Left(data.Sessions()).size(), 4u);
  RefuseLocks(0);
  EXPECT_EQ(KeepJournalsWithin(data.Sessions(), {3, 1}, kNow), 2u);
}

}  // namespace
}  // namespace o5
