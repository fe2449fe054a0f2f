// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever lies in the settings file's place, the tool starts with defaults
// where the keys cannot be found, and a later save leaves a sound file.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "settings/SettingsFile.h"
#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr const char* kKeys[] = {"FormModesTop", "FormGraphWidth", "W1", "C13", "S7", "XStep"};

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(byte(random));
  return s;
}

class SettingsAbuseTest : public ::testing::Test {
 protected:
  std::string path() const { return dir_.SettingsPath(); }
  void ExpectDefaults(const SettingsFile& f) {
    for (const char* key : kKeys) EXPECT_EQ(f.ReadInteger(kSettingsSection, key, 1234), 1234) << key;
  }

  TempDir dir_;
};

TEST_F(SettingsAbuseTest, BinaryGarbageReadsAsDefaultsAndIsKeptByAWrite) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    const std::string garbage = RandomBytes(64 * 1024, seed);
    WriteBytes(path(), garbage);
    SettingsFile f(path());
    ExpectDefaults(f);
    f.WriteInteger(kSettingsSection, "FormModesTop", 77);
    const std::string after = ReadBytes(path());
    ASSERT_EQ(after.compare(0, garbage.size(), garbage), 0) << "seed " << seed;
    EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "FormModesTop", 0), 77);
  }
}

TEST_F(SettingsAbuseTest, NulBytesInsideLines) {
  static constexpr char kContent[] = "[Options]\nW1=1\0\nW2=2\nW\0" "3=3\n\0\0\0\nW4=4";
  WriteBytes(path(), std::string(kContent, sizeof kContent - 1));
  const SettingsFile f(path());
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "W1", 9), 9);
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "W2", 9), 2);
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "W3", 9), 9);
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "W4", 9), 4);
}

// A file that large cannot be the tool's own: it reads as empty at once, and
// the first save replaces it with a sound settings file.
TEST_F(SettingsAbuseTest, FiftyMegabyteFile) {
  std::string content = "[Options]\nFormModesTop=5\n";
  const std::string filler = "; " + std::string(1000, 'x') + "\n";
  while (content.size() < 50u * 1024 * 1024) content += filler;
  WriteBytes(path(), content);
  content.clear();

  const auto start = std::chrono::steady_clock::now();
  SettingsFile f(path());
  ExpectDefaults(f);
  f.WriteInteger(kSettingsSection, "FormModesLeft", 3);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  RecordProperty("read_and_write_ms",
                 static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));

  EXPECT_EQ(ReadBytes(path()), "[Options]\nFormModesLeft=3\n");
}

TEST_F(SettingsAbuseTest, SizeLimit) {
  const std::string head = "[Options]\nXStep=40\n;";
  std::string content = head + std::string(kSettingsFileSizeLimit - head.size(), 'x');
  WriteBytes(path(), content);
  EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "XStep", 0), 40);
  content += 'x';
  WriteBytes(path(), content);
  EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "XStep", 0), 0);
}

TEST_F(SettingsAbuseTest, VeryLongLines) {
  const std::string longLine(kSettingsFileSizeLimit - 120 * 1024, 'z');
  WriteBytes(path(), longLine + "\n[Options]\nXStep=40\nYStep=" + std::string(50000, '7') + "\n" +
                         std::string(50000, 'k') + "=1\n");
  SettingsFile f(path());
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "XStep", 0), 40);
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "YStep", 50), 50);
  f.WriteInteger(kSettingsSection, "XMax", 200);
  const SettingsFile check(path());
  EXPECT_EQ(check.ReadInteger(kSettingsSection, "XStep", 0), 40);
  EXPECT_EQ(check.ReadInteger(kSettingsSection, "XMax", 0), 200);
  EXPECT_EQ(ReadBytes(path()).substr(0, longLine.size() + 1), longLine + "\n");
}

TEST_F(SettingsAbuseTest, OneHugeLineWithoutEnd) {
  WriteBytes(path(), "[Options]\nXStep=40" + std::string(5 * 1024 * 1024, ' ') + "1");
  ExpectDefaults(SettingsFile(path()));
}

TEST_F(SettingsAbuseTest, ManyShortLines) {
  std::string content = "[Options]\n";
  for (int i = 0; content.size() < kSettingsFileSizeLimit - 100; ++i) content += "K" + std::to_string(i) + "=1\n";
  content += "XStep=40\n";
  WriteBytes(path(), content);
  SettingsFile f(path());
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "XStep", 0), 40);
  EXPECT_EQ(f.ReadInteger(kSettingsSection, "K0", 0), 1);
  f.WriteInteger(kSettingsSection, "K0", 2);
  EXPECT_EQ(SettingsFile(path()).ReadInteger(kSettingsSection, "K0", 0), 2);
}

// Resident memory, KiB, that reading `path` takes at its peak, measured in a
// child process of its own: the child's high-water mark starts where the
// fork leaves it. -1 when it cannot be measured.
long PeakKiBOfReading(const std::string& path) {
  const auto status = [](const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1L;
    char line[256];
    long value = -1;
    while (std::fgets(line, sizeof line, f))
      if (std::strncmp(line, field, std::strlen(field)) == 0) value = std::atol(line + std::strlen(field));
    std::fclose(f);
    return value;
  };
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    const long before = status("VmRSS:");
    const SettingsFile f(path);
    long grown = f.ReadInteger(kSettingsSection, "XStep", 0) == 40 ? status("VmHWM:") - before : -2;
    (void)!::write(pipeFds[1], &grown, sizeof grown);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  long grown = -1;
  if (::read(pipeFds[0], &grown, sizeof grown) != sizeof grown) grown = -1;
  ::close(pipeFds[0]);
  int ignored = 0;
  ::waitpid(child, &ignored, 0);
  return grown;
}

// One header of 131,000 characters, then short keys up to the size limit:
// the index holds each key once, not once with the whole header's name.
TEST_F(SettingsAbuseTest, ALongSectionNameWithManyKeysTakesMemoryOfTheFilesOrder) {
  std::string content = "[" + std::string(131000, 'O') + "]\n";
  for (int i = 0; content.size() < kSettingsFileSizeLimit - 40; ++i) content += "k" + std::to_string(i) + "=1\n";
  content += "[Options]\nXStep=40\n";
  ASSERT_LE(content.size(), kSettingsFileSizeLimit);
  WriteBytes(path(), content);
  const long peak = PeakKiBOfReading(path());
  ASSERT_GE(peak, 0) << "the child could not read the file or report";
  // The file is 256 KiB; a few times that, and room for the allocator.
  EXPECT_LT(peak, 64 * 1024) << peak << " KiB";
  SettingsFile f(path());
  EXPECT_EQ(f.ReadInteger(std::string(131000, 'o'), "K10000", 0), 1);
  EXPECT_EQ(f.ReadInteger(std::string(131000, 'o'), "K" + std::to_string(1 << 20), 7), 7);
}

TEST_F(SettingsAbuseTest, ValuesOutOfRange) {
  WriteBytes(path(), "[Options]\nW1=4294967296\nW2=-99999999999\nS1=$1FFFFFFFF\nS2=0x123456789\n");
  const SettingsFile f(path());
  for (const char* key : {"W1", "W2", "S1", "S2"}) EXPECT_EQ(f.ReadInteger(kSettingsSection, key, 1), 1) << key;
}

TEST_F(SettingsAbuseTest, DeviceBehindTheName) {
  std::filesystem::create_symlink("/dev/zero", path());
  ExpectDefaults(SettingsFile(path()));
}

}  // namespace
}  // namespace o5
