// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "settings/AtomicFile.h"

namespace o5 {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kCommentStart = ';';
constexpr char kHexPrefix = '$';
constexpr char kSectionOpen = '[';
constexpr char kSectionClose = ']';
constexpr char kKeyValueSeparator = '=';

std::mutex directoryMutex;
std::string directoryOverride;

// Where the executable's folder is not the user's to write (an installed
// tool), the settings go to the user's configuration folder instead.
constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr const char* kDefaultConfigHome = ".config";
constexpr const char* kUserSettingsFolder = "ortan5";
constexpr mode_t kPrivateFolderMode = 0700;

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Letter case is folded for ASCII letters only: the key names are ASCII, and
// the user's locale must not change which key a line names.
std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A key's entry in the index: its section's number and its lower-case name.
// The number stands for the section's name, which may be long: copied into
// every key's entry, a file of one long header and many keys would take the
// header's length times the number of keys.
std::string IndexKey(size_t section, std::string_view lowerKey) {
  std::string entry = std::to_string(section);
  entry += '\n';
  entry += lowerKey;
  return entry;
}

// The section name of a header line "[name]", or nothing for any other line.
// `line` is trimmed.
std::optional<std::string_view> SectionName(std::string_view line) {
  if (line.empty() || line.front() != kSectionOpen) return std::nullopt;
  const size_t close = line.find(kSectionClose);
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsBlankOrComment(std::string_view trimmed) {
  return trimmed.empty() || trimmed.front() == kCommentStart;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Colours are stored as 32-bit patterns, so hexadecimal runs up to FFFFFFFF
// and reads back as the signed value with the same bits.
std::optional<int> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint64_t>(d);
    if (value > UINT32_MAX) return std::nullopt;
  }
  return static_cast<int>(static_cast<uint32_t>(value));
}

std::optional<int> ParseDecimal(std::string_view text) {
  const bool negative = text.front() == '-';
  if (negative || text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -value : value);
}

// Names come from the program, never from the file; one that would break the
// file's line structure is a programming error and must not reach the disk.
void CheckName(std::string_view name, std::string_view forbidden, const char* what) {
  if (name.empty() || Trim(name).size() != name.size() ||
      name.find_first_of(forbidden) != std::string_view::npos || name.front() == kCommentStart ||
      name.front() == kSectionOpen)
    throw std::invalid_argument(std::string("Invalid settings ") + what + " name");
}

// Reads to the end of the file or until `most` bytes. The size can change
// under us: reading one byte past the limit tells a file that grew too large.
bool ReadAtMost(int fd, size_t expected, size_t most, std::string* content) {
  content->resize(std::min(expected + 1, most));
  size_t got = 0;
  for (;;) {
    if (got == content->size()) {
      if (got == most) break;
      content->resize(std::min(got * 2, most));
    }
    const ssize_t n = ::read(fd, content->data() + got, content->size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  content->resize(got);
  return true;
}

// Whether this user may create files in the folder that holds `file`. A write
// puts a new file there and renames it over the old one, and it follows a
// symbolic link as AtomicFile does, so it is the real file's folder that counts.
bool FolderWritable(const fs::path& file) {
  fs::path target = file;
  std::error_code ec;
  if (fs::is_symlink(file, ec)) {
    const fs::path real = fs::canonical(file, ec);
    if (!ec) target = real;
  }
  return ::faccessat(AT_FDCWD, target.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// The user's own folder for the tool's settings:
// ${XDG_CONFIG_HOME:-$HOME/.config}/ortan5. A relative XDG_CONFIG_HOME is
// ignored, as the base directory rules ask; without a usable HOME the user
// database names the home folder. Empty when no home folder is known.
fs::path UserSettingsFolder() {
  const char* configHome = std::getenv(kConfigHomeVariable);
  if (configHome && configHome[0] == '/') return fs::path(configHome) / kUserSettingsFolder;
  std::string home;
  if (const char* value = std::getenv(kHomeVariable); value && value[0] == '/') {
    home = value;
  } else {
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
      home = found->pw_dir;
  }
  if (home.empty()) return {};
  return fs::path(home) / kDefaultConfigHome / kUserSettingsFolder;
}

// Creates the missing folders of `path`, private to the user as the base
// directory rules ask for the configuration folder. Best effort.
void MakeFolders(const fs::path& path) {
  std::vector<fs::path> missing;
  std::error_code ec;
  for (fs::path p = path; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    missing.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) ::mkdir(it->c_str(), kPrivateFolderMode);
}

// A user's file starts as a copy of the one beside the executable, where there
// is one: settings an administrator or a read-only copy of the tool put there
// are where each user begins. Under the folder lock, so that two copies of the
// tool starting at once cannot overwrite what the other one already stored.
void SeedFrom(const fs::path& source, const fs::path& userFile) {
  std::error_code ec;
  if (fs::exists(userFile, ec) || !fs::is_regular_file(source, ec)) return;
  std::ifstream in(source, std::ios::binary);
  if (!in) return;
  std::string content(kSettingsFileSizeLimit + 1, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad() || static_cast<size_t>(in.gcount()) > kSettingsFileSizeLimit) return;
  content.resize(static_cast<size_t>(in.gcount()));
  AtomicFile file(userFile.string());
  if (!fs::exists(userFile, ec) && !ec) file.Replace(content);
}

// The content of the latest read, with what tells its version on the disk.
// The windows and the data folder's lookup each read the settings as the tool
// starts; a file that has not changed since is taken from here instead of
// being read again. A write always reads the disk afresh.
struct LastRead {
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  timespec changed{};
  std::string content;

  bool Same(const std::string& p, const struct stat& st) const {
    return p == path && st.st_dev == device && st.st_ino == inode && st.st_size == size &&
           st.st_mtim.tv_sec == modified.tv_sec && st.st_mtim.tv_nsec == modified.tv_nsec &&
           st.st_ctim.tv_sec == changed.tv_sec && st.st_ctim.tv_nsec == changed.tv_nsec;
  }
};
constexpr std::time_t kSettledSeconds = 2;
std::mutex lastReadMutex;
LastRead lastRead;
uint64_t diskReads = 0;

}  // namespace

uint64_t SettingsFileDiskReads() {
  std::lock_guard lock(lastReadMutex);
  return diskReads;
}

std::optional<int> ParseSettingsInteger(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  if (text.front() == kHexPrefix) return ParseHex(text.substr(1));
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2));
  return ParseDecimal(text);
}

std::string ExecutableDirectory() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
    if (n < 0) {
      std::error_code ec;
      const fs::path current = fs::current_path(ec);
      return ec ? std::string(".") : current.string();
    }
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  return fs::path(target).parent_path().string();
}

void SetSettingsDirectory(const std::string& dir) {
  std::lock_guard lock(directoryMutex);
  directoryOverride = dir;
}

std::string SettingsFilePath() {
  std::string dir;
  {
    std::lock_guard lock(directoryMutex);
    dir = directoryOverride;
  }
  if (!dir.empty()) return (fs::path(dir) / kSettingsFileName).string();
  const fs::path besideExecutable = fs::path(ExecutableDirectory()) / kSettingsFileName;
  if (FolderWritable(besideExecutable)) return besideExecutable.string();
  const fs::path userFolder = UserSettingsFolder();
  if (userFolder.empty()) return besideExecutable.string();
  // Made here, so that the first write finds its folder; should that fail,
  // the write reports the path it could not write.
  MakeFolders(userFolder);
  const fs::path userFile = userFolder / kSettingsFileName;
  SeedFrom(besideExecutable, userFile);
  return userFile.string();
}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {
  std::error_code ec;
  const fs::path full = fs::absolute(path_, ec);
  if (!ec) path_ = full.string();
  Load();
}

void SettingsFile::Load(Source source) {
  std::string content;
  disk_ = Disk::Missing;
  int fd;
  // Non-blocking, so that a FIFO or a device node in the file's place cannot
  // hang the tool; such a file is then refused as not a regular one.
  do fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) disk_ = Disk::Unreadable;
  } else {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      disk_ = Disk::Unreadable;
    } else if (static_cast<uint64_t>(st.st_size) > kSettingsFileSizeLimit) {
      disk_ = Disk::Oversized;
    } else {
      std::unique_lock lock(lastReadMutex);
      if (source == Source::Remembered && lastRead.Same(path_, st)) {
        content = lastRead.content;
        disk_ = Disk::Read;
      } else {
        ++diskReads;
        lock.unlock();
        disk_ = ReadAtMost(fd, static_cast<size_t>(st.st_size), kSettingsFileSizeLimit + 1, &content)
                    ? Disk::Read
                    : Disk::Unreadable;
        if (disk_ == Disk::Read && content.size() > kSettingsFileSizeLimit) disk_ = Disk::Oversized;
        if (disk_ != Disk::Read) content.clear();
        // Kept only when the file did not change while it was read, and was
        // last changed a while ago: file times advance in steps of a few
        // milliseconds (or seconds, on some shares), so a change made in place
        // right after this read could leave them as they were.
        struct stat after;
        lock.lock();
        if (disk_ == Disk::Read && ::fstat(fd, &after) == 0 && after.st_size == st.st_size &&
            after.st_mtim.tv_sec == st.st_mtim.tv_sec && after.st_mtim.tv_nsec == st.st_mtim.tv_nsec &&
            after.st_mtim.tv_sec + kSettledSeconds < std::time(nullptr))
          lastRead = {path_, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, content};
      }
    }
    ::close(fd);
  }
  Parse(content);
}

void SettingsFile::Parse(std::string_view content) {
  lines_.clear();
  ends_.clear();
  eol_ = "\n";
  bom_ = content.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (bom_) content.remove_prefix(kByteOrderMark.size());
  bool eolSeen = false;
  while (!content.empty()) {
    const size_t newline = content.find('\n');
    std::string_view line = content.substr(0, newline);
    LineEnd end = LineEnd::None;
    if (newline != std::string_view::npos) {
      end = LineEnd::Lf;
      if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
        end = LineEnd::CrLf;
      }
      content.remove_prefix(newline + 1);
      if (!eolSeen) eol_ = end == LineEnd::CrLf ? "\r\n" : "\n";
      eolSeen = true;
    } else {
      content = {};
    }
    lines_.emplace_back(line);
    ends_.push_back(end);
  }
  Index();
}

void SettingsFile::Index() {
  sections_.clear();
  keys_.clear();
  std::optional<size_t> section;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view line = Trim(lines_[i]);
    if (IsBlankOrComment(line)) continue;
    if (const auto name = SectionName(line)) {
      // A section written twice is one section: its first key of a name counts.
      section = sections_.try_emplace(Lower(*name), sections_.size()).first->second;
      continue;
    }
    const size_t separator = line.find(kKeyValueSeparator);
    if (!section || separator == std::string_view::npos) continue;
    keys_.try_emplace(IndexKey(*section, Lower(Trim(line.substr(0, separator)))), i);
  }
}

std::optional<size_t> SettingsFile::KeyLine(std::string_view section, std::string_view key) const {
  const auto s = sections_.find(Lower(section));
  if (s == sections_.end()) return std::nullopt;
  const auto k = keys_.find(IndexKey(s->second, Lower(key)));
  if (k == keys_.end()) return std::nullopt;
  return k->second;
}

const std::string* SettingsFile::FindValueLine(std::string_view section, std::string_view key,
                                               size_t* valueStart) const {
  const auto at = KeyLine(section, key);
  if (!at) return nullptr;
  const std::string& line = lines_[*at];
  *valueStart = line.find(kKeyValueSeparator) + 1;
  return &line;
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  size_t valueStart = 0;
  const std::string* line = FindValueLine(section, key, &valueStart);
  if (!line) return defaultValue;
  return ParseSettingsInteger(std::string_view(*line).substr(valueStart)).value_or(defaultValue);
}

bool SettingsFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  size_t valueStart = 0;
  const std::string* line = FindValueLine(section, key, &valueStart);
  if (!line) return defaultValue;
  const auto value = ParseSettingsInteger(std::string_view(*line).substr(valueStart));
  return value ? *value != 0 : defaultValue;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     const std::string& defaultValue) const {
  size_t valueStart = 0;
  const std::string* line = FindValueLine(section, key, &valueStart);
  if (!line) return defaultValue;
  const std::string_view value = Trim(std::string_view(*line).substr(valueStart));
  return value.empty() ? defaultValue : std::string(value);
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  Store(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  Store(section, key, value ? "1" : "0");
}

void SettingsFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string text(value);
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  Store(section, key, std::string(Trim(text)));
}

void SettingsFile::Store(std::string_view section, std::string_view key, const std::string& value) {
  CheckName(section, "\r\n]", "section");
  CheckName(key, "\r\n=", "key");
  AtomicFile file(path_);
  // Start from what is on the disk now: another copy of the tool may have
  // written since this one read the file, and its values must survive.
  Load(Source::Disk);
  // A file that exists but cannot be read would be lost by writing it anew.
  if (disk_ == Disk::Unreadable) throw SettingsError("Unable to write to " + path_);
  Set(section, key, value);
  Save(file);
}

void SettingsFile::Set(std::string_view section, std::string_view key, const std::string& value) {
  std::string line = std::string(key) + kKeyValueSeparator + value;
  if (const auto at = KeyLine(section, key)) {
    lines_[*at] = std::move(line);
    return;
  }
  const std::string wanted = Lower(section);
  size_t header = 0;
  while (header < lines_.size()) {
    const auto name = SectionName(Trim(lines_[header]));
    if (name && Lower(*name) == wanted) break;
    ++header;
  }
  if (header == lines_.size()) {
    InsertLine(lines_.size(), std::string(1, kSectionOpen) + std::string(section) + kSectionClose);
    InsertLine(lines_.size(), std::move(line));
  } else {
    // After the section's last entry: blank lines and comments in front of the
    // next header belong to that header.
    size_t last = header;
    for (size_t i = header + 1; i < lines_.size(); ++i) {
      const std::string_view text = Trim(lines_[i]);
      if (IsBlankOrComment(text)) continue;
      if (SectionName(text)) break;
      last = i;
    }
    InsertLine(last + 1, std::move(line));
  }
  Index();
}

void SettingsFile::InsertLine(size_t at, std::string text) {
  const LineEnd style = eol_ == "\r\n" ? LineEnd::CrLf : LineEnd::Lf;
  if (at > 0 && ends_[at - 1] == LineEnd::None) ends_[at - 1] = style;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(text));
  ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(at), style);
}

std::string SettingsFile::Content() const {
  size_t size = bom_ ? kByteOrderMark.size() : 0;
  for (const std::string& line : lines_) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  if (bom_) out += kByteOrderMark;
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i];
    if (ends_[i] == LineEnd::CrLf) out += "\r\n";
    if (ends_[i] == LineEnd::Lf) out += '\n';
  }
  return out;
}

void SettingsFile::Save(AtomicFile& file) {
  if (file.Replace(Content())) return;
  // What this object answers must not claim a value that never reached the disk.
  Load(Source::Disk);
  throw SettingsError("Unable to write to " + path_);
}

}  // namespace o5
