// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/HeaterCommands.h"

#include <cstdio>
#include <string>

#include "heater/Requests.h"
#include "link/Frame.h"

namespace o5 {

namespace {

void Send(RequestChannel& channel, const char* controlBits, uint8_t code) {
  channel.SendRequest(ControlByteFromBits(controlBits), 0, 0, code, 0, 0, 0, 0);
}

bool Exchange(RequestChannel& channel, uint8_t code) {
  Send(channel, kControlAwaitReply, code);
  return channel.WaitForReply(kReplyByte4, code);
}

// "%d.%d.%d - %d" of reply bytes 6..9.
std::string ReplyDataText(const Frame& reply) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d - %d", reply[5], reply[6], reply[7], reply[8]);
  return text;
}

}  // namespace

void StartHeater(RequestChannel& channel) {
  Send(channel, kControlNoReply, kCmdStart);
  channel.Pause(kStartPauseMs);
  if (Exchange(channel, kCmdPostStart)) return;
  Send(channel, kControlNoReply, kCmdPostStart);
  channel.Pause(kFallbackPauseMs);
}

void StopHeater(RequestChannel& channel) { Send(channel, kControlNoReply, kCmdStop); }

void ReadFirmwareVersion(RequestChannel& channel) {
  if (!Exchange(channel, kCmdVersion)) return;
  const std::string version = ReplyDataText(channel.FrameBuffer());
  if (!Exchange(channel, kCmdVersionDate)) return;
  const std::string date = ReplyDataText(channel.FrameBuffer());
  channel.ConsoleLine("");
  channel.ConsoleLine(Translate("HeaterCommands", kVersionLine.data()) + version);
  channel.ConsoleLine(Translate("HeaterCommands", kVersionDateLine.data()) + date);
}

void SendExitRequest(RequestChannel& channel) {
  if (Exchange(channel, kCmdExit)) return;
  Send(channel, kControlNoReply, kCmdExit);
  channel.Pause(kFallbackPauseMs);
}

}  // namespace o5
