// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Temporary folders and file helpers for the settings tests.

#include <functional>
#include <string>
#include <vector>

namespace o5::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it (permissions restored first) when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::string SettingsPath() const { return path_ + "/config.ini"; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& content);
// Names in the folder other than "config.ini": temporary files left behind.
std::vector<std::string> StrayFiles(const std::string& dir);

// Runs `body` with permission bits in force: as root it runs in a child
// process under the unprivileged "nobody" identity, since root ignores the
// bits. Returns the body's result (false when the child failed to run it).
bool RunUnprivileged(const std::function<bool()>& body);
// The user and group ids RunUnprivileged runs under (the current ones when not root).
unsigned UnprivilegedUid();
unsigned UnprivilegedGid();

}  // namespace o5::test
