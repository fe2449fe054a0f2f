// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/LineFaults.h"

#include <cstdio>

namespace o5::sim {

namespace {

constexpr long long kMaxDelayMs = 60000;

std::string Percent(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::optional<std::string> SetPercent(double& target, std::string_view name, const std::vector<std::string>& args) {
  if (args.size() != 1) return std::string(name) + " needs one value: a percentage 0..100";
  const auto value = ParseDecimal(args[0], 0, 100);
  if (!value) return std::string(name) + ": '" + args[0] + "' is not a percentage 0..100";
  target = *value;
  return std::nullopt;
}

std::optional<std::string> SetDelay(Milliseconds& target, std::string_view name, const std::string& text) {
  const auto value = ParseInteger(text, 0, kMaxDelayMs);
  if (!value) return std::string(name) + ": '" + text + "' is not a time of 0..60000 ms";
  target = Milliseconds{*value};
  return std::nullopt;
}

std::optional<std::string> SetSwitch(bool& target, std::string_view name, const std::vector<std::string>& args) {
  if (args.empty()) {
    target = true;
    return std::nullopt;
  }
  const auto value = args.size() == 1 ? ParseSwitch(args[0]) : std::nullopt;
  if (!value) return std::string(name) + " takes on or off";
  target = *value;
  return std::nullopt;
}

}  // namespace

std::string LineFaults::Describe() const {
  return "bad-checksum=" + Percent(badChecksumPercent) + " partial=" + Percent(partialPercent) +
         " noise=" + Percent(noisePercent) + " split=" + Percent(splitPercent) +
         " split-gap=" + std::to_string(splitGap.count()) + " no-reply=" + FormatCodeList(noReply) +
         " reply-delay=" + std::to_string(replyDelay.count()) + " wrong-byte4=" + (wrongByte4 ? "on" : "off") +
         " no-blackbox=" + (noBlackBox ? "on" : "off");
}

bool IsFaultSetting(std::string_view name) {
  return name == kFaultBadChecksum || name == kFaultPartial || name == kFaultNoise || name == kFaultSplit ||
         name == kFaultSplitGap || name == kFaultNoReply || name == kFaultReplyDelay || name == kFaultWrongByte4 ||
         name == kFaultNoBlackBox;
}

std::optional<std::string> ApplyFaultSetting(LineFaults& faults, std::string_view name,
                                             const std::vector<std::string>& args) {
  LineFaults next = faults;
  std::optional<std::string> error;
  if (name == kFaultBadChecksum) {
    error = SetPercent(next.badChecksumPercent, name, args);
  } else if (name == kFaultPartial) {
    error = SetPercent(next.partialPercent, name, args);
  } else if (name == kFaultNoise) {
    error = SetPercent(next.noisePercent, name, args);
  } else if (name == kFaultSplit) {
    // "split PCT [GAP]" sets both at once, the way one types it while watching the tool.
    if (args.size() == 2) {
      error = SetDelay(next.splitGap, kFaultSplitGap, args[1]);
      if (!error) error = SetPercent(next.splitPercent, name, {args[0]});
    } else {
      error = SetPercent(next.splitPercent, name, args);
    }
  } else if (name == kFaultSplitGap) {
    error = args.size() == 1 ? SetDelay(next.splitGap, name, args[0])
                             : std::optional<std::string>(std::string(name) + " needs one value in ms");
  } else if (name == kFaultNoReply) {
    const auto list = args.size() == 1 ? ParseCodeList(args[0]) : std::nullopt;
    if (list) {
      next.noReply = *list;
    } else {
      error = std::string(name) + " takes request codes such as 104,105, or all, or none";
    }
  } else if (name == kFaultReplyDelay) {
    error = args.size() == 1 ? SetDelay(next.replyDelay, name, args[0])
                             : std::optional<std::string>(std::string(name) + " needs one value in ms");
  } else if (name == kFaultWrongByte4) {
    error = SetSwitch(next.wrongByte4, name, args);
  } else if (name == kFaultNoBlackBox) {
    error = SetSwitch(next.noBlackBox, name, args);
  } else {
    error = "unknown fault '" + std::string(name) + "'";
  }
  if (!error) faults = next;
  return error;
}

}  // namespace o5::sim
