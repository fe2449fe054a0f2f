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

}  // namespace
}  // namespace o5
