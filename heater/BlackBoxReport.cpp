// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/BlackBoxReport.h"

#include "heater/TextTranslation.h"

#include <cmath>
#include <cstdio>
#include <set>

#include "chart/NumberText.h"
#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"

namespace o5 {

namespace {

// Header fields, by black-box address.
constexpr int kCurrentRecord = kBlackBoxCurrentRecordAddress;
constexpr int kFirstAttemptStarts = 8;  // 16 bits
constexpr int kLaterAttemptStarts = 10;  // 16 bits
constexpr int kTotalRunTime = 13;    // 32 bits signed
constexpr int kFaultCount = 29;  // 16 bits
constexpr int kProductCode = 31;
constexpr int kSerialNumber = 32;  // 24 bits

// The header labels, in the order of BlackBoxReport::labels: a count is
// unsigned and ends with a full stop, a run time is signed 32-bit seconds.
enum class HeaderKind { kFlameLearning, kCount, kRunTime };
struct HeaderField {
  const char* prefix;
  int address;
  int width;  // bytes
  HeaderKind kind;
};
const HeaderField kHeaderFields[BlackBoxReport::kLabelCount] = {
    {O5_TEXT("BlackBoxReport", "Значения датчика пламени при обучении: "), 0, 3, HeaderKind::kFlameLearning},
    {O5_TEXT("BlackBoxReport", "Версия: "), 5, 1, HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Номер текущей записи: "), kCurrentRecord, 1, HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Количество прерываний работы (потери питания при работе): "), 7, 1,
     HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Количество запусков с первой попытки: "), kFirstAttemptStarts, 2,
     HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Количество запусков НЕ с первой попытки: "), kLaterAttemptStarts, 2,
     HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Количество незапусков: "), 12, 1, HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Общее время работы : "), kTotalRunTime, 4, HeaderKind::kRunTime},
    {O5_TEXT("BlackBoxReport", "Время работы на малом режиме : "), 17, 4, HeaderKind::kRunTime},
    {O5_TEXT("BlackBoxReport", "Время работы на сильном режиме : "), 21, 4, HeaderKind::kRunTime},
    {O5_TEXT("BlackBoxReport", "Время работы на ждущем режиме : "), 25, 4, HeaderKind::kRunTime},
    {O5_TEXT("BlackBoxReport", "Количество неисправностей (кроме 13 кода): "), kFaultCount, 2,
     HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Код изделия: "), kProductCode, 1, HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Серийный номер: "), kSerialNumber, 3, HeaderKind::kCount},
    {O5_TEXT("BlackBoxReport", "Конфигурационный байт: "), 35, 1, HeaderKind::kCount},
};

// A fault record, one grid row per field, in storage order.
// The three one-byte temperatures are two's complement like the telemetry's:
// a winter start at -20 °C is stored as 236.
enum class FieldKind { kByte, kSignedByte, kWord, kVoltage };
// What a cell's tooltip explains.
enum class Explained { kNothing, kFaultCode, kMode, kFaultByte };
struct RecordField {
  const char* title;
  int offset;
  FieldKind kind;
  Explained explained = Explained::kNothing;
};
constexpr int kFaultCodeRow = 2;
constexpr int kModeRow = 4;
constexpr int kFirstFaultByteOffset = 12;
const RecordField kRecordFields[BlackBoxReport::kRows - 1] = {
    {O5_TEXT("BlackBoxReport", "Количество повторов неисправности"), 0, FieldKind::kByte},
    {O5_TEXT("BlackBoxReport", "Код неисправности"), 1, FieldKind::kByte, Explained::kFaultCode},
    {O5_TEXT("BlackBoxReport", "Время возникновения"), 2, FieldKind::kWord},
    {O5_TEXT("BlackBoxReport", "Режим работы"), 4, FieldKind::kByte, Explained::kMode},
    {O5_TEXT("BlackBoxReport", "Напряжение питания, В"), 5, FieldKind::kVoltage},
    {O5_TEXT("BlackBoxReport", "Температура датчика пламени"), 6, FieldKind::kWord},
    {O5_TEXT("BlackBoxReport", "Температура жидкости"), 8, FieldKind::kSignedByte},
    {O5_TEXT("BlackBoxReport", "Температура перегрева"), 9, FieldKind::kSignedByte},
    {O5_TEXT("BlackBoxReport", "Тжидкости через 10сек работы"), 10, FieldKind::kSignedByte},
    {O5_TEXT("BlackBoxReport", "С какой попытки произведен розжиг"), 11, FieldKind::kByte},
    {O5_TEXT("BlackBoxReport", "Байт ошибки 1"), 12, FieldKind::kByte, Explained::kFaultByte},
    {O5_TEXT("BlackBoxReport", "Байт ошибки 2"), 13, FieldKind::kByte, Explained::kFaultByte},
    {O5_TEXT("BlackBoxReport", "Байт ошибки 3"), 14, FieldKind::kByte, Explained::kFaultByte},
    {O5_TEXT("BlackBoxReport", "Байт ошибки 4"), 15, FieldKind::kByte, Explained::kFaultByte},
};

class ImageReader {
 public:
  explicit ImageReader(const BlackBoxBytes& image) : image_(image) {}

  unsigned U8(int address) const { return image_[static_cast<size_t>(address)]; }
  int S8(int address) const { return static_cast<int8_t>(U8(address)); }
  unsigned U16(int address) const { return U8(address) | U8(address + 1) << 8; }
  unsigned U24(int address) const { return U16(address) | U8(address + 2) << 16; }
  unsigned Unsigned(int address, int width) const {
    return width == 1 ? U8(address) : width == 2 ? U16(address) : U24(address);
  }
  int32_t S32(int address) const {
    return static_cast<int32_t>(U24(address) | static_cast<uint32_t>(U8(address + 3)) << 24);
  }

 private:
  const BlackBoxBytes& image_;
};

}  // namespace

std::string SecondsToText(int32_t seconds) {
  char text[80];
  std::snprintf(text, sizeof text, Translate("BlackBoxReport", "%d сек. (%d-%d:%d:%d)").c_str(), seconds,
                seconds / 86400, seconds % 86400 / 3600, seconds % 3600 / 60, seconds % 60);
  return text;
}

std::string VoltageText(uint8_t tenths, std::string_view decimalSeparator) {
  return TenthsText(tenths, decimalSeparator);
}

int64_t TenthsOfHour(int64_t seconds) {
  constexpr double kSecondsPerTenthHour = 360;
  return std::llround(static_cast<double>(seconds) / kSecondsPerTenthHour);
}

std::string HoursText(int64_t seconds, std::string_view decimalSeparator) {
  return TenthsText(TenthsOfHour(seconds), decimalSeparator);
}

BlackBoxReport MakeBlackBoxReport(const BlackBoxBytes& image, std::string_view decimalSeparator) {
  const ImageReader bb(image);
  BlackBoxReport report;
  auto& l = report.labels;

  for (int i = 0; i < BlackBoxReport::kLabelCount; ++i) {
    const HeaderField& field = kHeaderFields[i];
    const BlackBoxHeaderValue value = HeaderValue(image, i);
    l[static_cast<size_t>(i)] = Translate("BlackBoxReport", field.prefix) + value.text +
                                (field.kind == HeaderKind::kCount ? "." : "");
    if (value.seconds)
      //: A run time of %1 hours.
      report.hours[static_cast<size_t>(i)] =
          WithArgument(Translate("BlackBoxReport", "%1 ч"), HoursText(*value.number, decimalSeparator));
  }

  for (int row = 1; row < BlackBoxReport::kRows; ++row)
    report.cells[row][0] = Translate("BlackBoxReport", kRecordFields[row - 1].title);

  std::set<int> codes, modes;
  for (int k = 0; k < kBlackBoxRecordCount; ++k) {
    const int base = kBlackBoxFirstRecord + kBlackBoxRecordSize * k;
    report.cells[0][k + 1] = std::to_string(k);
    for (int row = 1; row < BlackBoxReport::kRows; ++row) {
      const RecordField& field = kRecordFields[row - 1];
      const int address = base + field.offset;
      std::string& cell = report.cells[row][k + 1];
      switch (field.kind) {
        case FieldKind::kByte: cell = std::to_string(bb.U8(address)); break;
        case FieldKind::kSignedByte: cell = std::to_string(bb.S8(address)); break;
        case FieldKind::kWord: cell = std::to_string(bb.U16(address)); break;
        case FieldKind::kVoltage:
          cell = VoltageText(static_cast<uint8_t>(bb.U8(address)), decimalSeparator);
          break;
      }
      std::string& tip = report.tips[row][k + 1];
      switch (field.explained) {
        case Explained::kNothing: break;
        case Explained::kFaultCode: tip = FaultCodeText(static_cast<int>(bb.U8(address))); break;
        case Explained::kMode: tip = ModeCaptionText(static_cast<int>(bb.U8(address))); break;
        case Explained::kFaultByte:
          tip = FaultBitsText(field.offset - kFirstFaultByteOffset + 1, static_cast<uint8_t>(bb.U8(address)));
          break;
      }
    }
    codes.insert(static_cast<int>(bb.U8(base + kRecordFields[kFaultCodeRow - 1].offset)));
    modes.insert(static_cast<int>(bb.U8(base + kRecordFields[kModeRow - 1].offset)));
  }
  for (int code : codes) report.faultCodes.push_back({code, FaultCodeText(code)});
  for (int mode : modes) report.modes.push_back({mode, ModeNameText(mode)});
  return report;
}

BlackBoxHeaderValue HeaderValue(const BlackBoxBytes& image, int label) {
  const ImageReader bb(image);
  const HeaderField& field = kHeaderFields[label];
  BlackBoxHeaderValue value;
  switch (field.kind) {
    case HeaderKind::kFlameLearning:
      for (int i = 0; i < field.width; ++i) {
        value.numbers.push_back(bb.U8(field.address + i));
        value.text += (i ? ", " : "") + std::to_string(value.numbers.back());
      }
      break;
    case HeaderKind::kCount:
      value.number = bb.Unsigned(field.address, field.width);
      value.text = std::to_string(*value.number);
      break;
    case HeaderKind::kRunTime:
      value.number = bb.S32(field.address);
      value.text = SecondsToText(bb.S32(field.address));
      value.seconds = true;
      break;
  }
  if (value.number) value.numbers.push_back(*value.number);
  return value;
}

std::string HeaderPrefix(int label) { return Translate("BlackBoxReport", kHeaderFields[label].prefix); }

std::string HeaderCaption(int label) {
  std::string caption = HeaderPrefix(label);
  while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':')) caption.pop_back();
  return std::string(caption);
}

BlackBoxSummary SummarizeBlackBox(const BlackBoxBytes& image) {
  const ImageReader bb(image);
  BlackBoxSummary summary;
  summary.serial = bb.U24(kSerialNumber);
  summary.productCode = bb.U8(kProductCode);
  summary.totalRunTime = bb.S32(kTotalRunTime);
  summary.starts = bb.U16(kFirstAttemptStarts) + bb.U16(kLaterAttemptStarts);
  summary.faults = bb.U16(kFaultCount);
  return summary;
}

}  // namespace o5
