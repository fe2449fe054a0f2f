// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the heater commands and the black-box readout need of the main window:
// the request writer, the reply wait, the frame buffer and the console.

#include <cstdint>
#include <string>

#include "heater/TextTranslation.h"
#include "link/Frame.h"

namespace o5 {

// The console line of a command that got no answer it can use.
inline constexpr const char* kNoReplyLine = O5_TEXT("RequestChannel", "Нет связи с отопителем.");

class RequestChannel {
 public:
  // Writes one request frame (bytes 2..9; start byte and checksum added).
  virtual void SendRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6,
                           uint8_t b7, uint8_t b8, uint8_t b9) = 0;
  // Serves events until the awaited reply has arrived (true) or the wait timed
  // out (false; the console then already shows the time-out line). Waits nest:
  // each keeps its own expected reply and time. `expectedByte6`, when given,
  // is the value reply byte 6 must carry; replies with another are not taken.
  virtual bool WaitForReply(uint8_t expectedByte4, uint8_t expectedByte5, int expectedByte6 = kAnyByte) = 0;
  // The reply that ended the latest successful wait. A command started inside
  // that wait may have received other replies since; this one stays.
  virtual const Frame& FrameBuffer() const = 0;
  // Appends one line (UTF-8) to the console.
  virtual void ConsoleLine(const std::string& line) = 0;
  // A plain sleep of the user-interface thread.
  virtual void Pause(int milliseconds) = 0;

 protected:
  ~RequestChannel() = default;
};

}  // namespace o5
