// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up in each language: the tool's catalog installed (none: the texts as
// written, English, or the Russian plural forms), then the four windows built
// and the main one shown on the offscreen platform, as start-up does, and
// taken down again. Prints the time of each, and first the resident memory
// with the windows up in the language given as --catalog=none|en|ru (run it
// once for each to compare; en by default). The catalogs' own cost is timed
// apart. On a noisy machine compare medians of interleaved repetitions:
//   --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
//   --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "app/ToolTranslation.h"
#include "link/Translation.h"
#include "settings/SettingsFile.h"
#include "tests/support/ProcessStats.h"

namespace o5 {
namespace {

const char* const kLanguages[] = {"none", "en", "ru"};

void StartUp(const char* language) {
  InstallToolTranslation(CatalogDirectory(ExecutableDirectory()), language);
  CreateForms();
  fMain->show();
  QApplication::processEvents();
}

void BM_StartUp(benchmark::State& st) {
  const char* language = kLanguages[st.range(0)];
  st.SetLabel(language);
  for (auto _ : st) {
    StartUp(language);
    st.PauseTiming();
    DestroyForms();
    QApplication::processEvents();
    st.ResumeTiming();
  }
}
BENCHMARK(BM_StartUp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The catalog alone: found, loaded and installed, then taken out again. With
// the start-up above it tells the catalog's share of start-up apart from the
// noise of building the windows.
void BM_InstallCatalog(benchmark::State& st) {
  const char* language = kLanguages[st.range(0)];
  st.SetLabel(language);
  const std::string folder = CatalogDirectory(ExecutableDirectory());
  for (auto _ : st) {
    InstallToolTranslation(folder, language);
    st.PauseTiming();
    InstallToolTranslation(std::string(), "none");
    st.ResumeTiming();
  }
}
BENCHMARK(BM_InstallCatalog)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace o5

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QTemporaryDir folder;
  o5::SetSettingsDirectory(folder.path().toStdString());
  std::string language = "en";
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--catalog=", 0) == 0) language = std::string(argv[i]).substr(10);
  o5::StartUp(language.c_str());
  std::printf("resident memory with the windows up, catalog %s: %.1f MB\n", language.c_str(),
              o5::test::ResidentKiB() / 1024.0);
  o5::DestroyForms();
  QApplication::processEvents();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  o5::InstallToolTranslation(std::string(), "none");
  return 0;
}
