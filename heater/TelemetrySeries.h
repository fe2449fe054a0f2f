// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart series that telemetry feeds, by their position in the graph
// window's list of thirteen series (the title there in the comment).

namespace o5::series {

inline constexpr int kLiquidIn = 0;      // "Tж.вход"
inline constexpr int kLiquidOut = 1;     // "Tж.выход"
inline constexpr int kFlame = 2;         // "Тд.пламени"
inline constexpr int kBoard = 3;         // "Тна плате"
inline constexpr int kAirSet = 4;        // "Воздух"
inline constexpr int kAirMeasured = 5;   // "ВоздухИзм"
inline constexpr int kTN = 6;            // "ТН"
inline constexpr int kGlowPlug = 7;      // "Свеча"
inline constexpr int kRelay = 8;         // "Реле"
inline constexpr int kPump = 9;          // "Помпа"
inline constexpr int kMode = 10;         // "Режим"
inline constexpr int kError = 11;        // "Неиспр."
inline constexpr int kVoltage = 12;      // "U"

inline constexpr int kCount = 13;

}  // namespace o5::series
