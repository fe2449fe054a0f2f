// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the tool keeps what it records by itself (the session journals, the
// readout archive): ${XDG_DATA_HOME:-~/.local/share}/ortan5, private to the
// user, or the folder that the key DataDir of config.ini names, which several
// benches of a workshop may share. Nothing is created until something is
// written there.

#include <string>

#include "archive/ArchiveNames.h"

namespace o5 {

inline constexpr const char* kDataDirKey = "DataDir";

struct DataFolder {
  std::string path;
  // Named by DataDir: folders made in it follow the user's umask (and the
  // folder's default permissions), so that other users of a shared folder
  // can write there too. The user's own data folder is kept private (0700).
  bool shared = false;

  std::string Sessions() const { return path + "/" + std::string(kSessionsFolderName); }
  std::string Readouts() const { return path + "/" + std::string(kReadoutsFolderName); }
};

// Reads DataDir from config.ini and the environment afresh. A relative
// DataDir is taken from the folder config.ini is in. Without DataDir, a
// relative or empty XDG_DATA_HOME counts as unset, and without a usable HOME
// the user database names the home folder.
DataFolder ChooseDataFolder();

// Makes `path` and its missing parents, as folders of `data` are made. 0 when
// the folder is there afterwards, else the system's error number (ENOTDIR for
// a file in the way).
int MakeDataFolder(const DataFolder& data, const std::string& path);

}  // namespace o5
