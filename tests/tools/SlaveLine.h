// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tool's end of the simulator's pseudo-terminal, opened raw the way the tool opens a
// serial port, with a small frame reader of its own for the tests.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace o5::test {

class SlaveLine {
 public:
  using Ms = std::chrono::milliseconds;
  using Bytes = std::vector<std::uint8_t>;

  // Opens and sets raw 8N1; throws std::runtime_error.
  explicit SlaveLine(const std::string& path);
  ~SlaveLine();
  SlaveLine(const SlaveLine&) = delete;
  SlaveLine& operator=(const SlaveLine&) = delete;

  void Write(const Bytes& bytes);
  void WriteHex(const std::string& hex);

  // Bytes waiting right now, without waiting.
  Bytes ReadAvailable();
  // Everything that arrives within the time.
  Bytes ReadFor(Ms duration);
  // Reads until the frames read so far (see Frames) satisfy the predicate or the time is up;
  // returns all bytes read by this call.
  Bytes ReadUntil(const std::function<bool(const Bytes&)>& done, Ms timeout);
  // Reads until a frame with a correct checksum, the reply flag and this code arrives.
  std::optional<Bytes> WaitForReply(std::uint8_t code, Ms timeout);
  // True once the other end has gone (POLLHUP).
  bool WaitForHangup(Ms timeout);
  int Fd() const { return fd_; }

  // Frames as the tool assembles them: each starts at 0xAA and takes ten bytes; bytes
  // outside a frame are skipped; a trailing incomplete frame is left out.
  static std::vector<Bytes> Frames(const Bytes& stream);
  // Frames with a correct checksum found anywhere in the stream, for reading a reply out of a
  // stream that may have started in the middle of a frame.
  static std::vector<Bytes> ValidFrames(const Bytes& stream);
  static bool ChecksumValid(const Bytes& frame);
  static Bytes FromHex(const std::string& hex);

 private:
  int fd_ = -1;
};

}  // namespace o5::test
