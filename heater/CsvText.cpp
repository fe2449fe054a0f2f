#include "heater/CsvText.h"

#include <charconv>

namespace o5 {

std::string CsvNumber(double value) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  std::string out(text, ec == std::errc() ? end : text);
  const size_t point = out.find('.');
  if (point == std::string::npos) return out;
  return out.substr(0, point) + std::string(kCsvDecimalSeparator) + out.substr(point + 1);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace o5
