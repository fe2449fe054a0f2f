// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "archive/ArchiveNames.h"

namespace o5 {
namespace {

const LocalTime kWhen{2026, 12, 7, 5, 4, 3};

TEST(ArchiveNames, JournalsAndReadoutsCarryTheZeroPaddedTimeAndTheSerial) {
  EXPECT_EQ(JournalFileName({kWhen, std::nullopt}), "S_2026-12-07_05-04-03.txt");
  EXPECT_EQ(JournalFileName({kWhen, 658188}), "S_2026-12-07_05-04-03_658188.txt");
  EXPECT_EQ(ReadoutFileName({658188, kWhen}), "BB_658188_2026-12-07_05-04-03.bin");
  const auto journal = ParseJournalFileName("S_2026-12-07_05-04-03_658188.txt");
  ASSERT_TRUE(journal);
  EXPECT_EQ(journal->opened, kWhen);
  EXPECT_EQ(journal->serial, 658188u);
  const auto readout = ParseReadoutFileName("BB_0_2026-12-07_05-04-03.bin");
  ASSERT_TRUE(readout);
  EXPECT_EQ(readout->serial, 0u);
  EXPECT_EQ(readout->when, kWhen);
}

TEST(ArchiveNames, NamesAPersonMadeUpAreNone) {
  for (const char* name : {"S_2026-12-7_5-4-3.txt", "S_2026-12-07_05-04-03.txt~", "S_2026-02-30_05-04-03.txt",
                           "S_2026-12-07_05-04-03_.txt", "S_2026-12-07_05-04-03_0123.txt",
                           "S_2026-12-07_05-04-03_16777216.txt", "S_2026-12-07 05-04-03.txt", "D_2026-12-7_5-4-3.txt"})
    EXPECT_FALSE(ParseJournalFileName(name)) << name;
  for (const char* name : {"BB_658188_2026-12-7_15-20-3.bin", "BB__2026-12-07_05-04-03.bin",
                           "BB_x_2026-12-07_05-04-03.bin", "BB_658188_2026-12-07_24-00-00.bin",
                           "BB_658188_2026-12-07_05-04-03.pdf", "BB_658188-2026-12-07_05-04-03.bin"})
    EXPECT_FALSE(ParseReadoutFileName(name)) << name;
}

// Images saved under the names earlier versions proposed keep their time.
TEST(ArchiveNames, ASavedImageIsReadInEitherSpelling) {
  for (const char* name : {"BB_658188_2025-3-5_9-7-3.bin", "BB_658188_2025-03-05_09-07-03.bin",
                           "BB_658188_2025-3-05_09-7-3.bin"}) {
    const auto saved = ParseSavedReadoutFileName(name);
    ASSERT_TRUE(saved) << name;
    EXPECT_EQ(saved->serial, 658188u);
    EXPECT_EQ(saved->when, (LocalTime{2025, 3, 5, 9, 7, 3}));
  }
  for (const char* name : {"BB_658188_2025-3-5_9-7-.bin", "BB_658188_2025-3-5_9-7-123.bin",
                           "BB_658188_25-3-5_9-7-3.bin", "BB_658188_2025-2-30_9-7-3.bin",
                           "BB_658188_2025-3-5_9-7-3x.bin", "BB_658188_2025-3-5-9-7-3.bin", "BB_2025-3-5_9-7-3.bin"})
    EXPECT_FALSE(ParseSavedReadoutFileName(name)) << name;
}

}  // namespace
}  // namespace o5
