// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of what the tool keeps in its data folder:
//   sessions/S_<time>.txt            the journal of one port opening
//   sessions/S_<time>_<serial>.txt   the same once a readout named its heater
//   sessions/S_<time>[_<serial>].events.tsv   the timeline of that session,
//                                    named as its journal is
//   blackbox/<serial>/BB_<serial>_<time>.bin   one readout's image
// <time> is a FileStamp (the opening's, the readout's), <serial> the heater's
// serial number in decimal without leading zeros. Anything else in these
// folders is a file a person put there and is passed over.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/LocalTime.h"

namespace o5 {

inline constexpr std::string_view kSessionsFolderName = "sessions";
inline constexpr std::string_view kReadoutsFolderName = "blackbox";

struct JournalName {
  LocalTime opened;
  std::optional<uint32_t> serial;
};
std::string JournalFileName(const JournalName& name);
std::optional<JournalName> ParseJournalFileName(std::string_view fileName);
std::string TimelineFileName(const JournalName& name);
std::optional<JournalName> ParseTimelineFileName(std::string_view fileName);
// The timeline beside the journal at `journalPath`.
std::string TimelinePathFor(const std::string& journalPath);

struct ReadoutName {
  uint32_t serial = 0;
  LocalTime when;
};
std::string ReadoutFileName(const ReadoutName& name);
std::optional<ReadoutName> ParseReadoutFileName(std::string_view fileName);
// A readout's name as a person may have kept it outside the archive: the
// time also without leading zeros ("BB_658188_2025-3-5_9-7-3.bin").
std::optional<ReadoutName> ParseSavedReadoutFileName(std::string_view fileName);

// The name proposed for the chart's series saved as CSV:
// "G_<serial>_<time>.csv", <time> the run's start; "G_<time>.csv" where the
// heater's serial is not known.
std::string SeriesFileName(std::optional<uint32_t> serial, const LocalTime& start);

// A serial number as the names write it: the largest the black box holds is
// 16777215 (24 bits); leading zeros make another name.
std::optional<uint32_t> ParseSerial(std::string_view text);

}  // namespace o5
