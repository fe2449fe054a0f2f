// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz entry for the black-box report: any 256-byte image, under one of a few
// decimal separators.
//
// Input: byte 0 picks the separator; the next 256 bytes are the image (a
// shorter input leaves the rest zero, a longer one is cut).
//
// Holds, for every image: each of the fifteen labels and every grid cell is
// exactly the text that the memory layout calls for, worked out here on its
// own (64-bit arithmetic for the run times, printf for every number and for
// the voltages, the three one-byte temperatures as two's complement); the
// top-left cell is empty; every text, tooltips included, is UTF-8; the codes
// and modes explained are those of the records, each once, ascending.

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fuzz/FuzzCheck.h"
#include "heater/BlackBoxReport.h"

namespace o5::fuzz {
namespace {

// ',' and '.' as the common locales have them, the Arabic decimal separator
// (two bytes of UTF-8), and none at all.
constexpr std::string_view kSeparators[] = {",", ".", "\xD9\xAB", ""};

const char* const kRowTitles[] = {
    "Количество повторов неисправности", "Код неисправности", "Время возникновения",
    "Режим работы", "Напряжение питания, В", "Температура датчика пламени",
    "Температура жидкости", "Температура перегрева", "Тжидкости через 10сек работы",
    "С какой попытки произведен розжиг", "Байт ошибки 1", "Байт ошибки 2", "Байт ошибки 3",
    "Байт ошибки 4"};

std::string Unsigned(uint64_t v) {
  char text[32];
  std::snprintf(text, sizeof text, "%" PRIu64, v);
  return text;
}

std::string SignedByte(uint64_t v) {
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64, v >= 128 ? static_cast<int64_t>(v) - 256 : static_cast<int64_t>(v));
  return text;
}

class Image {
 public:
  explicit Image(const BlackBoxBytes& bytes) : b_(bytes) {}
  uint64_t Le(int address, int width) const {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = v * 256 + b_[static_cast<size_t>(address + i)];
    return v;
  }
  int64_t Signed32(int address) const {
    const uint64_t v = Le(address, 4);
    return v >= 0x80000000u ? static_cast<int64_t>(v) - 0x100000000LL : static_cast<int64_t>(v);
  }

 private:
  const BlackBoxBytes& b_;
};

// "%d сек. (%d-%d:%d:%d)": days, hours, minutes, seconds truncated toward zero,
// each with the sign of the whole.
std::string RunTimeText(int64_t seconds) {
  const int64_t sign = seconds < 0 ? -1 : 1;
  const int64_t m = seconds * sign;
  char text[96];
  std::snprintf(text, sizeof text, "%" PRId64 " сек. (%" PRId64 "-%" PRId64 ":%" PRId64 ":%" PRId64 ")",
                seconds, sign * (m / 86400), sign * (m % 86400 / 3600), sign * (m % 3600 / 60),
                sign * (m % 60));
  return text;
}

std::string Voltage(unsigned tenths, std::string_view separator) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
  std::string s(text);
  const size_t point = s.find('.');
  Require(point != std::string::npos, "printf gives a point in the C locale");
  return s.substr(0, point) + std::string(separator) + s.substr(point + 1);
}

}  // namespace
}  // namespace o5::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace o5;
  using namespace o5::fuzz;
  if (size == 0) return 0;
  const std::string_view separator = kSeparators[data[0] % std::size(kSeparators)];
  BlackBoxBytes bytes{};
  std::copy(data + 1, data + std::min<size_t>(size, bytes.size() + 1), bytes.begin());
  const Image im(bytes);

  const BlackBoxReport report = MakeBlackBoxReport(bytes, separator);

  const std::string count[] = {
      "",
      "Версия: " + Unsigned(im.Le(5, 1)) + ".",
      "Номер текущей записи: " + Unsigned(im.Le(6, 1)) + ".",
      "Количество прерываний работы (потери питания при работе): " + Unsigned(im.Le(7, 1)) + ".",
      "Количество запусков с первой попытки: " + Unsigned(im.Le(8, 2)) + ".",
      "Количество запусков НЕ с первой попытки: " + Unsigned(im.Le(10, 2)) + ".",
      "Количество незапусков: " + Unsigned(im.Le(12, 1)) + ".",
      "Общее время работы : " + RunTimeText(im.Signed32(13)),
      "Время работы на малом режиме : " + RunTimeText(im.Signed32(17)),
      "Время работы на сильном режиме : " + RunTimeText(im.Signed32(21)),
      "Время работы на ждущем режиме : " + RunTimeText(im.Signed32(25)),
      "Количество неисправностей (кроме 13 кода): " + Unsigned(im.Le(29, 2)) + ".",
      "Код изделия: " + Unsigned(im.Le(31, 1)) + ".",
      "Серийный номер: " + Unsigned(im.Le(32, 3)) + ".",
      "Конфигурационный байт: " + Unsigned(im.Le(35, 1)) + ".",
  };
  Require(report.labels[0] == "Значения датчика пламени при обучении: " + Unsigned(im.Le(0, 1)) +
                                  ", " + Unsigned(im.Le(1, 1)) + ", " + Unsigned(im.Le(2, 1)),
          "flame-sensor label");
  for (int i = 1; i < BlackBoxReport::kLabelCount; ++i)
    Require(report.labels[static_cast<size_t>(i)] == count[i], "header label");
  for (const std::string& label : report.labels) Require(ValidUtf8(label), "label is UTF-8");

  Require(report.cells[0][0].empty(), "top-left cell stays empty");
  for (int row = 1; row < BlackBoxReport::kRows; ++row)
    Require(report.cells[static_cast<size_t>(row)][0] == kRowTitles[row - 1], "row title");
  for (int k = 0; k < kBlackBoxRecordCount; ++k) {
    const int base = kBlackBoxFirstRecord + kBlackBoxRecordSize * k;
    const auto cell = [&](int row) -> const std::string& {
      return report.cells[static_cast<size_t>(row)][static_cast<size_t>(k + 1)];
    };
    Require(cell(0) == Unsigned(static_cast<uint64_t>(k)), "record number");
    Require(cell(1) == Unsigned(im.Le(base + 0, 1)), "repeats");
    Require(cell(2) == Unsigned(im.Le(base + 1, 1)), "fault code");
    Require(cell(3) == Unsigned(im.Le(base + 2, 2)), "time of the fault");
    Require(cell(4) == Unsigned(im.Le(base + 4, 1)), "mode");
    Require(cell(5) == Voltage(static_cast<unsigned>(im.Le(base + 5, 1)), separator), "supply voltage");
    Require(cell(6) == Unsigned(im.Le(base + 6, 2)), "flame-sensor temperature");
    for (int row = 7; row <= 9; ++row)
      Require(cell(row) == SignedByte(im.Le(base + row + 1, 1)), "one-byte temperature");
    for (int row = 10; row < BlackBoxReport::kRows; ++row)
      Require(cell(row) == Unsigned(im.Le(base + row + 1, 1)), "one-byte field");
    for (int row = 0; row < BlackBoxReport::kRows; ++row) {
      Require(ValidUtf8(cell(row)), "cell is UTF-8");
      Require(ValidUtf8(report.tips[static_cast<size_t>(row)][static_cast<size_t>(k + 1)]), "tip is UTF-8");
    }
    Require(!report.tips[2][static_cast<size_t>(k + 1)].empty(), "every fault code is explained");
    Require(!report.tips[4][static_cast<size_t>(k + 1)].empty(), "every mode is explained");
  }
  const auto explainsTheRecords = [&](const std::vector<BlackBoxReport::Meaning>& meanings, int offset) {
    std::vector<int> expected;
    for (int k = 0; k < kBlackBoxRecordCount; ++k)
      expected.push_back(static_cast<int>(im.Le(kBlackBoxFirstRecord + kBlackBoxRecordSize * k + offset, 1)));
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    std::vector<int> got;
    for (const auto& m : meanings) {
      got.push_back(m.number);
      Require(!m.text.empty() && ValidUtf8(m.text), "a meaning is UTF-8 text");
    }
    return got == expected;
  };
  Require(explainsTheRecords(report.faultCodes, 1), "each fault code of the records once, ascending");
  Require(explainsTheRecords(report.modes, 4), "each mode of the records once, ascending");
  return 0;
}
