#pragma once
// Which windowing platform the tool asks the toolkit for.

#include <optional>
#include <string>

namespace o5 {

// The platform to use when the user chose none. The windows place themselves
// (the saved positions of the modes and graph windows, the centred main
// window) and the modes window stays above the others; a native Wayland
// client may do neither. So wherever an X display is there (an X session, or
// XWayland in a Wayland session) the X11 platform is taken. `forced` is the
// value of QT_QPA_PLATFORM, `display` that of DISPLAY (nullptr when unset).
// Nothing when the user forced a platform or no X display is known.
std::optional<std::string> DesktopPlatform(const char* forced, const char* display);

}  // namespace o5
