// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz entry for the settings file: any file content, read and then written.
// Holds, for every input:
//  - an integer the parser accepts reads back from its decimal text;
//  - reading never fails, and writing one key changes no other key's value;
//  - the written key reads back, and writing it again leaves the file as it was.
// Violations abort, so that the fuzzer and the replay run both report them.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/SettingsFile.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kProbeKeys[] = {"FormModesTop", "formmodesleft", "W1", "C1", "S1",
                                      "XStep",        "A",             "",   "K\x01", "=",
                                      "[Options]",    " W1"};
constexpr const char* kProbeSections[] = {"Options", "OPTIONS", "Other", ""};
constexpr const char* kWrittenKey = "FuzzKey";
constexpr int kWrittenValue = -123456;
constexpr int kAbsent = 0x5EED;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "settings fuzz: %s\n", what);
  std::abort();
}

std::string* folder = nullptr;

void RemoveFolder() {
  std::error_code ec;
  fs::remove_all(*folder, ec);
}

// A private folder on a memory file system where there is one: the flushes of
// every write would otherwise make each input cost milliseconds.
const std::string& Folder() {
  if (!folder) {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "o5-settings-fuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr, "no temporary folder");
    folder = new std::string(pattern);
    std::atexit(RemoveFolder);
  }
  return *folder;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void CheckInteger(std::string_view text) {
  const auto value = o5::ParseSettingsInteger(text);
  if (value) Require(o5::ParseSettingsInteger(std::to_string(*value)) == value, "integer does not read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckInteger(input);

  const std::string path = Folder() + "/config.ini";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
    Require(static_cast<bool>(out), "cannot write the input");
  }

  constexpr size_t kProbes = std::size(kProbeKeys) * std::size(kProbeSections);
  int before[kProbes];
  o5::SettingsFile file(path);
  size_t n = 0;
  for (const char* section : kProbeSections)
    for (const char* key : kProbeKeys) {
      before[n++] = file.ReadInteger(section, key, kAbsent);
      (void)file.ReadBool(section, key, true);
    }

  file.WriteInteger(o5::kSettingsSection, kWrittenKey, kWrittenValue);
  const std::string written = ReadAll(path);
  const o5::SettingsFile after(path);
  Require(after.ReadInteger(o5::kSettingsSection, kWrittenKey, kAbsent) == kWrittenValue, "written key lost");
  n = 0;
  for (const char* section : kProbeSections)
    for (const char* key : kProbeKeys)
      Require(after.ReadInteger(section, key, kAbsent) == before[n++], "another key changed");

  o5::SettingsFile(path).WriteInteger(o5::kSettingsSection, kWrittenKey, kWrittenValue);
  Require(ReadAll(path) == written, "writing the same value again changed the file");
  return 0;
}
