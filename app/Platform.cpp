// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

namespace o5 {

std::optional<std::string> DesktopPlatform(const char* forced, const char* display) {
  if (forced && *forced) return std::nullopt;
  if (!display || !*display) return std::nullopt;
  // The toolkit tries each of a ';'-separated list until one starts.
  return std::string("xcb;wayland;") + kNoScreenPlatform;
}

}  // namespace o5
