// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/SimOptions.h"

#include <cmath>
#include <functional>
#include <string_view>
#include <vector>

#include "tools/heatersim/ArgParse.h"

namespace o5::sim {

namespace {

constexpr long kMaxBaud = 4'000'000;
constexpr long long kMaxCycleMs = 60'000;
constexpr long long kMinCycleMs = 20;
constexpr long long kMaxTimerMs = 24LL * 3600 * 1000;

FrameData ParseFourBytes(const std::string& option, const std::string& text) {
  FrameData bytes{};
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t dot = text.find('.', start);
    const bool last = i + 1 == bytes.size();
    if (last != (dot == std::string::npos)) throw UsageError(option + " wants four numbers 0..255 like 4.2.7.1, not '" + text + "'");
    const auto value = ParseInteger(std::string_view(text).substr(start, last ? std::string::npos : dot - start), 0, 255);
    if (!value) throw UsageError(option + " wants four numbers 0..255 like 4.2.7.1, not '" + text + "'");
    bytes[i] = static_cast<std::uint8_t>(*value);
    start = dot + 1;
  }
  return bytes;
}

Milliseconds ParseTimer(const std::string& option, const std::string& text) {
  const auto value = ParseInteger(text, 0, kMaxTimerMs);
  if (!value) throw UsageError(option + " wants a time in milliseconds, not '" + text + "'");
  return Milliseconds{*value};
}

}  // namespace

std::optional<long> ParseBaud(const std::string& text) {
  if (text == "off") return 0;
  const auto value = ParseInteger(text, 0, kMaxBaud);
  if (!value || (*value != 0 && *value < 50)) return std::nullopt;
  return static_cast<long>(*value);
}

std::optional<int> ParseVoltageTenths(const std::string& text) {
  const auto volts = ParseDecimal(text, 0, 25.5);
  if (!volts) return std::nullopt;
  return static_cast<int>(std::lround(*volts * 10));
}

std::optional<double> ParseSpeed(const std::string& text) { return ParseDecimal(text, 0.01, 1000); }

SimOptions ParseOptions(int argc, const char* const* argv) {
  SimOptions options;
  using Handler = std::function<void(const std::string& value)>;
  struct OptionRule {
    std::string_view name;
    bool takesValue;
    Handler handle;
  };
  const std::vector<OptionRule> rules{
      {"help", false, [&](const std::string&) { options.help = true; }},
      {"link", true,
       [&](const std::string& v) {
         if (v.empty()) throw UsageError("--link wants a path");
         options.linkPath = v;
       }},
      {"baud", true,
       [&](const std::string& v) {
         const auto baud = ParseBaud(v);
         if (!baud) throw UsageError("--baud wants a bit rate of 50..4000000 or off, not '" + v + "'");
         options.baud = *baud;
       }},
      {"no-pacing", false, [&](const std::string&) { options.baud = 0; }},
      {"cycle", true,
       [&](const std::string& v) {
         const auto ms = ParseInteger(v, kMinCycleMs, kMaxCycleMs);
         if (!ms) throw UsageError("--cycle wants a period of 20..60000 ms, not '" + v + "'");
         options.cycle = Milliseconds{*ms};
       }},
      {"speed", true,
       [&](const std::string& v) {
         const auto speed = ParseSpeed(v);
         if (!speed) throw UsageError("--speed wants a factor of 0.01..1000, not '" + v + "'");
         options.speed = *speed;
       }},
      {"no-telemetry", false, [&](const std::string&) { options.telemetry = false; }},
      {"running", false, [&](const std::string&) { options.running = true; }},
      {"ambient", true,
       [&](const std::string& v) {
         const auto c = ParseInteger(v, -50, 50);
         if (!c) throw UsageError("--ambient wants degrees Celsius -50..50, not '" + v + "'");
         options.ambientC = static_cast<int>(*c);
       }},
      {"voltage", true,
       [&](const std::string& v) {
         const auto tenths = ParseVoltageTenths(v);
         if (!tenths) throw UsageError("--voltage wants volts 0..25.5, not '" + v + "'");
         options.voltageTenths = *tenths;
       }},
      {"fw-version", true, [&](const std::string& v) { options.version = ParseFourBytes("--fw-version", v); }},
      {"fw-date", true, [&](const std::string& v) { options.versionDate = ParseFourBytes("--fw-date", v); }},
      {"load-blackbox", true, [&](const std::string& v) { options.loadBlackBox = v; }},
      {"save-blackbox", true, [&](const std::string& v) { options.saveBlackBox = v; }},
      {"replay", true,
       [&](const std::string& v) {
         if (v.empty()) throw UsageError("--replay wants the path of a record log");
         options.replay = v;
       }},
      {"seed", true,
       [&](const std::string& v) {
         const auto seed = ParseInteger(v, 0, 0xFFFFFFFFLL);
         if (!seed) throw UsageError("--seed wants a number 0..4294967295, not '" + v + "'");
         options.seed = static_cast<std::uint32_t>(*seed);
       }},
      {"silence", false, [&](const std::string&) { options.silence = true; }},
      {"hangup-after", true, [&](const std::string& v) { options.hangupAfter = ParseTimer("--hangup-after", v); }},
      {"reconnect-after", true,
       [&](const std::string& v) { options.reconnectAfter = ParseTimer("--reconnect-after", v); }},
      {"reconnect-busy", true,
       [&](const std::string& v) { options.reconnectBusy = ParseTimer("--reconnect-busy", v); }},
      {"exit-on-eof", false, [&](const std::string&) { options.exitOnEof = true; }},
      {"quiet", false, [&](const std::string&) { options.quietTelemetry = true; }},
  };

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
      throw UsageError("unexpected argument '" + arg + "'");
    }
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const auto takeValue = [&]() -> std::string {
      if (value) return *value;
      if (i + 1 >= argc) throw UsageError("--" + name + " wants a value");
      return argv[++i];
    };

    if (IsFaultSetting(name)) {
      // Switches stand alone; the rate and time settings take one value.
      const bool isSwitch = name == kFaultWrongByte4 || name == kFaultNoBlackBox;
      std::vector<std::string> args;
      if (!isSwitch) args.push_back(takeValue());
      else if (value) args.push_back(*value);
      if (const auto error = ApplyFaultSetting(options.faults, name, args)) throw UsageError("--" + *error);
      continue;
    }
    bool known = false;
    for (const OptionRule& rule : rules) {
      if (rule.name != name) continue;
      known = true;
      if (!rule.takesValue && value) throw UsageError("--" + name + " takes no value");
      rule.handle(rule.takesValue ? takeValue() : std::string());
      break;
    }
    if (!known) throw UsageError("unknown option '" + arg + "'");
  }
  return options;
}

std::string OptionsHelp() {
  return R"(Usage: ortan5-heatersim [OPTION]...
A heater on a pseudo-terminal: it sends telemetry, answers the tool's requests and
injects line faults on demand. The first line on standard output is
  PORT <device path>
and the same line follows after every reconnection. Commands are read from standard
input, one a line; the log goes to standard error.

Behaviour:
  One telemetry cycle of kinds 'e' to 'k' goes out every cycle, running or stopped
  (mode 0). Requests with 08 in the control byte (AA 09 ...) are answered with 10 added
  to it (AA 19 ...), 00 in byte 4 and the request's code: 19, 20, 104 (version), 105
  (date), 119 (three black-box bytes at the address in byte 6). Start (1) and stop (3)
  act also when sent blind (AA 01 ...). While no program holds the device nothing is
  written to it: a heater's bytes on an unplugged line are lost, not saved up.

Line:
  --link PATH            keep a symbolic link PATH to the current device (replaced on
                         reconnection, removed at hang-up and at exit; an existing file
                         that is not a symbolic link is never replaced)
  --baud N               pace the bytes as a line of N bit/s, 10 bits a byte (default 1200)
  --baud off, --no-pacing
                         write every frame as soon as it is due
Heater:
  --cycle MS             telemetry cycle period (default 1000, 20..60000)
  --speed F              the heater's time runs F times faster than the clock (default 1)
  --no-telemetry         send no telemetry, only replies (command: telemetry on)
  --running              be running from the start (run timer from 0)
  --ambient C            temperature of a cold heater, degrees (default -12)
  --voltage V            supply voltage in volts (default 12.6)
  --fw-version A.B.C.D   reply bytes 6..9 to request 104 (default 4.2.7.1)
  --fw-date A.B.C.D      reply bytes 6..9 to request 105 (default 17.3.21.0)
  --load-blackbox FILE   black-box image of exactly 256 bytes to start from
  --save-blackbox FILE   write the black-box image there at exit
  --replay FILE          send the telemetry of a record log the tool saved, one record per
                         cycle, in place of the model's (--cycle and --speed apply: a record
                         every cycle/speed ms); lines that are not complete records are
                         skipped. Records wait while nobody holds the device or while the
                         line is still busy with the previous one; after the last record no
                         more telemetry goes out. Requests are answered as always.
Faults (each also a command of the same name, see below):
  --bad-checksum PCT     that share of frames goes out with a wrong checksum
  --partial PCT          that share of frames is cut after 1..9 bytes
  --noise PCT            that share of frames gets 1..4 noise bytes (never AA) before it
  --split PCT            that share of frames is written in two pieces
  --split-gap MS         pause between the two pieces (default 50)
  --no-reply CODES       leave these request codes unanswered: 104,105 or all
  --reply-delay MS       hold every reply back this long
  --wrong-byte4          replies carry 01 instead of 00 in byte 4
  --no-blackbox          firmware without a black box: the signature reads 55 38
  --silence              send nothing at all until "silence off"
  --hangup-after MS      hang up (close the line) this long after the start
  --reconnect-after MS   after any hang-up, come back on a new device this long after
  --reconnect-busy MS    a device that comes back is held this long by "another program"
                         (locked and exclusive): openings meanwhile are refused as busy
  --seed N               seed of the fault dice (default 1), to repeat a run exactly
Program:
  --exit-on-eof          end when standard input closes (for test harnesses); without
                         it the simulator keeps running without commands
  --quiet                do not log telemetry frames sent (replies and faults still are)
  -h, --help             show this text and exit

Exit status: 0 on quit or a signal, 1 when the pseudo-terminal or a file fails,
2 for a bad command line.
)";
}

}  // namespace o5::sim
