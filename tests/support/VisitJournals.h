// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Session journals as the tool keeps them, written for a visit's tests and
// benchmark: the heater stands, runs (checking, igniting, warming up, running
// strong, cooling down), perhaps reports a fault for a while, and stands
// again; the timeline beside the journal notes where each run began and the
// firmware version read, in the tool's language as the tool writes them.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveNames.h"
#include "archive/SessionJournal.h"
#include "heater/BlackBoxImage.h"
#include "heater/HeaterCommands.h"
#include "heater/RecordLog.h"
#include "heater/SessionEvents.h"
#include "heater/TelemetryDecoder.h"
#include "link/Frame.h"

namespace o5::test {

struct PlannedRun {
  int seconds = 300;
  int faultCode = 0;  // none when 0
  int faultAt = 0;    // run timer
  int faultSeconds = 0;
};

struct WrittenSession {
  std::string journal;
  std::string timeline;
};

// Collects the records the decoding logs.
class RecordLines : public TelemetrySink {
 public:
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override {
    text.append(record);
    text.append(kRecordLogLineEnd);
  }
  std::string text;
};

// A black box that has seen some life: counters, run times, three faults.
// `extraStarts` more starts make a later readout of the same heater: its
// counters and run time grow, and its fault records move on.
inline BlackBoxBytes LivedBlackBox(int extraStarts = 0) {
  BlackBoxBytes image{};
  image[3] = 0x55, image[4] = 0x37, image[5] = 4, image[6] = 2;
  image[8] = static_cast<uint8_t>(120 + extraStarts), image[10] = 7, image[12] = 3, image[29] = 5, image[31] = 12;
  const int32_t total = 1297080 + 1800 * extraStarts;
  for (int i = 0; i < 4; ++i) image[static_cast<size_t>(13 + i)] = static_cast<uint8_t>(total >> (8 * i));
  image[32] = 0x0C, image[33] = 0x0B, image[34] = 0x0A;  // 658188
  const int codes[] = {13, 9, 13};
  for (int k = 0; k < 3; ++k) {
    const size_t a = static_cast<size_t>(48 + 16 * k);
    image[a] = 1, image[a + 1] = static_cast<uint8_t>(codes[k]), image[a + 4] = 21, image[a + 5] = 124;
    image[a + 2] = static_cast<uint8_t>(k + extraStarts);
  }
  return image;
}

inline int PlannedMode(int t, int length) {
  if (t < 10) return 1;            // check before start
  if (t < 40) return 3 + (t - 10) / 2;  // ignition steps
  if (t < 120) return 21;          // warm-up
  if (t < length - 30) return 22;  // strong
  return 2;                        // cooling down
}

inline void DecodeCycle(TelemetryState& state, RecordLines& sink, int timer, int mode, int fault, int liquidIn,
                        int flame) {
  auto frame = [](char kind, int b6, int b7, int b8, int b9) {
    return BuildRequest(0x01, 0, 0, static_cast<uint8_t>(kind), static_cast<uint8_t>(b6), static_cast<uint8_t>(b7),
                        static_cast<uint8_t>(b8), static_cast<uint8_t>(b9));
  };
  const int kelvin = flame + kKelvinOffset;
  for (const Frame& f : {frame('e', timer >> 8, timer & 0xFF, 0, fault), frame('f', 40, 60, 58, 1),
                         frame('g', mode > 0, mode >= 3 && mode < 21, 125, mode),
                         frame('h', liquidIn, liquidIn + 6, kelvin >> 8, kelvin & 0xFF), frame('i', 0, 0, 30, 0),
                         frame('j', 0, fault ? 2 : 0, 0, 0), frame('k', 0, 0, 0, 0)})
    DecodeTelemetry(f, state, sink);
}

// One session opened at `opened`: standing, then each run with a pause
// between; one record a second.
inline WrittenSession WriteSession(const LocalTime& opened, const std::vector<PlannedRun>& runs,
                                   const std::string& firmware = "3.1") {
  TelemetryState state;
  RecordLines sink;
  WrittenSession session;
  std::time_t clock = TimeOf(opened);
  auto stand = [&](int cycles) {
    for (int k = 0; k < cycles; ++k, ++clock) DecodeCycle(state, sink, 0, 0, 0, 20, 20);
  };
  if (!firmware.empty()) {
    session.timeline +=
        TimelineLine(LocalTimeOf(clock), Translate("HeaterCommands", kVersionLine.data()) + firmware);
    session.timeline +=
        TimelineLine(LocalTimeOf(clock), Translate("HeaterCommands", kVersionDateLine.data()) + "12.05.2025");
  }
  stand(5);
  for (const PlannedRun& run : runs) {
    session.timeline += TimelineLine(LocalTimeOf(clock), EventText(kEventRunBegan));
    for (int t = 0; t <= run.seconds; ++t, ++clock) {
      const int mode = PlannedMode(t, run.seconds);
      const bool fault = run.faultCode && t >= run.faultAt && t < run.faultAt + run.faultSeconds;
      const int liquid = 20 + std::min(60, t / 8);
      const int flame = mode >= 21 && mode != 2 ? 420 + (t % 50) : (mode == 2 ? 150 : 20 + t);
      DecodeCycle(state, sink, t, mode, fault ? run.faultCode : 0, liquid, flame);
    }
    stand(20);
  }
  session.journal = std::move(sink.text);
  return session;
}

}  // namespace o5::test
