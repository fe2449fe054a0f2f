// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notices a line that has fallen quiet: the port open and no valid frame for a
// while, because the wrong port is chosen, the heater is off or the cable is
// loose. It speaks once for each silence: a frame ends the silence, and the
// next one counts afresh. Plain C++; the caller gives the time.

#include <chrono>
#include <optional>

namespace o5 {

class SilenceWatch {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kSilence{5000};

  // The port has opened: the silence counts from now.
  void Opened(Clock::time_point now);
  // The port has closed: nothing counts until it opens again.
  void Closed();
  // A frame with a valid checksum has arrived.
  void FrameArrived(Clock::time_point now);
  // A command is talking to the heater and tells of a heater that does not
  // answer itself: the silence counts from the command's end. A silence
  // already told is not told again for it.
  void Hold(Clock::time_point now);
  // True once per silence, when it has lasted kSilence with the port open.
  bool Due(Clock::time_point now);

  // When the latest valid frame arrived, whether or not the port is open now.
  std::optional<Clock::time_point> LastFrame() const { return lastFrame_; }

 private:
  bool open_ = false;
  bool spoken_ = false;
  Clock::time_point since_{};
  std::optional<Clock::time_point> lastFrame_;
};

}  // namespace o5
