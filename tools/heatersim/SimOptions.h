// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of the simulator.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "tools/heatersim/LineFaults.h"
#include "tools/heatersim/SimClock.h"
#include "tools/heatersim/SimFrame.h"

namespace o5::sim {

// A bad command line; main() prints the message and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SimOptions {
  static constexpr long kDefaultBaud = 1200;
  static constexpr Milliseconds kDefaultCycle{1000};

  bool help = false;
  std::string linkPath;
  long baud = kDefaultBaud;  // 0: no pacing
  Milliseconds cycle = kDefaultCycle;
  double speed = 1;
  bool telemetry = true;
  bool running = false;
  int ambientC = -12;
  int voltageTenths = 126;
  FrameData version{4, 2, 7, 1};
  FrameData versionDate{17, 3, 21, 0};
  std::string loadBlackBox;
  std::string saveBlackBox;
  std::string replay;  // a saved record log to send instead of the model's telemetry
  std::uint32_t seed = 1;
  LineFaults faults;
  bool silence = false;
  std::optional<Milliseconds> hangupAfter;
  std::optional<Milliseconds> reconnectAfter;
  std::optional<Milliseconds> reconnectBusy;
  bool exitOnEof = false;
  bool quietTelemetry = false;
};

// Throws UsageError.
SimOptions ParseOptions(int argc, const char* const* argv);
// The option part of --help.
std::string OptionsHelp();

// Shared by the options and the commands of the same name.
std::optional<long> ParseBaud(const std::string& text);        // "off" or 0 gives 0
std::optional<int> ParseVoltageTenths(const std::string& text);  // volts, "12.6"
std::optional<double> ParseSpeed(const std::string& text);

}  // namespace o5::sim
