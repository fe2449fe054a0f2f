// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the tool in the settings location tests: copies of it are put
// in folders of different permissions, and each reports where a program in
// its folder keeps its settings.
//   settings_path_probe                 prints the settings file's path
//   settings_path_probe write KEY N     stores N under KEY first
//   settings_path_probe read KEY        prints the value of KEY (-1 when absent) after the path
// Exit status 1 with the message on standard error when the write fails.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "settings/SettingsFile.h"

int main(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) {
      o5::SettingsFile file;
      file.WriteInteger(o5::kSettingsSection, argv[2], std::atoi(argv[3]));
    }
    std::printf("%s\n", o5::SettingsFilePath().c_str());
    if (command == "read" && argc == 3)
      std::printf("%d\n", o5::SettingsFile().ReadInteger(o5::kSettingsSection, argv[2], -1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
