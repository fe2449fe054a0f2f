// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A private X server (Xvfb) for end-to-end tests that drive the real tool as a
// user on a desktop does: real mouse clicks and key presses through the XTest
// extension, windows found by their titles, and the close message a window
// manager sends when the user presses a window's close box.
//
// No window manager runs: windows sit where the program puts them, without
// frames, so a point inside a window is its position plus the point.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

struct _XDisplay;

namespace o5::test {

class XDesktop {
 public:
  using Ms = std::chrono::milliseconds;

  // Starts Xvfb on a free display with a screen of this size and depth and
  // connects to it. Throws std::runtime_error when the server does not come up.
  explicit XDesktop(const std::string& screen = "1280x1024x24");
  // Disconnects and ends the server.
  ~XDesktop();
  XDesktop(const XDesktop&) = delete;
  XDesktop& operator=(const XDesktop&) = delete;

  // ":N", for the DISPLAY of the programs under test.
  const std::string& DisplayName() const { return name_; }

  struct Window {
    unsigned long id = 0;
    int x = 0;  // the window's top-left corner on the screen
    int y = 0;
    int width = 0;
    int height = 0;
  };
  // The top-level window with this title (UTF-8) that is on screen, once
  // there is one within `timeout`.
  std::optional<Window> WaitForWindow(const std::string& title, Ms timeout);
  // True once no window with this title is on screen within `timeout`.
  bool WaitForNoWindow(const std::string& title, Ms timeout);
  // Whether a window with this title is on screen now.
  bool Shown(const std::string& title);
  // Waits until a pop-up (a drop-down list, a menu: a window that no window
  // manager would handle) is on screen, or until none is.
  bool WaitForPopup(bool shown, Ms timeout);
  // Picks the item at `index` (from 0) of a drop-down list that a click has
  // just opened, as the keyboard does: the list, a window of its own, takes
  // the keyboard once it is up; Home goes to its top, Down walks to the item,
  // Enter takes it. False when the list does not open or does not close.
  bool PickFromDropDown(std::size_t index, Ms timeout);

  // A left click at this point of the screen.
  void Click(int x, int y);
  // A press and release of the key with this keysym (XK_Home, ...).
  void Key(unsigned long keysym);
  // The same with a modifier key held down (XK_Control_L, ...).
  void Key(unsigned long modifier, unsigned long keysym);
  // What a window manager sends when the user presses the window's close box:
  // WM_PROTOCOLS with WM_DELETE_WINDOW.
  void SendDeleteWindow(const Window& window);

 private:
  std::optional<Window> FindShown(const std::string& title);
  bool PopupShown();

  pid_t server_ = -1;
  std::string name_;
  _XDisplay* display_ = nullptr;
};

}  // namespace o5::test
