// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Commands typed on the simulator's standard input while it runs. Every command answers with
// exactly one line that begins with "OK" or "ERROR", after any lines of its own output (the
// status line, the help text), so that a script can wait for each command in turn. Empty
// lines and lines beginning with '#' get no answer.

#include <string>
#include <string_view>
#include <vector>

namespace o5::sim {

class HeaterSimulator;

class CommandInterpreter {
 public:
  explicit CommandInterpreter(HeaterSimulator& simulator) : simulator_(simulator) {}

  std::vector<std::string> Execute(std::string_view line);

  // The command part of --help and of the help command.
  static std::string Help();

 private:
  HeaterSimulator& simulator_;
};

}  // namespace o5::sim
