// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/PtyDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace o5::sim {

namespace {

[[noreturn]] void ThrowSystem(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

std::string ReadLinkTarget(const std::string& path) {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
  if (length < 0) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// The device starts raw, 1200 baud 8N1 without flow control, like a serial port set up for
// the heater. A pseudo-terminal ignores the bit rate, but the line discipline does not ignore
// echo and canonical mode: left on, the device would echo the heater's frames back to it, and
// the heater would take an echoed telemetry frame of kind 'h' or 'i' for a version request.
void PrepareDevice(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) ThrowSystem("cannot open " + path);
  termios settings{};
  if (::tcgetattr(fd, &settings) == 0) {
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD | CS8;
    ::cfsetispeed(&settings, B1200);
    ::cfsetospeed(&settings, B1200);
    ::tcsetattr(fd, TCSANOW, &settings);
  }
  // Closing it again matters too: only a device that has been opened and closed once makes
  // our end report POLLHUP while nobody holds it, which is how the simulator notices that its
  // bytes would be lost.
  ::close(fd);
}

}  // namespace

PtyDevice::~PtyDevice() {
  RemoveLink();
  Close();
}

void PtyDevice::Open() {
  Close();
  const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ThrowSystem("cannot create a pseudo-terminal");
  if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    ThrowSystem("cannot unlock the pseudo-terminal");
  }
  char name[256];
  if (::ptsname_r(fd, name, sizeof name) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    ThrowSystem("cannot name the pseudo-terminal");
  }
  try {
    PrepareDevice(name);
  } catch (...) {
    ::close(fd);
    throw;
  }
  master_ = fd;
  devicePath_ = name;
}

void PtyDevice::Hold() {
  if (held_ >= 0 || master_ < 0) return;
  const int fd = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ThrowSystem("cannot open " + devicePath_);
  // The lock binds every program that locks (root included); the exclusive mode refuses the
  // open itself to programs that do not.
  ::flock(fd, LOCK_EX | LOCK_NB);
  ::ioctl(fd, TIOCEXCL);
  held_ = fd;
}

void PtyDevice::Release() {
  if (held_ < 0) return;
  ::ioctl(held_, TIOCNXCL);
  ::close(held_);
  held_ = -1;
}

void PtyDevice::Close() {
  Release();
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

bool PtyDevice::PeerPresent() const {
  if (master_ < 0) return false;
  pollfd probe{master_, POLLOUT, 0};
  if (::poll(&probe, 1, 0) < 0) return true;
  return (probe.revents & POLLHUP) == 0;
}

void PtyDevice::PlaceLink(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
    throw std::runtime_error("refusing to replace " + path + ": it exists and is not a symbolic link");
  }
  // Made under a temporary name and renamed over the old link, so that a program opening the
  // link never finds it missing.
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(devicePath_.c_str(), temporary.c_str()) != 0) {
    throw std::runtime_error("cannot create the link " + path + ": " + std::strerror(errno));
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(temporary.c_str());
    throw std::runtime_error("cannot create the link " + path + ": " + std::strerror(saved));
  }
  linkPath_ = path;
  linkTarget_ = devicePath_;
}

void PtyDevice::RemoveLink() {
  if (linkPath_.empty()) return;
  if (ReadLinkTarget(linkPath_) == linkTarget_) ::unlink(linkPath_.c_str());
  linkPath_.clear();
  linkTarget_.clear();
}

}  // namespace o5::sim
