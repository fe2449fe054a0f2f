// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "config.ini" beside the executable (or, for an installed tool, in the user's
// configuration folder): one section "Options", every value an integer but
// texts: DataDir, a folder's path, ReportWorkshop, the workshop's name on its
// papers, and the broker's keys of the remote view. A reader opens the file
// once and answers from what it read; every
// write goes to the disk at once, through a temporary file that is renamed over
// the old one, so the file is never left half-written.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace o5 {

class AtomicFile;

inline constexpr const char* kSettingsSection = "Options";
inline constexpr const char* kSettingsFileName = "config.ini";
// The tool's own file holds a few dozen short lines. A larger file cannot be
// one it wrote: it reads as empty, and the first write replaces it.
inline constexpr size_t kSettingsFileSizeLimit = 256 * 1024;

// Raised when a key cannot be written: "Unable to write to <full path>".
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads an integer value as the settings file stores it: decimal, or
// hexadecimal after "$", "0x" or "0X"; surrounding blanks are ignored. Anything
// else, or a value outside 32 bits, is not an integer.
std::optional<int> ParseSettingsInteger(std::string_view text);

// The full path of the settings file: "config.ini" in the executable's folder
// when the user may create files there, otherwise in
// ${XDG_CONFIG_HOME:-~/.config}/ortan5/ (made at the first call, and started as
// a copy of the file beside the executable when there is one). Tests point it
// elsewhere with SetSettingsDirectory.
std::string SettingsFilePath();
void SetSettingsDirectory(const std::string& dir);  // "" restores the default
// The folder the executable lives in.
std::string ExecutableDirectory();
// How many times the settings have been read from the disk in this process.
uint64_t SettingsFileDiskReads();

class SettingsFile {
 public:
  // Reads the file (missing or unreadable reads as empty).
  explicit SettingsFile(std::string path = SettingsFilePath());

  const std::string& Path() const { return path_; }

  // A missing key or a value that is not an integer gives the default. Section
  // and key names are matched without regard to letter case; the first of
  // duplicate keys counts.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // A value that is text (a folder's path): the rest of the key's line after
  // "=", without the blanks around it, taken as it stands (no quotes, no
  // escapes). A missing key, or one with nothing after "=", gives the default.
  // The tool writes such values only with WriteString.
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& defaultValue = {}) const;

  // Writes the value as a decimal integer ("1"/"0" for truth values) and puts
  // the file on disk before returning; SettingsError when that fails. The rest
  // of the file is kept as it was.
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // A text value (a workshop's name) on one line: line ends become blanks,
  // blanks around it are dropped. Written as WriteInteger writes.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  enum class LineEnd : unsigned char { None, Lf, CrLf };
  enum class Disk { Missing, Read, Oversized, Unreadable };
  // Remembered: the content of the latest read when the file has not changed
  // since (its identity, size and times the same); Disk: read it in any case.
  enum class Source { Remembered, Disk };

  void Load(Source source = Source::Remembered);
  void Parse(std::string_view content);
  void Index();
  std::optional<size_t> KeyLine(std::string_view section, std::string_view key) const;
  const std::string* FindValueLine(std::string_view section, std::string_view key,
                                   size_t* valueStart) const;
  // Each write starts from the file as it is on the disk then, under a lock on
  // its folder, so that values another copy of the tool wrote meanwhile stay.
  void Store(std::string_view section, std::string_view key, const std::string& value);
  void Set(std::string_view section, std::string_view key, const std::string& value);
  void InsertLine(size_t at, std::string text);
  std::string Content() const;
  void Save(AtomicFile& file);

  std::string path_;
  std::vector<std::string> lines_;  // without line ends
  std::vector<LineEnd> ends_;       // each line's own end, kept as found
  std::string eol_ = "\n";
  bool bom_ = false;
  Disk disk_ = Disk::Missing;
  // The number of each section, by its lower-case name, and the first line of
  // each key, by "<section number>\n<lower-case key>".
  std::unordered_map<std::string, size_t> sections_;
  std::unordered_map<std::string, size_t> keys_;
};

}  // namespace o5
