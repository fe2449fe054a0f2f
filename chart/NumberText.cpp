// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "heater/TextTranslation.h"

namespace o5 {

namespace {

// std::to_chars writes as printf does in the C locale, whatever the
// process's locale is.
template <class... Format>
std::string CharsOf(double value, Format... format) {
  char text[400];  // the longest fixed text of a double with 3 decimals fits
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, format...);
  return ec == std::errc() ? std::string(text, end) : std::string();
}

std::string WithSeparator(std::string text, std::string_view separator) {
  const std::size_t point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, separator);
  return text;
}

// The separator as a text of the catalogs, translated with the language.
//: The decimal separator of numbers: "," or "."
constexpr const char* kSeparatorText = O5_TEXT("NumberText", ",");

}  // namespace

std::string_view DecimalSeparator() {
  return Translate("NumberText", kSeparatorText) == kDecimalPoint ? kDecimalPoint : kDecimalComma;
}

std::string FixedNumberText(double value, int decimals, std::string_view separator) {
  return WithSeparator(CharsOf(value, std::chars_format::fixed, std::clamp(decimals, 0, 17)), separator);
}

std::string NumberText(double value, int decimals, std::string_view separator) {
  std::string text = CharsOf(value, std::chars_format::fixed, std::clamp(decimals, 0, 17));
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  // A value that rounds to zero from below.
  if (text.find_first_not_of("-0") == std::string::npos && text.front() == '-') text.erase(0, 1);
  return WithSeparator(std::move(text), separator);
}

std::string TenthsText(std::int64_t tenths, std::string_view separator) {
  const std::uint64_t magnitude = tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
  std::string text = tenths < 0 ? "-" : "";
  text += std::to_string(magnitude / 10);
  text += separator;
  text += static_cast<char>('0' + magnitude % 10);
  return text;
}

std::string ShortestNumberText(double value, std::string_view separator) {
  return WithSeparator(CharsOf(value), separator);
}

}  // namespace o5
