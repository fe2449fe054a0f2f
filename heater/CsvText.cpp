// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/CsvText.h"

#include "chart/NumberText.h"

namespace o5 {

std::string CsvNumber(double value) { return ShortestNumberText(value, kCsvDecimalSeparator); }

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
