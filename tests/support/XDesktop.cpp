// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/XDesktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>
#include <vector>

namespace o5::test {

namespace {

using Clock = std::chrono::steady_clock;

// Ends the server: SIGTERM, then SIGKILL when it lingers.
void EndProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

std::string Utf8Property(Display* display, ::Window window, Atom property, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long items = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string text;
  if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &items,
                         &after, &data) == Success &&
      data) {
    if (actualType == type && format == 8) text.assign(reinterpret_cast<char*>(data), items);
    XFree(data);
  }
  return text;
}

// A window of the tool may go away between listing the windows and looking at
// one (a tool window closed, a popup gone): the look then fails, as the
// callers expect, instead of the default handler ending the test program.
// Any other error goes to that handler.
XErrorHandler defaultErrorHandler = nullptr;

int IgnoreVanishedWindows(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable) return 0;
  return defaultErrorHandler ? defaultErrorHandler(display, error) : 0;
}

}  // namespace

XDesktop::XDesktop(const std::string& screen) {
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  server_ = fork();
  if (server_ < 0) throw std::runtime_error("fork failed");
  if (server_ == 0) {
    // The server must not outlive a test that dies.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int fd = dup(ready[1]);  // without close-on-exec: the server writes to it
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    const std::string fdText = std::to_string(fd);
    // A fixed resolution, so that a window's widgets sit where the test
    // expects them.
    execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(), "-dpi", "96",
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  // Xvfb writes its display number when it accepts connections.
  std::string number;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
    pollfd p{ready[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(ready[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<size_t>(n));
  }
  close(ready[0]);
  if (number.find('\n') == std::string::npos) {
    EndProcess(server_);
    throw std::runtime_error("Xvfb did not come up");
  }
  name_ = ":" + number.substr(0, number.find('\n'));
  display_ = XOpenDisplay(name_.c_str());
  if (!display_) {
    EndProcess(server_);
    throw std::runtime_error("cannot connect to Xvfb on " + name_);
  }
  const XErrorHandler before = XSetErrorHandler(IgnoreVanishedWindows);
  if (before != IgnoreVanishedWindows) defaultErrorHandler = before;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    EndProcess(server_);
    throw std::runtime_error("Xvfb offers no XTest extension");
  }
}

XDesktop::~XDesktop() {
  if (display_) XCloseDisplay(display_);
  EndProcess(server_);
}

std::optional<XDesktop::Window> XDesktop::FindShown(const std::string& title) {
  const Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
  const ::Window root = DefaultRootWindow(display_);
  ::Window rootReturn = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, root, &rootReturn, &parent, &children, &count)) return std::nullopt;
  std::optional<Window> found;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable)
      continue;
    if (Utf8Property(display_, children[i], netName, utf8) != title) continue;
    Window w;
    w.id = children[i];
    ::Window child = 0;
    XTranslateCoordinates(display_, children[i], root, 0, 0, &w.x, &w.y, &child);
    w.width = attributes.width;
    w.height = attributes.height;
    found = w;
  }
  if (children) XFree(children);
  return found;
}

std::optional<XDesktop::Window> XDesktop::WaitForWindow(const std::string& title, Ms timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    XSync(display_, False);
    if (auto w = FindShown(title)) return w;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool XDesktop::WaitForNoWindow(const std::string& title, Ms timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    XSync(display_, False);
    if (!FindShown(title)) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool XDesktop::PopupShown() {
  ::Window rootReturn = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &rootReturn, &parent, &children, &count))
    return false;
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    found = XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.override_redirect;
  }
  if (children) XFree(children);
  return found;
}

bool XDesktop::PickFromDropDown(std::size_t index, Ms timeout) {
  if (!WaitForPopup(true, timeout)) return false;
  Key(XK_Home);
  for (std::size_t i = 0; i < index; ++i) Key(XK_Down);
  Key(XK_Return);
  return WaitForPopup(false, timeout);
}

bool XDesktop::WaitForPopup(bool shown, Ms timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    XSync(display_, False);
    if (PopupShown() == shown) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool XDesktop::Shown(const std::string& title) {
  XSync(display_, False);
  return FindShown(title).has_value();
}

void XDesktop::Click(int x, int y) {
  XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
  XSync(display_, False);
  XTestFakeButtonEvent(display_, 1, True, CurrentTime);
  XSync(display_, False);
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
}

void XDesktop::Key(unsigned long keysym) {
  const KeyCode code = XKeysymToKeycode(display_, keysym);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XSync(display_, False);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

void XDesktop::Key(unsigned long modifier, unsigned long keysym) {
  const KeyCode code = XKeysymToKeycode(display_, modifier);
  XTestFakeKeyEvent(display_, code, True, CurrentTime);
  XSync(display_, False);
  Key(keysym);
  XTestFakeKeyEvent(display_, code, False, CurrentTime);
  XSync(display_, False);
}

void XDesktop::SendDeleteWindow(const Window& window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window.id;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window.id, False, NoEventMask, &event);
  XSync(display_, False);
}

}  // namespace o5::test
