// SPDX-License-Identifier: GPL-3.0-or-later
// Charting a saved 24-hour record log again: 86,400 records, about 13 MB, in two shapes:
// - "OneRun": a run that never falls below the first running second, so that all 86,400
//   records are charted (13 x 86,400 points), the heaviest log of that size;
// - "AsSent": the generated session as the heater sends it, whose 16-bit run timer wraps
//   after 65,535 s and so starts a second run, the one charted.
// The logs are generated here, through the telemetry decoding, as the main window writes them.
//
//   bench_record_log --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// RunSummaryOneRun: "Итоги пуска" of the charted day. SplitIntoRunsAsSent: the day's log read
// and split into its runs, as "Пуски в журнале" lists them.
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

// The record log of the generated day; with `oneRun` the run timer counts from 2 to 65,535
// over the day instead of wrapping.
std::string DayLog(bool oneRun) {
  const std::vector<uint8_t> session = GenerateTelemetrySession(kCyclesPerDay);
  LogSink sink;
  sink.log.reserve(14u << 20);
  TelemetryState state;
  FrameReceiver receiver;
  int cycle = 0;
  receiver.Feed(session.data(), session.size(), [&](const Frame& received) {
    Frame frame = received;
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
  static const std::string one = DayLog(true);
  static const std::string asSent = DayLog(false);
  return oneRun ? one : asSent;
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
  ShownGraph(bool oneRun) {
    QFile f(dir.filePath("D_2026-12-7_0-0-0.txt"));
    f.open(QIODevice::WriteOnly);
    f.write(Log(oneRun).data(), qint64(Log(oneRun).size()));
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

// The run summary ("Итоги пуска") of the charted 24-hour run: 13 x 86,400 points.
void Summary(benchmark::State& state) {
  const RecordLog log(Log(true));
  std::array<std::vector<double>, series::kCount> xs, ys;
  for (const TelemetryPoint& p : log.ShownPoints()) {
    xs[p.series].push_back(p.x);
    ys[p.series].push_back(p.y);
  }
  RunColumns run;
  SeriesCaptions captions;
  for (int s = 0; s < series::kCount; ++s) {
    run[s] = {xs[s], ys[s]};
    captions[s] = kGraphSeries[s].caption;
  }
  std::size_t lines = 0;
  for (auto _ : state) {
    lines = RunSummaryLines(run, captions).size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["cycles"] = double(xs[series::kError].size());
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

void BM_RunSummaryOneRun(benchmark::State& s) { Summary(s); }
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
BENCHMARK(BM_RunSummaryOneRun)->Unit(benchmark::kMillisecond);
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
