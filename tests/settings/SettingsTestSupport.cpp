// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/settings/SettingsTestSupport.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace o5::test {

namespace {
namespace fs = std::filesystem;
// The conventional "nobody" ids; the tests need no entry in the user database.
constexpr unsigned kNobody = 65534;
}  // namespace

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "o5-settings-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_directory(ec)) ::chmod(it->path().c_str(), 0700);
  ::chmod(path_.c_str(), 0700);
  fs::remove_all(path_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> StrayFiles(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name != "config.ini") names.push_back(name);
  }
  return names;
}

unsigned UnprivilegedUid() { return ::geteuid() == 0 ? kNobody : ::geteuid(); }
unsigned UnprivilegedGid() { return ::geteuid() == 0 ? kNobody : ::getegid(); }

bool RunUnprivileged(const std::function<bool()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0)
      ::_exit(2);
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
      ok = false;
    }
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace o5::test
