// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CSV conventions of every table the tool saves for a spreadsheet: UTF-8
// with a byte-order mark, ";" between fields, a decimal comma, CR LF line
// ends, so that a spreadsheet in a Russian locale opens it right. The same
// whatever the program's own locale: a CSV file reads the same on every PC.

#include <string>
#include <string_view>

namespace o5 {

inline constexpr std::string_view kCsvByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view kCsvLineEnd = "\r\n";
inline constexpr std::string_view kCsvDecimalSeparator = ",";

// A CSV field: quoted (inner quotes doubled) when it holds the separator ";",
// a quote or a line break.
std::string CsvField(std::string_view text);

// A number as a cell: whole numbers without a fraction, others with the
// decimal comma.
std::string CsvNumber(double value);

}  // namespace o5
