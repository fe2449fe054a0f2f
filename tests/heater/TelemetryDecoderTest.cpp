// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/TelemetryDecoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "heater/TelemetrySeries.h"
#include "link/FrameReceiver.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Writes every effect as one line of text, in the order they happen.
class RecordingSink : public TelemetrySink {
 public:
  // The cycle's run timer and mode, apart from the other effects.
  void CycleBegins(int32_t runTimer) override { cycle.push_back("begins " + std::to_string(runTimer)); }
  void CycleMode(uint8_t mode) override { cycle.push_back("mode " + std::to_string(mode)); }
  void AddPoint(int series, double x, double y) override {
    events.push_back("point " + std::to_string(series) + " " + Num(x) + " " + Num(y));
  }
  void SetTimeText(std::string_view text) override { events.push_back("time " + std::string(text)); }
  void SetModeCaption(std::string_view text) override { events.push_back("mode " + std::string(text)); }
  void AppendRecord(std::string_view record) override {
    events.push_back("record " + std::string(record));
    log.emplace_back(record);
  }
  void FaultNamed(std::string_view notice) override { notices.emplace_back(notice); }
  void FaultBytes(const std::array<uint8_t, 4>& bytes) override {
    events.push_back("faults " + std::to_string(bytes[0]) + " " + std::to_string(bytes[1]) + " " +
                     std::to_string(bytes[2]) + " " + std::to_string(bytes[3]));
  }

  std::vector<std::string> events;
  std::vector<std::string> cycle;
  std::vector<std::string> log;
  std::vector<std::string> notices;

 private:
  static std::string Num(double v) { return std::to_string(static_cast<long long>(v)); }
};

Frame Telemetry(char kind, uint8_t b6 = 0, uint8_t b7 = 0, uint8_t b8 = 0, uint8_t b9 = 0) {
  return BuildRequest(0x01, 0, 0, static_cast<uint8_t>(kind), b6, b7, b8, b9);
}

class TelemetryDecoderTest : public ::testing::Test {
 protected:
  void Decode(const Frame& frame) { DecodeTelemetry(frame, state, sink); }
  void Decode(char kind, uint8_t b6 = 0, uint8_t b7 = 0, uint8_t b8 = 0, uint8_t b9 = 0) {
    Decode(Telemetry(kind, b6, b7, b8, b9));
  }
  // Starts a cycle at the given run time and forgets the effects so far.
  void StartAt(int runTimer) {
    Decode('e', static_cast<uint8_t>(runTimer >> 8), static_cast<uint8_t>(runTimer), 0, 0);
    sink.events.clear();
  }

  TelemetryState state;
  RecordingSink sink;
};

TEST_F(TelemetryDecoderTest, RunTimeFrameStartsRecordAndShowsMinutesAndSeconds) {
  state.record = "old record";
  Decode('e', 0x01, 0x33, 0x05, 0x00);
  EXPECT_EQ(state.runTimer, 307);
  EXPECT_EQ(state.record, "  307;     5;     0; ");
  EXPECT_THAT(sink.events, ElementsAre("point 11 307 0", "time 5:7"));
}

// Where runs begin is decided per cycle from its run timer and its mode, not
// by the decoding: it only tells when each comes, before the points.
TEST_F(TelemetryDecoderTest, TheCycleAndItsModeAreToldBeforeTheirPoints) {
  Decode('e', 0, 0, 0, 9);
  EXPECT_THAT(sink.cycle, ElementsAre("begins 0"));
  EXPECT_THAT(sink.events, ElementsAre("point 11 0 9", "time 0:0"));
  Decode('g', 1, 0, 125, 21);
  EXPECT_THAT(sink.cycle, ElementsAre("begins 0", "mode 21"));
  Decode('e', 0, 1, 0, 0);
  Decode('e', 0, 2, 0, 0);
  EXPECT_THAT(sink.cycle, ElementsAre("begins 0", "mode 21", "begins 1", "begins 2"));
}

// The fault code of 'e' is named when it changes to a non-zero value, once,
// and its going back to 0 is said once.
TEST_F(TelemetryDecoderTest, AFaultCodeIsNamedOnceWhenItAppearsAndWhenItIsGone) {
  Decode('e', 0, 5, 0, 0);
  Decode('e', 0, 6, 0, 13);
  Decode('e', 0, 7, 0, 13);
  EXPECT_THAT(sink.notices, ElementsAre("Неисправность 13: Попытки запуска исчерпаны"));
  Decode('e', 0, 8, 0, 17);
  Decode('e', 0, 9, 0, 0);
  Decode('e', 0, 10, 0, 0);
  Decode('e', 0, 11, 0, 17);
  Decode('e', 0, 12, 0, 99);
  EXPECT_THAT(sink.notices,
              ElementsAre("Неисправность 13: Попытки запуска исчерпаны",
                          "Неисправность 17: КЗ топливного насоса, обрыв цепи топливного насоса",
                          "Неисправность снята",
                          "Неисправность 17: КЗ топливного насоса, обрыв цепи топливного насоса",
                          "Неисправность 99: Неизвестный код"));
  // A reply to a request of code 'e' is no telemetry.
  Decode(BuildRequest(0x09 | kReplyFlag, 0, 0, 'e', 0, 13, 0, 5));
  EXPECT_EQ(sink.notices.size(), 5u);
}

TEST_F(TelemetryDecoderTest, RunTimerIsUnsignedSixteenBits) {
  Decode('e', 0xFF, 0xFF, 0xFF, 0xFF);
  EXPECT_EQ(state.runTimer, 65535);
  EXPECT_EQ(state.record, "65535;   255;   255; ");
  EXPECT_THAT(sink.events, ElementsAre("point 11 65535 255", "time 1092:15"));
}

TEST_F(TelemetryDecoderTest, FanFrameAppendsFourFieldsAndFourPoints) {
  StartAt(100);
  Decode('f', 1, 22, 255, 0);
  EXPECT_EQ(state.record, "  100;     0;     0;     1;    22;   255;     0; ");
  EXPECT_THAT(sink.events, ElementsAre("point 6 100 1", "point 4 100 22", "point 5 100 255",
                                       "point 9 100 0"));
}

TEST_F(TelemetryDecoderTest, OutputsFrameNamesTheModeWithoutTrailingBlank) {
  StartAt(5);
  Decode('g', 1, 0, 125, 21);
  EXPECT_EQ(state.record, "    5;     0;     0;     1;     0;   125;    21;");
  EXPECT_THAT(sink.events, ElementsAre("mode 21 - Прогрев", "point 8 5 1", "point 7 5 0",
                                       "point 12 5 125", "point 10 5 21"));
}

TEST_F(TelemetryDecoderTest, ModeCaptionForKnownAndUnknownModes) {
  const std::pair<uint8_t, const char*> cases[] = {
      {0, "0 - Не работает"},         {1, "1 - Проверка перед пуском"},
      {3, "3 - Розжиг1"},             {20, "20 - Розжиг18"},
      {27, "27 - Ждущий"},            {28, "28 - Неизвестный режим"},
      {255, "255 - Неизвестный режим"},
  };
  for (const auto& [mode, caption] : cases) {
    sink.events.clear();
    Decode('g', 0, 0, 0, mode);
    ASSERT_FALSE(sink.events.empty());
    EXPECT_EQ(sink.events.front(), std::string("mode ") + caption);
    EXPECT_EQ(sink.events.back(), "point 10 0 " + std::to_string(mode));
  }
}

TEST_F(TelemetryDecoderTest, UnknownModeStillLogsItsNumber) {
  StartAt(0);
  Decode('g', 0, 0, 0, 200);
  EXPECT_EQ(state.record.substr(state.record.size() - 6), "  200;");
}

TEST_F(TelemetryDecoderTest, TemperaturesAreSignedAndFlameIsConvertedFromKelvin) {
  StartAt(60);
  Decode('h', 0xFB, 0x50, 0x02, 0x5F);
  EXPECT_EQ(state.record.substr(21), "   -5;    80;   334;");
  EXPECT_THAT(sink.events, ElementsAre("point 0 60 -5", "point 1 60 80", "point 2 60 334"));
}

TEST_F(TelemetryDecoderTest, FlameTemperatureExtremes) {
  StartAt(0);
  Decode('h', 0x80, 0x7F, 0x00, 0x00);
  EXPECT_EQ(state.record.substr(21), " -128;   127;  -273;");
  StartAt(0);
  Decode('h', 0, 0, 0xFF, 0xFF);
  EXPECT_EQ(state.record.substr(21), "    0;     0; 65262;");
}

TEST_F(TelemetryDecoderTest, BoardTemperatureIsSignedCmdAndPpAreNot) {
  StartAt(7);
  Decode('i', 200, 250, 0xF0, 0x00);
  EXPECT_EQ(state.record.substr(21), "  -16;   250; 200;");
  EXPECT_THAT(sink.events, ElementsAre("point 3 7 -16"));
  StartAt(7);
  Decode('i', 5, 0, 0, 0);
  EXPECT_EQ(state.record.substr(21), "    0;     0;   5;");
}

TEST_F(TelemetryDecoderTest, FaultFrameAppendsFourBitStringsAndReportsTheBytes) {
  StartAt(0);
  Decode('j', 0x01, 0x00, 0x80, 0xFF);
  EXPECT_EQ(state.record.substr(21), "00000001 00000000 10000000 11111111;");
  EXPECT_THAT(sink.events, ElementsAre("faults 1 0 128 255"));
}

TEST_F(TelemetryDecoderTest, EndOfCycleLogsTheRecordAndKeepsIt) {
  StartAt(3);
  Decode('k', 1, 2, 3, 4);
  EXPECT_THAT(sink.events, ElementsAre("record     3;     0;     0; "));
  EXPECT_EQ(state.record, "    3;     0;     0; ");
}

TEST_F(TelemetryDecoderTest, TwoEndsWithoutStartLogTheGrowingRecordTwice) {
  StartAt(3);
  Decode('k');
  Decode('j', 0, 0, 0, 1);
  Decode('k');
  ASSERT_EQ(sink.log.size(), 2u);
  EXPECT_EQ(sink.log[0], "    3;     0;     0; ");
  EXPECT_EQ(sink.log[1], "    3;     0;     0; 00000000 00000000 00000000 00000001;");
}

TEST_F(TelemetryDecoderTest, LostStartFrameAppendsNextCycleToPreviousRecord) {
  StartAt(10);
  Decode('i', 1, 2, 3, 4);
  Decode('k');
  Decode('f', 9, 9, 9, 9);  // the next cycle's 'e' was lost
  Decode('k');
  ASSERT_EQ(sink.log.size(), 2u);
  EXPECT_EQ(sink.log[1], sink.log[0] + "    9;     9;     9;     9; ");
}

TEST_F(TelemetryDecoderTest, RecordStopsGrowingWhenStartFramesNeverCome) {
  StartAt(10);
  for (int cycle = 0; cycle < 10000; ++cycle) {
    Decode('f', 1, 2, 3, 4);
    Decode('j', 1, 2, 3, 4);
    Decode('k');
  }
  EXPECT_LE(state.record.size(), kMaxRecordLength + 40);
  EXPECT_GE(state.record.size(), kMaxRecordLength);
  Decode('e', 0, 11, 0, 0);
  EXPECT_EQ(state.record, "   11;     0;     0; ");
}

TEST_F(TelemetryDecoderTest, OtherKindsAndRepliesChangeNothing) {
  StartAt(42);
  const std::string before = state.record;
  for (char kind : {'a', 'd', 'l', 'w', '\0'}) Decode(kind, 1, 2, 3, 4);
  Frame reply = BuildRequest(0x01 | kReplyFlag, 0, 0, 'h', 1, 2, 3, 4);
  Decode(reply);
  reply = BuildRequest(0x19, 0, 0, 'e', 0, 0, 1, 1);
  Decode(reply);
  EXPECT_EQ(state.record, before);
  EXPECT_EQ(state.runTimer, 42);
  EXPECT_THAT(sink.events, IsEmpty());
}

// The record of a whole cycle sits under the column header of the record log,
// character for character.
TEST_F(TelemetryDecoderTest, FullCycleLinesUpUnderTheHeader) {
  const std::string header =
      "WTime; ModeT; Error;    ТН; vdDef; vdClc; Помпа;  Реле; Свеча;     U; Режим;   Tж;  Tпер; "
      "Тплам; Tплт;   Cmd;  ПП";
  Decode('e', 0x0E, 0x10, 3, 0);
  Decode('f', 10, 55, 54, 1);
  Decode('g', 1, 0, 124, 22);
  Decode('h', 0xF6, 85, 0x03, 0x20);
  Decode('i', 1, 100, 0xFE);
  Decode('j', 0, 0, 0, 0);
  Decode('k');
  ASSERT_EQ(sink.log.size(), 1u);
  // Positions in characters, not bytes: the header has Cyrillic letters.
  auto semicolons = [](const std::string& s) {
    std::vector<int> positions;
    int column = 0;
    for (unsigned char c : s) {
      if ((c & 0xC0) == 0x80) continue;
      if (c == ';') positions.push_back(column);
      ++column;
    }
    return positions;
  };
  const std::vector<int> inHeader = semicolons(header);
  const std::vector<int> inRecord = semicolons(sink.log[0]);
  ASSERT_EQ(inHeader.size(), 16u);
  ASSERT_EQ(inRecord.size(), 18u);
  for (size_t i = 0; i < inHeader.size(); ++i) EXPECT_EQ(inRecord[i], inHeader[i]) << "column " << i;
  // The last column, ПП, ends where the header ends.
  const auto headerChars = std::count_if(header.begin(), header.end(),
                                         [](unsigned char c) { return (c & 0xC0) != 0x80; });
  EXPECT_EQ(inRecord[16], headerChars);
  EXPECT_EQ(sink.log[0],
            " 3600;     3;     0;    10;    55;    54;     1;     1;     0;   124;    22;  -10;"
            "    85;   527;   -2;   100;   1;00000000 00000000 00000000 00000000;");
}

TEST_F(TelemetryDecoderTest, SteadyStreamReusesTheRecordStorage) {
  auto cycle = [&](int t) {
    Decode('e', static_cast<uint8_t>(t >> 8), static_cast<uint8_t>(t), 1, 2);
    Decode('f', 1, 2, 3, 4);
    Decode('g', 1, 2, 3, 4);
    Decode('h', 1, 2, 3, 4);
    Decode('i', 1, 2, 3, 4);
    Decode('j', 1, 2, 3, 4);
    Decode('k');
  };
  cycle(1);
  const char* storage = state.record.data();
  const size_t capacity = state.record.capacity();
  for (int t = 2; t < 500; ++t) cycle(t);
  EXPECT_EQ(state.record.data(), storage);
  EXPECT_EQ(state.record.capacity(), capacity);
}

// Noise that happens to pass the checksum: any kind, any bytes, any order.
TEST_F(TelemetryDecoderTest, ArbitraryFramesKeepTheRecordBounded) {
  uint32_t seed = 1;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  for (int i = 0; i < 200000; ++i) {
    const uint8_t kind = static_cast<uint8_t>('e' + next() % 8);  // 'e'..'l'
    Decode(Telemetry(static_cast<char>(kind), next(), next(), next(), next()));
    ASSERT_LE(state.record.size(), kMaxRecordLength + 40);
    ASSERT_GE(state.runTimer, 0);
    ASSERT_LE(state.runTimer, 65535);
    if (sink.events.size() > 1000) sink.events.clear();
  }
}

// Through the receiver, as the main window runs it: replies stay in the frame
// buffer and never reach the decoding, even those whose code is a telemetry kind.
TEST_F(TelemetryDecoderTest, ReceiverPassesTelemetryAndKeepsReplies) {
  FrameReceiver receiver;
  std::vector<uint8_t> bytes;
  auto add = [&](const Frame& f) { bytes.insert(bytes.end(), f.begin(), f.end()); };
  add(Telemetry('e', 0, 9, 0, 0));
  add(BuildRequest(0x19, 0, 0, 104, 1, 2, 3, 4));  // version reply, code 'h'
  add(BuildRequest(0x19, 0, 0, 105, 5, 6, 7, 8));  // date reply, code 'i'
  Frame bad = Telemetry('h', 1, 1, 1, 1);
  ++bad[9];
  add(bad);
  add(Telemetry('k'));
  receiver.Feed(bytes.data(), bytes.size(),
                [&](const Frame& frame) { DecodeTelemetry(frame, state, sink); });
  EXPECT_THAT(sink.log, ElementsAre("    9;     0;     0; "));
  EXPECT_EQ(receiver.counters().replies, 2u);
  EXPECT_EQ(receiver.counters().badChecksum, 1u);
}

}  // namespace
}  // namespace o5
