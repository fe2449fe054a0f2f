// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys that the kill test's writer saves over and over.

#include <cstdio>
#include <string>

namespace o5::test {

inline constexpr int kKillWriterKeyCount = 20;

inline std::string KillWriterKey(int index) {
  char name[8];
  std::snprintf(name, sizeof name, "K%02d", index + 1);
  return name;
}

}  // namespace o5::test
