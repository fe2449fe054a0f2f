#pragma once
// The reply wait: serves the event loop until the frame receiver holds the
// awaited reply or its reply ticks have run out. It sleeps in the event loop
// between events (a hand-over from the port or the 100 ms timer tick), so a
// wait costs no processor time.

#include <cstdint>

#include "link/FrameReceiver.h"

namespace o5 {

// `cancel`, when given, ends the wait early (false) once it is set, e.g. when
// the program is shutting down inside the wait. `reply`, when given, gets the
// reply that ended this wait: a command started inside the wait may have
// received other replies since.
bool ServeUntilReply(FrameReceiver& receiver, uint8_t expectedByte4, uint8_t expectedByte5,
                     const bool* cancel = nullptr, Frame* reply = nullptr);

// How many reply waits are running (nested waits count each), so that work
// that must not change the link under a running command can hold back.
int ReplyWaitDepth();

}  // namespace o5
