// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The record log's columns: the header the main window shows above the log,
// and what each column holds, for the header's tooltips. The fault bytes
// follow the last column without a header of their own.

#include <array>
#include <string>
#include <string_view>

namespace o5 {

// Every blank counts: a record of one cycle lines up under it.
inline constexpr std::string_view kRecordLogHeader =
    "WTime; ModeT; Error;    ТН; vdDef; vdClc; Помпа;  Реле; Свеча;     U; Режим;   Tж;  Tпер; "
    "Тплам; Tплт;   Cmd;  ПП";

struct RecordColumn {
  std::string_view name;     // as the header writes it
  std::string_view meaning;  // UTF-8, with the unit where there is one
};

inline constexpr int kRecordColumnCount = 17;

// The column's meaning in the tool's language; its name stays as the header
// writes it.
std::string RecordColumnMeaning(const RecordColumn& column);

// In the header's order.
extern const std::array<RecordColumn, kRecordColumnCount> kRecordColumns;

// The column of the header's character `index` (counted in characters, not
// bytes): a column runs up to and including its ";". -1 outside the header.
int RecordColumnAt(int index);

}  // namespace o5
