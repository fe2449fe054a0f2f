// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/SilenceWatch.h"

namespace o5 {

void SilenceWatch::Opened(Clock::time_point now) {
  open_ = true;
  spoken_ = false;
  since_ = now;
}

void SilenceWatch::Closed() { open_ = false; }

void SilenceWatch::FrameArrived(Clock::time_point now) {
  lastFrame_ = now;
  since_ = now;
  spoken_ = false;
}

void SilenceWatch::Hold(Clock::time_point now) { since_ = now; }

bool SilenceWatch::Due(Clock::time_point now) {
  if (!open_ || spoken_ || now - since_ < kSilence) return false;
  spoken_ = true;
  return true;
}

}  // namespace o5
