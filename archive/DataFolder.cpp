// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/DataFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "settings/SettingsFile.h"

namespace o5 {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr const char* kDefaultDataHome = ".local/share";
constexpr const char* kDataFolderName = "ortan5";
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kSharedFolderMode = 0777;  // less the umask

std::string HomeFolder() {
  if (const char* value = std::getenv(kHomeVariable); value && value[0] == '/') return value;
  std::vector<char> buffer(16384);
  struct passwd entry;
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && found->pw_dir[0] == '/')
    return found->pw_dir;
  return "/";
}

}  // namespace

DataFolder ChooseDataFolder() {
  const std::string settingsPath = SettingsFilePath();
  const std::string named = SettingsFile(settingsPath).ReadString(kSettingsSection, kDataDirKey);
  if (!named.empty()) {
    fs::path path(named);
    if (path.is_relative()) path = fs::path(settingsPath).parent_path() / path;
    return {path.lexically_normal().string(), true};
  }
  const char* dataHome = std::getenv(kDataHomeVariable);
  const fs::path base = dataHome && dataHome[0] == '/' ? fs::path(dataHome)
                                                        : fs::path(HomeFolder()) / kDefaultDataHome;
  return {(base / kDataFolderName).lexically_normal().string(), false};
}

int MakeDataFolder(const DataFolder& data, const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
  std::vector<fs::path> missing;
  for (fs::path p = fs::path(path).lexically_normal(); !p.empty(); p = p.parent_path()) {
    if (::stat(p.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return ENOTDIR;
      break;
    }
    if (errno != ENOENT) return errno;
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  const mode_t mode = data.shared ? kSharedFolderMode : kPrivateFolderMode;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it)
    if (::mkdir(it->c_str(), mode) != 0 && errno != EEXIST) return errno;
  if (::stat(path.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

}  // namespace o5
