// SPDX-License-Identifier: GPL-3.0-or-later
// The windowing platform the tool asks for when the user forces none.

#include <gtest/gtest.h>

#include "app/Platform.h"

namespace o5::test {
namespace {

TEST(DesktopPlatform, AnXDisplayGetsTheX11PlatformUnlessTheUserChoseOne) {
  // A Wayland session with XWayland, or a plain X session.
  // X11 first; a stale display falls back to Wayland, then to no screen (where the tool ends).
  EXPECT_EQ(DesktopPlatform(nullptr, ":0"), "xcb;wayland;offscreen");
  EXPECT_EQ(DesktopPlatform("", ":1"), "xcb;wayland;offscreen");
  // The user's choice stands.
  EXPECT_EQ(DesktopPlatform("wayland", ":0"), std::nullopt);
  EXPECT_EQ(DesktopPlatform("offscreen", ":0"), std::nullopt);
  // Without an X display the toolkit chooses (a Wayland-only session).
  EXPECT_EQ(DesktopPlatform(nullptr, nullptr), std::nullopt);
  EXPECT_EQ(DesktopPlatform(nullptr, ""), std::nullopt);
}

}  // namespace
}  // namespace o5::test
