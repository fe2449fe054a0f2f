// SPDX-License-Identifier: GPL-3.0-or-later
// The act of a visit with three one-hour runs: gathering the runs from the
// day's journals, and the act rendered to PDF with the chart of one run.

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "archive/ArchiveNames.h"
#include "archive/VisitAct.h"
#include "archive/VisitRuns.h"
#include "tests/support/VisitJournals.h"
#include "ui/visit/VisitActPrint.h"

namespace o5 {
namespace {

constexpr uint32_t kSerial = 658188;
const LocalTime kOpened{2026, 12, 8, 8, 0, 0};

struct Day {
  QTemporaryDir dir;
  std::string sessions;
  Day() : sessions(dir.filePath("sessions").toStdString()) {
    std::filesystem::create_directories(sessions);
    const test::WrittenSession s = test::WriteSession(
        kOpened, {{3600}, {3600, 13, 1800, 120}, {3600}});
    const JournalName name{kOpened, kSerial};
    std::ofstream(sessions + "/" + JournalFileName(name), std::ios::binary) << s.journal;
    std::ofstream(sessions + "/" + TimelineFileName(name), std::ios::binary) << s.timeline;
  }
};

Day& TheDay() {
  static Day day;
  return day;
}

void BM_GatherThreeHourLongRuns(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GatherVisit(TheDay().sessions, kSerial, kOpened));
}
BENCHMARK(BM_GatherThreeHourLongRuns)->Unit(benchmark::kMillisecond);

void BM_ActOfThreeHourLongRunsToPdf(benchmark::State& state) {
  const Visit visit = GatherVisit(TheDay().sessions, kSerial, kOpened);
  std::vector<const VisitRun*> runs;
  for (const VisitRun& run : visit.runs) runs.push_back(&run);
  BlackBoxBytes image{};
  image[3] = 0x55, image[4] = 0x37, image[32] = 0x0C, image[33] = 0x0B, image[34] = 0x0A;
  const VisitActContent act = MakeVisitAct({"Мастерская", "Заказчик", "Автомобиль", "Заключение"}, kOpened, runs,
                                           {1, 2, 3}, DefaultChartRun(visit.runs),
                                           VisitActBlackBox{image, "08.12.2026 12:00:00", std::nullopt},
                                           visit.firmware, kSerial);
  const VisitRun* chart = &visit.runs[*DefaultChartRun(visit.runs)];
  size_t bytes = 0;
  for (auto _ : state) bytes = static_cast<size_t>(VisitActPdf(act, chart).size());
  state.counters["pdf_kB"] = static_cast<double>(bytes) / 1024;
}
BENCHMARK(BM_ActOfThreeHourLongRunsToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace o5
