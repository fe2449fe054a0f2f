// SPDX-License-Identifier: GPL-3.0-or-later
// What a run is, from journals: the live session's model, its timeline, and
// the journal opened again with that timeline give the same runs, starts and
// lengths.
#include "heater/SessionRuns.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "heater/RecordLog.h"
#include "heater/SessionEvents.h"
#include "heater/TelemetryDecoder.h"

namespace o5 {
namespace {

struct Record {
  int timer;
  int mode;
  int fault = 0;
};

// Keeps the record line of each decoded cycle.
struct LineSink : TelemetrySink {
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override { journal += std::string(record) + "\r\n"; }
  std::string journal;
};

std::string JournalOf(const std::vector<Record>& records) {
  TelemetryState state;
  LineSink sink;
  for (const Record& r : records)
    for (const auto& [kind, b6, b7, b8, b9] :
         std::vector<std::array<int, 5>>{{'e', r.timer >> 8, r.timer & 0xFF, 0, r.fault},
                                         {'f', 1, 2, 3, 4},
                                         {'g', 1, 40, 126, r.mode},
                                         {'h', 20, 30, 1, 100},
                                         {'i', 25, 0, 0, 0},
                                         {'j', 0, 0, 0, 0},
                                         {'k', 0, 0, 0, 0}})
      DecodeTelemetry(BuildRequest(0x01, 0, 0, uint8_t(kind), uint8_t(b6), uint8_t(b7), uint8_t(b8), uint8_t(b9)),
                      state, sink);
  return sink.journal;
}

// A run as expected: its first timer, its length and whether it was found
// going on; its start is the clock of its first record minus that timer.
struct Expected {
  int32_t firstTimer;
  int64_t length;
  bool foundGoingOn;
};

struct Case {
  const char* name;
  std::vector<Record> records;
  std::vector<Expected> runs;
};

std::vector<Record> Counting(int from, int to, int mode = 21) {
  std::vector<Record> out;
  for (int t = from; t <= to; ++t) out.push_back({t, mode});
  return out;
}

std::vector<Record> Joined(std::initializer_list<std::vector<Record>> parts) {
  std::vector<Record> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The session opened at 10:00:00 on 08.12.2026; a record comes every second.
const WallSeconds kOpened = WallSecondsOf(2026, 12, 8, 10, 0, 0);

TEST(SessionRunsTest, JournalsGiveTheRunsTheLiveSessionGave) {
  const std::vector<Record> stand = {{0, 0}, {0, 0}};
  const Case cases[] = {
      {"port opened again on a run with a lower timer", Joined({Counting(0, 29), Counting(12, 20)}),
       {{0, 29, false}, {12, 20, true}}},
      {"the timer goes on after the port is opened again", Joined({Counting(0, 29), Counting(35, 40)}),
       {{0, 40, false}}},
      {"a saved log whose timer falls from 300 to 5", Joined({Counting(290, 300), Counting(5, 9)}),
       {{290, 300, true}, {5, 9, true}}},
      {"the count wraps at 65,535 with the records at 0 and 1 lost",
       Joined({Counting(65530, 65535), Counting(2, 4)}), {{65530, 65536 + 4, true}}},
      {"the mode flaps to 0 and back in the first two seconds",
       Joined({{{0, 1}, {1, 0}, {1, 1}}, Counting(2, 9, 1), stand}), {{0, 9, false}}},
      {"a run found going on", Joined({Counting(97, 120, 22), stand}), {{97, 120, true}}},
      {"a restart below 2 and runs apart", Joined({stand, Counting(0, 5), Counting(0, 3), stand, Counting(0, 2, 1)}),
       {{0, 5, false}, {0, 3, false}, {0, 2, false}}},
      {"a heater that only stands", stand, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Live: every cycle with its clock, the timeline's run events at it.
    SessionRuns live;
    std::vector<TimelineRunMark> marks;
    WallSeconds now = kOpened;
    SessionEvents events([&](std::string_view text) {
      if (text == kEventRunBegan || text == kEventRunFound) marks.push_back({now, text == kEventRunFound});
    });
    events.PortOpened("/dev/ttyUSB0");
    for (const Record& r : c.records) {
      events.RunCycle(live.Take({r.timer, r.mode, r.fault, now}), live);
      ++now;
    }
    ASSERT_EQ(live.Runs().size(), c.runs.size());
    // Opened again, with its timeline, and without it for the first run
    // found going on (a timeline that did not mark such runs).
    RecordLog journal(JournalOf(c.records));
    journal.SetRunClocks(kOpened, marks);
    RecordLog unmarked(JournalOf(c.records));
    unmarked.SetRunClocks(kOpened, {});
    ASSERT_EQ(journal.RunCount(), c.runs.size());
    for (std::size_t i = 0; i < c.runs.size(); ++i) {
      SCOPED_TRACE(i);
      const SessionRun& run = live.Runs()[i];
      EXPECT_EQ(run.firstTimer, c.runs[i].firstTimer);
      EXPECT_EQ(run.length, c.runs[i].length);
      EXPECT_EQ(run.foundGoingOn, c.runs[i].foundGoingOn);
      EXPECT_EQ(run.start, kOpened + WallSeconds(run.firstCycle) - run.firstTimer);
      const LogRun& again = journal.Runs()[i];
      EXPECT_EQ(again.length, run.length);
      EXPECT_EQ(again.foundGoingOn, run.foundGoingOn);
      EXPECT_EQ(again.start, run.start);
    }
    if (!c.runs.empty() && c.runs[0].foundGoingOn) {
      EXPECT_EQ(unmarked.Runs()[0].start, live.Runs()[0].start);
    }
  }
}

}  // namespace
}  // namespace o5
