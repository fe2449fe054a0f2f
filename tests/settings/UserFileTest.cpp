// SPDX-License-Identifier: GPL-3.0-or-later
// Files the user names: written whole or not at all, read whole with a limit,
// and every failure reported with the file's name and the system's reason.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/UserFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

std::string SaveMessage(const std::string& path, std::string_view content) {
  try {
    SaveUserFile(path, content);
  } catch (const FileError& e) {
    return e.what();
  }
  return "no error";
}

std::string LoadMessage(const std::string& path, size_t limit) {
  try {
    LoadUserFile(path, limit);
  } catch (const FileError& e) {
    return e.what();
  }
  return "no error";
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(UserFileTest, SavesAndReplacesWholeAndReadsBack) {
  TempDir dir;
  const std::string path = dir / "BB_1_2026-12-7_15-20-3.bin";
  const std::string bytes("\x00\xff\r\n;\"", 6);
  SaveUserFile(path, bytes);
  EXPECT_EQ(LoadUserFile(path, 6), bytes);
  SaveUserFile(path, "second");
  EXPECT_EQ(ReadBytes(path), "second");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"BB_1_2026-12-7_15-20-3.bin"});
}

TEST(UserFileTest, WriteIntoAReadOnlyFolderNamesTheFileAndTheReasonAndLeavesNothing) {
  TempDir dir;
  const std::string path = dir / "report.csv";
  ::chmod(dir.path().c_str(), 0555);
  EXPECT_TRUE(test::RunUnprivileged([&] {
    return SaveMessage(path, "data") ==
           "Не удалось сохранить файл \"" + path + "\": " + SystemReason(EACCES);
  }));
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_THAT(Names(dir.path()), IsEmpty());
}

TEST(UserFileTest, FailedReplaceKeepsTheOldFile) {
  TempDir dir;
  const std::string path = dir / "image.bin";
  WriteBytes(path, "old");
  ::chmod(dir.path().c_str(), 0555);
  EXPECT_TRUE(test::RunUnprivileged([&] { return SaveMessage(path, "new") != "no error"; }));
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"image.bin"});
}

// QSaveFile does the same: a writable file in a folder that takes no new
// file (read-only, or a shared sticky folder where the file is another
// user's) is written in place rather than not at all.
TEST(UserFileTest, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  for (const mode_t folderMode : {0555, 01777}) {
    TempDir dir;
    const std::string path = dir / "image.bin";
    WriteBytes(path, "old content");
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.path().c_str(), folderMode);
    EXPECT_TRUE(test::RunUnprivileged([&] { return SaveMessage(path, "new") == "no error"; })) << folderMode;
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(ReadBytes(path), "new") << folderMode;
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"image.bin"}) << folderMode;
  }
}

// Opening a terminal acts on it: a process without a controlling terminal
// that opens one gets it as its controlling terminal, and its hang-up ends the
// process. A device is refused before it is opened.
TEST(UserFileTest, ATerminalIsRefusedWithoutBeingOpened) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  const std::string path = name;
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_OPEN), 0);

  // In a session of its own, without a controlling terminal, as the tool is
  // when started from the desktop.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(master);
    ::close(slave);
    if (::setsid() < 0) ::_exit(3);
    const bool refused = LoadMessage(path, 256) == "Не удалось открыть файл \"" + path + "\": это не обычный файл";
    const bool noTerminal = ::open("/dev/tty", O_RDWR | O_NOCTTY) < 0 && errno == ENXIO;
    ::_exit(refused ? (noTerminal ? 0 : 2) : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 1) << "not refused with the file error";
  EXPECT_NE(WEXITSTATUS(status), 2) << "the terminal became the controlling terminal";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  char events[4096];
  EXPECT_LT(::read(watch, events, sizeof events), 0) << "the terminal was opened";
  ::close(watch);
  ::close(master);
  ::close(slave);
}

TEST(UserFileTest, WritesThatCannotBeDoneSayWhy) {
  TempDir dir;
  EXPECT_EQ(SaveMessage(dir / "gone/x.pdf", "x"),
            "Не удалось сохранить файл \"" + (dir / "gone/x.pdf") + "\": " + SystemReason(ENOENT));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_EQ(SaveMessage(dir / "folder", "x"),
            "Не удалось сохранить файл \"" + (dir / "folder") + "\": " + SystemReason(EISDIR));
}

TEST(UserFileTest, ReadsThatCannotBeDoneSayWhy) {
  TempDir dir;
  const std::string prefix = "Не удалось открыть файл \"";
  EXPECT_EQ(LoadMessage(dir / "missing.bin", 256),
            prefix + (dir / "missing.bin") + "\": " + SystemReason(ENOENT));
  EXPECT_EQ(LoadMessage(dir.path(), 256), prefix + dir.path() + "\": " + SystemReason(EISDIR));
  WriteBytes(dir / "big.bin", std::string(300, 'x'));
  EXPECT_EQ(LoadMessage(dir / "big.bin", 256), prefix + (dir / "big.bin") + "\": файл больше 256 байт");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
  EXPECT_THAT(LoadMessage(dir / "fifo", 256), StartsWith(prefix + (dir / "fifo") + "\": "));
  WriteBytes(dir / "secret.bin", "x");
  ::chmod((dir / "secret.bin").c_str(), 0);
  EXPECT_TRUE(test::RunUnprivileged([&] {
    return LoadMessage(dir / "secret.bin", 256) ==
           prefix + (dir / "secret.bin") + "\": " + SystemReason(EACCES);
  }));
}

}  // namespace
}  // namespace o5
