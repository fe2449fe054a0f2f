// SPDX-License-Identifier: GPL-3.0-or-later
// The telemetry pipeline without widgets: receiver and decoding of a 24-hour
// session, effects into a sink that does nothing (or, for comparison, one that
// keeps the record log as text).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/heater/TelemetrySession.h"
#include "heater/TelemetryDecoder.h"
#include "link/FrameReceiver.h"

namespace o5 {
namespace {

class NullSink final : public TelemetrySink {
 public:
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view) override {}
};

class LogSink final : public TelemetrySink {
 public:
  void AddPoint(int, double x, double y) override { sum += x + y; }
  void SetTimeText(std::string_view t) override { sum += static_cast<double>(t.size()); }
  void SetModeCaption(std::string_view t) override { sum += static_cast<double>(t.size()); }
  void AppendRecord(std::string_view record) override {
    log.append(record);
    log.push_back('\n');
  }
  std::string log;
  double sum = 0;
};

const std::vector<uint8_t>& Session() {
  static const std::vector<uint8_t> bytes = GenerateTelemetrySession(kCyclesPerDay);
  return bytes;
}

void BM_PipelineNullSink(benchmark::State& st) {
  const std::vector<uint8_t>& bytes = Session();
  TelemetryState telemetry;
  NullSink sink;
  for (auto _ : st) {
    FrameReceiver receiver;
    receiver.Feed(bytes.data(), bytes.size(),
                  [&](const Frame& frame) { DecodeTelemetry(frame, telemetry, sink); });
    benchmark::DoNotOptimize(telemetry.record.data());
    if (receiver.counters().frames != bytes.size() / kFrameSize) st.SkipWithError("frames lost");
  }
  st.SetItemsProcessed(st.iterations() * static_cast<int64_t>(bytes.size() / kFrameSize));
  st.SetBytesProcessed(st.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_PipelineNullSink)->Unit(benchmark::kMillisecond);

void BM_PipelineKeepingTheLog(benchmark::State& st) {
  const std::vector<uint8_t>& bytes = Session();
  for (auto _ : st) {
    TelemetryState telemetry;
    LogSink sink;
    FrameReceiver receiver;
    receiver.Feed(bytes.data(), bytes.size(),
                  [&](const Frame& frame) { DecodeTelemetry(frame, telemetry, sink); });
    benchmark::DoNotOptimize(sink.log.data());
    benchmark::DoNotOptimize(sink.sum);
  }
  st.SetItemsProcessed(st.iterations() * static_cast<int64_t>(bytes.size() / kFrameSize));
}
BENCHMARK(BM_PipelineKeepingTheLog)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace o5

BENCHMARK_MAIN();
