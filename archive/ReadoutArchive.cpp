// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ReadoutArchive.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "archive/ArchiveNames.h"
#include "heater/BlackBoxExport.h"
#include "heater/BlackBoxReport.h"
#include "settings/UserFile.h"

namespace o5 {

namespace {

// Reading stops well above an image's size: a large file is no image.
constexpr std::size_t kImageReadLimit = 4096;

// The entries of a folder, with whether each is a folder or a regular file
// (not following links).
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    visit(name, ::dirfd(dir), entry->d_type);
  }
  ::closedir(dir);
}

bool IsKind(int folder, const char* name, unsigned char type, mode_t wanted, off_t* size = nullptr) {
  if (!size && type != DT_UNKNOWN) return (wanted == S_IFDIR ? DT_DIR : DT_REG) == type;
  struct stat st;
  if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || (st.st_mode & S_IFMT) != wanted) return false;
  if (size) *size = st.st_size;
  return true;
}

}  // namespace

ReadoutArchive::ReadoutArchive(DataFolder data) : data_(std::move(data)) {}

std::string ReadoutArchive::SerialFolder(uint32_t serial) const {
  return data_.Readouts() + "/" + std::to_string(serial);
}

std::string ReadoutArchive::Keep(const BlackBoxBytes& image, const LocalTime& when) const {
  const uint32_t serial = BlackBoxSerialNumber(image);
  const std::string folder = SerialFolder(serial);
  const std::string path = folder + "/" + ReadoutFileName({serial, when});
  if (const int error = MakeDataFolder(data_, folder)) ThrowSaveError(path, SystemReason(error));
  SaveUserFile(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
  return path;
}

std::vector<ReadoutEntry> ReadoutArchive::Readouts(uint32_t serial) const {
  std::vector<ReadoutEntry> readouts;
  const std::string folder = SerialFolder(serial);
  ForEachEntry(folder, [&](std::string_view name, int dir, unsigned char type) {
    const auto parsed = ParseReadoutFileName(name);
    off_t size = 0;
    if (!parsed || parsed->serial != serial ||
        !IsKind(dir, std::string(name).c_str(), type, S_IFREG, &size) || size != kBlackBoxSize)
      return;
    readouts.push_back({serial, parsed->when, folder + "/" + std::string(name)});
  });
  std::sort(readouts.begin(), readouts.end(),
            [](const ReadoutEntry& a, const ReadoutEntry& b) { return a.when > b.when; });
  return readouts;
}

std::optional<BlackBoxBytes> ReadoutArchive::LoadImage(const ReadoutEntry& readout) {
  std::string content;
  try {
    content = LoadUserFile(readout.path, kImageReadLimit);
  } catch (const FileError&) {
    return std::nullopt;
  }
  if (!BlackBoxImageProblem(content).empty()) return std::nullopt;
  BlackBoxBytes image;
  std::copy(content.begin(), content.end(), reinterpret_cast<char*>(image.data()));
  if (BlackBoxSerialNumber(image) != readout.serial) return std::nullopt;
  return image;
}

std::optional<ReadoutEntry> ReadoutArchive::EntryOf(const std::string& path) const {
  const size_t slash = path.rfind('/');
  const auto parsed = ParseReadoutFileName(slash == std::string::npos ? path : path.substr(slash + 1));
  if (!parsed) return std::nullopt;
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  char* real = ::realpath(folder.c_str(), nullptr);
  char* archived = ::realpath(SerialFolder(parsed->serial).c_str(), nullptr);
  const bool same = real && archived && std::string_view(real) == archived;
  std::free(real);
  std::free(archived);
  if (!same) return std::nullopt;
  return ReadoutEntry{parsed->serial, parsed->when, path};
}

std::optional<ArchivedReadout> ReadoutArchive::LatestBefore(uint32_t serial, const LocalTime& before) const {
  for (const ReadoutEntry& readout : Readouts(serial))
    if (readout.when < before)
      if (auto image = LoadImage(readout)) return ArchivedReadout{readout, *image};
  return std::nullopt;
}

std::vector<HeaterEntry> ReadoutArchive::Heaters() const {
  std::vector<HeaterEntry> heaters;
  ForEachEntry(data_.Readouts(), [&](std::string_view name, int dir, unsigned char type) {
    const auto serial = ParseSerial(name);
    if (!serial || !IsKind(dir, std::string(name).c_str(), type, S_IFDIR)) return;
    // Only images of this heater count, as only they are listed; the latest
    // names its product.
    HeaterEntry heater;
    heater.serial = *serial;
    for (const ReadoutEntry& readout : Readouts(*serial)) {
      const auto image = LoadImage(readout);
      if (!image) continue;
      if (heater.readouts++ == 0) {
        heater.productCode = SummarizeBlackBox(*image).productCode;
        heater.lastReadout = readout.when;
      }
    }
    if (heater.readouts > 0) heaters.push_back(heater);
  });
  std::sort(heaters.begin(), heaters.end(), [](const HeaterEntry& a, const HeaterEntry& b) {
    return a.lastReadout != b.lastReadout ? a.lastReadout > b.lastReadout : a.serial < b.serial;
  });
  return heaters;
}

}  // namespace o5
