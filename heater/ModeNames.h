// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heater's operating modes by number. The telemetry decoding names the mode
// of every 'g' frame with this table, so it lives apart from the window, in
// plain C++.

#include <array>
#include <string>
#include <string_view>

#include "heater/TextTranslation.h"

namespace o5 {

inline constexpr int kModeCount = 28;

// UTF-8 names, indexed by the mode number 0..27.
extern const std::array<std::string_view, kModeCount> ModeNames;

// The mode number is a whole byte, but the firmware only defines 0..27; any
// other number is shown with this name instead of reading past the table.
inline constexpr std::string_view kUnknownModeName = O5_TEXT("ModeNames", "Неизвестный режим");

// ModeNames[mode] for a known mode, kUnknownModeName otherwise.
std::string_view ModeName(int mode);
// ModeName(mode) in the tool's language.
std::string ModeNameText(int mode);

// Between the number and the name of a mode, as the modes window's bar shows it.
inline constexpr std::string_view kModeCaptionSeparator = " - ";

// The mode as the modes window's bar names it: "21 - Прогрев". Wherever else a
// mode number is explained (the black-box grid, its report) it reads the same.
std::string ModeCaptionText(int mode);

}  // namespace o5
