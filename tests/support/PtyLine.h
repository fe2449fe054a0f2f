// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pseudo-terminal standing in for the heater's serial line: the tool opens
// the slave side by its path, the test plays the heater on the master side.
// The test keeps a slave descriptor of its own open, so the line survives the
// tool closing its port.

#include <termios.h>

#include <chrono>
#include <string>

namespace o5::test {

class PtyLine {
 public:
  // Raw: the line starts raw, as a heater's serial device is set up. AsOpened:
  // the pseudo-terminal keeps its cooked defaults, so that a test sees what the
  // port itself sets.
  enum class Start { Raw, AsOpened };
  explicit PtyLine(Start start = Start::Raw);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  const std::string& Path() const { return path_; }
  int MasterFd() const { return master_; }
  int SlaveFd() const { return slave_; }

  // Hangs the line up, as an unplugged adapter does.
  void CloseMaster();
  // Fills the line towards the far end, which reads nothing, so that the
  // next write of the port is held back (the test's slave descriptor is left
  // non-blocking).
  void FillTowardsTheFarEnd() const;
  // The tty settings as the port left them, and a way to change them behind
  // the port's back.
  termios Attributes() const;
  void SetAttributes(const termios& t);

  // Writes bytes as the heater would send them.
  void Send(const std::string& bytes);
  // Reads until `count` bytes came or `timeout` passed; returns what came.
  std::string Receive(size_t count, std::chrono::milliseconds timeout);
  // Everything that arrives within `quiet` of silence, at most `limit`.
  std::string ReceiveAll(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string path_;
};

// Bytes from a hex text such as "AA 09 00 00 68 00 00 00 00 1B".
std::string Bytes(const std::string& hex);
// Hex text "AA 09 ..." of bytes.
std::string Hex(const std::string& bytes);

}  // namespace o5::test
