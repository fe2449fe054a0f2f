// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/SettingsFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::ReadBytes;
using test::StrayFiles;
using test::TempDir;
using test::WriteBytes;
using ::testing::IsEmpty;

class SettingsWriteTest : public ::testing::Test {
 protected:
  std::string path() const { return dir_.SettingsPath(); }
  // Writes one key into a file that held `before`; returns what the file holds then.
  std::string After(const std::string& before, const char* key, int value) {
    WriteBytes(path(), before);
    SettingsFile(path()).WriteInteger(kSettingsSection, key, value);
    return ReadBytes(path());
  }
  unsigned Mode() const {
    struct stat st {};
    ::stat(path().c_str(), &st);
    return st.st_mode & 07777;
  }

  TempDir dir_;
};

TEST_F(SettingsWriteTest, FirstWriteCreatesTheFileWithTheSection) {
  SettingsFile f(path());
  f.WriteInteger(kSettingsSection, "FormModesTop", 120);
  EXPECT_EQ(ReadBytes(path()), "[Options]\nFormModesTop=120\n");
  f.WriteInteger(kSettingsSection, "FormModesLeft", -4);
  EXPECT_EQ(ReadBytes(path()), "[Options]\nFormModesTop=120\nFormModesLeft=-4\n");
}

TEST_F(SettingsWriteTest, ValuesAreDecimalAndTruthValuesOneOrZero) {
  SettingsFile f(path());
  f.WriteInteger(kSettingsSection, "S1", -1);
  f.WriteInteger(kSettingsSection, "S2", 32768);
  f.WriteBool(kSettingsSection, "C1", true);
  f.WriteBool(kSettingsSection, "C2", false);
  EXPECT_EQ(ReadBytes(path()), "[Options]\nS1=-1\nS2=32768\nC1=1\nC2=0\n");
}

TEST_F(SettingsWriteTest, TextIsWrittenOnOneLineAndReadsBackAsWritten) {
  SettingsFile f(path());
  f.WriteInteger(kSettingsSection, "S1", 7);
  const struct {
    std::string written;
    std::string read;
  } cases[] = {{"Автосервис «Север»", "Автосервис «Север»"},
               {"  бокс 2\r\nул. Речная, 5  ", "бокс 2  ул. Речная, 5"},
               {"a=b; [c]", "a=b; [c]"}};
  for (const auto& c : cases) {
    f.WriteString(kSettingsSection, "ReportWorkshop", c.written);
    EXPECT_EQ(SettingsFile(path()).ReadString(kSettingsSection, "ReportWorkshop"), c.read) << c.written;
  }
  EXPECT_EQ(ReadBytes(path()), "[Options]\nS1=7\nReportWorkshop=a=b; [c]\n");
}

TEST_F(SettingsWriteTest, EachWriteIsOnTheDiskAtOnce) {
  SettingsFile writer(path());
  for (int i = 0; i < 5; ++i) {
    writer.WriteInteger(kSettingsSection, "XMax", 100 + i);
    EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "XMax", 0), 100 + i);
    EXPECT_EQ(writer.ReadInteger(kSettingsSection, "XMax", 0), 100 + i);
  }
}

TEST_F(SettingsWriteTest, ReplacesTheKeysLineAndKeepsEverythingElse) {
  const std::string before =
      "; written by hand\n"
      "[Other]\n"
      "XMax=1\n"
      "\n"
      "[Options]\n"
      "  xmax = 0x10  \n"
      "XMin=5 ; five\n"
      "\n"
      "[Port]\n"
      "Name=7\n";
  EXPECT_EQ(After(before, "XMax", 250),
            "; written by hand\n"
            "[Other]\n"
            "XMax=1\n"
            "\n"
            "[Options]\n"
            "XMax=250\n"
            "XMin=5 ; five\n"
            "\n"
            "[Port]\n"
            "Name=7\n");
}

TEST_F(SettingsWriteTest, OnlyTheFirstOfDuplicateKeysIsReplaced) {
  EXPECT_EQ(After("[Options]\nW1=3\nW1=4\n", "W1", 5), "[Options]\nW1=5\nW1=4\n");
  EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "W1", 0), 5);
}

TEST_F(SettingsWriteTest, NewKeyGoesAfterTheSectionsLastEntry) {
  EXPECT_EQ(After("[Options]\nA=1\n\n; port\n[Port]\nB=2\n", "C", 3),
            "[Options]\nA=1\nC=3\n\n; port\n[Port]\nB=2\n");
  EXPECT_EQ(After("[Options]\n\n[Port]\n", "C", 3), "[Options]\nC=3\n\n[Port]\n");
  EXPECT_EQ(After("[Other]\nA=1\n[options]\nB=2", "C", 3), "[Other]\nA=1\n[options]\nB=2\nC=3\n");
}

TEST_F(SettingsWriteTest, MissingSectionIsAddedAtTheEnd) {
  EXPECT_EQ(After("[Port]\nB=2\n", "C", 3), "[Port]\nB=2\n[Options]\nC=3\n");
  EXPECT_EQ(After("[Port]\nB=2", "C", 3), "[Port]\nB=2\n[Options]\nC=3\n");
  EXPECT_EQ(After("", "C", 3), "[Options]\nC=3\n");
}

TEST_F(SettingsWriteTest, KeepsTheFilesLineEndStyle) {
  EXPECT_EQ(After("[Options]\r\nA=1\r\nB=2\r\n", "A", 9), "[Options]\r\nA=9\r\nB=2\r\n");
  EXPECT_EQ(After("[Options]\r\nA=1\r\n", "B", 2), "[Options]\r\nA=1\r\nB=2\r\n");
  EXPECT_EQ(After("[Port]\r\nB=2", "C", 3), "[Port]\r\nB=2\r\n[Options]\r\nC=3\r\n");
  // Mixed files keep every line's own end; new lines take the first end found.
  EXPECT_EQ(After("[Options]\nA=1\r\nB=2\n", "A", 9), "[Options]\nA=9\r\nB=2\n");
  EXPECT_EQ(After("[Options]\r\nA=1\nB=2", "C", 3), "[Options]\r\nA=1\nB=2\r\nC=3\r\n");
}

TEST_F(SettingsWriteTest, KeepsTheByteOrderMark) {
  EXPECT_EQ(After("\xEF\xBB\xBF[Options]\r\nA=1\r\n", "A", 2), "\xEF\xBB\xBF[Options]\r\nA=2\r\n");
  EXPECT_EQ(After("\xEF\xBB\xBF", "A", 2), "\xEF\xBB\xBF[Options]\nA=2\n");
}

TEST_F(SettingsWriteTest, KeepsOddBytesOfOtherLines) {
  static constexpr char kBefore[] = "[Options]\nA=1\n\x01\x02\0\xFF line\n\t\t\n";
  static constexpr char kAfter[] = "[Options]\nA=2\n\x01\x02\0\xFF line\n\t\t\n";
  EXPECT_EQ(After(std::string(kBefore, sizeof kBefore - 1), "A", 2), std::string(kAfter, sizeof kAfter - 1));
}

TEST_F(SettingsWriteTest, SeesWhatAnotherWriterStoredMeanwhile) {
  SettingsFile first(path());
  SettingsFile second(path());
  first.WriteInteger(kSettingsSection, "FormModesTop", 10);
  second.WriteInteger(kSettingsSection, "FormGraphTop", 20);
  const SettingsFile check(path());
  EXPECT_EQ(check.ReadInteger(kSettingsSection, "FormModesTop", 0), 10);
  EXPECT_EQ(check.ReadInteger(kSettingsSection, "FormGraphTop", 0), 20);
}

TEST_F(SettingsWriteTest, KeepsPermissionBits) {
  WriteBytes(path(), "[Options]\nA=1\n");
  ::chmod(path().c_str(), 0640);
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 2);
  EXPECT_EQ(Mode(), 0640u);
  ::chmod(path().c_str(), 0604);
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 3);
  EXPECT_EQ(Mode(), 0604u);
}

TEST_F(SettingsWriteTest, NewFileTakesTheUsualPermissions) {
  const mode_t old = ::umask(022);
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 1);
  ::umask(old);
  EXPECT_EQ(Mode(), 0644u);
}

TEST_F(SettingsWriteTest, KeepsTheOwnerWhenWrittenByRoot) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file away";
  WriteBytes(path(), "[Options]\nA=1\n");
  ASSERT_EQ(::chown(path().c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 2);
  struct stat st {};
  ASSERT_EQ(::stat(path().c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, test::UnprivilegedUid());
  EXPECT_EQ(st.st_gid, test::UnprivilegedGid());
}

TEST_F(SettingsWriteTest, WritesThroughASymbolicLink) {
  const std::string real = dir_ / "kept-elsewhere.ini";
  WriteBytes(real, "[Options]\nA=1\n");
  std::filesystem::create_symlink(real, path());
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 2);
  EXPECT_TRUE(std::filesystem::is_symlink(path()));
  EXPECT_EQ(ReadBytes(real), "[Options]\nA=2\n");
}

TEST_F(SettingsWriteTest, ALinkToAFileNotYetCreatedCreatesItWhereTheLinkLeads) {
  std::filesystem::create_directory(dir_ / "elsewhere");
  const std::string real = dir_ / "elsewhere/kept.ini";
  // Relative, as a link made beside the file usually is.
  std::filesystem::create_symlink("elsewhere/kept.ini", path());
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 2);
  EXPECT_TRUE(std::filesystem::is_symlink(path()));
  EXPECT_EQ(ReadBytes(real), "[Options]\nA=2\n");
  SettingsFile(path()).WriteInteger(kSettingsSection, "B", 3);
  EXPECT_TRUE(std::filesystem::is_symlink(path()));
  EXPECT_EQ(ReadBytes(real), "[Options]\nA=2\nB=3\n");
}

// The failing write: the message names the full path, the file stays as it
// was, nothing is left in the folder, and the object answers what is on disk.
class SettingsWriteFailureTest : public SettingsWriteTest {
 protected:
  static std::string Message(SettingsFile& f, const char* key = "A") {
    try {
      f.WriteInteger(kSettingsSection, key, 42);
    } catch (const SettingsError& e) {
      return e.what();
    }
    return "no error";
  }
};

TEST_F(SettingsWriteFailureTest, FolderThatDoesNotExist) {
  const std::string missing = dir_ / "gone/config.ini";
  SettingsFile f(missing);
  EXPECT_EQ(Message(f), "Unable to write to " + missing);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "gone"));
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "A", -1), -1);
}

TEST_F(SettingsWriteFailureTest, PathThatIsAFolder) {
  std::filesystem::create_directory(path());
  SettingsFile f(path());
  EXPECT_EQ(Message(f), "Unable to write to " + path());
  EXPECT_TRUE(std::filesystem::is_directory(path()));
  EXPECT_THAT(StrayFiles(dir_.path()), IsEmpty());
}

TEST_F(SettingsWriteFailureTest, MessageCarriesTheFullPathOfARelativeName) {
  std::filesystem::create_directory(path());
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  SettingsFile f("config.ini");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(Message(f), "Unable to write to " + path());
}

TEST_F(SettingsWriteFailureTest, StopsAtTheFailingKeyAndForgetsTheValue) {
  const std::string missing = dir_ / "gone/config.ini";
  SettingsFile f(missing);
  EXPECT_THROW(f.WriteInteger(kSettingsSection, "A", 1), SettingsError);
  EXPECT_THROW(f.WriteBool(kSettingsSection, "C1", false), SettingsError);
  EXPECT_TRUE(f.ReadBool(kSettingsSection, "C1", true));
}

TEST_F(SettingsWriteFailureTest, ReadOnlyFile) {
  const std::string before = "[Options]\nA=1\n";
  WriteBytes(path(), before);
  ::chmod(dir_.path().c_str(), 0777);
  ASSERT_EQ(::chown(path().c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  ::chmod(path().c_str(), 0444);
  const std::string expected = "Unable to write to " + path();
  EXPECT_TRUE(test::RunUnprivileged([&] {
    SettingsFile f(path());
    return Message(f) == expected && f.ReadInteger(kSettingsSection, "A", 0) == 1;
  }));
  EXPECT_EQ(ReadBytes(path()), before);
  EXPECT_EQ(Mode(), 0444u);
  EXPECT_THAT(StrayFiles(dir_.path()), IsEmpty());
}

// The file could be rewritten in place here, but not safely: a replacement
// cannot be made beside it, so the write is refused rather than risked.
TEST_F(SettingsWriteFailureTest, ReadOnlyFolder) {
  const std::string before = "[Options]\nA=1\n";
  WriteBytes(path(), before);
  ASSERT_EQ(::chown(path().c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  ::chmod(path().c_str(), 0666);
  ::chmod(dir_.path().c_str(), 0555);
  const std::string expected = "Unable to write to " + path();
  EXPECT_TRUE(test::RunUnprivileged([&] {
    SettingsFile f(path());
    return Message(f) == expected;
  }));
  ::chmod(dir_.path().c_str(), 0700);
  EXPECT_EQ(ReadBytes(path()), before);
  EXPECT_THAT(StrayFiles(dir_.path()), IsEmpty());
}

TEST_F(SettingsWriteFailureTest, FileThatCannotBeReadIsNotOverwritten) {
  const std::string before = "[Options]\nA=1\n";
  WriteBytes(path(), before);
  ::chmod(dir_.path().c_str(), 0777);
  ASSERT_EQ(::chown(path().c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  ::chmod(path().c_str(), 0200);
  const std::string expected = "Unable to write to " + path();
  EXPECT_TRUE(test::RunUnprivileged([&] {
    SettingsFile f(path());
    return Message(f) == expected;
  }));
  EXPECT_EQ(Mode(), 0200u);
  ::chmod(path().c_str(), 0600);
  EXPECT_EQ(ReadBytes(path()), before);
  EXPECT_THAT(StrayFiles(dir_.path()), IsEmpty());
}

TEST_F(SettingsWriteFailureTest, FifoInPlaceOfTheFile) {
  ASSERT_EQ(::mkfifo(path().c_str(), 0644), 0);
  SettingsFile f(path());  // must not block
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "A", 5), 5);
  EXPECT_EQ(Message(f), "Unable to write to " + path());
  struct stat st {};
  ASSERT_EQ(::lstat(path().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_THAT(StrayFiles(dir_.path()), IsEmpty());
}

TEST_F(SettingsWriteTest, NamesThatWouldBreakTheFileAreRefused) {
  SettingsFile f(path());
  EXPECT_THROW(f.WriteInteger(kSettingsSection, "A=B", 1), std::invalid_argument);
  EXPECT_THROW(f.WriteInteger(kSettingsSection, "A\nB", 1), std::invalid_argument);
  EXPECT_THROW(f.WriteInteger(kSettingsSection, "", 1), std::invalid_argument);
  EXPECT_THROW(f.WriteInteger(kSettingsSection, " A", 1), std::invalid_argument);
  EXPECT_THROW(f.WriteInteger(kSettingsSection, ";A", 1), std::invalid_argument);
  EXPECT_THROW(f.WriteInteger("Opt]ions", "A", 1), std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(path()));
}

// A writer killed between naming its finished temporary file and renaming it
// leaves that file behind; the next write clears away such leftovers of
// writers that are gone, and only those.
TEST_F(SettingsWriteTest, LeftoversOfDeadWritersAreRemoved) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  const std::string dead = "." + std::string(kSettingsFileName) + "." + std::to_string(child) + ".3.tmp";
  const std::string alive = "." + std::string(kSettingsFileName) + "." + std::to_string(::getppid()) + ".3.tmp";
  const std::string unrelated = ".config.ini.notapid.tmp";
  WriteBytes(dir_ / dead, "[Options]\nA=");
  WriteBytes(dir_ / alive, "[Options]\nA=");
  WriteBytes(dir_ / unrelated, "x");
  SettingsFile(path()).WriteInteger(kSettingsSection, "A", 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / dead));
  EXPECT_TRUE(std::filesystem::exists(dir_ / alive));
  EXPECT_TRUE(std::filesystem::exists(dir_ / unrelated));
}

}  // namespace
}  // namespace o5
