// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxChanges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heater/BlackBoxReport.h"

namespace o5 {
namespace {

void PutLE(BlackBoxBytes& image, int address, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image[static_cast<size_t>(address + i)] = static_cast<uint8_t>(value >> (8 * i));
}

// A used heater: 100 + 20 starts, 3 failed, 7 faults, 10 h run, record 4 the
// newest, each record distinct.
BlackBoxBytes Used() {
  BlackBoxBytes image{};
  image[3] = 0x55, image[4] = 0x37, image[5] = 12, image[6] = 4;
  PutLE(image, 8, 100, 2);
  PutLE(image, 10, 20, 2);
  image[12] = 3;
  PutLE(image, 13, 36000, 4);
  PutLE(image, 29, 7, 2);
  PutLE(image, 32, 658188, 3);
  for (int k = 0; k < kBlackBoxRecordCount; ++k) {
    const int base = kBlackBoxFirstRecord + kBlackBoxRecordSize * k;
    image[static_cast<size_t>(base)] = 1;
    image[static_cast<size_t>(base + 1)] = static_cast<uint8_t>(k + 1);  // code
    PutLE(image, base + 2, static_cast<uint32_t>(100 * k), 2);         // time
  }
  return image;
}

// The heater writes a fault over the oldest record and names it current.
void WriteFault(BlackBoxBytes& image, uint8_t code, uint16_t time) {
  const int next = (image[6] + 1) % kBlackBoxRecordCount;
  const int base = kBlackBoxFirstRecord + kBlackBoxRecordSize * next;
  for (int i = 0; i < kBlackBoxRecordSize; ++i) image[static_cast<size_t>(base + i)] = 0;
  image[static_cast<size_t>(base)] = 1;
  image[static_cast<size_t>(base + 1)] = code;
  PutLE(image, base + 2, time, 2);
  image[6] = static_cast<uint8_t>(next);
}

TEST(BlackBoxChanges, TheLineSaysWhatGrewAndTheChangedLabelsKeepTheirEarlierValues) {
  const BlackBoxBytes earlier = Used();
  BlackBoxBytes current = earlier;
  PutLE(current, 8, 102, 2);
  PutLE(current, 10, 21, 2);
  current[12] = 4;
  PutLE(current, 13, 36000 + 9000, 4);
  PutLE(current, 29, 9, 2);
  WriteFault(current, 5, 700);
  WriteFault(current, 9, 800);

  const BlackBoxChanges changes = CompareBlackBoxes(earlier, current, "07.12.2026 15:20", ",");
  EXPECT_EQ(changes.Line(),
            "Изменения с чтения 07.12.2026 15:20: время работы +2,5 ч, запусков +3, незапусков +1, "
            "неисправностей +2, новых записей неисправностей: 2.");
  EXPECT_EQ(changes.newRecords, (std::vector<int>{5, 6}));

  std::vector<int> labels;
  for (const auto& change : changes.labels) labels.push_back(change.label);
  EXPECT_EQ(labels, (std::vector<int>{BlackBoxReport::kCurrentRecordLabel, 4, 5, 6, 7, 11}));
  EXPECT_EQ(changes.labels[3].tip, "Было: 3. Изменение: +1.");
  EXPECT_EQ(changes.labels[4].tip, "Было: 36000 сек. (0-10:0:0). Изменение: +9000 сек.");
  EXPECT_EQ(changes.PageLines(),
            (std::vector<std::string>{changes.summary, "Номер текущей записи: было 4, изменение +2",
                                      "Количество запусков с первой попытки: было 100, изменение +2",
                                      "Количество запусков НЕ с первой попытки: было 20, изменение +1",
                                      "Количество незапусков: было 3, изменение +1",
                                      "Общее время работы : было 36000 сек. (0-10:0:0), изменение +9000 сек.",
                                      "Количество неисправностей (кроме 13 кода): было 7, изменение +2",
                                      "Новые записи неисправностей (номера столбцов): 5, 6"}));
}

TEST(BlackBoxChanges, NothingChangedSaysSo) {
  const BlackBoxChanges changes = CompareBlackBoxes(Used(), Used(), "07.12.2026 15:20", ",");
  EXPECT_EQ(changes.Line(), "Изменения с чтения 07.12.2026 15:20: нет.");
  EXPECT_TRUE(changes.labels.empty());
  EXPECT_TRUE(changes.newRecords.empty());
  EXPECT_EQ(changes.PageLines(), std::vector<std::string>{"нет."});
}

// Minutes of running read as no hours in the line; the label has them.
TEST(BlackBoxChanges, AFewMinutesOfRunningAreOnlyInTheLabel) {
  BlackBoxBytes current = Used();
  PutLE(current, 13, 36000 + 60, 4);
  const BlackBoxChanges changes = CompareBlackBoxes(Used(), current, "07.12.2026 15:20", ".");
  EXPECT_EQ(changes.summary, "нет.");
  ASSERT_EQ(changes.labels.size(), 1u);
  EXPECT_EQ(changes.labels[0].difference, "+60 сек.");
}

// A repeat of the newest fault is no new record; a turn of the whole ring
// makes every record new although the current-record number is back where it
// was; a record written over one that reads the same is new by the number.
TEST(BlackBoxChanges, NewRecordsByContentsAndByTheCurrentRecordNumber) {
  const BlackBoxBytes earlier = Used();
  BlackBoxBytes repeated = earlier;
  repeated[kBlackBoxFirstRecord + kBlackBoxRecordSize * 4] = 2;
  EXPECT_TRUE(CompareBlackBoxes(earlier, repeated, "", ",").newRecords.empty());

  BlackBoxBytes turned = earlier;
  for (int i = 0; i < kBlackBoxRecordCount; ++i) WriteFault(turned, 3, static_cast<uint16_t>(5000 + i));
  EXPECT_EQ(turned[6], earlier[6]);
  EXPECT_EQ(CompareBlackBoxes(earlier, turned, "", ",").newRecords.size(), 13u);

  BlackBoxBytes same = earlier;
  const int base5 = kBlackBoxFirstRecord + kBlackBoxRecordSize * 5;
  WriteFault(same, earlier[static_cast<size_t>(base5 + 1)], 500);
  EXPECT_EQ(CompareBlackBoxes(earlier, same, "", ",").newRecords, std::vector<int>{5});
}

}  // namespace
}  // namespace o5
