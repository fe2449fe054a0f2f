// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The legend of the 32 fault bits in the modes window. Telemetry 'j' and the
// black-box records carry four fault bytes; the legend runs in the order the
// record log prints their bits: byte 1 most significant bit first, byte 4 least
// significant bit last. A caption starts with the two-character fault code the
// black box reports (a blank before one-digit codes).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "heater/TextTranslation.h"

namespace o5 {

struct FaultLegendEntry {
  std::string_view name;  // "l" + byte + bit, bit 1 being the least significant
  int top;                // pixels from the top of the legend panel
  int byte;               // fault byte 1..4
  uint8_t mask;
  std::string_view caption;  // UTF-8; two bits have no caption
};

inline constexpr int kFaultBitCount = 32;

extern const std::array<FaultLegendEntry, kFaultBitCount> kFaultLegend;

// The legend names the codes wherever the tool shows one: the black-box grid's
// tooltips and its report, and the console when the heater reports a fault.

// The fault code a caption starts with; 0 for the two bits without a caption.
int FaultCode(const FaultLegendEntry& entry);
// The caption after its code: "Попытки запуска исчерпаны".
std::string FaultMeaning(const FaultLegendEntry& entry);
// The entry's caption in the tool's language ("" for a bit without one).
std::string FaultCaptionText(const FaultLegendEntry& entry);

inline constexpr std::string_view kNoFaultText = O5_TEXT("FaultLegend", "Нет неисправности");
inline constexpr std::string_view kUnknownFaultText = O5_TEXT("FaultLegend", "Неизвестный код");

// What a fault code means: the captions of the bits that report it, in the
// legend's order, joined by ", " (code 17 has two); kNoFaultText for 0 and
// kUnknownFaultText for a code no bit reports.
std::string FaultCodeText(int code);

// The captions of the bits set in fault byte `byte` (1..4), as the legend
// reads them, one a line, the most significant bit first; a set bit without a
// caption is named by its number. Empty when no bit is set.
std::string FaultBitsText(int byte, uint8_t value);

// The console's line for a fault the telemetry reports:
// "Неисправность 13: Попытки запуска исчерпаны".
std::string FaultNotice(int code);
// The console's line when the telemetry's fault code goes back to 0.
inline constexpr std::string_view kFaultGoneNotice = O5_TEXT("FaultLegend", "Неисправность снята");
// kFaultGoneNotice in the tool's language.
std::string FaultGoneNotice();

}  // namespace o5
