#include "app/Platform.h"

namespace o5 {

std::optional<std::string> DesktopPlatform(const char* forced, const char* display) {
  if (forced && *forced) return std::nullopt;
  if (!display || !*display) return std::nullopt;
  return std::string("xcb");
}

}  // namespace o5
