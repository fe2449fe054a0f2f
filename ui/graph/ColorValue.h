// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as the settings file keeps them: a 32-bit integer 0x00BBGGRR (red in
// the lowest byte). The highest byte is not a colour component and is ignored.

#include <QColor>

namespace o5 {

inline QColor ColorFromValue(int value) {
  const auto v = static_cast<unsigned>(value);
  return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

inline int ValueFromColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace o5
