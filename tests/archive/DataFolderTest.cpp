// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "archive/DataFolder.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::TempDir;
using test::WriteBytes;

// The environment and the settings folder of one test, restored afterwards.
class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"XDG_DATA_HOME", "HOME"})
      if (const char* value = std::getenv(name)) saved_.emplace_back(name, value);
    SetSettingsDirectory(settings_.path());
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
    SetSettingsDirectory("");
  }
  TempDir settings_;
  TempDir home_;

 private:
  std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(DataFolderTest, TheUsersDataHomeOrItsDefaultWhenUnsetEmptyOrRelative) {
  setenv("HOME", home_.path().c_str(), 1);
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(ChooseDataFolder().path, "/srv/data/ortan5");
  EXPECT_FALSE(ChooseDataFolder().shared);
  for (const char* value : {"", "relative/data"}) {
    setenv("XDG_DATA_HOME", value, 1);
    EXPECT_EQ(ChooseDataFolder().path, home_.path() + "/.local/share/ortan5") << value;
  }
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(ChooseDataFolder().path, home_.path() + "/.local/share/ortan5");
}

TEST_F(DataFolderTest, DataDirOfTheSettingsFileNamesASharedFolderRelativeToTheFile) {
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  WriteBytes(settings_.SettingsPath(), "[Options]\r\nDataDir = /mnt/workshop/ortan5 \r\n");
  EXPECT_EQ(ChooseDataFolder().path, "/mnt/workshop/ortan5");
  EXPECT_TRUE(ChooseDataFolder().shared);
  WriteBytes(settings_.SettingsPath(), "[Options]\nDataDir=bench/data\n");
  EXPECT_EQ(ChooseDataFolder().path, settings_.path() + "/bench/data");
}

TEST_F(DataFolderTest, TheUsersOwnFolderIsMadePrivateAndAFileInTheWayIsNoFolder) {
  const DataFolder own{home_ / "share/ortan5", false};
  ASSERT_EQ(MakeDataFolder(own, own.Sessions()), 0);
  struct stat st;
  ASSERT_EQ(::stat(own.path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  WriteBytes(home_ / "file", "");
  EXPECT_EQ(MakeDataFolder(own, home_ / "file/sessions"), ENOTDIR);
}

}  // namespace
}  // namespace o5
