// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulator measures every delay on the monotonic clock, so that a change of the wall
// clock neither stalls the telemetry nor releases a delayed reply early.

#include <chrono>

namespace o5::sim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = Clock::duration;
using Milliseconds = std::chrono::milliseconds;

}  // namespace o5::sim
