// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RecordLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <span>
#include <tuple>
#include <string>
#include <vector>

#include "heater/TelemetrySeries.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A live chart: emptied where a run begins.
struct LiveChart : RunChart {
  void BeginRun() override { points.clear(); }
  void AddPoint(int series, double x, double y) override { points.push_back({series, x, y}); }
  std::vector<TelemetryPoint> points;
};

// What the live decoding produced for a stream of frames: the logged lines,
// and the chart as the graph window keeps it, run by run.
class LiveSink : public TelemetrySink {
 public:
  void CycleBegins(int32_t runTimer) override { feed.CycleBegins(runTimer); }
  void CycleMode(uint8_t mode) override { feed.CycleMode(mode); }
  void AddPoint(int series, double x, double y) override { feed.AddPoint(series, x, y); }
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override {
    lines.emplace_back(record);
    feed.CycleEnds();
  }

  std::vector<std::string> lines;
  LiveChart chart;
  RunFeed feed{chart};
};

std::vector<TelemetryPoint> Points(std::span<const TelemetryPoint> points) {
  return {points.begin(), points.end()};
}

Frame Telemetry(char kind, uint8_t b6 = 0, uint8_t b7 = 0, uint8_t b8 = 0, uint8_t b9 = 0) {
  return BuildRequest(0x01, 0, 0, static_cast<uint8_t>(kind), b6, b7, b8, b9);
}

// A cycle as the heater sends it; `lost` names the kinds that do not arrive.
// A mode or fault code of -1 is random, like the other values.
std::vector<Frame> Cycle(int runTimer, std::mt19937& rng, const std::string& lost, int mode, int fault) {
  auto b = [&rng] { return static_cast<uint8_t>(rng()); };
  auto given = [&b](int value) { return value < 0 ? b() : static_cast<uint8_t>(value); };
  const uint8_t modeT = b();
  const uint8_t error = given(fault);
  const uint8_t g6 = b(), g7 = b(), g8 = b();
  std::vector<Frame> frames = {
      Telemetry('e', uint8_t(runTimer >> 8), uint8_t(runTimer), modeT, error),
      Telemetry('f', b(), b(), b(), b()),
      Telemetry('g', g6, g7, g8, given(mode)),
      Telemetry('h', b(), b(), b(), b()),
      Telemetry('i', b(), b(), b(), b()),
      Telemetry('j', b(), b(), b(), b()),
      Telemetry('k'),
  };
  std::vector<Frame> out;
  for (const Frame& f : frames)
    if (lost.find(char(f[4])) == std::string::npos) out.push_back(f);
  return out;
}

struct Session {
  TelemetryState state;
  LiveSink sink;
  std::mt19937 rng{7};

  void Run(int runTimer, const std::string& lost = "", int mode = 21, int fault = 0) {
    for (const Frame& f : Cycle(runTimer, rng, lost, mode, fault)) DecodeTelemetry(f, state, sink);
  }
  void Run(int runTimer, int mode, int fault = 0) { Run(runTimer, "", mode, fault); }
  std::string Text(const char* eol = "\r\n") const {
    std::string text;
    for (const std::string& line : sink.lines) text += line + eol;
    return text;
  }
};

TEST(RecordLogTest, LineGivesEachFieldToItsSeriesAsTheLiveDecodingDid) {
  // WTime 307, ModeT 5, Error 3; ТН 10, vdDef 20, vdClc 30, Помпа 1; Реле 1,
  // Свеча 40, U 126, Режим 21; Tж -5, Tпер 80, Тплам 334; Tплт -16, Cmd 3, ПП 2.
  const std::string line =
      "  307;     5;     3;    10;    20;    30;     1;     1;    40;   126;    21;   -5;    "
      "80;   334;  -16;     3;   2;00000001 00000000 10000000 11111111;";
  RecordFrames frames;
  ASSERT_TRUE(ParseRecordLine(line, frames));
  EXPECT_EQ(frames[5], (std::array<uint8_t, 4>{0x01, 0x00, 0x80, 0xFF}));

  const RecordLog log(line);
  EXPECT_EQ(log.RecordCount(), 1u);
  EXPECT_EQ(log.RunCount(), 1u);
  EXPECT_EQ(log.Message(), "");
  using namespace series;
  EXPECT_THAT(Points(log.ShownPoints()),
              ElementsAre(TelemetryPoint{kError, 307, 3}, TelemetryPoint{kTN, 307, 10},
                          TelemetryPoint{kAirSet, 307, 20}, TelemetryPoint{kAirMeasured, 307, 30},
                          TelemetryPoint{kPump, 307, 1}, TelemetryPoint{kRelay, 307, 1},
                          TelemetryPoint{kGlowPlug, 307, 40}, TelemetryPoint{kVoltage, 307, 126},
                          TelemetryPoint{kMode, 307, 21}, TelemetryPoint{kLiquidIn, 307, -5},
                          TelemetryPoint{kLiquidOut, 307, 80}, TelemetryPoint{kFlame, 307, 334},
                          TelemetryPoint{kBoard, 307, -16}));
}

TEST(RecordLogTest, EveryLoggedLineReadsBackToTheFramesAndPointsItCameFrom) {
  Session live;
  for (int t = 2; t < 2000; ++t) live.Run(t * 31 % 65536 < 2 ? 2 : t * 31 % 65536, "", -1, -1);
  const RecordLog log(live.Text());
  EXPECT_EQ(log.RecordCount(), live.sink.lines.size());
  EXPECT_EQ(log.SkippedLines(), 0u);
  EXPECT_EQ(Points(log.ShownPoints()), live.sink.chart.points);

  for (const std::string& line : live.sink.lines) {
    RecordFrames frames;
    ASSERT_TRUE(ParseRecordLine(line, frames)) << line;
    TelemetryState state;
    LiveSink again;
    for (const Frame& f : RecordTelemetryFrames(frames, 0x01)) {
      EXPECT_TRUE(FrameChecksumValid(f));
      DecodeTelemetry(f, state, again);
    }
    ASSERT_THAT(again.lines, ElementsAre(line));
  }
}

TEST(RecordLogTest, LinesOfCyclesThatLostFramesAreSkippedAndCounted) {
  Session live;
  live.Run(0);
  live.Run(5);
  for (const char* lost : {"f", "g", "h", "i", "j", "fj", "ghi"}) live.Run(6, lost);
  live.Run(7, "e");   // the previous record takes this cycle's fields too
  live.Run(8, "k");   // not logged at all
  live.Run(9);
  const RecordLog log(live.Text("\n"));
  EXPECT_EQ(log.SkippedLines(), 8u);
  EXPECT_EQ(log.RecordCount(), 3u);
  ASSERT_EQ(log.RunCount(), 1u);
  EXPECT_EQ(log.Runs()[0].records, 3u);
  EXPECT_EQ(log.Message(), "Пропущено неполных строк: 8.");
  for (const TelemetryPoint& p : log.ShownPoints()) EXPECT_TRUE(p.x == 0 || p.x == 5 || p.x == 9);
}

// A run begins where the heater leaves standing (mode 0, run timer below 2)
// or restarts while it runs; standing cycles belong to no run. The log is
// split exactly as the live chart was.
TEST(RecordLogTest, RunsAreSplitAsTheLiveChartSplitsThem) {
  Session live;
  live.Run(0, 0);
  live.Run(0, 0);
  for (auto [t, mode, fault] : {std::tuple{0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 21, 13}, {4, 26, 13}})
    live.Run(t, mode, fault);
  live.Run(0, 0, 13);
  live.Run(0, 0, 13);
  EXPECT_EQ(live.sink.chart.points.size(), 5u * 13);  // the finished run stays
  for (auto [t, mode] : {std::pair{0, 1}, {1, 1}, {2, 21}}) live.Run(t, mode);
  // Restarted without standing: the timer falls below 2 while the heater runs.
  for (auto [t, mode, fault] : {std::tuple{0, 1, 0}, {1, 1, 5}, {2, 1, 7}, {3, 1, 5}}) live.Run(t, mode, fault);
  live.Run(0, 0);

  const RecordLog log(live.Text());
  ASSERT_EQ(log.RunCount(), 3u);
  EXPECT_EQ(log.RecordCount(), 17u);
  const std::vector<LogRun>& runs = log.Runs();
  EXPECT_EQ(runs[0].records, 5u);
  EXPECT_EQ(runs[1].records, 3u);
  EXPECT_EQ(runs[2].records, 4u);
  EXPECT_EQ(runs[0].lastTimer - runs[0].firstTimer, 4);
  EXPECT_EQ(runs[0].highestMode, 21);  // the purge after it is no higher
  EXPECT_EQ(runs[2].highestMode, 1);
  EXPECT_THAT(runs[0].faults, ElementsAre(13));
  EXPECT_THAT(runs[1].faults, ::testing::IsEmpty());
  EXPECT_THAT(runs[2].faults, ElementsAre(5, 7));
  ASSERT_EQ(log.RunPoints(0).size(), 5u * 13);
  EXPECT_EQ(log.RunPoints(0).front().x, 0);
  EXPECT_EQ(log.RunPoints(0).back().x, 4);
  EXPECT_EQ(log.RunPoints(1).size(), 3u * 13);
  EXPECT_TRUE(log.RunPoints(3).empty());
  EXPECT_EQ(Points(log.ShownPoints()), live.sink.chart.points);
  EXPECT_EQ(log.Message(), "Пусков в журнале: 3; показан последний, 3-й.");
  EXPECT_EQ(log.Message(false), "");
}

TEST(RecordLogTest, ALogThatNeverStandsIsOneRunAndALogThatOnlyStandsHasNone) {
  Session running;
  for (int t : {500, 501, 502, 503, 504}) running.Run(t);
  const RecordLog one(running.Text());
  EXPECT_EQ(one.RunCount(), 1u);
  EXPECT_EQ(one.Runs()[0].records, 5u);
  EXPECT_EQ(one.Runs()[0].length, 504);
  EXPECT_EQ(one.Message(), "");

  Session idle;
  for (int t : {0, 1, 0}) idle.Run(t, 0);
  const RecordLog none(idle.Text());
  EXPECT_EQ(none.RunCount(), 0u);
  EXPECT_TRUE(none.ShownPoints().empty());
  EXPECT_TRUE(idle.sink.chart.points.empty());
  EXPECT_EQ(none.Message(), "Пусков в журнале нет: отопитель в нём только стоит.");
}

TEST(RecordLogTest, ByteOrderMarkLineEndsTrailingBlanksAndEmptyLinesAreNoHarm) {
  Session live;
  for (int t : {2, 3}) live.Run(t);
  const std::string text = "\xEF\xBB\xBF" + live.sink.lines[0] + "  \r\n\r\n\n" +
                           live.sink.lines[1];
  const RecordLog log(text);
  EXPECT_EQ(log.RecordCount(), 2u);
  EXPECT_EQ(log.SkippedLines(), 0u);

  const RecordLog empty("");
  EXPECT_EQ(empty.RecordCount(), 0u);
  EXPECT_TRUE(empty.ShownPoints().empty());
}

TEST(RecordLogTest, FieldsThatTheDecodingWouldWriteOtherwiseAreNotARecord) {
  Session live;
  live.Run(307);
  const std::string good = live.sink.lines[0];
  RecordFrames frames;
  ASSERT_TRUE(ParseRecordLine(good, frames));
  auto replaced = [&good](std::size_t at, std::size_t n, const std::string& with) {
    std::string s = good;
    s.replace(at, n, with);
    return s;
  };
  EXPECT_FALSE(ParseRecordLine(replaced(0, 5, "00307"), frames));   // not "%5d"
  EXPECT_FALSE(ParseRecordLine(replaced(0, 5, "70000"), frames));   // above 16 bits
  EXPECT_FALSE(ParseRecordLine(replaced(0, 5, " -307"), frames));
  EXPECT_FALSE(ParseRecordLine(replaced(21, 5, "  256"), frames));  // ТН is a byte
  EXPECT_FALSE(ParseRecordLine(good + "x", frames));
  EXPECT_FALSE(ParseRecordLine(" " + good, frames));
  EXPECT_FALSE(ParseRecordLine(good.substr(0, good.size() - 1), frames));
  EXPECT_FALSE(ParseRecordLine("WTime; ModeT; Error;    ТН; vdDef; vdClc; Помпа", frames));
}

// Random damage to real lines: whatever is taken must be a record that logs
// as exactly that line again, and nothing crashes.
TEST(RecordLogTest, DamagedAndRandomLinesAreSkippedNeverChartedWrongly) {
  Session live;
  for (int t = 0; t < 50; ++t) live.Run(t * 997 % 70000 % 65536);
  std::mt19937 rng(42);
  std::string text;
  std::vector<std::string> damaged;
  for (int i = 0; i < 20000; ++i) {
    std::string s = live.sink.lines[rng() % live.sink.lines.size()];
    switch (rng() % 6) {
      case 0: s[rng() % s.size()] = char(rng()); break;
      case 1: s.erase(rng() % s.size(), 1 + rng() % 8); break;
      case 2: s.insert(rng() % s.size(), std::string(1 + rng() % 3, char("0123456789 ;-"[rng() % 13]))); break;
      case 3: s.resize(rng() % s.size()); break;
      case 4: s += live.sink.lines[rng() % live.sink.lines.size()]; break;
      default:
        s.clear();
        for (int n = rng() % 300; n > 0; --n) s += char(rng());
        break;
    }
    damaged.push_back(s);
  }
  for (const std::string& s : damaged) {
    RecordFrames frames;
    if (!ParseRecordLine(s, frames)) continue;
    TelemetryState state;
    LiveSink again;
    for (const Frame& f : RecordTelemetryFrames(frames, 0x01)) DecodeTelemetry(f, state, again);
    std::string trimmed = s;
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\r' || trimmed.back() == '\t'))
      trimmed.pop_back();
    ASSERT_THAT(again.lines, ElementsAre(trimmed));
    text += s + "\n";
  }
  for (const std::string& s : damaged) text += s + "\n";
  const RecordLog log(text);
  EXPECT_GT(log.SkippedLines(), 10000u);
}

}  // namespace
}  // namespace o5
