// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's commands to the heater and the request sent when the tool shuts
// down. Each runs to its end inside its click handler; a write error (port not
// open, or a frame that did not go out whole) leaves the command at that
// frame, and once the port it began on has gone its remaining frames are
// dropped by the channel.

#include <string_view>

#include "heater/RequestChannel.h"
#include "heater/TextTranslation.h"

namespace o5 {

// The console's lines of a version read begin with these, in the tool's
// language; the session's timeline keeps them, and the act of a visit reads
// the firmware back from them.
inline constexpr std::string_view kVersionLine = O5_TEXT("HeaterCommands", "Версия ");
inline constexpr std::string_view kVersionDateLine = O5_TEXT("HeaterCommands", "Дата   ");

// Start frame, 300 ms pause, post-start request and its wait; without a reply
// the post-start fallback frame and a 200 ms pause.
void StartHeater(RequestChannel& channel);
// Stop frame; nothing awaited.
void StopHeater(RequestChannel& channel);
// Version and version date requests; on two replies the console gets an empty
// line, "Версия ..." and "Дата   ...".
void ReadFirmwareVersion(RequestChannel& channel);
// The exit request and its wait; without a reply the exit fallback frame and a
// 200 ms pause. The caller closes the port afterwards.
void SendExitRequest(RequestChannel& channel);

}  // namespace o5
