// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The readout archive: the image of every complete readout, kept under
// blackbox/<serial>/ in the data folder, and what it holds, heater by heater.
// The folder is read afresh by each call; files a person put there that are
// misnamed, of the wrong size or not an image are passed over.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/DataFolder.h"
#include "archive/LocalTime.h"
#include "heater/BlackBoxImage.h"

namespace o5 {

struct ReadoutEntry {
  uint32_t serial = 0;
  LocalTime when;  // of the readout
  std::string path;
};

struct HeaterEntry {
  uint32_t serial = 0;
  unsigned productCode = 0;  // of its latest readout
  std::size_t readouts = 0;  // images of this heater
  LocalTime lastReadout;
};

struct ArchivedReadout {
  ReadoutEntry entry;
  BlackBoxBytes image;
};

class ReadoutArchive {
 public:
  explicit ReadoutArchive(DataFolder data = ChooseDataFolder());

  // The data folder.
  const std::string& FolderPath() const { return data_.path; }

  // Writes a complete readout's image, whole or not at all, as
  // blackbox/<serial>/BB_<serial>_<when>.bin; returns its path. FileError
  // naming the file and the reason when it cannot.
  std::string Keep(const BlackBoxBytes& image, const LocalTime& when) const;

  // The heaters with a readout whose image loads, the latest readout first.
  std::vector<HeaterEntry> Heaters() const;
  // The files named as readouts of one heater and of an image's size, newest
  // first; LoadImage tells which of them are images of that heater.
  std::vector<ReadoutEntry> Readouts(uint32_t serial) const;
  // A readout's image; nothing when the file is no longer there or is no
  // image of that heater.
  static std::optional<BlackBoxBytes> LoadImage(const ReadoutEntry& readout);
  // The readout whose image `path` is, when it is one of this archive's: a
  // readout's name in the folder of its serial number (links and relative
  // paths resolved); nothing for any other file.
  std::optional<ReadoutEntry> EntryOf(const std::string& path) const;
  // The newest readout of that heater strictly older than `before`, with its
  // image: what a readout at `before` is compared with. A readout kept at
  // `before` (the one being compared, archived at its completion) is never
  // its own earlier readout.
  std::optional<ArchivedReadout> LatestBefore(uint32_t serial, const LocalTime& before) const;

 private:
  std::string SerialFolder(uint32_t serial) const;

  DataFolder data_;
};

}  // namespace o5
