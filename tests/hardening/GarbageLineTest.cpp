// SPDX-License-Identifier: GPL-3.0-or-later
// Garbage on the line: 10 MB of random bytes with valid telemetry cycles
// spliced in, pushed through a pseudo-terminal as fast as the tool takes it,
// into the real main window (offscreen).
//
// Random bytes contain start bytes, and a frame begun on one of them takes the
// next nine bytes whatever they are. So every spliced cycle is preceded by nine
// bytes that are not 0xAA: whatever frame the garbage began has ended by then,
// and the receiver hunts when the cycle's first start byte comes. Each spliced
// cycle must then be decoded and logged, whatever surrounds it.
//
// The garbage itself forms valid frames now and then (one started frame in 256
// has a right checksum); how many, and which records they log, is worked out by
// running the same receive rules over the whole stream in one piece. As long as
// the watchdog dropped nothing (it only does when the line stalls for 300 ms
// in the middle of a frame, which a stream at full speed does not), the tool's
// record log must equal that, line for line.

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/ByteTracePane.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "heater/TelemetryDecoder.h"
#include "link/ComPort.h"
#include "link/FrameReceiver.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/PtyLine.h"

namespace o5::test {
namespace {

constexpr size_t kStreamBytes = 10u * 1024 * 1024;
constexpr size_t kGuardBytes = 9;
constexpr int kMinGarbage = 200;
constexpr int kMaxGarbage = 3400;
constexpr size_t kWriteChunk = 64 * 1024;
constexpr unsigned kSeed = 20260607;
// Growth of resident memory beyond the byte trace over the last three quarters
// of the stream: the record log and the chart points take a few megabytes.
constexpr double kGrowthBeyondTraceMB = 24.0;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

std::string Format(const char* format, ...) {
  char text[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string Bits(uint8_t v) {
  std::string s;
  for (int bit = 7; bit >= 0; --bit) s += (v >> bit) & 1 ? '1' : '0';
  return s;
}

int Signed(uint8_t b) { return b > 127 ? b - 256 : b; }

struct Stream {
  std::string bytes;
  std::vector<std::string> splicedRecords;  // the record each spliced cycle logs
};

// One cycle of seven frames, and the record it logs, formatted here from the
// record's printf formats.
void Splice(Stream& s, int index, std::mt19937& random) {
  const auto byte = [&] { return static_cast<uint8_t>(random() & 0xFF); };
  const int runTimer = 2 + index % 60000;
  const uint8_t e8 = static_cast<uint8_t>(index), e9 = static_cast<uint8_t>(index >> 8);
  uint8_t d[5][4];
  for (auto& frame : d)
    for (uint8_t& b : frame) b = byte();
  uint8_t j[4] = {byte(), byte(), byte(), byte()};
  s.bytes += TelemetryBytes('e', static_cast<uint8_t>(runTimer >> 8), static_cast<uint8_t>(runTimer), e8, e9);
  s.bytes += TelemetryBytes('f', d[0][0], d[0][1], d[0][2], d[0][3]);
  s.bytes += TelemetryBytes('g', d[1][0], d[1][1], d[1][2], d[1][3]);
  s.bytes += TelemetryBytes('h', d[2][0], d[2][1], d[2][2], d[2][3]);
  s.bytes += TelemetryBytes('i', d[3][0], d[3][1], d[3][2], d[3][3]);
  s.bytes += TelemetryBytes('j', j[0], j[1], j[2], j[3]);
  s.bytes += TelemetryBytes('k', byte(), byte(), byte(), byte());
  s.splicedRecords.push_back(
      Format("%5d; %5d; %5d; ", runTimer, e8, e9) +
      Format("%5d; %5d; %5d; %5d; ", d[0][0], d[0][1], d[0][2], d[0][3]) +
      Format("%5d; %5d; %5d; %5d;", d[1][0], d[1][1], d[1][2], d[1][3]) +
      Format("%5d; %5d; %5d;", Signed(d[2][0]), Signed(d[2][1]), d[2][2] * 256 + d[2][3] - 273) +
      Format("%5d; %5d; %3d;", Signed(d[3][2]), d[3][1], d[3][0]) +
      Bits(j[0]) + " " + Bits(j[1]) + " " + Bits(j[2]) + " " + Bits(j[3]) + ";");
}

Stream MakeStream() {
  std::mt19937 random(kSeed);
  std::uniform_int_distribution<int> garbageLength(kMinGarbage, kMaxGarbage);
  Stream s;
  s.bytes.reserve(kStreamBytes + kMaxGarbage + 100);
  // The log starts with a spliced record, so that its first line is not empty.
  int index = 0;
  Splice(s, index++, random);
  while (s.bytes.size() < kStreamBytes) {
    for (int n = garbageLength(random); n > 0; --n) s.bytes += static_cast<char>(random() & 0xFF);
    for (size_t n = 0; n < kGuardBytes;) {
      const auto b = static_cast<uint8_t>(random() & 0xFF);
      if (b == kStartByte) continue;
      s.bytes += static_cast<char>(b);
      ++n;
    }
    Splice(s, index++, random);
  }
  return s;
}

// The same receive rules over the whole stream in one piece, without a
// watchdog: the records the tool must log and the frames it must count.
struct Expected {
  std::vector<std::string> records;
  FrameReceiver::Counters counters;
};

class RecordSink : public TelemetrySink {
 public:
  explicit RecordSink(std::vector<std::string>& records) : records_(records) {}
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override { records_.emplace_back(record); }

 private:
  std::vector<std::string>& records_;
};

Expected Replay(const std::string& bytes) {
  Expected e;
  FrameReceiver receiver;
  TelemetryState state;
  RecordSink sink(e.records);
  receiver.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                [&](const Frame& frame) { DecodeTelemetry(frame, state, sink); });
  e.counters = receiver.counters();
  return e;
}

class GarbageLine : public ToolFixture {};

TEST_F(GarbageLine, TenMegabytesOfNoiseLoseNoSplicedFrameAndMemoryStaysBounded) {
  const Stream stream = MakeStream();
  const Expected expected = Replay(stream.bytes);
  const size_t cycles = stream.splicedRecords.size();
  const uint64_t garbageFrames = expected.counters.frames - 7 * cycles;

  PtyLine line;
  fMain->Port->SetPort(line.Path());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
  QTest::qWait(200);

  // Resident memory at the start and after each quarter of the stream.
  std::vector<long> rss{ResidentKiB()};
  std::vector<size_t> traced{0};
  std::vector<int> logged{0};
  const auto sample = [&] {
    rss.push_back(ResidentKiB());
    traced.push_back(fMain->MT->LineCount());
    logged.push_back(fMain->MR->document()->blockCount());
  };
  const size_t quarter = stream.bytes.size() / 4;
  size_t sent = 0;
  size_t nextSample = quarter;
  const double cpuBefore = ProcessCpuSeconds();
  QElapsedTimer clock;
  clock.start();
  while (sent < stream.bytes.size()) {
    const size_t chunk = std::min(kWriteChunk, stream.bytes.size() - sent);
    const ssize_t n = ::write(line.MasterFd(), stream.bytes.data() + sent, chunk);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
      // The line is full: the tool has bytes to take, and hands them over.
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    if (sent >= nextSample && rss.size() < 4) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return fMain->MT->LineCount() >= nextSample; }, 120000));
      sample();
      nextSample += quarter;
    }
  }
  // Every byte reached the tool: the byte trace holds one line per byte.
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return fMain->MT->LineCount() == stream.bytes.size(); }, 120000));
  const double seconds = clock.elapsed() / 1000.0;
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  QCoreApplication::processEvents();
  sample();

  ASSERT_TRUE(fMain->Port->Connected());
  EXPECT_TRUE(TakeErrors().isEmpty());
  // The trace holds the bytes in their order (a sample of them).
  std::mt19937 pick(1);
  for (int i = 0; i < 2000; ++i) {
    const size_t at = pick() % stream.bytes.size();
    ASSERT_EQ(fMain->MT->Line(at).toInt(), static_cast<uint8_t>(stream.bytes[at])) << at;
  }

  const QStringList log = fMain->MR->toPlainText().split('\n');
  // Every spliced cycle's record is in the log, in order, whatever the
  // garbage logged around it.
  size_t matched = 0;
  for (const QString& l : log)
    if (matched < cycles && l.toStdString() == stream.splicedRecords[matched]) ++matched;
  EXPECT_EQ(matched, cycles) << "first spliced record not found: "
                             << (matched < cycles ? stream.splicedRecords[matched] : "");

  const FrameReceiver::Counters& got = fMain->Receiver().counters();
  if (got.partialDropped == 0) {
    EXPECT_EQ(got.frames, expected.counters.frames);
    EXPECT_EQ(got.badChecksum, expected.counters.badChecksum);
    EXPECT_EQ(got.replies, expected.counters.replies);
    ASSERT_EQ(static_cast<size_t>(log.size()), expected.records.size());
    for (size_t i = 0; i < expected.records.size(); ++i)
      ASSERT_EQ(log[static_cast<qsizetype>(i)].toStdString(), expected.records[i]) << "line " << i;
  } else {
    std::printf("the watchdog dropped %llu partial frames: the line stalled mid-frame\n",
                static_cast<unsigned long long>(got.partialDropped));
  }

  std::printf("stream: %.1f MB, %zu spliced cycles (%zu frames), %llu valid frames formed by the "
              "garbage, %llu frames with a wrong checksum\n",
              stream.bytes.size() / 1048576.0, cycles, 7 * cycles,
              static_cast<unsigned long long>(garbageFrames),
              static_cast<unsigned long long>(expected.counters.badChecksum));
  std::printf("tool: %llu valid frames, %llu wrong checksums, %llu partial frames dropped, %lld "
              "records logged, %zu spliced records found; %.1f s, %.1f s of processor time\n",
              static_cast<unsigned long long>(got.frames),
              static_cast<unsigned long long>(got.badChecksum),
              static_cast<unsigned long long>(got.partialDropped),
              static_cast<long long>(log.size()), matched, seconds, cpu);
  for (size_t i = 0; i < rss.size(); ++i)
    std::printf("resident memory after %zu/4 of the stream: %.1f MB (byte trace %.1f MB, %d log "
                "lines)\n", i, rss[i] / 1024.0, traced[i] / 1048576.0, logged[i]);

  // Memory grows by the byte trace (a byte per byte), the record log and the
  // chart points, and by nothing else. Over the last three quarters the growth
  // beyond the bytes traced must stay small.
  const double growthMB = (rss.back() - rss[1]) / 1024.0;
  const double tracedMB = (traced.back() - traced[1]) / 1048576.0;
  RecordProperty("rss_growth_kib", static_cast<int>(rss.back() - rss.front()));
  if (kAddressSanitizer) return;  // its quarantine keeps freed memory resident on purpose
  EXPECT_LT(growthMB - tracedMB, kGrowthBeyondTraceMB)
      << "grew " << growthMB << " MB for " << tracedMB << " MB of byte trace";
}

}  // namespace
}  // namespace o5::test
