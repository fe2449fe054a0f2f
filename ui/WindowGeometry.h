#pragma once
// Window positions read from the settings file stand as they are, except where
// they would break the window's geometry: the toolkit keeps a rectangle as its
// left and right edges, so a left edge near the end of the integer range would
// leave no room for the right one.

#include <QWidget>

#include <algorithm>

namespace o5 {

inline int ClampWindowCoordinate(int value) {
  return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

}  // namespace o5
