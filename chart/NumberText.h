// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as a person reads them, written the same whatever the process's C
// locale. The toolkit sets that locale from the desktop's at start, and
// printf's "%f" then writes "100,00" on a Russian desktop and "100.00" in the
// C locale, so nothing here goes through printf: the chart's axis and its
// readout, the report's tenths and the cells of a saved table all come from
// these few functions.

#include <cstdint>
#include <string>
#include <string_view>

namespace o5 {

// The decimal separators the tool writes: the comma of its Russian texts,
// and the point of a language that writes one (English).
inline constexpr std::string_view kDecimalComma = ",";
inline constexpr std::string_view kDecimalPoint = ".";

// The decimal separator of the tool's language, as its catalog gives it: a
// comma in Russian (and wherever no catalog is installed), a point in
// English. What the tool writes for itself, and the saved tables, keep
// theirs whatever the language.
std::string_view DecimalSeparator();

// `value` rounded to `decimals` digits after the separator (a half to even, as
// printf rounds), trailing zeros and a bare separator dropped, never "-0":
// "100", "12,6", "-3,14".
std::string NumberText(double value, int decimals, std::string_view separator = DecimalSeparator());

// `value` with exactly `decimals` digits after the separator: "12,0".
std::string FixedNumberText(double value, int decimals, std::string_view separator = DecimalSeparator());

// Tenths as a decimal with one digit after the separator: 125 gives "12,5",
// 7 gives "0,7", -5 gives "-0,5".
std::string TenthsText(std::int64_t tenths, std::string_view separator);

// The shortest text that reads back as `value`: "0,1", "100", "1e+20".
std::string ShortestNumberText(double value, std::string_view separator = DecimalSeparator());

}  // namespace o5
