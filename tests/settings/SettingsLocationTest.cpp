// SPDX-License-Identifier: GPL-3.0-or-later
// Where the settings file lives: beside the executable when its folder is the
// user's to write, otherwise in the user's configuration folder. Each case puts
// a copy of a small program in a folder of its own and runs it as an
// unprivileged user with a chosen environment, since the executable's own
// folder is what the rule looks at.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/settings/SettingsTestSupport.h"

namespace o5 {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using ::testing::HasSubstr;

struct ProbeRun {
  int status = -1;   // exit status, -1 when it did not end normally
  std::string out;   // standard output and error
  std::vector<std::string> lines;
};

class SettingsLocationTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0); }

  std::string At(const std::string& name) const { return dir_ / name; }

  // A folder the probe's user may write into, or only read.
  void MakeFolder(const std::string& path, bool writable) {
    fs::create_directories(path);
    SetWritable(path, writable);
  }
  static void SetWritable(const std::string& path, bool writable) {
    if (::geteuid() == 0) {
      const unsigned uid = writable ? test::UnprivilegedUid() : 0;
      const unsigned gid = writable ? test::UnprivilegedGid() : 0;
      ASSERT_EQ(::chown(path.c_str(), uid, gid), 0);
      ASSERT_EQ(::chmod(path.c_str(), 0755), 0);
    } else {
      ASSERT_EQ(::chmod(path.c_str(), writable ? 0755 : 0555), 0);
    }
  }
  // The program's folder, holding its copy: "<folder>/ortan5".
  std::string InstallProbe(const std::string& folder, bool writable) {
    fs::create_directories(folder);
    const std::string exe = folder + "/ortan5";
    fs::copy_file(O5_PATH_PROBE, exe, fs::copy_options::overwrite_existing);
    ::chmod(exe.c_str(), 0755);
    SetWritable(folder, writable);
    return exe;
  }

  // Runs `exe` with `args` as the unprivileged user, with nothing in its
  // environment but `env`.
  static ProbeRun Run(const std::string& exe, const std::vector<std::string>& env,
                      const std::vector<std::string>& args = {}) {
    ProbeRun run;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return run;
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(fds[1], 1);
      ::dup2(fds[1], 2);
      if (::geteuid() == 0 &&
          (::setgroups(0, nullptr) != 0 || ::setresgid(test::UnprivilegedGid(), test::UnprivilegedGid(),
                                                       test::UnprivilegedGid()) != 0 ||
           ::setresuid(test::UnprivilegedUid(), test::UnprivilegedUid(), test::UnprivilegedUid()) != 0))
        ::_exit(126);
      std::vector<char*> argv{const_cast<char*>(exe.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      std::vector<char*> envp;
      for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
      envp.push_back(nullptr);
      ::execve(exe.c_str(), argv.data(), envp.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    if (child < 0) {
      ::close(fds[0]);
      return run;
    }
    char buffer[4096];
    for (;;) {
      const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      run.out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    size_t start = 0;
    for (size_t end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1)
      run.lines.push_back(run.out.substr(start, end - start));
    return run;
  }

  static unsigned Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
  }

  TempDir dir_;
};

TEST_F(SettingsLocationTest, WritableFolderKeepsTheFileBesideTheExecutable) {
  const std::string exe = InstallProbe(At("portable"), true);
  MakeFolder(At("home"), true);
  const ProbeRun run = Run(exe, {"HOME=" + At("home")}, {"write", "XMax", "300"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.lines.at(0), At("portable/config.ini"));
  EXPECT_EQ(ReadBytes(At("portable/config.ini")), "[Options]\nXMax=300\n");
  EXPECT_FALSE(fs::exists(At("home/.config")));
}

TEST_F(SettingsLocationTest, ReadOnlyFolderUsesTheConfigurationFolder) {
  const std::string exe = InstallProbe(At("usr/lib/ortan5"), false);
  MakeFolder(At("xdg"), true);
  MakeFolder(At("home"), true);
  const ProbeRun run =
      Run(exe, {"HOME=" + At("home"), "XDG_CONFIG_HOME=" + At("xdg")}, {"write", "XMax", "300"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.lines.at(0), At("xdg/ortan5/config.ini"));
  EXPECT_EQ(ReadBytes(At("xdg/ortan5/config.ini")), "[Options]\nXMax=300\n");
  EXPECT_EQ(Mode(At("xdg/ortan5")), 0700u);
  EXPECT_FALSE(fs::exists(At("usr/lib/ortan5/config.ini")));
}

TEST_F(SettingsLocationTest, WithoutAnAbsoluteXdgConfigHomeTheHomesDotConfig) {
  const std::string exe = InstallProbe(At("usr/lib/ortan5"), false);
  MakeFolder(At("home"), true);
  for (const std::vector<std::string>& env :
       {std::vector<std::string>{"HOME=" + At("home")},
        std::vector<std::string>{"HOME=" + At("home"), "XDG_CONFIG_HOME="},
        std::vector<std::string>{"HOME=" + At("home"), "XDG_CONFIG_HOME=relative/config"}}) {
    const ProbeRun run = Run(exe, env, {"write", "YMax", "500"});
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.lines.at(0), At("home/.config/ortan5/config.ini"));
  }
  EXPECT_EQ(ReadBytes(At("home/.config/ortan5/config.ini")), "[Options]\nYMax=500\n");
  // Both folders were missing: the base directory rules want them private.
  EXPECT_EQ(Mode(At("home/.config")), 0700u);
  EXPECT_EQ(Mode(At("home/.config/ortan5")), 0700u);
}

TEST_F(SettingsLocationTest, ConfigurationFolderThatCannotBeMadeIsNamedInTheError) {
  const std::string exe = InstallProbe(At("usr/lib/ortan5"), false);
  MakeFolder(At("locked-home"), false);
  const ProbeRun run = Run(exe, {"HOME=" + At("locked-home")}, {"write", "XMax", "300"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.out, HasSubstr("Unable to write to " + At("locked-home/.config/ortan5/config.ini")));
}

// A file its owner protected stays where it is: the write is refused, as it
// always was, instead of moving the settings elsewhere behind the user's back.
TEST_F(SettingsLocationTest, WriteProtectedFileInAWritableFolderStaysBesideTheExecutable) {
  const std::string exe = InstallProbe(At("portable"), true);
  MakeFolder(At("xdg"), true);
  const std::string beside = At("portable/config.ini");
  WriteBytes(beside, "[Options]\nXMax=250\n");
  ASSERT_EQ(::chown(beside.c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  ASSERT_EQ(::chmod(beside.c_str(), 0444), 0);
  const std::vector<std::string> env{"HOME=" + At("xdg"), "XDG_CONFIG_HOME=" + At("xdg")};
  const ProbeRun read = Run(exe, env, {"read", "XMax"});
  ASSERT_EQ(read.status, 0) << read.out;
  EXPECT_EQ(read.lines, (std::vector<std::string>{beside, "250"}));
  const ProbeRun write = Run(exe, env, {"write", "XMax", "300"});
  EXPECT_EQ(write.status, 1);
  EXPECT_THAT(write.out, HasSubstr("Unable to write to " + beside));
  EXPECT_FALSE(fs::exists(At("xdg/ortan5")));
}

TEST_F(SettingsLocationTest, LinkBesideAReadOnlyExecutableLeadsToAWritablePlace) {
  const std::string exe = InstallProbe(At("usr/lib/ortan5"), true);
  MakeFolder(At("shared"), true);
  MakeFolder(At("xdg"), true);
  WriteBytes(At("shared/config.ini"), "");
  ASSERT_EQ(::chown(At("shared/config.ini").c_str(), test::UnprivilegedUid(), test::UnprivilegedGid()), 0);
  fs::create_symlink(At("shared/config.ini"), At("usr/lib/ortan5/config.ini"));
  SetWritable(At("usr/lib/ortan5"), false);
  const ProbeRun run =
      Run(exe, {"HOME=" + At("xdg"), "XDG_CONFIG_HOME=" + At("xdg")}, {"write", "XMax", "300"});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.lines.at(0), At("usr/lib/ortan5/config.ini"));
  EXPECT_EQ(ReadBytes(At("shared/config.ini")), "[Options]\nXMax=300\n");
  EXPECT_TRUE(fs::is_symlink(At("usr/lib/ortan5/config.ini")));
  EXPECT_FALSE(fs::exists(At("xdg/ortan5")));
}

TEST_F(SettingsLocationTest, FileBesideAReadOnlyExecutableIsWhereEachUserStarts) {
  const std::string exe = InstallProbe(At("usr/lib/ortan5"), true);
  const std::string beside = At("usr/lib/ortan5/config.ini");
  WriteBytes(beside, "[Options]\r\nXMax=250\r\nYMax=900\r\n");
  SetWritable(At("usr/lib/ortan5"), false);
  MakeFolder(At("xdg"), true);
  const std::vector<std::string> env{"HOME=" + At("xdg"), "XDG_CONFIG_HOME=" + At("xdg")};
  const std::string own = At("xdg/ortan5/config.ini");

  const ProbeRun first = Run(exe, env, {"read", "XMax"});
  ASSERT_EQ(first.status, 0) << first.out;
  EXPECT_EQ(first.lines, (std::vector<std::string>{own, "250"}));
  EXPECT_EQ(ReadBytes(own), ReadBytes(beside));

  ASSERT_EQ(Run(exe, env, {"write", "XMax", "300"}).status, 0);
  // Once the user has a file of their own, the one beside the executable is
  // not copied again.
  WriteBytes(beside, "[Options]\nXMax=111\n");
  const ProbeRun later = Run(exe, env, {"read", "XMax"});
  EXPECT_EQ(later.lines, (std::vector<std::string>{own, "300"}));
  EXPECT_EQ(ReadBytes(own), "[Options]\r\nXMax=300\r\nYMax=900\r\n");
}

}  // namespace
}  // namespace o5
