// SPDX-License-Identifier: GPL-3.0-or-later
// Charting a saved 24-hour record log again: 86,400 records, about 13 MB, in three shapes:
// - "OneRun": a run that never falls below the first running second, so that all 86,400
//   records are charted (13 x 86,400 points), the heaviest log of that size;
// - "AsSent": the generated session as the heater sends it, whose 16-bit run timer wraps
//   after 65,535 s: the run goes on past 65,535 s, and all of it is charted;
// - "LostWrap": as sent, with the records at 0 and 1 after the wrap lost.
// The logs are generated here, through the telemetry decoding, as the main window writes them.
//
//   bench_record_log --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// RunModelAsSent: the model of runs over the day's 86,400 cycles (run timer, mode, fault code
// and the values kept for the ranges), as the live feed gives it them.
// RunSummaryAsSent: "Итоги пуска" of the day's run, from that model. SplitIntoRunsAsSent: the
// day's log read and split into its runs, as "Пуски в журнале" lists them.
// Parse: the text to chart points. ChartLoad: those points into the graph window's chart.
// Open: the whole command on a file (read, parse, clear, load) with the window shown and
// the first redraw done. Redraw: one redraw of the loaded chart over the whole run, what
// every later redraw costs, as with live data.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/heater/TelemetrySession.h"
#include "heater/RecordLog.h"
#include "heater/RunSummary.h"
#include "heater/SessionRuns.h"
#include "heater/TelemetryDecoder.h"
#include "link/FrameReceiver.h"
#include "ui/UserDialogs.h"
#include "ui/graph/GraphSeries.h"
#include "ui/graph/RunListDialog.h"
#include "ui/graph/TfGraph.h"

namespace o5 {
namespace {

class LogSink final : public TelemetrySink {
 public:
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override {
    log.append(record);
    log.append("\r\n");
  }
  std::string log;
};

enum class Shape { kOneRun, kAsSent, kLostWrap };

// The record log of the generated day; in one run the run timer counts from 2 to 65,535
// over the day instead of wrapping.
std::string DayLog(Shape shape) {
  const bool oneRun = shape == Shape::kOneRun;
  const std::vector<uint8_t> session = GenerateTelemetrySession(kCyclesPerDay);
  LogSink sink;
  sink.log.reserve(14u << 20);
  TelemetryState state;
  FrameReceiver receiver;
  int cycle = 0;
  int sent = -1;  // cycles begun
  receiver.Feed(session.data(), session.size(), [&](const Frame& received) {
    Frame frame = received;
    if (frame[4] == kTelemetryRunTime) ++sent;
    // The two cycles after the wrap, from their 'e' to their 'k'.
    if (shape == Shape::kLostWrap && (sent == 65536 || sent == 65537)) return;
    if (oneRun && frame[4] == kTelemetryRunTime) {
      const int timer = 2 + static_cast<int>(int64_t{cycle++} * 65533 / kCyclesPerDay);
      frame[5] = static_cast<uint8_t>(timer >> 8);
      frame[6] = static_cast<uint8_t>(timer);
    }
    DecodeTelemetry(frame, state, sink);
  });
  return sink.log;
}

const std::string& Log(bool oneRun) {
  static const std::string one = DayLog(Shape::kOneRun);
  static const std::string asSent = DayLog(Shape::kAsSent);
  return oneRun ? one : asSent;
}

const std::string& LostWrapLog() {
  static const std::string log = DayLog(Shape::kLostWrap);
  return log;
}

// The day's cycles as the live feed gives them to the model, with their values.
struct DayCycle {
  RunCycle cycle;
  std::array<double, series::kCount> values;
};

class CycleSink final : public TelemetrySink {
 public:
  void CycleBegins(int32_t runTimer) override { cycles.push_back({{runTimer, 0, 0, std::nullopt}, {}}); }
  void CycleMode(uint8_t mode) override { cycles.back().cycle.mode = mode; }
  void AddPoint(int series, double, double y) override {
    cycles.back().values[static_cast<std::size_t>(series)] = y;
    if (series == series::kError) cycles.back().cycle.faultCode = static_cast<int>(y);
  }
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view) override {}
  std::vector<DayCycle> cycles;
};

const std::vector<DayCycle>& DayCycles() {
  static const std::vector<DayCycle> cycles = [] {
    const std::vector<uint8_t> session = GenerateTelemetrySession(kCyclesPerDay);
    CycleSink sink;
    TelemetryState state;
    FrameReceiver receiver;
    receiver.Feed(session.data(), session.size(),
                  [&](const Frame& frame) { DecodeTelemetry(frame, state, sink); });
    return sink.cycles;
  }();
  return cycles;
}

SessionRuns DayModel() {
  SessionRuns runs;
  WallSeconds clock = WallSecondsOf(2026, 12, 8, 0, 0, 0);
  for (const DayCycle& c : DayCycles()) {
    RunCycle cycle = c.cycle;
    cycle.clock = clock++;
    runs.Take(cycle);
    for (int s = 0; s < series::kCount; ++s) runs.Value(s, c.values[static_cast<std::size_t>(s)]);
  }
  return runs;
}

void Parse(benchmark::State& state, bool oneRun) {
  const std::string& text = Log(oneRun);
  std::size_t points = 0;
  for (auto _ : state) {
    RecordLog log(text);
    points = log.ShownPoints().size();
    benchmark::DoNotOptimize(points);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["MB"] = double(text.size()) / 1e6;
  state.counters["points"] = double(points);
}

void ChartLoad(benchmark::State& state, bool oneRun) {
  const RecordLog log(Log(oneRun));
  TfGraph graph;
  for (auto _ : state) {
    graph.ClearCharts();
    for (const TelemetryPoint& p : log.ShownPoints()) graph.AddPoint(p.series, p.x, p.y);
  }
  state.counters["points"] = double(log.ShownPoints().size());
}

struct ShownGraph {
  explicit ShownGraph(bool oneRun) : ShownGraph(Log(oneRun)) {}
  explicit ShownGraph(const std::string& log) {
    QFile f(dir.filePath("D_2026-12-7_0-0-0.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(log.data(), qint64(log.size()));
    path = f.fileName();
    graph.resize(1280, 800);
    graph.show();
    QCoreApplication::processEvents();
  }
  void Redraw() {
    graph.Charts->repaint();
    QCoreApplication::processEvents();
  }
  QTemporaryDir dir;
  QString path;
  TfGraph graph;
};

void Open(benchmark::State& state, bool oneRun) {
  ShownGraph shown(oneRun);
  for (auto _ : state) {
    shown.graph.OpenRecordLog(shown.path);
    shown.Redraw();
  }
}

void Redraw(benchmark::State& state, bool oneRun) {
  ShownGraph shown(oneRun);
  shown.graph.OpenRecordLog(shown.path);
  shown.graph.Charts->BottomAxis().SetMinMax(0, 65536);
  shown.graph.Charts->BottomAxis().SetIncrement(3600);
  for (auto _ : state) shown.Redraw();
}

// The journal whose wrap was lost, opened: one run of the whole day.
void OpenLostWrap(benchmark::State& state) {
  ShownGraph shown(LostWrapLog());
  for (auto _ : state) {
    shown.graph.OpenRecordLog(shown.path);
    shown.Redraw();
  }
  state.counters["points"] = double(shown.graph.Charts->Series(series::kMode).Size());
}

// The model of runs over the day as sent: 86,400 cycles, the run timer wrapping once.
void RunModel(benchmark::State& state) {
  DayCycles();
  std::size_t runs = 0;
  for (auto _ : state) {
    runs = DayModel().Runs().size();
    benchmark::DoNotOptimize(runs);
  }
  state.counters["cycles"] = double(DayCycles().size());
  state.counters["runs"] = double(runs);
}

// "Итоги пуска" of the day's run, from the model.
void Summary(benchmark::State& state) {
  const SessionRuns runs = DayModel();
  SeriesCaptions captions;
  for (int s = 0; s < series::kCount; ++s) captions[s] = kGraphSeries[s].caption;
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = RunSummaryLines(*runs.Latest(), captions).size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["length"] = double(runs.Latest()->length);
  state.counters["lines"] = double(lines);
}

// The 24-hour log as sent, split into its runs ("Пуски в журнале"): the log
// read, every record decoded and given to the run splitter.
void SplitIntoRuns(benchmark::State& state) {
  const std::string& text = Log(false);
  std::size_t runs = 0;
  for (auto _ : state) {
    RecordLog log(text);
    runs = log.Runs().size();
    benchmark::DoNotOptimize(runs);
  }
  state.counters["runs"] = double(runs);
}

void BM_RunModelAsSent(benchmark::State& s) { RunModel(s); }
void BM_RunSummaryAsSent(benchmark::State& s) { Summary(s); }
void BM_OpenLostWrap(benchmark::State& s) { OpenLostWrap(s); }
void BM_SplitIntoRunsAsSent(benchmark::State& s) { SplitIntoRuns(s); }
void BM_ParseOneRun(benchmark::State& s) { Parse(s, true); }
void BM_ParseAsSent(benchmark::State& s) { Parse(s, false); }
void BM_ChartLoadOneRun(benchmark::State& s) { ChartLoad(s, true); }
void BM_ChartLoadAsSent(benchmark::State& s) { ChartLoad(s, false); }
void BM_OpenOneRun(benchmark::State& s) { Open(s, true); }
void BM_OpenAsSent(benchmark::State& s) { Open(s, false); }
void BM_RedrawOneRun(benchmark::State& s) { Redraw(s, true); }

BENCHMARK(BM_ParseOneRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAsSent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartLoadOneRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartLoadAsSent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenOneRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAsSent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawOneRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLostWrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunModelAsSent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunSummaryAsSent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitIntoRunsAsSent)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace o5

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  // The message about the runs of a log would wait for a click.
  o5::SetInformationDisplay([](const QString&) {});
  // A log of several runs charts its last, as if chosen from the list.
  o5::SetRunChooser([](QWidget*, const o5::RecordLog& log) { return std::optional(log.RunCount() - 1); });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
