// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Strict readers for the values of options and commands: the whole text must be the value,
// within its range, or nothing is returned.

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace o5::sim {

std::optional<long long> ParseInteger(std::string_view text, long long min, long long max);
std::optional<double> ParseDecimal(std::string_view text, double min, double max);
// "on", "off", "1", "0", "yes", "no", "true", "false".
std::optional<bool> ParseSwitch(std::string_view text);
// Request codes as a comma-separated list of decimal numbers 0..255 or 0x-prefixed hex
// ("104,105", "0x68"), or "all", or "none" (an empty set).
struct CodeList {
  bool all = false;
  std::set<int> codes;
};
std::optional<CodeList> ParseCodeList(std::string_view text);
std::string FormatCodeList(const CodeList& list);

}  // namespace o5::sim
