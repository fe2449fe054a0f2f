// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/ModeNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "heater/FaultLegend.h"

namespace o5 {
namespace {

TEST(ModeNames, TableHasTheTwentyEightModes) {
  ASSERT_EQ(ModeNames.size(), 28u);
  EXPECT_EQ(ModeNames[0], "Не работает");
  EXPECT_EQ(ModeNames[1], "Проверка перед пуском");
  EXPECT_EQ(ModeNames[2], "Охлаждение");
  for (int i = 1; i <= 18; ++i) EXPECT_EQ(ModeNames[2 + i], "Розжиг" + std::to_string(i));
  EXPECT_EQ(ModeNames[21], "Прогрев");
  EXPECT_EQ(ModeNames[22], "Сильный");
  EXPECT_EQ(ModeNames[23], "Малый");
  EXPECT_EQ(ModeNames[24], "Выжигание");
  EXPECT_EQ(ModeNames[25], "Предпродувка");
  EXPECT_EQ(ModeNames[26], "Продувка");
  EXPECT_EQ(ModeNames[27], "Ждущий");
}

TEST(ModeNames, NumbersOutsideTheTableGetTheUnknownName) {
  EXPECT_EQ(ModeName(27), "Ждущий");
  EXPECT_EQ(ModeName(28), kUnknownModeName);
  EXPECT_EQ(ModeName(255), kUnknownModeName);
  EXPECT_EQ(ModeName(-1), kUnknownModeName);
  EXPECT_EQ(kUnknownModeName, "Неизвестный режим");
}

TEST(ModeNames, CaptionAsTheModesWindowShowsIt) {
  EXPECT_EQ(ModeCaptionText(21), "21 - Прогрев");
  EXPECT_EQ(ModeCaptionText(0), "0 - Не работает");
  EXPECT_EQ(ModeCaptionText(40), "40 - Неизвестный режим");
}

TEST(FaultLegend, CodesAreNamedByTheirCaptions) {
  EXPECT_EQ(FaultCodeText(13), "Попытки запуска исчерпаны");
  EXPECT_EQ(FaultCodeText(4), "КЗ датчика температуры, обрыв датчика температуры");
  EXPECT_EQ(FaultCodeText(17), "КЗ топливного насоса, обрыв цепи топливного насоса");
  EXPECT_EQ(FaultCodeText(1), "перегрев");
  EXPECT_EQ(FaultCodeText(0), "Нет неисправности");
  for (int unknown : {22, 23, 24, 25, 26, 29, 255}) EXPECT_EQ(FaultCodeText(unknown), "Неизвестный код") << unknown;
  EXPECT_EQ(FaultNotice(13), "Неисправность 13: Попытки запуска исчерпаны");
}

TEST(FaultLegend, AFaultBytesSetBitsAreNamedMostSignificantFirst) {
  EXPECT_EQ(FaultBitsText(1, 0x00), "");
  EXPECT_EQ(FaultBitsText(1, 0x40), "13 Попытки запуска исчерпаны");
  EXPECT_EQ(FaultBitsText(2, 0x81), "4 КЗ датчика температуры\n6 Обрыв внутреннего датчика темп.");
  EXPECT_EQ(FaultBitsText(3, 0x06), "15 пониженное напряжение питания\nбит 2: без описания");
  EXPECT_EQ(FaultBitsText(4, 0x01), "1 перегрев");
}

// Every bit of the four fault bytes has exactly one label, named after its byte
// and bit, in the order the record log prints the bits.
TEST(FaultLegend, CoversEveryBitInRecordOrder) {
  std::set<std::string_view> names;
  for (size_t i = 0; i < kFaultLegend.size(); ++i) {
    const FaultLegendEntry& e = kFaultLegend[i];
    ASSERT_EQ(e.name.size(), 3u);
    EXPECT_EQ(e.name[0], 'l');
    EXPECT_EQ(e.name[1] - '0', e.byte) << e.name;
    const int bit = e.name[2] - '0';
    EXPECT_EQ(e.mask, 1u << (bit - 1)) << e.name;
    EXPECT_EQ(e.byte, static_cast<int>(i / 8 + 1)) << e.name;
    EXPECT_EQ(e.mask, 0x80u >> (i % 8)) << e.name;
    if (i > 0) {
      EXPECT_GT(e.top, kFaultLegend[i - 1].top) << e.name;
      EXPECT_LE(e.top - kFaultLegend[i - 1].top, 15) << e.name;
    }
    names.insert(e.name);
  }
  EXPECT_EQ(names.size(), 32u);
  EXPECT_EQ(kFaultLegend.front().top, 9);
  EXPECT_EQ(kFaultLegend.back().top, 471);
}

}  // namespace
}  // namespace o5
