// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/HexText.h"

namespace o5::sim {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ':'; }

}  // namespace

std::string ToHex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

std::string ToHex(const std::vector<std::uint8_t>& bytes) { return ToHex(bytes.data(), bytes.size()); }

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    std::string_view group = text.substr(i, end - i);
    if (group.size() > 2 && group[0] == '0' && (group[1] == 'x' || group[1] == 'X')) group.remove_prefix(2);
    if (group.empty() || group.size() % 2 != 0) return std::nullopt;
    for (std::size_t k = 0; k < group.size(); k += 2) {
      const int high = HexDigit(group[k]);
      const int low = HexDigit(group[k + 1]);
      if (high < 0 || low < 0) return std::nullopt;
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    i = end;
  }
  return bytes;
}

}  // namespace o5::sim
