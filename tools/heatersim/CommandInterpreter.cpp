// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/CommandInterpreter.h"

#include <cctype>

#include "tools/heatersim/ArgParse.h"
#include "tools/heatersim/HeaterSimulator.h"
#include "tools/heatersim/HexText.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

namespace {

constexpr long long kMaxSilenceMs = 24LL * 3600 * 1000;

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const std::size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

// What the user typed, fit to be echoed on one line of plain text.
std::string Printable(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, 80)) shown += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
  if (text.size() > 80) shown += "...";
  return shown;
}

std::string RestAfterWord(std::string_view line, const std::string& word) {
  std::size_t at = line.find(word);
  at = at == std::string_view::npos ? line.size() : at + word.size();
  while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
  std::size_t end = line.size();
  while (end > at && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
  return std::string(line.substr(at, end - at));
}

}  // namespace

std::vector<std::string> CommandInterpreter::Execute(std::string_view line) {
  const std::vector<std::string> words = Split(line);
  if (words.empty() || words[0][0] == '#') return {};
  std::string name = words[0];
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::vector<std::string> args(words.begin() + 1, words.end());
  const auto ok = [&name](const std::string& note = {}) {
    return std::vector<std::string>{"OK " + name + (note.empty() ? "" : " " + note)};
  };
  const auto error = [](const std::string& message) { return std::vector<std::string>{"ERROR " + Printable(message)}; };

  if (name == "help") {
    std::vector<std::string> lines;
    const std::string text = Help();
    std::size_t start = 0;
    while (start < text.size()) {
      const std::size_t end = text.find('\n', start);
      lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    lines.push_back("OK help");
    return lines;
  }
  if (name == "status") return {simulator_.Status(), "OK status"};
  if (name == "quit" || name == "exit") {
    simulator_.RequestQuit();
    return ok();
  }
  if (name == "start") return ok(simulator_.StartHeater() ? "" : "(already running: ignored)");
  if (name == "stop") return ok(simulator_.StopHeater() ? "" : "(not running: ignored)");
  if (name == "fault") {
    const auto code = args.size() == 1 ? (args[0] == "off" ? std::optional<long long>(0) : ParseInteger(args[0], 0, 255))
                                       : std::nullopt;
    if (!code) return error("fault takes a fault code (1..21, 27, 28) or off");
    if (!simulator_.SetHeaterFault(static_cast<int>(*code))) {
      return error("no fault bit reports code " + std::to_string(*code));
    }
    return ok();
  }
  if (name == "telemetry") {
    const auto on = args.size() == 1 ? ParseSwitch(args[0]) : std::nullopt;
    if (!on) return error("telemetry takes on or off");
    simulator_.SetTelemetry(*on);
    return ok(*on ? "on" : "off");
  }
  if (name == "delay") name = "reply-delay";
  if (IsFaultSetting(name)) {
    if (const auto problem = ApplyFaultSetting(simulator_.Faults(), name, args)) return error(*problem);
    std::string described = name;
    for (const std::string& arg : args) described += " " + arg;
    simulator_.FaultsChanged(Printable(described));
    return ok();
  }
  if (name == "silence") {
    if (args.empty()) {
      simulator_.SetSilence(true, std::nullopt);
      return ok("on");
    }
    if (args.size() == 1) {
      if (const auto on = ParseSwitch(args[0])) {
        simulator_.SetSilence(*on, std::nullopt);
        return ok(*on ? "on" : "off");
      }
      if (const auto ms = ParseInteger(args[0], 1, kMaxSilenceMs)) {
        simulator_.SetSilence(true, Milliseconds{*ms});
        return ok(args[0]);
      }
    }
    return error("silence takes on, off or a time in ms");
  }
  if (name == "hangup") {
    if (!simulator_.HangUp("command")) return error("already hung up; 'reconnect' comes back");
    return ok();
  }
  if (name == "reconnect") {
    try {
      simulator_.Reconnect();
    } catch (const std::exception& e) {
      return error(e.what());
    }
    return ok();
  }
  if (name == "clear") {
    simulator_.Faults().Clear();
    simulator_.SetSilence(false, std::nullopt);
    simulator_.FaultsChanged("all line faults off");
    return ok();
  }
  if (name == "send" || name == "frame") {
    const auto bytes = ParseHex(RestAfterWord(line, words[0]));
    if (!bytes || bytes->empty()) return error(name + " takes bytes in hex, such as AA 19 00 00 68 04 02 07 01 37");
    std::vector<std::uint8_t> out = *bytes;
    if (name == "frame") {
      if (out.size() != 8) return error("frame takes bytes 2 to 9, eight bytes; the start byte and checksum are added");
      const Frame built =
          BuildFrame(out[0], out[1], out[2], out[3], FrameData{out[4], out[5], out[6], out[7]});
      out.assign(built.begin(), built.end());
    }
    if (!simulator_.SendBytes(out, name == "send" ? "TX-RAW" : "TX")) {
      return error("nobody holds the device: the bytes would be lost");
    }
    return ok(ToHex(out));
  }
  if (name == "baud") {
    const auto baud = args.size() == 1 ? ParseBaud(args[0]) : std::nullopt;
    if (!baud) return error("baud takes a bit rate of 50..4000000 or off");
    simulator_.SetBaud(*baud);
    return ok(args[0]);
  }
  if (name == "speed") {
    const auto speed = args.size() == 1 ? ParseSpeed(args[0]) : std::nullopt;
    if (!speed) return error("speed takes a factor of 0.01..1000");
    simulator_.SetSpeed(*speed);
    return ok(args[0]);
  }
  if (name == "voltage") {
    const auto tenths = args.size() == 1 ? ParseVoltageTenths(args[0]) : std::nullopt;
    if (!tenths) return error("voltage takes volts 0..25.5");
    simulator_.SetVoltage(*tenths);
    return ok(args[0]);
  }
  if (name == "load-blackbox" || name == "save-blackbox") {
    const std::string path = RestAfterWord(line, words[0]);
    if (path.empty()) return error(name + " takes a file name");
    try {
      if (name == "load-blackbox") {
        simulator_.Box().LoadFile(path);
      } else {
        simulator_.Box().SaveFile(path);
      }
    } catch (const std::exception& e) {
      return error(e.what());
    }
    return ok();
  }
  return error("unknown command '" + words[0] + "'; 'help' lists the commands");
}

std::string CommandInterpreter::Help() {
  return R"(Commands (standard input, one a line; each answers OK ... or ERROR ...):
  help                   this list
  status                 one STATUS line: device, line state, mode, run timer, faults
  start, stop            the heater's own start and stop, as requests 1 and 3 do
  fault CODE             heater fault with a code of the legend (1..21, 27, 28): its bit
                         and code in the telemetry, a black-box record, a burning heater
                         stops; "fault off" clears it
  telemetry on|off       send telemetry cycles or not
  bad-checksum PCT       share of frames sent with a wrong checksum (0 turns it off)
  partial PCT            share of frames cut after 1..9 bytes
  noise PCT              share of frames with 1..4 noise bytes before them
  split PCT [GAP_MS]     share of frames written in two pieces, GAP_MS apart
  split-gap MS           the pause of split frames (default 50)
  no-reply CODES         leave these request codes unanswered: 104,105 or all or none
  reply-delay MS         hold every reply back this long (also: delay MS)
  wrong-byte4 [on|off]   replies carry 01 in byte 4
  no-blackbox [on|off]   firmware without a black box: the signature reads 55 38
  silence [on|off|MS]    send nothing (for MS milliseconds); requests go unanswered
  hangup                 close the line, as when the adapter is unplugged
  reconnect              come back on a new device (a PORT line follows; the link moves)
  clear                  every fault above off, silence included
  send HEX...            these bytes onto the line, unchanged
  frame B2 .. B9         a frame of these eight bytes, start byte and checksum added
  baud N|off             line pacing in bit/s, or none
  speed F                the heater's time runs F times faster than the clock
  voltage V              supply voltage in volts
  load-blackbox FILE     take the black box from a file of exactly 256 bytes
  save-blackbox FILE     write the black box to a file
  quit, exit             end the simulator

Log on standard error, one line an event: seconds since start (%8.3f), a tag, the rest.
  RX          a frame received with a correct checksum
  RX-BAD      a frame received with a wrong checksum (dropped)
  RX-PARTIAL  a frame that stalled or was cut by the line going away (dropped)
  RX-GARBAGE  bytes received outside any frame (discarded)
  TX          a frame sent, as it went out (a faulty checksum included)
  TX-PARTIAL, TX-NOISE, TX-RAW
              the part of a cut frame, noise bytes, bytes of the send command
  TX-LOST     a frame the device did not take in full (nobody read it)
  FAULT       a fault injected, or a fault setting changed
  MODE        the heater's mode changed: "<old> -> <new>"
  LINE        the device was created, opened or closed by the other side
  INFO, WARN, ERROR
              anything else
)";
}

}  // namespace o5::sim
