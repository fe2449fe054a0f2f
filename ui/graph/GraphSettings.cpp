// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/GraphSettings.h"

#include <string>

namespace o5 {

namespace {

constexpr const char* kTopKey = "FormGraphTop";
constexpr const char* kLeftKey = "FormGraphLeft";
constexpr const char* kWidthKey = "FormGraphWidth";
constexpr const char* kHeightKey = "FormGraphHeight";
constexpr const char* kXStepKey = "XStep";
constexpr const char* kYStepKey = "YStep";
constexpr const char* kYMaxKey = "YMax";
constexpr const char* kYMinKey = "YMin";
constexpr const char* kXMaxKey = "XMax";
constexpr const char* kXMinKey = "XMin";
constexpr const char* kModesShownKey = "ShowModes";
constexpr const char* kFollowKey = "Follow";
// Per row n = 1..13: line width, line shown, line colour.
constexpr const char* kWidthPrefix = "W";
constexpr const char* kShownPrefix = "C";
constexpr const char* kColorPrefix = "S";

std::string RowKey(const char* prefix, int row) { return prefix + std::to_string(row); }

}  // namespace

GraphSettings::GraphSettings() {
  widths.fill(1);
  shown.fill(true);
  colors.fill(kDefaultColor);
}

GraphSettings GraphSettings::Read(const SettingsFile& file) {
  const GraphSettings d;
  GraphSettings s;
  const char* section = kSettingsSection;
  s.top = file.ReadInteger(section, kTopKey, d.top);
  s.left = file.ReadInteger(section, kLeftKey, d.left);
  s.width = file.ReadInteger(section, kWidthKey, d.width);
  s.height = file.ReadInteger(section, kHeightKey, d.height);
  for (int n = 1; n <= kRows; ++n) s.widths[n - 1] = file.ReadInteger(section, RowKey(kWidthPrefix, n), d.widths[n - 1]);
  for (int n = 1; n <= kRows; ++n) s.shown[n - 1] = file.ReadBool(section, RowKey(kShownPrefix, n), d.shown[n - 1]);
  for (int n = 1; n <= kRows; ++n)
    s.colors[n - 1] = file.ReadInteger(section, RowKey(kColorPrefix, n), d.colors[n - 1]);
  s.xStep = file.ReadInteger(section, kXStepKey, d.xStep);
  s.yStep = file.ReadInteger(section, kYStepKey, d.yStep);
  s.yMax = file.ReadInteger(section, kYMaxKey, d.yMax);
  s.yMin = file.ReadInteger(section, kYMinKey, d.yMin);
  s.xMax = file.ReadInteger(section, kXMaxKey, d.xMax);
  s.xMin = file.ReadInteger(section, kXMinKey, d.xMin);
  s.modesShown = file.ReadBool(section, kModesShownKey, d.modesShown);
  s.follow = file.ReadBool(section, kFollowKey, d.follow);
  return s;
}

void GraphSettings::Write(SettingsFile& file) const {
  const char* section = kSettingsSection;
  file.WriteInteger(section, kTopKey, top);
  file.WriteInteger(section, kLeftKey, left);
  file.WriteInteger(section, kWidthKey, width);
  file.WriteInteger(section, kHeightKey, height);
  file.WriteInteger(section, kYMaxKey, yMax);
  file.WriteInteger(section, kYMinKey, yMin);
  file.WriteInteger(section, kYStepKey, yStep);
  file.WriteInteger(section, kXMaxKey, xMax);
  file.WriteInteger(section, kXMinKey, xMin);
  file.WriteInteger(section, kXStepKey, xStep);
  for (int n = 1; n <= kRows; ++n) file.WriteInteger(section, RowKey(kWidthPrefix, n), widths[n - 1]);
  for (int n = 1; n <= kRows; ++n) file.WriteBool(section, RowKey(kShownPrefix, n), shown[n - 1]);
  for (int n = 1; n <= kRows; ++n) file.WriteInteger(section, RowKey(kColorPrefix, n), colors[n - 1]);
  file.WriteBool(section, kModesShownKey, modesShown);
  file.WriteBool(section, kFollowKey, follow);
}

}  // namespace o5
