// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Requests the tool sends to the heater: command codes (frame byte 5) and the
// bit strings its control bytes are built from.

#include <cstdint>

namespace o5 {

// Control byte of a request whose reply is awaited, and of a frame sent without
// waiting (start, stop and the fallback frames).
inline constexpr const char* kControlAwaitReply = "00001001";
inline constexpr const char* kControlNoReply = "00000001";

inline constexpr uint8_t kCmdStart = 1;
inline constexpr uint8_t kCmdStop = 3;
inline constexpr uint8_t kCmdPostStart = 19;
inline constexpr uint8_t kCmdExit = 20;
inline constexpr uint8_t kCmdVersion = 104;
inline constexpr uint8_t kCmdVersionDate = 105;
inline constexpr uint8_t kCmdBlackBoxRead = 119;

// Every reply the tool awaits carries 0 in byte 4.
inline constexpr uint8_t kReplyByte4 = 0;

// Plain pauses of the commands, in milliseconds.
inline constexpr int kStartPauseMs = 300;
inline constexpr int kFallbackPauseMs = 200;

}  // namespace o5
