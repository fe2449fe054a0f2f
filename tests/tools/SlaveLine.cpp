// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/tools/SlaveLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace o5::test {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point end) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

SlaveLine::SlaveLine(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) throw std::runtime_error("not a terminal: " + path);
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&settings, B1200);
  ::cfsetospeed(&settings, B1200);
  ::tcsetattr(fd_, TCSANOW, &settings);
}

SlaveLine::~SlaveLine() {
  if (fd_ >= 0) ::close(fd_);
}

void SlaveLine::Write(const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (put < 0 && (errno == EINTR || errno == EAGAIN)) {
      pollfd wait{fd_, POLLOUT, 0};
      ::poll(&wait, 1, 100);
      continue;
    }
    if (put <= 0) throw std::runtime_error(std::string("write to the device failed: ") + std::strerror(errno));
    done += static_cast<std::size_t>(put);
  }
}

void SlaveLine::WriteHex(const std::string& hex) { Write(FromHex(hex)); }

SlaveLine::Bytes SlaveLine::ReadAvailable() {
  Bytes bytes;
  std::uint8_t buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

SlaveLine::Bytes SlaveLine::ReadFor(Ms duration) {
  return ReadUntil([](const Bytes&) { return false; }, duration);
}

SlaveLine::Bytes SlaveLine::ReadUntil(const std::function<bool(const Bytes&)>& done, Ms timeout) {
  const auto end = Clock::now() + timeout;
  Bytes bytes;
  while (!done(bytes)) {
    const int wait = RemainingMs(end);
    if (wait <= 0) break;
    pollfd ready{fd_, POLLIN, 0};
    if (::poll(&ready, 1, wait) <= 0) continue;
    if (ready.revents & POLLHUP) {
      const Bytes last = ReadAvailable();
      bytes.insert(bytes.end(), last.begin(), last.end());
      break;
    }
    const Bytes got = ReadAvailable();
    bytes.insert(bytes.end(), got.begin(), got.end());
  }
  return bytes;
}

std::optional<SlaveLine::Bytes> SlaveLine::WaitForReply(std::uint8_t code, Ms timeout) {
  std::optional<Bytes> reply;
  ReadUntil(
      [&](const Bytes& stream) {
        for (const Bytes& frame : ValidFrames(stream)) {
          if ((frame[1] & 0x10) && frame[4] == code) {
            reply = frame;
            return true;
          }
        }
        return false;
      },
      timeout);
  return reply;
}

bool SlaveLine::WaitForHangup(Ms timeout) {
  const auto end = Clock::now() + timeout;
  for (;;) {
    pollfd ready{fd_, POLLIN, 0};
    const int n = ::poll(&ready, 1, RemainingMs(end));
    if (n > 0 && (ready.revents & POLLHUP)) return true;
    if (n > 0) ReadAvailable();
    if (RemainingMs(end) <= 0) return false;
  }
}

std::vector<SlaveLine::Bytes> SlaveLine::Frames(const Bytes& stream) {
  std::vector<Bytes> frames;
  std::size_t i = 0;
  while (i < stream.size()) {
    if (stream[i] != 0xAA) {
      ++i;
      continue;
    }
    if (stream.size() - i < 10) break;
    frames.emplace_back(stream.begin() + static_cast<long>(i), stream.begin() + static_cast<long>(i + 10));
    i += 10;
  }
  return frames;
}

std::vector<SlaveLine::Bytes> SlaveLine::ValidFrames(const Bytes& stream) {
  std::vector<Bytes> frames;
  std::size_t i = 0;
  while (i + 10 <= stream.size()) {
    Bytes candidate(stream.begin() + static_cast<long>(i), stream.begin() + static_cast<long>(i + 10));
    if (ChecksumValid(candidate)) {
      frames.push_back(std::move(candidate));
      i += 10;
    } else {
      ++i;
    }
  }
  return frames;
}

bool SlaveLine::ChecksumValid(const Bytes& frame) {
  if (frame.size() != 10 || frame[0] != 0xAA) return false;
  unsigned sum = 0;
  for (std::size_t i = 0; i < 9; ++i) sum += frame[i];
  return (sum & 0xFF) == frame[9];
}

SlaveLine::Bytes SlaveLine::FromHex(const std::string& hex) {
  Bytes bytes;
  std::string digits;
  for (char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
  }
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

}  // namespace o5::test
