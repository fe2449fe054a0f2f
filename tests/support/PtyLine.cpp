// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace o5::test {

PtyLine::PtyLine(Start start) {
  char name[256] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  path_ = name;
  if (start == Start::Raw) {
    termios t = Attributes();
    cfmakeraw(&t);
    SetAttributes(t);
  }
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyLine::~PtyLine() {
  if (slave_ >= 0) close(slave_);
  CloseMaster();
}

void PtyLine::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

// The pty moves bytes on to the far end's queue a little later, which makes
// room again: fill until a pause brings no more room.
void PtyLine::FillTowardsTheFarEnd() const {
  fcntl(slave_, F_SETFL, fcntl(slave_, F_GETFL) | O_NONBLOCK);
  const std::string block(4096, 'f');
  for (;;) {
    size_t round = 0;
    ssize_t n;
    while ((n = write(slave_, block.data(), block.size())) > 0) round += static_cast<size_t>(n);
    while ((n = write(slave_, block.data(), 1)) > 0) round += static_cast<size_t>(n);
    if (round == 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

termios PtyLine::Attributes() const {
  termios t{};
  if (tcgetattr(slave_, &t) != 0) throw std::runtime_error("tcgetattr failed");
  return t;
}

void PtyLine::SetAttributes(const termios& t) {
  if (tcsetattr(slave_, TCSANOW, &t) != 0) throw std::runtime_error("tcsetattr failed");
}

void PtyLine::Send(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd p{master_, POLLOUT, 0};
      poll(&p, 1, 100);
    } else if (n < 0 && errno != EINTR) {
      throw std::runtime_error("write to the pseudo-terminal failed");
    }
  }
}

std::string PtyLine::Receive(size_t count, std::chrono::milliseconds timeout) {
  std::string out;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (out.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    // Looks at least once, even when the time is already up.
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(std::max<long>(0, left.count()))) <= 0) {
      if (left.count() <= 0) break;
      continue;
    }
    char buf[256];
    const ssize_t n = read(master_, buf, std::min(sizeof buf, count - out.size()));
    if (n > 0) out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

std::string PtyLine::ReceiveAll(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
  std::string out;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(quiet.count())) <= 0) break;
    char buf[256];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

std::string Bytes(const std::string& hex) {
  std::string out;
  int high = -1;
  for (char c : hex) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<char>(high * 16 + v));
      high = -1;
    }
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", static_cast<unsigned char>(bytes[i]));
    out += buf;
  }
  return out;
}

}  // namespace o5::test
