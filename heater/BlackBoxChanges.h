// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What changed in a heater's black box since an earlier readout of it: the
// line at the foot of the black-box window's panel, the header labels whose
// values changed (with the earlier value and the difference), and the fault
// records written since.
//
// New fault records. The heater writes a new fault over the oldest record,
// the one after the current-record number, which then names it; a repeat of
// the newest record's fault only counts up that record's repeat count. Neither
// counter tells how many records were written: the fault count also counts
// repeats and leaves out code 13, and the current-record number starts again
// after 13 records. So a record is new when it differs from the earlier
// readout's record in the same place in anything but its repeat count (a
// fault written since carries its own time, mode, voltage and temperatures),
// and the record the current-record number names is new whenever that number
// moved, even if it happens to read as the one it replaced.

#include <string>
#include <string_view>
#include <vector>

#include "heater/BlackBoxImage.h"
#include "heater/TextTranslation.h"

namespace o5 {

// What the numbers of the new fault records are listed under.
inline constexpr std::string_view kNewRecordsCaption =
    O5_TEXT("BlackBoxChanges", "Новые записи неисправностей (номера столбцов)");

struct BlackBoxLabelChange {
  int label = 0;            // an index of BlackBoxReport::labels
  std::string earlier;      // the earlier value as the label shows it
  std::string
      difference;   // "+3", O5_TEXT("BlackBoxChanges", "-1800 сек."); empty for the flame-sensor values
  std::string tip;  // O5_TEXT("BlackBoxChanges", "Было: 12. Изменение: +3.")
  std::string pageLine;  // O5_TEXT("BlackBoxChanges", "Количество незапусков: было 12, изменение +3")
};

struct BlackBoxChanges {
  std::string heading;  // O5_TEXT("BlackBoxChanges", "Изменения с чтения 07.12.2026 15:20")
  // What grew: "время работы +2,5 ч, запусков +3, незапусков +1,
  // неисправностей +2, новых записей неисправностей: 2." — only what changed;
  // "нет." when none of it did.
  std::string summary;
  std::vector<BlackBoxLabelChange> labels;
  std::vector<int> newRecords;  // record numbers 0..12, ascending

  // The line of the window: heading + ": " + summary.
  std::string Line() const { return heading + ": " + summary; }
  // The report's section under the heading: the summary, each changed label,
  // the new records.
  std::vector<std::string> PageLines() const;
  // The line of PageLines that lists the new records' numbers.
  std::string NewRecordsLine() const;
};

// `current` against `earlier`, read at `earlierTime` ("07.12.2026 15:20");
// `decimalSeparator` is the user's locale's, for the hours.
BlackBoxChanges CompareBlackBoxes(const BlackBoxBytes& earlier, const BlackBoxBytes& current,
                                  std::string_view earlierTime, std::string_view decimalSeparator);

}  // namespace o5
