// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "settings/SettingsFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::TempDir;
using test::WriteBytes;

class SettingsReadTest : public ::testing::Test {
 protected:
  // A settings file with `content`, read at once.
  SettingsFile With(const std::string& content) {
    WriteBytes(dir_.SettingsPath(), content);
    return SettingsFile(dir_.SettingsPath());
  }
  int Read(const std::string& content, const char* key, int defaultValue = -7) {
    return With(content).ReadInteger(kSettingsSection, key, defaultValue);
  }

  TempDir dir_;
};

TEST_F(SettingsReadTest, ReadsKeysOfTheOptionsSection) {
  const SettingsFile f = With("[Options]\nFormModesTop=120\nFormModesLeft=-30\nS1=$8000\nS2=0xFF\n");
  EXPECT_EQ(f.ReadInteger("Options", "FormModesTop", 0), 120);
  EXPECT_EQ(f.ReadInteger("Options", "FormModesLeft", 0), -30);
  EXPECT_EQ(f.ReadInteger("Options", "S1", 0), 32768);
  EXPECT_EQ(f.ReadInteger("Options", "S2", 0), 255);
  EXPECT_EQ(f.ReadInteger("Options", "S3", 32768), 32768);
}

TEST_F(SettingsReadTest, ATextValueIsTheRestOfItsLineWithoutTheBlanksAround) {
  const SettingsFile f = With("[Options]\r\nDataDir =  /mnt/work shop/data \r\nEmpty=  \r\n");
  EXPECT_EQ(f.ReadString("Options", "datadir"), "/mnt/work shop/data");
  EXPECT_EQ(f.ReadString("Options", "Empty", "default"), "default");
  EXPECT_EQ(f.ReadString("Options", "Missing", "default"), "default");
}

TEST_F(SettingsReadTest, SectionAndKeyIgnoreLetterCase) {
  EXPECT_EQ(Read("[oPTIONS]\nformmodestop=5\n", "FormModesTop"), 5);
  EXPECT_EQ(Read("[OPTIONS]\nFORMMODESTOP=6\n", "FormModesTop"), 6);
  EXPECT_EQ(With("[Options]\nXMax=7\n").ReadInteger("options", "xmax", 0), 7);
}

TEST_F(SettingsReadTest, FirstOfDuplicateKeysCounts) {
  EXPECT_EQ(Read("[Options]\nW1=3\nW1=4\n", "W1"), 3);
  EXPECT_EQ(Read("[Options]\nw1=3\nW1=4\n", "W1"), 3);
  EXPECT_EQ(Read("[Options]\nW1=3\n[Other]\nW1=9\n[Options]\nW1=4\n", "W1"), 3);
  // A second [Options] header continues the section.
  EXPECT_EQ(Read("[Options]\nW1=3\n[Other]\nW2=9\n[options]\nW2=4\n", "W2"), 4);
}

TEST_F(SettingsReadTest, FirstDuplicateThatIsNoIntegerGivesTheDefault) {
  EXPECT_EQ(Read("[Options]\nW1=wide\nW1=4\n", "W1"), -7);
}

TEST_F(SettingsReadTest, LineEnds) {
  EXPECT_EQ(Read("[Options]\r\nYMax=650\r\nYMin=10\r\n", "YMax"), 650);
  EXPECT_EQ(Read("[Options]\r\nYMax=650\r\nYMin=10\r\n", "YMin"), 10);
  EXPECT_EQ(Read("[Options]\nYMax=650\r\nYMin=10", "YMin"), 10);
  EXPECT_EQ(Read("[Options]\r\nYMax=650", "YMax"), 650);
  // A lone CR is no line end: the key stays on the header's line.
  EXPECT_EQ(Read("[Options]\rYMax=650\r", "YMax"), -7);
}

TEST_F(SettingsReadTest, ByteOrderMarkAtTheStartIsSkipped) {
  EXPECT_EQ(Read("\xEF\xBB\xBF[Options]\r\nXMin=20\r\n", "XMin"), 20);
  // Anywhere else it is part of the text.
  EXPECT_EQ(Read("[Options]\n\xEF\xBB\xBFXMin=20\n", "XMin"), -7);
  EXPECT_EQ(Read("\xEF\xBB\xBF\xEF\xBB\xBF[Options]\nXMin=20\n", "XMin"), -7);
}

TEST_F(SettingsReadTest, BlanksAroundNamesAndValues) {
  EXPECT_EQ(Read("  [ Options ]  \n  XStep  =  40  \n", "XStep"), 40);
  EXPECT_EQ(Read("\t[Options]\t\n\tXStep\t=\t40\t\n", "XStep"), 40);
  EXPECT_EQ(Read("[Options] anything after the bracket\nXStep=40\n", "XStep"), 40);
}

TEST_F(SettingsReadTest, CommentLinesAreIgnored) {
  EXPECT_EQ(Read("[Options]\n;XStep=10\nXStep=40\n", "XStep"), 40);
  EXPECT_EQ(Read("[Options]\n   ; XStep=10\nXStep=40\n", "XStep"), 40);
  EXPECT_EQ(Read(";[Other]\n[Options]\nXStep=40\n", "XStep"), 40);
}

TEST_F(SettingsReadTest, ValueThatIsNoIntegerGivesTheDefault) {
  EXPECT_EQ(Read("[Options]\nXStep=abc\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=1 2\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=12 ; twelve\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=1=2\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=0x\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep=99999999999\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\nXStep\n", "XStep"), -7);
}

TEST_F(SettingsReadTest, KeysOutsideTheSectionAreNotSeen) {
  EXPECT_EQ(Read("XStep=40\n[Options]\n", "XStep"), -7);
  EXPECT_EQ(Read("[Other]\nXStep=40\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options]\n[Other]\nXStep=40\n", "XStep"), -7);
  EXPECT_EQ(Read("[Options\nXStep=40\n", "XStep"), -7);
  EXPECT_EQ(Read("[Optionsx]\nXStep=40\n", "XStep"), -7);
}

TEST_F(SettingsReadTest, OtherSectionsCanBeReadToo) {
  const SettingsFile f = With("[Options]\nA=1\n[Port]\nA=2\n");
  EXPECT_EQ(f.ReadInteger("Port", "A", 0), 2);
  EXPECT_EQ(f.ReadInteger("Options", "A", 0), 1);
}

TEST_F(SettingsReadTest, TruthValues) {
  const SettingsFile f = With("[Options]\nC1=0\nC2=1\nC3=7\nC4=-1\nC5=abc\nC6=$0\nC7=0x10\n");
  EXPECT_FALSE(f.ReadBool("Options", "C1", true));
  EXPECT_TRUE(f.ReadBool("Options", "C2", false));
  EXPECT_TRUE(f.ReadBool("Options", "C3", false));
  EXPECT_TRUE(f.ReadBool("Options", "C4", false));
  EXPECT_TRUE(f.ReadBool("Options", "C5", true));
  EXPECT_FALSE(f.ReadBool("Options", "C5", false));
  EXPECT_FALSE(f.ReadBool("Options", "C6", true));
  EXPECT_TRUE(f.ReadBool("Options", "C7", false));
  EXPECT_TRUE(f.ReadBool("Options", "C8", true));
  EXPECT_FALSE(f.ReadBool("Options", "C8", false));
}

TEST_F(SettingsReadTest, MissingFileOrFolderGivesDefaults) {
  const SettingsFile missing(dir_ / "absent.ini");
  EXPECT_EQ(missing.ReadInteger("Options", "FormGraphWidth", 640), 640);
  EXPECT_TRUE(missing.ReadBool("Options", "C1", true));
  const SettingsFile noFolder(dir_ / "no/such/folder/config.ini");
  EXPECT_EQ(noFolder.ReadInteger("Options", "FormGraphHeight", 480), 480);
  const SettingsFile underAFile(dir_ / "absent.ini/config.ini");
  EXPECT_EQ(underAFile.ReadInteger("Options", "FormGraphHeight", 480), 480);
}

TEST_F(SettingsReadTest, EmptyFileGivesDefaults) {
  EXPECT_EQ(Read("", "XMax"), -7);
  EXPECT_EQ(Read("\xEF\xBB\xBF", "XMax"), -7);
  EXPECT_EQ(Read("\n\n\r\n", "XMax"), -7);
}

TEST_F(SettingsReadTest, AnswersFromWhatItReadAtCreation) {
  const SettingsFile f = With("[Options]\nXMax=300\n");
  WriteBytes(dir_.SettingsPath(), "[Options]\nXMax=400\n");
  EXPECT_EQ(f.ReadInteger("Options", "XMax", 0), 300);
  EXPECT_EQ(SettingsFile(dir_.SettingsPath()).ReadInteger("Options", "XMax", 0), 400);
}

TEST_F(SettingsReadTest, PathIsAbsolute) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const SettingsFile f("config.ini");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(f.Path(), dir_.SettingsPath());
}

TEST(SettingsFilePath, BesideTheExecutableUnlessTestsPointElsewhere) {
  const std::string exeDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  EXPECT_EQ(ExecutableDirectory(), exeDir);
  EXPECT_EQ(SettingsFilePath(), exeDir + "/config.ini");
  SetSettingsDirectory("/some/folder");
  EXPECT_EQ(SettingsFilePath(), "/some/folder/config.ini");
  EXPECT_EQ(SettingsFile().Path(), "/some/folder/config.ini");
  SetSettingsDirectory("");
  EXPECT_EQ(SettingsFilePath(), exeDir + "/config.ini");
}

// The windows and the data folder's lookup each read the settings at start:
// a file that has not changed is read from the disk once; a changed one again.
TEST_F(SettingsReadTest, AnUnchangedFileIsReadFromTheDiskOnce) {
  const std::string path = dir_.SettingsPath();
  // Changed a while ago: a file changed just now may yet change within the
  // same step of the file times, and is not remembered.
  const auto settle = [&] {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
  };
  WriteBytes(path, "[Options]\nXStep=40\n");
  settle();
  const uint64_t before = SettingsFileDiskReads();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SettingsFile(path).ReadInteger(kSettingsSection, "XStep", 0), 40);
  EXPECT_EQ(SettingsFileDiskReads(), before + 1);

  SettingsFile(path).WriteInteger(kSettingsSection, "XStep", 41);
  EXPECT_EQ(SettingsFile(path).ReadInteger(kSettingsSection, "XStep", 0), 41);
  settle();
  EXPECT_EQ(SettingsFile(path).ReadInteger(kSettingsSection, "XStep", 0), 41);
  // Changed in place, to the same size, as where the folder forbids a new file.
  WriteBytes(path, "[Options]\nXStep=42\n");
  EXPECT_EQ(SettingsFile(path).ReadInteger(kSettingsSection, "XStep", 0), 42);
}

}  // namespace
}  // namespace o5
