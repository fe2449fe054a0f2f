// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ArchiveNames.h"

namespace o5 {

namespace {

constexpr std::string_view kJournalPrefix = "S_";
constexpr std::string_view kJournalSuffix = ".txt";
constexpr std::string_view kTimelineSuffix = ".events.tsv";
constexpr std::string_view kReadoutPrefix = "BB_";
constexpr std::string_view kReadoutSuffix = ".bin";
constexpr std::string_view kSeriesPrefix = "G_";
constexpr std::string_view kSeriesSuffix = ".csv";
constexpr char kSerialSeparator = '_';
constexpr uint32_t kLargestSerial = 0xFFFFFF;

// The part of `fileName` between `prefix` and `suffix`, if it has both.
std::optional<std::string_view> Between(std::string_view fileName, std::string_view prefix,
                                        std::string_view suffix) {
  if (fileName.size() < prefix.size() + suffix.size() || !fileName.starts_with(prefix) ||
      !fileName.ends_with(suffix))
    return std::nullopt;
  fileName.remove_prefix(prefix.size());
  fileName.remove_suffix(suffix.size());
  return fileName;
}

}  // namespace

std::optional<uint32_t> ParseSerial(std::string_view text) {
  if (text.empty() || text.size() > 8 || (text.size() > 1 && text.front() == '0')) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (value > kLargestSerial) return std::nullopt;
  return value;
}

namespace {

std::string SessionFileName(const JournalName& name, std::string_view suffix) {
  std::string text = std::string(kJournalPrefix) + FileStamp(name.opened);
  if (name.serial) text += kSerialSeparator + std::to_string(*name.serial);
  return text + std::string(suffix);
}

std::optional<JournalName> ParseSessionFileName(std::string_view fileName, std::string_view suffix) {
  const auto middle = Between(fileName, kJournalPrefix, suffix);
  if (!middle) return std::nullopt;
  JournalName name;
  const auto opened = ParseFileStamp(middle->substr(0, kFileStampLength));
  if (!opened) return std::nullopt;
  name.opened = *opened;
  const std::string_view rest = middle->substr(kFileStampLength);
  if (rest.empty()) return name;
  if (rest.front() != kSerialSeparator) return std::nullopt;
  name.serial = ParseSerial(rest.substr(1));
  if (!name.serial) return std::nullopt;
  return name;
}

}  // namespace

std::string JournalFileName(const JournalName& name) { return SessionFileName(name, kJournalSuffix); }

std::optional<JournalName> ParseJournalFileName(std::string_view fileName) {
  return ParseSessionFileName(fileName, kJournalSuffix);
}

std::string TimelineFileName(const JournalName& name) { return SessionFileName(name, kTimelineSuffix); }

std::optional<JournalName> ParseTimelineFileName(std::string_view fileName) {
  return ParseSessionFileName(fileName, kTimelineSuffix);
}

std::string TimelinePathFor(const std::string& journalPath) {
  std::string_view stem = journalPath;
  if (stem.ends_with(kJournalSuffix)) stem.remove_suffix(kJournalSuffix.size());
  return std::string(stem) + std::string(kTimelineSuffix);
}

std::string SeriesFileName(std::optional<uint32_t> serial, const LocalTime& start) {
  return std::string(kSeriesPrefix) + (serial ? std::to_string(*serial) + kSerialSeparator : std::string()) +
         FileStamp(start) + std::string(kSeriesSuffix);
}

std::string ReadoutFileName(const ReadoutName& name) {
  return std::string(kReadoutPrefix) + std::to_string(name.serial) + kSerialSeparator +
         FileStamp(name.when) + std::string(kReadoutSuffix);
}

std::optional<ReadoutName> ParseReadoutFileName(std::string_view fileName) {
  const auto middle = Between(fileName, kReadoutPrefix, kReadoutSuffix);
  if (!middle || middle->size() < kFileStampLength + 2) return std::nullopt;
  const std::size_t stampAt = middle->size() - kFileStampLength;
  if ((*middle)[stampAt - 1] != kSerialSeparator) return std::nullopt;
  const auto serial = ParseSerial(middle->substr(0, stampAt - 1));
  const auto when = ParseFileStamp(middle->substr(stampAt));
  if (!serial || !when) return std::nullopt;
  return ReadoutName{*serial, *when};
}

std::optional<ReadoutName> ParseSavedReadoutFileName(std::string_view fileName) {
  if (const auto exact = ParseReadoutFileName(fileName)) return exact;
  const auto middle = Between(fileName, kReadoutPrefix, kReadoutSuffix);
  if (!middle) return std::nullopt;
  const std::size_t separator = middle->find(kSerialSeparator);
  if (separator == std::string_view::npos) return std::nullopt;
  const auto serial = ParseSerial(middle->substr(0, separator));
  const auto when = ParseUnpaddedFileStamp(middle->substr(separator + 1));
  if (!serial || !when) return std::nullopt;
  return ReadoutName{*serial, *when};
}

}  // namespace o5
