// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every kind of event and console line a session keeps, told as the main
// window tells them, in the tool's language of the moment: the port opened,
// a run begun with its modes, the version read, a fault and its end, the line
// silent and back, a readout completed and one cut, the run ended, the device
// lost and back on a running heater, the port closed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "heater/FaultLegend.h"
#include "heater/HeaterCommands.h"
#include "heater/ModeNames.h"
#include "heater/SessionEvents.h"
#include "heater/TextTranslation.h"

namespace o5::test {

// `versionLines`: with the console's "Версия …" and "Дата …" lines, which
// are a caption and the heater's own value.
inline std::vector<std::string> WholeSessionNotes(bool versionLines) {
  std::vector<std::string> kept;
  SessionEvents events([&kept](std::string_view text) { kept.emplace_back(text); });
  SessionRuns runs;
  const auto cycle = [&](int32_t timer, int mode, int fault) {
    events.RunCycle(runs.Take({timer, mode, fault, std::nullopt}), runs);
  };
  events.PortOpened("/dev/ttyUSB0");
  cycle(0, 0, 0);
  events.ModeShown(ModeCaptionText(0));
  events.Note(EventText(kEventStart));
  cycle(1, 1, 0);
  events.ModeShown(ModeCaptionText(1));
  events.Note(EventText(kEventVersion));
  if (versionLines) {
    events.Tell(Translate("HeaterCommands", kVersionLine.data()) + "4.2.7 - 1");
    events.Tell(Translate("HeaterCommands", kVersionDateLine.data()) + "17.3.21 - 0");
  }
  cycle(2, 21, 13);
  events.ModeShown(ModeCaptionText(21));
  events.Tell(FaultNotice(13));
  events.Tell(FaultGoneNotice());
  events.Silent();
  events.FrameArrived();
  {
    const SessionEvents::Readout readout(events);
    events.ReadoutCompleted(658188);
  }
  { const SessionEvents::Readout cut(events); }
  events.Note(EventText(kEventStop));
  cycle(300, 21, 0);
  cycle(0, 0, 0);
  events.DeviceLost();
  events.PortClosed();
  events.PortOpened("/dev/ttyUSB0");
  cycle(100, 21, 0);
  events.PortClosed();
  return kept;
}

}  // namespace o5::test
