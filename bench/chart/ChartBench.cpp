// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of drawing and filling the chart with a 24-hour run: thirteen series of
// 86,400 points each (one telemetry cycle a second), drawn at 1280 x 800.
//
// Run on the offscreen platform, a Release or RelWithDebInfo build:
//   chart_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
// The "Full" variants draw every visible point without the min/max reduction;
// their ratio to the reduced ones is what the reduction saves. A chart keeps
// its reduction of a view from one drawing to the next; "FirstDraw" draws
// with a new renderer every time (nothing kept), "AfterAppend" adds a point
// to every series before each drawing, as live telemetry does.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <vector>
#include <cstdlib>
#include <memory>
#include <random>

#include "chart/ChartReadout.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartWidget.h"
#include "chart/SeriesReduction.h"

namespace {

constexpr int kSeconds = 86400;
constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// Telemetry-like curves: slow drifts with noise (temperatures, voltage), fans
// and pumps that step, a mode number that changes now and then.
double Sample(int series, int t, std::mt19937& rng) {
  std::normal_distribution<double> noise(0, 1);
  const double slow = std::sin(t / 900.0 + series);
  switch (series) {
    case 2: return 350 + 250 * slow + 15 * noise(rng);                 // flame
    case 4: case 5: return 60 + 30 * std::sin(t / 300.0) + 3 * noise(rng);  // fan
    case 10: return (t / 1200) % 28;                                   // mode
    case 12: return 125 + 5 * noise(rng);                              // voltage
    default: return 40 * series + 30 * slow + 4 * noise(rng);
  }
}

// Fills a chart model or a chart widget.
template <typename Chart>
void Fill(Chart& chart) {
  std::mt19937 rng(1);
  for (int t = 0; t < kSeconds; ++t)
    for (int s = 0; s < o5::ChartModel::kSeriesCount; ++s) chart.AddPoint(s, t, Sample(s, t, rng));
}

o5::ChartModel& Model() {
  static o5::ChartModel* model = [] {
    auto* m = new o5::ChartModel;
    Fill(*m);
    return m;
  }();
  return *model;
}

void Redraw(benchmark::State& state, double xMin, double xMax, bool reduce, int lineWidth) {
  o5::ChartModel& m = Model();
  m.BottomAxis().SetMinMax(xMin, xMax);
  m.BottomAxis().SetIncrement(50);
  for (int s = 0; s < o5::ChartModel::kSeriesCount; ++s) m.SetWidth(s, lineWidth);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  o5::ChartRenderer renderer;
  renderer.SetReduction(reduce);
  for (auto _ : state) {
    QPainter painter(&image);
    const o5::ChartFrame frame = o5::ChartRenderer::Layout(image.rect(), painter.font(), m);
    renderer.Draw(painter, frame, image.rect(), m);
  }
  benchmark::DoNotOptimize(image.constBits());
}

// Drawing with nothing kept from an earlier drawing.
void FirstDraw(benchmark::State& state, double xMin, double xMax) {
  o5::ChartModel& m = Model();
  m.BottomAxis().SetMinMax(xMin, xMax);
  m.BottomAxis().SetIncrement(50);
  for (int s = 0; s < o5::ChartModel::kSeriesCount; ++s) m.SetWidth(s, 1);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    o5::ChartRenderer renderer;
    QPainter painter(&image);
    const o5::ChartFrame frame = o5::ChartRenderer::Layout(image.rect(), painter.font(), m);
    renderer.Draw(painter, frame, image.rect(), m);
  }
}

// Live telemetry: every series grows by a point before each drawing of the
// whole run so far.
void BM_RedrawWholeDayAfterAppend(benchmark::State& state) {
  auto m = std::make_unique<o5::ChartModel>();
  Fill(*m);
  m->BottomAxis().SetMinMax(0, 2 * kSeconds);
  m->BottomAxis().SetIncrement(50);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  o5::ChartRenderer renderer;
  double t = kSeconds;
  for (auto _ : state) {
    for (int s = 0; s < o5::ChartModel::kSeriesCount; ++s) m->AddPoint(s, t, 100 + s);
    t += 1;
    QPainter painter(&image);
    const o5::ChartFrame frame = o5::ChartRenderer::Layout(image.rect(), painter.font(), *m);
    renderer.Draw(painter, frame, image.rect(), *m);
  }
}

// The values under the mouse: thirteen series of a day read at a time.
void BM_ReadoutWholeDay(benchmark::State& state) {
  const o5::ChartModel& m = Model();
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> at(0, kSeconds);
  for (auto _ : state) benchmark::DoNotOptimize(o5::ReadAt(m, at(rng)));
}

void BM_RedrawWholeDay(benchmark::State& state) { Redraw(state, 0, kSeconds, true, 1); }
void BM_RedrawWholeDayFirstDraw(benchmark::State& state) { FirstDraw(state, 0, kSeconds); }
void BM_RedrawLastHourFirstDraw(benchmark::State& state) { FirstDraw(state, kSeconds - 3600, kSeconds); }
void BM_RedrawWholeDayFull(benchmark::State& state) { Redraw(state, 0, kSeconds, false, 1); }
void BM_RedrawLast200s(benchmark::State& state) { Redraw(state, kSeconds - 200, kSeconds, true, 1); }
void BM_RedrawLast200sFull(benchmark::State& state) { Redraw(state, kSeconds - 200, kSeconds, false, 1); }
void BM_RedrawWholeDayWidth3(benchmark::State& state) { Redraw(state, 0, kSeconds, true, 3); }
void BM_RedrawWholeDayWidth3Full(benchmark::State& state) { Redraw(state, 0, kSeconds, false, 3); }
void BM_RedrawLast200sWidth9(benchmark::State& state) { Redraw(state, kSeconds - 200, kSeconds, true, 9); }
void BM_RedrawLastHour(benchmark::State& state) { Redraw(state, kSeconds - 3600, kSeconds, true, 1); }
void BM_RedrawLastHourFull(benchmark::State& state) { Redraw(state, kSeconds - 3600, kSeconds, false, 1); }

// The reduction alone, for the whole day: what the drawing costs besides.
void BM_ReduceWholeDay(benchmark::State& state) {
  const o5::ChartModel& m = Model();
  std::vector<o5::ChartPoint> out;
  for (auto _ : state)
    for (int s = 0; s < o5::ChartModel::kSeriesCount; ++s) o5::ReduceForView(m.Series(s), 0, kSeconds, 1230, out);
}

// The whole path of a redraw of the shown widget: paint event, backing store.
void BM_WidgetRepaintWholeDay(benchmark::State& state) {
  o5::ChartWidget w;
  w.resize(kWidth, kHeight);
  Fill(w);
  w.BottomAxis().SetMinMax(0, kSeconds);
  w.show();
  QCoreApplication::processEvents();
  for (auto _ : state) w.repaint();
}

// Why wide lines are drawn as separate segments: the same 5,000-point line,
// 3 pixels wide, as one polyline and as segments with square caps.
std::vector<QPointF> NoisyLine() {
  std::mt19937 rng(4);
  std::normal_distribution<double> noise(0, 30);
  std::vector<QPointF> pts;
  for (int i = 0; i < 5000; ++i) pts.emplace_back(40 + i * 0.24, 400 + noise(rng));
  return pts;
}

void BM_WideLineAsPolyline(benchmark::State& state) {
  const std::vector<QPointF> pts = NoisyLine();
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setPen(QPen(Qt::blue, 3));
    painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
  }
}

void BM_WideLineAsSegments(benchmark::State& state) {
  const std::vector<QPointF> pts = NoisyLine();
  std::vector<QLineF> lines;
  for (std::size_t i = 1; i < pts.size(); ++i) lines.emplace_back(pts[i - 1], pts[i]);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.setPen(QPen(Qt::blue, 3, Qt::SolidLine, Qt::SquareCap));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
}

// Appending to a series that already holds a day of points. The series is put
// back to 86,400 points whenever it has grown by another day.
void BM_AddPoint(benchmark::State& state) {
  o5::SeriesData s;
  auto refill = [&] {
    s.Clear();
    for (int t = 0; t < kSeconds; ++t) s.Add(t, t % 700);
  };
  refill();
  double x = kSeconds;
  for (auto _ : state) {
    s.Add(x, 100);
    x += 1;
    if (s.Size() >= 2 * kSeconds) {
      state.PauseTiming();
      refill();
      x = kSeconds;
      state.ResumeTiming();
    }
  }
}

// The same through the chart widget (series 0 of 13), shown, with the redraw
// request that every point makes.
void BM_AddPointToShownChart(benchmark::State& state) {
  o5::ChartWidget w;
  w.resize(kWidth, kHeight);
  for (int t = 0; t < kSeconds; ++t) w.AddPoint(0, t, t % 700);
  w.show();
  QCoreApplication::processEvents();
  double x = kSeconds;
  for (auto _ : state) {
    w.AddPoint(0, x, 100);
    x += 1;
  }
}

// A day of points whose second half comes first (a journal holding two runs
// whose time axes overlap, charted as one): as cheap as a day in order.
void BM_FillDayHalvesSwapped(benchmark::State& state) {
  for (auto _ : state) {
    o5::SeriesData s;
    for (int i = 0; i < kSeconds; ++i) {
      const int t = (i + kSeconds / 2) % kSeconds;
      s.Add(t, t % 700);
    }
    benchmark::DoNotOptimize(s.RangeExtremes(0, s.Size()));
  }
}

void BM_FillDayInOrder(benchmark::State& state) {
  for (auto _ : state) {
    o5::SeriesData s;
    for (int t = 0; t < kSeconds; ++t) s.Add(t, t % 700);
    benchmark::DoNotOptimize(s.RangeExtremes(0, s.Size()));
  }
}

// A point that arrives ten seconds late: it waits aside until the series is
// next read (BM_FillDayHalvesSwapped measures the merging in).
void BM_AddLatePoint(benchmark::State& state) {
  o5::SeriesData s;
  for (int t = 0; t < kSeconds; ++t) s.Add(t, t % 700);
  double x = kSeconds;
  for (auto _ : state) {
    s.Add(x, 1);
    s.Add(x - 10.5, 2);
    x += 1;
  }
}

BENCHMARK(BM_RedrawWholeDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWholeDayFirstDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWholeDayAfterAppend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLastHourFirstDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadoutWholeDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawWholeDayFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLast200s)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLast200sFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLastHour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLastHourFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWholeDayWidth3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWholeDayWidth3Full)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawLast200sWidth9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WidgetRepaintWholeDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReduceWholeDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideLineAsPolyline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideLineAsSegments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddPoint)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_AddPointToShownChart)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_AddLatePoint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillDayInOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillDayHalvesSwapped)->Unit(benchmark::kMillisecond);

void ReportMemory() {
  // Large blocks are mapped, not taken from the heap: count both.
  auto inUse = [] {
    const struct mallinfo2 mi = mallinfo2();
    return static_cast<double>(mi.uordblks + mi.hblkhd);
  };
  const double before = inUse();
  auto m = std::make_unique<o5::ChartModel>();
  Fill(*m);
  const double after = inUse();
  const double points = 13.0 * kSeconds;
  std::printf("memory: %.1f bytes per point (13 x %d points, %.1f MB)\n", (after - before) / points, kSeconds,
              (after - before) / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ReportMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
