// SPDX-License-Identifier: GPL-3.0-or-later
// The tool killed while it saves: "config.ini" is never truncated or half
// written. A helper process saves keys without end and is killed at random
// moments; after every kill the file must be exactly one of the states that
// a complete write produces.
//
// 200 kills by default; set O5_SETTINGS_KILL_ROUNDS for more, for example
//   O5_SETTINGS_KILL_ROUNDS=1000 ctest --test-dir build -R SettingsKill --output-on-failure

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "settings/SettingsFile.h"
#include "tests/settings/KillWriterKeys.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::kKillWriterKeyCount;
using test::KillWriterKey;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr int kDefaultRounds = 200;
// Kills fall anywhere from the helper's first write to deep into its
// writing, which at one write every few milliseconds covers many writes. The
// helper's start is waited for first: under a sanitizer, on a loaded machine,
// starting takes longer than the whole range.
constexpr int kMaxKillDelayMicroseconds = 30000;
constexpr auto kFirstWriteDeadline = std::chrono::seconds(30);

// Lines around the section that every write must carry over unchanged; CR LF
// ends, so that a write that lost the style would show.
std::string Head() {
  std::string head = "; Settings kept by the kill test\r\n";
  for (int i = 0; i < 60; ++i) head += "; filler line " + std::to_string(i) + " of the head block\r\n";
  return head + "[Options]\r\n";
}
const std::string kTail = "\r\n[Other]\r\nKeep=1\r\n";

std::string Content(const int (&values)[kKillWriterKeyCount]) {
  std::string s = Head();
  for (int i = 0; i < kKillWriterKeyCount; ++i) s += KillWriterKey(i) + "=" + std::to_string(values[i]) + "\r\n";
  return s + kTail;
}

int Rounds() {
  const char* text = std::getenv("O5_SETTINGS_KILL_ROUNDS");
  const int rounds = text ? std::atoi(text) : 0;
  return rounds > 0 ? rounds : kDefaultRounds;
}

// What changes with every write of the file: a write replaces the file or
// rewrites it.
struct FileStamp {
  ino_t inode = 0;
  timespec modified{};
  bool operator==(const FileStamp& o) const {
    return inode == o.inode && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec;
  }
};

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {st.st_ino, st.st_mtim};
}

// Waits until the writer has written the file once (or has ended).
void AwaitFirstWrite(pid_t writer, const std::string& path, const FileStamp& before) {
  const auto deadline = std::chrono::steady_clock::now() + kFirstWriteDeadline;
  while (StampOf(path) == before && std::chrono::steady_clock::now() < deadline) {
    siginfo_t ended{};
    if (::waitid(P_PID, static_cast<id_t>(writer), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        ended.si_pid != 0)
      return;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

pid_t StartWriter(const std::string& dir) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(O5_KILL_WRITER, O5_KILL_WRITER, dir.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return child;
}

TEST(SettingsKillTest, FileIsWholeAfterEveryKill) {
  TempDir dir;
  int values[kKillWriterKeyCount] = {};
  WriteBytes(dir.SettingsPath(), Content(values));

  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> delay(0, kMaxKillDelayMicroseconds);
  const int rounds = Rounds();
  int killsMidRound = 0;
  int strayAfterKill = 0;
  int lastTotal = 0;
  for (int round = 0; round < rounds; ++round) {
    const FileStamp before = StampOf(dir.SettingsPath());
    const pid_t writer = StartWriter(dir.path());
    ASSERT_GT(writer, 0);
    AwaitFirstWrite(writer, dir.SettingsPath(), before);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself, status " << status;

    const std::string content = ReadBytes(dir.SettingsPath());
    const SettingsFile file(dir.SettingsPath());
    for (int i = 0; i < kKillWriterKeyCount; ++i)
      values[i] = file.ReadInteger(kSettingsSection, KillWriterKey(i), -1);
    ASSERT_EQ(content, Content(values)) << "after kill " << round;
    int leading = 1;
    while (leading < kKillWriterKeyCount && values[leading] == values[0]) ++leading;
    for (int i = leading; i < kKillWriterKeyCount; ++i)
      ASSERT_EQ(values[i], values[0] - 1) << "key " << KillWriterKey(i) << " after kill " << round;

    int total = 0;
    for (int v : values) total += v;
    if (total != lastTotal && leading != kKillWriterKeyCount) ++killsMidRound;
    lastTotal = total;
    strayAfterKill += static_cast<int>(test::StrayFiles(dir.path()).size());
  }
  RecordProperty("kills", rounds);
  RecordProperty("kills_inside_a_round", killsMidRound);
  RecordProperty("writes_done", lastTotal);
  RecordProperty("leftover_names_seen", strayAfterKill);
  std::printf("%d kills, %d inside a round, %d writes done, %d leftover temporary names seen\n", rounds,
              killsMidRound, lastTotal, strayAfterKill);
  // The kills must have hit the writer at work, or the test proves nothing.
  // Each write waits for the disk, so a writer gets through only a few before
  // it is killed; the bounds are far below what even a slow disk allows.
  EXPECT_GT(lastTotal, rounds / 4);
  EXPECT_GT(killsMidRound, rounds / 10);

  // Leftovers of killed writers go with the next write.
  SettingsFile(dir.SettingsPath()).WriteInteger(kSettingsSection, "Done", 1);
  EXPECT_THAT(test::StrayFiles(dir.path()), ::testing::IsEmpty());
}

}  // namespace
}  // namespace o5
