#include "heater/RecordLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "heater/TelemetrySeries.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// What the live decoding produced for a stream of frames: the logged lines
// and every point, with the charts' clearing applied as the window applies it.
class LiveSink : public TelemetrySink {
 public:
  void ClearCharts() override { chart.clear(); }
  void AddPoint(int series, double x, double y) override { chart.push_back({series, x, y}); }
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override { lines.emplace_back(record); }

  std::vector<std::string> lines;
  std::vector<TelemetryPoint> chart;
};

Frame Telemetry(char kind, uint8_t b6 = 0, uint8_t b7 = 0, uint8_t b8 = 0, uint8_t b9 = 0) {
  return BuildRequest(0x01, 0, 0, static_cast<uint8_t>(kind), b6, b7, b8, b9);
}

// A cycle as the heater sends it; `lost` names the kinds that do not arrive.
std::vector<Frame> Cycle(int runTimer, std::mt19937& rng, const std::string& lost = "") {
  auto b = [&rng] { return static_cast<uint8_t>(rng()); };
  std::vector<Frame> frames = {
      Telemetry('e', uint8_t(runTimer >> 8), uint8_t(runTimer), b(), b()),
      Telemetry('f', b(), b(), b(), b()),
      Telemetry('g', b(), b(), b(), b()),
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

  void Run(int runTimer, const std::string& lost = "") {
    for (const Frame& f : Cycle(runTimer, rng, lost)) DecodeTelemetry(f, state, sink);
  }
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
  EXPECT_THAT(log.ShownPoints(),
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
  for (int t = 2; t < 2000; ++t) live.Run(t * 31 % 65536 < 2 ? 2 : t * 31 % 65536);
  const RecordLog log(live.Text());
  EXPECT_EQ(log.RecordCount(), live.sink.lines.size());
  EXPECT_EQ(log.SkippedLines(), 0u);
  EXPECT_EQ(log.ShownPoints(), live.sink.chart);

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
  EXPECT_EQ(log.ShownRecords(), 3u);
  EXPECT_EQ(log.Message(), "Пропущено неполных строк: 8.");
  for (const TelemetryPoint& p : log.ShownPoints()) EXPECT_TRUE(p.x == 0 || p.x == 5 || p.x == 9);
}

TEST(RecordLogTest, TheLastRunIsShownWithTheRecordBeforeIt) {
  Session live;
  for (int t : {0, 0, 2, 3, 4, 0, 1, 0, 1, 2, 3, 0, 0}) live.Run(t);
  const RecordLog log(live.Text());
  EXPECT_EQ(log.RunCount(), 2u);
  EXPECT_EQ(log.ShownRecords(), 3u);  // the 1 before it, 2 and 3
  ASSERT_EQ(log.ShownPoints().size(), 3u * 13);
  EXPECT_EQ(log.ShownPoints().front().x, 1);
  EXPECT_EQ(log.ShownPoints().back().x, 3);
  EXPECT_EQ(log.Message(), "Пусков в журнале: 2; показан последний, 2-й.");

  // Saved while the run went on: the live chart exactly.
  live.Run(1);
  live.Run(2);
  live.Run(3);
  const RecordLog running(live.Text());
  EXPECT_EQ(running.RunCount(), 3u);
  EXPECT_EQ(running.ShownPoints(), live.sink.chart);
}

TEST(RecordLogTest, ALogThatNeverFallsBelowTwoIsOneRunAndALogWithoutARunShowsItsLastRecord) {
  Session running;
  for (int t : {500, 501, 502, 400, 503}) running.Run(t);
  const RecordLog one(running.Text());
  EXPECT_EQ(one.RunCount(), 1u);
  EXPECT_EQ(one.ShownRecords(), 5u);
  EXPECT_EQ(one.Message(), "");

  Session idle;
  for (int t : {0, 1, 0}) idle.Run(t);
  const RecordLog none(idle.Text());
  EXPECT_EQ(none.RunCount(), 0u);
  EXPECT_EQ(none.ShownPoints(), idle.sink.chart);
  EXPECT_EQ(none.Message(), "Пусков в журнале нет; показана последняя запись.");
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
