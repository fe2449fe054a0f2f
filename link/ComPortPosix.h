// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The port's platform layer: the tty device under termios. Every function takes
// a descriptor and reports failure as an errno value (0 for success); turning a
// failure into the port's error code is left to the caller, who knows which
// operation failed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/ComTypes.h"

namespace o5::posix {

// What an errno means to the port. This is the one place that looks at errno
// values; everything else asks it.
enum class ErrnoKind {
  Interrupted,  // try the call again
  WouldBlock,   // nothing to read, or no room to write, right now
  Unsupported,  // the device has no such feature (pseudo-terminals lack modem lines)
  DeviceGone,   // unplugged adapter or hung-up line: the descriptor is dead
  Failure,      // any other failure of the call
};
ErrnoKind ClassifyErrno(int err);

std::string DevicePath(const std::string& name);

// Opens a tty for exclusive use by this program; on success *fd holds it.
int OpenExclusive(const std::string& path, int* fd);
void CloseExclusive(int fd);

struct LineConfig {
  int bitRate = 9600;
  TDataBits dataBits = dbEight;
  TStopBits stopBits = sbOneStopBit;
  TParityBits parity = prNone;
  bool replaceParityErrors = false;
  bool rtsCtsFlow = false;
  bool xonXoffOut = false;
  bool xonXoffIn = false;
  uint8_t xonChar = 17;
  uint8_t xoffChar = 19;
  TDTRFlowControl dtr = dtrDisable;
  TRTSFlowControl rts = rtsDisable;
};
int ApplyLine(int fd, const LineConfig& config);

int InputCount(int fd, int* count);

struct ReadResult {
  size_t bytes = 0;
  bool endOfFile = false;  // the line hung up
  int error = 0;
};
// Takes what has arrived, up to `size` bytes; never waits.
ReadResult ReadAvailable(int fd, char* buffer, size_t size);

struct WriteResult {
  size_t written = 0;
  int error = 0;
};
// Writes all bytes and waits for them to leave the driver, for at most
// `limitMs` milliseconds (-1: no limit). Bytes still queued when the limit runs
// out are discarded and not counted as written.
WriteResult WriteWithin(int fd, const char* data, size_t size, int limitMs, int bitRate);

// CTS, DSR, ring and RLSD. A device without modem lines reads as all off.
int ModemLines(int fd, TComSignals* states);

// Line error counters of the driver, in the order of the index names below.
enum LineErrorIndex { leFrame, leParity, leOverrun, leBreak, leBufferOverrun, leCount };
using LineErrorCounts = std::array<uint32_t, leCount>;
int ReadLineErrorCounts(int fd, LineErrorCounts* counts);

// Discards the contents of both driver queues.
int Purge(int fd);

}  // namespace o5::posix
