// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated black box: its default image, its files and its bookkeeping.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>

#include "tools/heatersim/BlackBox.h"
#include "tools/heatersim/FaultBits.h"

namespace o5::sim {
namespace {

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "/heatersim_" + std::to_string(::getpid()) + "_" + name;
}

TEST(BlackBox, DefaultImageIsAPlausibleUsedHeater) {
  const BlackBox box;
  EXPECT_EQ(box.At(3), 0x55);
  EXPECT_EQ(box.At(4), 0x37);
  EXPECT_LT(box.At(BlackBox::kCurrentRecord), BlackBox::kRecordCount);
  const std::int32_t total = box.Signed32(BlackBox::kRunTimeTotal);
  const std::int64_t parts = static_cast<std::int64_t>(box.Signed32(BlackBox::kRunTimeLow)) +
                             box.Signed32(BlackBox::kRunTimeHigh) + box.Signed32(BlackBox::kRunTimeStandby);
  EXPECT_GT(total, 0);
  EXPECT_LE(parts, total) << "time per mode cannot exceed the total";
  EXPECT_GT(box.Unsigned(BlackBox::kSerialNumber, 3), 0xFFFFu) << "the serial number uses all three bytes";

  std::set<int> legendCodes;
  for (const FaultBit& bit : FaultBitTable()) legendCodes.insert(bit.code);
  for (std::size_t k = 0; k < BlackBox::kRecordCount; ++k) {
    const auto record = box.Record(k);
    EXPECT_TRUE(legendCodes.count(record.code)) << "record " << k << " code " << int(record.code);
    const auto bit = FaultBitForCode(record.code);
    ASSERT_TRUE(bit);
    EXPECT_TRUE(record.faultBytes[bit->faultByte - 1] & bit->mask) << "record " << k;
    EXPECT_GE(record.repeats, 1);
  }
  EXPECT_EQ(box.At(255), box.Record(12).faultBytes[3]) << "record 12 ends at address 255";
}

TEST(BlackBox, ReadsPastTheEndAsErasedCells) {
  const BlackBox box;
  EXPECT_EQ(box.At(256), BlackBox::kBeyondEnd);
  EXPECT_EQ(box.At(257), BlackBox::kBeyondEnd);
}

TEST(BlackBox, SavesAndLoadsExactly256Bytes) {
  BlackBox box;
  BlackBox::Image image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(255 - i);
  box.SetImage(image);
  const std::string path = TempPath("image.bin");
  box.SaveFile(path);
  BlackBox loaded;
  loaded.LoadFile(path);
  EXPECT_EQ(loaded.Bytes(), image);
  std::remove(path.c_str());
}

TEST(BlackBox, RefusesFilesOfAnotherSize) {
  for (std::size_t size : {0u, 255u, 257u}) {
    const std::string path = TempPath("size" + std::to_string(size));
    std::ofstream(path, std::ios::binary) << std::string(size, '\x11');
    BlackBox box;
    const auto before = box.Bytes();
    try {
      box.LoadFile(path);
      ADD_FAILURE() << size << " bytes accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("256"), std::string::npos) << e.what();
    }
    EXPECT_EQ(box.Bytes(), before) << "a refused file leaves the image alone";
    std::remove(path.c_str());
  }
  BlackBox box;
  EXPECT_THROW(box.LoadFile(TempPath("missing")), std::runtime_error);
  EXPECT_THROW(box.SaveFile("/nonexistent-folder/box.bin"), std::runtime_error);
}

TEST(BlackBox, CountersSaturateInsteadOfWrapping) {
  BlackBox box;
  BlackBox::Image image = box.Bytes();
  image[BlackBox::kFailedStarts] = 255;
  image[BlackBox::kStartsFirstAttempt] = 0xFF;
  image[BlackBox::kStartsFirstAttempt + 1] = 0xFF;
  for (std::size_t i = 0; i < 4; ++i) image[BlackBox::kRunTimeTotal + i] = i == 3 ? 0x7F : 0xFF;
  box.SetImage(image);
  box.CountFailedStart();
  box.CountStart(1);
  box.AddRunTime(BlackBox::RunMode::Other, 10);
  EXPECT_EQ(box.At(BlackBox::kFailedStarts), 255);
  EXPECT_EQ(box.Unsigned(BlackBox::kStartsFirstAttempt, 2), 65535u);
  EXPECT_EQ(box.Signed32(BlackBox::kRunTimeTotal), 0x7FFFFFFF);
}

TEST(BlackBox, AddsRunTimeToTheTotalAndToItsMode) {
  BlackBox box;
  const auto total = box.Signed32(BlackBox::kRunTimeTotal);
  const auto low = box.Signed32(BlackBox::kRunTimeLow);
  const auto standby = box.Signed32(BlackBox::kRunTimeStandby);
  box.AddRunTime(BlackBox::RunMode::Low, 5);
  box.AddRunTime(BlackBox::RunMode::Standby, 7);
  EXPECT_EQ(box.Signed32(BlackBox::kRunTimeTotal), total + 12);
  EXPECT_EQ(box.Signed32(BlackBox::kRunTimeLow), low + 5);
  EXPECT_EQ(box.Signed32(BlackBox::kRunTimeStandby), standby + 7);
}

TEST(BlackBox, FaultRecordsFillTheRingAndRepeatsAreCounted) {
  BlackBox box;
  BlackBox::Image image = box.Bytes();
  image[BlackBox::kCurrentRecord] = 12;
  box.SetImage(image);
  BlackBox::FaultRecord record;
  record.code = 7;
  record.voltageTenths = 121;
  record.liquid = -3;
  box.RecordFault(record);
  EXPECT_EQ(box.At(BlackBox::kCurrentRecord), 0) << "after record 12 comes record 0";
  EXPECT_EQ(box.Record(0).code, 7);
  EXPECT_EQ(box.Record(0).repeats, 1);
  EXPECT_EQ(box.At(BlackBox::kRecords + 8), 0xFD) << "temperatures are stored as raw bytes";
  box.RecordFault(record);
  EXPECT_EQ(box.At(BlackBox::kCurrentRecord), 0);
  EXPECT_EQ(box.Record(0).repeats, 2);

  image = box.Bytes();
  image[BlackBox::kCurrentRecord] = 200;  // a foreign image
  box.SetImage(image);
  record.code = 9;
  box.RecordFault(record);
  EXPECT_EQ(box.At(BlackBox::kCurrentRecord), 0);
  EXPECT_EQ(box.Record(0).code, 9);
}

}  // namespace
}  // namespace o5::sim
