// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graph window's keys in "config.ini": what is read at creation, with the
// defaults, and what is written at exit, in the order the file gets them.

#include <array>

#include "settings/SettingsFile.h"

namespace o5 {

struct GraphSettings {
  static constexpr int kRows = 13;
  // Line colour of a new chart: green (red 0, green 128, blue 0) as 0x00BBGGRR.
  static constexpr int kDefaultColor = 32768;

  int top = 0;
  int left = 0;
  int width = 640;
  int height = 480;
  std::array<int, kRows> widths;   // "W1".."W13"
  std::array<bool, kRows> shown;   // "C1".."C13"
  std::array<int, kRows> colors;   // "S1".."S13", 0x00BBGGRR
  int xStep = 50;                  // the box itself starts at 20; the key's default is 50
  int yStep = 50;
  int yMax = 700;
  int yMin = 0;
  int xMax = 200;
  int xMin = 0;
  bool modesShown = true;          // "ShowModes": the strip of modes and fault marks
  bool follow = false;             // "Follow": the view follows the newest point

  GraphSettings();

  // Missing keys and values that are not integers give the defaults.
  static GraphSettings Read(const SettingsFile& file);
  // SettingsError from the first key that cannot be written; the keys after
  // it are not written.
  void Write(SettingsFile& file) const;
};

}  // namespace o5
