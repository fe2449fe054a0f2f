// SPDX-License-Identifier: GPL-3.0-or-later
// The tool killed (SIGKILL) while it journals a session: the journal holds
// every line the record log showed, whole, and at most its last line is cut
// short, which the log reader skips. The whole tool runs as the soak driver
// (o5_soak: the four windows offscreen) against the heater simulator, printing
// each line once the record log shows it.
//
// A few dozen kills by default; set O5_JOURNAL_KILL_ROUNDS for more, e.g.
//   O5_JOURNAL_KILL_ROUNDS=1000 ctest --test-dir build -R JournalKill --output-on-failure

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive/ArchiveNames.h"
#include "archive/SessionJournal.h"
#include "heater/BlackBoxImage.h"
#include "heater/RecordLog.h"
#include "tests/support/Simulator.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultRounds = 25;
constexpr int kDeadlineMs = 60000;
// Kills fall anywhere within this much of journaling after the first line.
constexpr int kMaxKillDelayMs = 800;
constexpr uint32_t kSerial = 424242;

int Rounds() {
  const char* text = std::getenv("O5_JOURNAL_KILL_ROUNDS");
  const int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : kDefaultRounds;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The whole tool on the simulator's line, journaling into its data folder.
class Tool {
 public:
  Tool(const std::string& port, const std::string& data, const QStringList& extra) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(O5_SOAK_PATH, QStringList{"--port", QString::fromStdString(port), "--data",
                                             QString::fromStdString(data), "--records", "--version-every",
                                             "0", "--sample-seconds", "3600"} +
                                     extra);
  }
  ~Tool() {
    if (process_.state() != QProcess::NotRunning) Kill();
  }

  // The next line it printed, without its end; nothing within `ms`.
  std::optional<std::string> Line(int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!process_.canReadLine()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0 || process_.state() == QProcess::NotRunning) return std::nullopt;
      process_.waitForReadyRead(static_cast<int>(left));
    }
    std::string line = process_.readLine().toStdString();
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
  }
  // Takes a line; a record line is kept as shown.
  std::optional<std::string> Take(int ms) {
    auto line = Line(ms);
    if (line && line->rfind("RECORD ", 0) == 0) shown.push_back(line->substr(7));
    return line;
  }
  void Kill() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
    process_.waitForFinished(kDeadlineMs);
    // What it printed before it died is still in the pipe.
    while (process_.canReadLine() || process_.bytesAvailable() > 0) {
      if (!Take(0)) break;
    }
  }
  bool Killed() const { return process_.exitStatus() == QProcess::CrashExit; }

  std::vector<std::string> shown;

 private:
  QProcess process_;
};

// The journal's lines as written, the part after the last line end (a line
// cut short by the kill, or nothing) last. A line is written whole with its
// line end by one write, so a line found before a line end was not torn.
std::vector<std::string> SplitJournal(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(kRecordLogLineEnd, at)) != std::string::npos; at = end + kRecordLogLineEnd.size())
    lines.push_back(text.substr(at, end - at));
  lines.push_back(text.substr(at));
  return lines;
}

// The journal must hold the lines shown, in order, at its start.
void ExpectShownLinesJournaled(const std::vector<std::string>& shown, const std::vector<std::string>& journal) {
  ASSERT_LE(shown.size() + 1, journal.size());
  for (std::size_t i = 0; i < shown.size(); ++i) ASSERT_EQ(journal[i], shown[i]) << "line " << i;
}

TEST(JournalKill, KilledAfterAReadoutTheJournalHoldsEveryLineShownAndTheHeatersSerial) {
  QTemporaryDir data;
  BlackBoxBytes image{};
  image[3] = 0x55, image[4] = 0x37;
  image[32] = kSerial & 0xFF, image[33] = kSerial >> 8 & 0xFF, image[34] = kSerial >> 16;
  const std::string imagePath = data.filePath("heater.bin").toStdString();
  std::ofstream(imagePath, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
  Simulator sim({"--no-pacing", "--cycle", "50", "--running", "--quiet", "--load-blackbox", imagePath});

  Tool tool(sim.DevicePath(), data.path().toStdString(), {"--blackbox-every", "0.005"});
  bool readout = false;
  std::size_t shownAtReadout = 0;
  while (!readout || tool.shown.size() < shownAtReadout + 5) {
    const auto line = tool.Take(kDeadlineMs);
    ASSERT_TRUE(line) << "the tool stopped printing";
    if (*line == "READOUT " + std::to_string(kSerial) && !readout) {
      readout = true;
      shownAtReadout = tool.shown.size();
    }
  }
  tool.Kill();
  ASSERT_TRUE(tool.Killed());

  const auto journals = ListJournals(data.filePath("sessions").toStdString());
  ASSERT_EQ(journals.size(), 1u);
  EXPECT_EQ(journals[0].name.serial, kSerial);
  ExpectShownLinesJournaled(tool.shown, SplitJournal(ReadFile(journals[0].path)));
}

TEST(JournalKill, NoJournalLineIsTornButPossiblyTheLastAfterEveryKill) {
  QTemporaryDir data;
  Simulator sim({"--no-pacing", "--cycle", "20", "--running", "--quiet"});
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> delay(0, kMaxKillDelayMs);
  const int rounds = Rounds();
  std::size_t lines = 0, shown = 0, cutShort = 0;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE("kill " + std::to_string(round));
    const std::string folder = data.filePath(QString::number(round)).toStdString();
    Tool tool(sim.DevicePath(), folder, {"--blackbox-every", "0"});
    while (tool.shown.empty()) ASSERT_TRUE(tool.Take(kDeadlineMs)) << "the tool stopped printing";
    const auto killAt = Clock::now() + std::chrono::milliseconds(delay(random));
    while (Clock::now() < killAt) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(killAt - Clock::now()).count();
      tool.Take(static_cast<int>(left));
    }
    tool.Kill();
    ASSERT_TRUE(tool.Killed());

    const auto journals = ListJournals(folder + "/sessions");
    ASSERT_EQ(journals.size(), 1u);
    const std::string text = ReadFile(journals[0].path);
    const std::vector<std::string> journal = SplitJournal(text);
    ExpectShownLinesJournaled(tool.shown, journal);
    // Lines the tool wrote but had not yet shown are whole records too; only
    // the first of an opening may lack the start of its cycle, which was on
    // the line before the port opened.
    RecordFrames frames;
    for (std::size_t i = std::max<std::size_t>(tool.shown.size(), 1); i + 1 < journal.size(); ++i)
      ASSERT_TRUE(ParseRecordLine(journal[i], frames)) << "line " << i << ": " << journal[i];
    lines += journal.size() - 1;
    shown += tool.shown.size();
    cutShort += journal.back().empty() ? 0 : 1;
  }
  std::printf("%d kills: %zu journal lines, %zu of them shown before the kill, %zu last lines cut short\n",
              rounds, lines, shown, cutShort);
  RecordProperty("kills", rounds);
  RecordProperty("journal_lines", static_cast<int>(lines));
  RecordProperty("last_lines_cut_short", static_cast<int>(cutShort));
}

}  // namespace
}  // namespace o5::test
