// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/ArgParse.h"

#include <cerrno>
#include <cmath>
#include <cctype>
#include <cstdlib>

namespace o5::sim {

std::optional<long long> ParseInteger(std::string_view text, long long min, long long max) {
  if (text.empty() || text.size() > 40) return std::nullopt;
  const std::string copy(text);
  const bool hex = copy.size() > 2 && copy[0] == '0' && (copy[1] == 'x' || copy[1] == 'X');
  if (!hex && !(std::isdigit(static_cast<unsigned char>(copy[0])) || copy[0] == '-')) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(copy.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || end != copy.c_str() + copy.size()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimal(std::string_view text, double min, double max) {
  if (text.empty() || text.size() > 40) return std::nullopt;
  const std::string copy(text);
  const char first = copy[0];
  if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '.')) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(copy.c_str(), &end);
  if (errno != 0 || end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<bool> ParseSwitch(std::string_view text) {
  if (text == "on" || text == "1" || text == "yes" || text == "true") return true;
  if (text == "off" || text == "0" || text == "no" || text == "false") return false;
  return std::nullopt;
}

std::optional<CodeList> ParseCodeList(std::string_view text) {
  CodeList list;
  if (text == "all") {
    list.all = true;
    return list;
  }
  if (text == "none") return list;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string_view item = text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    const auto code = ParseInteger(item, 0, 255);
    if (!code) return std::nullopt;
    list.codes.insert(static_cast<int>(*code));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return list;
}

std::string FormatCodeList(const CodeList& list) {
  if (list.all) return "all";
  if (list.codes.empty()) return "none";
  std::string text;
  for (int code : list.codes) {
    if (!text.empty()) text += ',';
    text += std::to_string(code);
  }
  return text;
}

}  // namespace o5::sim
