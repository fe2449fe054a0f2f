// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/FaultLegend.h"

#include "heater/TextTranslation.h"

namespace o5 {

const std::array<FaultLegendEntry, kFaultBitCount> kFaultLegend = {{
    {"l18", 9, 1, 0x80, O5_TEXT("FaultLegend", "16 ДП недостаточно остыл")},
    {"l17", 23, 1, 0x40, O5_TEXT("FaultLegend", "13 Попытки запуска исчерпаны")},
    {"l16", 38, 1, 0x20, O5_TEXT("FaultLegend", "20 Нет связи по послед. каналу")},
    {"l15", 53, 1, 0x10, O5_TEXT("FaultLegend", "17 КЗ топливного насоса")},
    {"l14", 68, 1, 0x08, O5_TEXT("FaultLegend", "17 обрыв цепи топливного насоса")},
    {"l13", 83, 1, 0x04, O5_TEXT("FaultLegend", "28 Самовращение воздуходувки")},
    {"l12", 98, 1, 0x02, O5_TEXT("FaultLegend", "10 Трудное вращение воздуходувкой")},
    {"l11", 113, 1, 0x01, O5_TEXT("FaultLegend", "27 воздуходувка не вращается")},
    {"l28", 128, 2, 0x80, O5_TEXT("FaultLegend", " 4 КЗ датчика температуры")},
    {"l27", 143, 2, 0x40, O5_TEXT("FaultLegend", " 4 обрыв датчика температуры")},
    {"l26", 158, 2, 0x20, O5_TEXT("FaultLegend", " 3 КЗ датчика перегрева")},
    {"l25", 172, 2, 0x10, O5_TEXT("FaultLegend", " 3 обрыв датчика перегрева")},
    {"l24", 187, 2, 0x08, O5_TEXT("FaultLegend", "21 срыв пламени на  прогреве")},
    {"l23", 202, 2, 0x04, O5_TEXT("FaultLegend", " 5 обрыв датчика пламени")},
    {"l22", 217, 2, 0x02, O5_TEXT("FaultLegend", " 6 КЗ внутреннего датчика темп.")},
    {"l21", 232, 2, 0x01, O5_TEXT("FaultLegend", " 6 Обрыв внутреннего датчика темп.")},
    {"l38", 247, 3, 0x80, O5_TEXT("FaultLegend", " 9 свеча КЗ")},
    {"l37", 262, 3, 0x40, O5_TEXT("FaultLegend", " 9 свеча обрыв")},
    {"l36", 277, 3, 0x20, O5_TEXT("FaultLegend", "14 помпа КЗ")},
    {"l35", 292, 3, 0x10, O5_TEXT("FaultLegend", "14 помпа обрыв")},
    {"l34", 307, 3, 0x08, O5_TEXT("FaultLegend", "12 повышенное напряжение питания")},
    {"l33", 321, 3, 0x04, O5_TEXT("FaultLegend", "15 пониженное напряжение питания")},
    {"l32", 336, 3, 0x02, ""},
    {"l31", 351, 3, 0x01, ""},
    {"l48", 366, 4, 0x80, O5_TEXT("FaultLegend", "18 реле КЗ")},
    {"l47", 381, 4, 0x40, O5_TEXT("FaultLegend", "18 реле обрыв")},
    {"l46", 396, 4, 0x20, O5_TEXT("FaultLegend", " 7 срыв пламени на режиме малый")},
    {"l45", 411, 4, 0x10, O5_TEXT("FaultLegend", " 8 срыв пламени на режиме сильный")},
    {"l44", 426, 4, 0x08, O5_TEXT("FaultLegend", "19 срыв пламени на режиме средний")},
    {"l43", 441, 4, 0x04, O5_TEXT("FaultLegend", "11 перегрев по скорости")},
    {"l42", 456, 4, 0x02, O5_TEXT("FaultLegend", " 2 возможный перегрев")},
    {"l41", 471, 4, 0x01, O5_TEXT("FaultLegend", " 1 перегрев")},
}};

int FaultCode(const FaultLegendEntry& entry) {
  int code = 0;
  for (char c : entry.caption.substr(0, 2)) {
    if (c >= '0' && c <= '9') code = code * 10 + (c - '0');
  }
  return code;
}

std::string FaultCaptionText(const FaultLegendEntry& entry) {
  // The table's captions are literals: each view ends where its literal does.
  return entry.caption.empty() ? std::string() : Translate("FaultLegend", entry.caption.data());
}

std::string FaultMeaning(const FaultLegendEntry& entry) {
  // The code, two characters wide, then a blank, in every language: the
  // meaning follows them. A text in another form is a meaning as it stands.
  const std::string caption = FaultCaptionText(entry);
  std::size_t at = 0;
  while (at < caption.size() && caption[at] == ' ') ++at;
  const std::size_t digits = at;
  while (at < caption.size() && caption[at] >= '0' && caption[at] <= '9') ++at;
  if (at == digits || at >= caption.size() || caption[at] != ' ') return caption;
  return caption.substr(at + 1);
}

std::string FaultCodeText(int code) {
  if (code == 0) return Translate("FaultLegend", kNoFaultText.data());
  std::string text;
  for (const FaultLegendEntry& entry : kFaultLegend) {
    if (FaultCode(entry) != code) continue;
    if (!text.empty()) text += ", ";
    text += FaultMeaning(entry);
  }
  return text.empty() ? Translate("FaultLegend", kUnknownFaultText.data()) : text;
}

std::string FaultBitsText(int byte, uint8_t value) {
  std::string text;
  for (const FaultLegendEntry& entry : kFaultLegend) {
    if (entry.byte != byte || !(value & entry.mask)) continue;
    if (!text.empty()) text += '\n';
    if (entry.caption.empty()) {
      int bit = 1;
      while ((1u << (bit - 1)) != entry.mask) ++bit;
      text += WithArgument(Translate("FaultLegend", "бит %1: без описания"), std::to_string(bit));
    } else {
      // The legend's blank before a one-digit code only aligns its column.
      const std::string caption = FaultCaptionText(entry);
      text += caption.substr(caption.front() == ' ' ? 1 : 0);
    }
  }
  return text;
}

std::string FaultNotice(int code) {
  //: %1 is the fault's code, %2 its name.
  return WithArgument(Translate("FaultLegend", "Неисправность %1: %2"), {std::to_string(code), FaultCodeText(code)});
}

std::string FaultGoneNotice() { return Translate("FaultLegend", kFaultGoneNotice.data()); }

}  // namespace o5
