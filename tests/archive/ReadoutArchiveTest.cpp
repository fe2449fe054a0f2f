// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "archive/ReadoutArchive.h"
#include "settings/UserFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

BlackBoxBytes Image(uint32_t serial, uint8_t productCode, uint8_t fill = 0) {
  BlackBoxBytes image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(fill + i);
  image[3] = 0x55;
  image[4] = 0x37;
  image[31] = productCode;
  image[32] = serial & 0xFF;
  image[33] = serial >> 8 & 0xFF;
  image[34] = serial >> 16 & 0xFF;
  return image;
}

std::string Bytes(const BlackBoxBytes& image) { return std::string(image.begin(), image.end()); }

class ReadoutArchiveTest : public ::testing::Test {
 protected:
  TempDir dir_;
  ReadoutArchive archive_{DataFolder{dir_ / "ortan5", false}};
};

TEST_F(ReadoutArchiveTest, AReadoutIsKeptByteForByteUnderItsSerialAndTime) {
  const BlackBoxBytes image = Image(658188, 12, 9);
  const std::string path = archive_.Keep(image, {2026, 12, 7, 15, 20, 3});
  EXPECT_EQ(path, dir_ / "ortan5/blackbox/658188/BB_658188_2026-12-07_15-20-03.bin");
  EXPECT_EQ(ReadBytes(path), Bytes(image));
  const auto readouts = archive_.Readouts(658188);
  ASSERT_EQ(readouts.size(), 1u);
  EXPECT_EQ(ReadoutArchive::LoadImage(readouts[0]), image);
}

TEST_F(ReadoutArchiveTest, TheEarlierReadoutIsTheNewestOlderOneNeverTheReadoutItself) {
  archive_.Keep(Image(100, 7), {2026, 1, 1, 10, 0, 0});
  archive_.Keep(Image(100, 8), {2026, 3, 1, 10, 0, 0});
  archive_.Keep(Image(200, 9), {2026, 3, 1, 11, 0, 0});
  const auto earlier = archive_.LatestBefore(100, {2026, 3, 1, 10, 0, 0});
  ASSERT_TRUE(earlier);
  EXPECT_EQ(earlier->entry.when, (LocalTime{2026, 1, 1, 10, 0, 0}));
  EXPECT_EQ(earlier->image, Image(100, 7));
  EXPECT_EQ(archive_.LatestBefore(100, {2026, 3, 1, 10, 0, 1})->image, Image(100, 8));
  EXPECT_FALSE(archive_.LatestBefore(100, {2026, 1, 1, 10, 0, 0}));
}

// A file is the archive's readout only in its heater's folder of this
// archive; a copy elsewhere is a file like any other.
TEST_F(ReadoutArchiveTest, AFileIsKnownAsAnArchivedReadoutOnlyInItsPlace) {
  const std::string path = archive_.Keep(Image(658188, 12), {2026, 12, 7, 9, 12, 44});
  const auto entry = archive_.EntryOf(path);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->serial, 658188u);
  EXPECT_EQ(entry->when, (LocalTime{2026, 12, 7, 9, 12, 44}));
  EXPECT_TRUE(archive_.EntryOf(dir_ / "ortan5/blackbox/../blackbox/658188/BB_658188_2026-12-07_09-12-44.bin"));

  const std::string copy = dir_ / "BB_658188_2026-12-07_09-12-44.bin";
  WriteBytes(copy, Bytes(Image(658188, 12)));
  EXPECT_FALSE(archive_.EntryOf(copy));
  EXPECT_FALSE(archive_.EntryOf(dir_ / "ortan5/blackbox/658188/other.bin"));
  // In another heater's folder.
  std::filesystem::create_directories(dir_ / "ortan5/blackbox/1");
  EXPECT_FALSE(archive_.EntryOf(dir_ / "ortan5/blackbox/1/BB_658188_2026-12-07_09-12-44.bin"));
  EXPECT_FALSE(archive_.EntryOf("BB_658188_2026-12-07_09-12-44.bin"));
}

TEST_F(ReadoutArchiveTest, AWriteThatFailsNamesTheFileAndTheReason) {
  WriteBytes(dir_ / "ortan5", "");
  try {
    archive_.Keep(Image(5, 1), {2026, 12, 7, 15, 20, 3});
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Не удалось сохранить файл \"" + dir_.path() +
                                         "/ortan5/blackbox/5/BB_5_2026-12-07_15-20-03.bin\": " + SystemReason(ENOTDIR));
  }
}

TEST_F(ReadoutArchiveTest, HeatersLatestFirstWithTheirReadoutsNewestFirstPassingOverWhatIsNoReadout) {
  archive_.Keep(Image(100, 7), {2026, 1, 1, 10, 0, 0});
  archive_.Keep(Image(100, 8), {2026, 3, 1, 10, 0, 0});
  archive_.Keep(Image(200, 9), {2026, 2, 1, 10, 0, 0});
  const std::string heater100 = dir_ / "ortan5/blackbox/100/";
  // What a person may have put there: a broken image newer than the rest, a
  // misnamed one, one of another heater, a folder that is no serial.
  WriteBytes(heater100 + "BB_100_2026-04-01_10-00-00.bin", "short");
  WriteBytes(heater100 + "BB_100_2026-4-1_10-0-0.bin", Bytes(Image(100, 1)));
  WriteBytes(heater100 + "BB_200_2026-05-01_10-00-00.bin", Bytes(Image(200, 1)));
  std::filesystem::create_directories(dir_ / "ortan5/blackbox/old");
  WriteBytes(dir_ / "ortan5/blackbox/old/BB_300_2026-06-01_10-00-00.bin", Bytes(Image(300, 1)));
  auto notHeater100 = Image(300, 1);
  WriteBytes(heater100 + "BB_100_2026-02-15_10-00-00.bin", Bytes(notHeater100));

  const auto heaters = archive_.Heaters();
  ASSERT_EQ(heaters.size(), 2u);
  EXPECT_EQ(heaters[0].serial, 100u);
  EXPECT_EQ(heaters[0].productCode, 8u);
  // Another heater's image under its name is no readout of this one.
  EXPECT_EQ(heaters[0].readouts, 2u);
  EXPECT_EQ(heaters[0].lastReadout, (LocalTime{2026, 3, 1, 10, 0, 0}));
  EXPECT_EQ(heaters[1].serial, 200u);

  const auto readouts = archive_.Readouts(100);
  ASSERT_EQ(readouts.size(), 3u);
  EXPECT_EQ(readouts[0].when, (LocalTime{2026, 3, 1, 10, 0, 0}));
  EXPECT_EQ(readouts[1].when, (LocalTime{2026, 2, 15, 10, 0, 0}));
  EXPECT_FALSE(ReadoutArchive::LoadImage(readouts[1]));  // another heater's image
  EXPECT_EQ(readouts[2].when, (LocalTime{2026, 1, 1, 10, 0, 0}));
}

}  // namespace
}  // namespace o5
