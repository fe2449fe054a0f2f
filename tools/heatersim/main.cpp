// SPDX-License-Identifier: GPL-3.0-or-later
// ortan5-heatersim: a heater on a pseudo-terminal, for working on the tool without one.

#include <cstdio>
#include <exception>

#include "tools/heatersim/BlackBox.h"
#include "tools/heatersim/CommandInterpreter.h"
#include "tools/heatersim/HeaterSimulator.h"
#include "tools/heatersim/SimOptions.h"

int main(int argc, char** argv) {
  using namespace o5::sim;
  SimOptions options;
  BlackBox blackBox;
  try {
    options = ParseOptions(argc, argv);
    if (options.help) {
      std::fputs(OptionsHelp().c_str(), stdout);
      std::fputs("\n", stdout);
      std::fputs(CommandInterpreter::Help().c_str(), stdout);
      return 0;
    }
    if (!options.loadBlackBox.empty()) blackBox.LoadFile(options.loadBlackBox);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ortan5-heatersim: %s\nTry 'ortan5-heatersim --help'.\n", e.what());
    return 2;
  }
  try {
    HeaterSimulator simulator(options, blackBox, stdout, stderr);
    if (!options.replay.empty()) {
      simulator.SetReplay(RecordReplay::Load(options.replay), options.replay);
    }
    return simulator.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ortan5-heatersim: %s\n", e.what());
    return 1;
  }
}
