#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "archive/JournalRetention.h"
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
  std::vector<std::string> Left() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
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

TEST_F(JournalRetentionTest, TheLimitsComeFromTheSettingsFileWithTheirDefaults) {
  WriteBytes(dir_.SettingsPath(), "[Options]\nJournalDays=30\n");
  const JournalLimits limits = ReadJournalLimits(SettingsFile(dir_.SettingsPath()));
  EXPECT_EQ(limits.days, 30);
  EXPECT_EQ(limits.maxMB, 1024);
  WriteBytes(dir_.SettingsPath(), "[Options]\nJournalMaxMB=$10\n");
  EXPECT_EQ(ReadJournalLimits(SettingsFile(dir_.SettingsPath())).days, 365);
  EXPECT_EQ(ReadJournalLimits(SettingsFile(dir_.SettingsPath())).maxMB, 16);
}

}  // namespace
}  // namespace o5
