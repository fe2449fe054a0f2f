// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which windowing platform the tool asks the toolkit for.

#include <optional>
#include <string>

namespace o5 {

// The platforms to try, in order, when the user chose none. The windows place
// themselves (the saved positions of the modes and graph windows, the centred
// main window) and the modes window stays above the others; a native Wayland
// client may do neither. So wherever an X display is named (an X session, or
// XWayland in a Wayland session) the X11 platform comes first. The variable
// may be stale, or the X11 plugin missing: the tool then falls back to
// Wayland, and last to no screen, where it ends with a message of its own
// instead of the toolkit's abort.
// `forced` is the value of QT_QPA_PLATFORM, `display` that of DISPLAY
// (nullptr when unset). Nothing when the user forced a platform or no X
// display is named.
std::optional<std::string> DesktopPlatform(const char* forced, const char* display);

// The platform of the last resort above: the tool does not run on it.
inline constexpr const char* kNoScreenPlatform = "offscreen";

}  // namespace o5
