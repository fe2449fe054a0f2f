// SPDX-License-Identifier: GPL-3.0-or-later
// The history window over a workshop's years of data: 1,000 heaters with 10
// readouts each and 10,000 session journals (half of them named after a
// heater). Opening the window reads the folder afresh; the target is 300 ms.
// Also the two listings it is made of, on their own. And a session whose
// timeline is 16 MiB (the most that is read): read, and chosen in the window
// with its events listed; the target is 0.5 s.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdlib>
#include <fstream>
#include <string>

#include "archive/ArchiveNames.h"
#include "archive/DataFolder.h"
#include "archive/ReadoutArchive.h"
#include "archive/SessionJournal.h"
#include "archive/TimelineFile.h"
#include "heater/BlackBoxImage.h"
#include "settings/SettingsFile.h"
#include "ui/history/TfHistory.h"

namespace o5 {
namespace {

constexpr int kHeaters = 1000;
constexpr int kReadoutsPerHeater = 10;
constexpr int kJournals = 10000;
constexpr uint32_t kFirstSerial = 100000;

DataFolder* data = nullptr;

void Write(const std::string& path, const char* bytes, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(bytes, static_cast<std::streamsize>(size));
}

// Written directly, not through the archive: its writes wait for the disk.
void FillDataFolder(const DataFolder& folder) {
  BlackBoxBytes image{};
  image[3] = kBlackBoxSignature1;
  image[4] = kBlackBoxSignature2;
  for (int h = 0; h < kHeaters; ++h) {
    const uint32_t serial = kFirstSerial + static_cast<uint32_t>(h);
    image[31] = static_cast<uint8_t>(h);
    image[32] = serial & 0xFF, image[33] = serial >> 8 & 0xFF, image[34] = serial >> 16 & 0xFF;
    const std::string heater = folder.Readouts() + "/" + std::to_string(serial);
    MakeDataFolder(folder, heater);
    for (int r = 0; r < kReadoutsPerHeater; ++r) {
      const LocalTime when{2020 + r, 1 + h % 12, 1 + h % 28, h % 24, r, 0};
      Write(heater + "/" + ReadoutFileName({serial, when}), reinterpret_cast<const char*>(image.data()), image.size());
    }
  }
  MakeDataFolder(folder, folder.Sessions());
  const std::string line = std::string(130, ' ') + "\r\n";
  for (int j = 0; j < kJournals; ++j) {
    const LocalTime opened{2020 + j % 10, 1 + j % 12, 1 + j % 28, j % 24, j / 24 % 60, j / 1440 % 60};
    std::optional<uint32_t> serial;
    if (j % 2 == 0) serial = kFirstSerial + static_cast<uint32_t>(j / 2 % kHeaters);
    Write(folder.Sessions() + "/" + JournalFileName({opened, serial}), line.data(), line.size());
  }
}

// The newest session, of no heater: a timeline of kTimelineMaxBytes, of the
// usual events with now and then a line too long and a line without a time.
const LocalTime kLargeSession{2031, 1, 1, 0, 0, 0};

void WriteLargeTimeline(const DataFolder& folder) {
  const std::string line = "\n";
  Write(folder.Sessions() + "/" + JournalFileName({kLargeSession, std::nullopt}), line.data(), line.size());
  std::string content;
  content.reserve(kTimelineMaxBytes);
  const std::string events[] = {"Режим 21 - Прогрев", "Неисправность 13: Попытки запуска исчерпаны",
                                "Неисправность снята", "Работа закончилась, длительность 0:05:12", "Пуск"};
  const std::string tooLong(6000, 'x');
  for (std::size_t i = 0;; ++i) {
    const std::string next =
        i % 97 == 0 ? "без времени\n"
                    : TimelineLine(LocalTimeOf(TimeOf(kLargeSession) + std::time_t(i)),
                                   i % 1009 == 0 ? tooLong : events[i % std::size(events)]);
    if (content.size() + next.size() > kTimelineMaxBytes) break;
    content += next;
  }
  Write(folder.Sessions() + "/" + TimelineFileName({kLargeSession, std::nullopt}), content.data(), content.size());
}

void BM_ReadTimelineOf16MiB(benchmark::State& st) {
  const std::string path = data->Sessions() + "/" + TimelineFileName({kLargeSession, std::nullopt});
  std::size_t events = 0;
  for (auto _ : st) events = ReadTimeline(path).events.size();
  st.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_ReadTimelineOf16MiB)->Unit(benchmark::kMillisecond);

// From the choice of the session to its events listed.
void BM_ChooseSessionWithTimelineOf16MiB(benchmark::State& st) {
  TfHistory window([](const QString&) {}, [](const QString&) {});
  window.Open();
  QTreeWidget* list = window.tvOtherSessions;
  for (auto _ : st) {
    st.PauseTiming();
    list->setCurrentItem(list->topLevelItem(1));
    QApplication::processEvents();
    st.ResumeTiming();
    list->setCurrentItem(list->topLevelItem(0));
  }
  st.counters["rows"] = window.tvEvents->model()->rowCount();
}
BENCHMARK(BM_ChooseSessionWithTimelineOf16MiB)->Unit(benchmark::kMillisecond);

void BM_ListHeaters(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(ReadoutArchive(*data).Heaters());
}
BENCHMARK(BM_ListHeaters)->Unit(benchmark::kMillisecond);

void BM_ListJournals(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(ListJournals(data->Sessions()));
}
BENCHMARK(BM_ListJournals)->Unit(benchmark::kMillisecond);

// From the command to the window shown with its lists filled.
void BM_OpenHistoryWindow(benchmark::State& st) {
  TfHistory window([](const QString&) {}, [](const QString&) {});
  for (auto _ : st) {
    window.Open();
    st.PauseTiming();
    window.hide();
    QApplication::processEvents();
    st.ResumeTiming();
  }
}
BENCHMARK(BM_OpenHistoryWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace o5

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QTemporaryDir folder;
  o5::SetSettingsDirectory(folder.path().toStdString());
  o5::DataFolder data{folder.filePath("data").toStdString(), false};
  std::ofstream(folder.filePath("config.ini").toStdString())
      << "[Options]\n" << o5::kDataDirKey << "=" << data.path << "\n";
  o5::FillDataFolder(data);
  o5::WriteLargeTimeline(data);
  o5::data = &data;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
