// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reply wait: serves the event loop until the frame receiver holds the
// awaited reply or its reply ticks have run out. It sleeps in the event loop
// between events (a hand-over from the port or the 100 ms timer tick), so a
// wait costs no processor time.

#include <cstdint>
#include <functional>

#include "link/FrameReceiver.h"

namespace o5 {

// `cancelled`, when given, ends the wait early (false) once it holds, e.g.
// when the program is shutting down inside the wait or the port the command
// wrote to has gone; it is asked before every look at the reply, so a reply
// that came on a port opened since is not taken. `reply`, when given, gets the
// reply that ended this wait: a command started inside the wait may have
// received other replies since.
// `expectedByte6`, when given, is the value reply byte 6 must carry.
bool ServeUntilReply(FrameReceiver& receiver, uint8_t expectedByte4, uint8_t expectedByte5,
                     const std::function<bool()>& cancelled = {}, Frame* reply = nullptr,
                     int expectedByte6 = kAnyByte);

}  // namespace o5
