// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The black-box report: every text the black-box window shows, decoded from the
// image. Multi-byte fields are little-endian; run times are signed 32-bit
// seconds; the fault records' liquid, overheat and liquid-after-10-s
// temperatures are signed bytes, as the telemetry reads the same sensors;
// every other value is shown as stored, unsigned (the flame temperature too).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "heater/BlackBoxImage.h"
#include "heater/TextTranslation.h"

namespace o5 {

inline constexpr int kBlackBoxRecordCount = 13;
inline constexpr int kBlackBoxRecordSize = 16;
inline constexpr int kBlackBoxFirstRecord = 48;  // record k starts at 48 + 16k
// The number of the record the heater wrote last.
inline constexpr int kBlackBoxCurrentRecordAddress = 6;

struct BlackBoxReport {
  static constexpr int kLabelCount = 15;
  static constexpr int kRows = 15;     // row 0: record numbers; rows 1..14: the record's fields
  static constexpr int kColumns = 14;  // column 0: row titles; column k+1: record k

  // Labels whose numbers the window's other texts name.
  static constexpr int kCurrentRecordLabel = 2;
  static constexpr int kFirstAttemptStartsLabel = 4;
  static constexpr int kLaterAttemptStartsLabel = 5;
  static constexpr int kFailedStartsLabel = 6;
  static constexpr int kTotalRunTimeLabel = 7;
  static constexpr int kFaultCountLabel = 11;

  // [0] is lDP, [n] is ln for n = 1..14. UTF-8.
  std::array<std::string, kLabelCount> labels;
  // A run time's label also in hours, "363,3 ч"; empty for the other labels.
  std::array<std::string, kLabelCount> hours;
  // [row][column]; the top-left cell is empty.
  std::array<std::array<std::string, kColumns>, kRows> cells;
  // What the numbers of a cell stand for, as its tooltip: the fault code's
  // caption(s), the mode's name, the captions of a fault byte's set bits.
  // Empty for the other cells.
  std::array<std::array<std::string, kColumns>, kRows> tips;

  // Each distinct fault code and each distinct mode of the 13 records,
  // ascending, with what it means.
  struct Meaning {
    int number;
    std::string text;
    bool operator==(const Meaning&) const = default;
  };
  std::vector<Meaning> faultCodes;
  std::vector<Meaning> modes;
};

// The report of `image`; `decimalSeparator` is the user's locale's, for the
// supply voltages.
BlackBoxReport MakeBlackBoxReport(const BlackBoxBytes& image, std::string_view decimalSeparator);

// What a header label (an index of BlackBoxReport::labels) shows of `image`:
// its text after the label's prefix, and the number behind it (a run time in
// seconds). The three flame-sensor values have no one number; `numbers` holds
// every number the label shows, one or those three.
struct BlackBoxHeaderValue {
  std::string text;
  std::optional<int64_t> number;
  std::vector<int64_t> numbers;
  bool seconds = false;
};
BlackBoxHeaderValue HeaderValue(const BlackBoxBytes& image, int label);
// What a header label shows before its value: "Количество незапусков: ".
std::string HeaderPrefix(int label);
// The prefix as a caption of its own, without the colon: "Количество
// незапусков", "Общее время работы".
std::string HeaderCaption(int label);

// A readout at a glance, as a heater's history lists it.
struct BlackBoxSummary {
  uint32_t serial = 0;
  unsigned productCode = 0;
  int32_t totalRunTime = 0;  // seconds
  unsigned starts = 0;       // at the first attempt and at a later one
  unsigned faults = 0;       // other than code 13
};
BlackBoxSummary SummarizeBlackBox(const BlackBoxBytes& image);

// "%d сек. (%d-%d:%d:%d)": seconds, days, hours, minutes, seconds. Division
// truncates toward zero and remainders keep the sign of the seconds, so -1
// reads "-1 сек. (0-0:0:-1)".
std::string SecondsToText(int32_t seconds);

// A supply voltage stored in tenths of a volt: 125 reads "12,5" with ",".
std::string VoltageText(uint8_t tenths, std::string_view decimalSeparator);
// Seconds in tenths of an hour, rounded: 1297080 is 3603.
int64_t TenthsOfHour(int64_t seconds);
// Seconds as hours with one decimal, rounded: 1297080 reads "360,3".
std::string HoursText(int64_t seconds, std::string_view decimalSeparator);
inline constexpr std::string_view kHoursUnit = O5_TEXT("BlackBoxReport", "ч");

}  // namespace o5
