// SPDX-License-Identifier: GPL-3.0-or-later
// Saves settings without end, as the tool does at exit, until it is killed.
// Usage: settings_kill_writer <folder>
// The keys K01..K20 are written in rounds; each round writes one value into
// every key in order. A writer taking over from a killed one first finishes
// the round that was cut short, so a sound file always holds one value in a
// leading run of keys and that value less one in the rest.

#include <string>

#include "settings/SettingsFile.h"
#include "tests/settings/KillWriterKeys.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  o5::SetSettingsDirectory(argv[1]);
  o5::SettingsFile file;
  int values[o5::test::kKillWriterKeyCount];
  for (int i = 0; i < o5::test::kKillWriterKeyCount; ++i)
    values[i] = file.ReadInteger(o5::kSettingsSection, o5::test::KillWriterKey(i), 0);
  int round = values[0];
  int next = 0;
  while (next < o5::test::kKillWriterKeyCount && values[next] == round) ++next;
  for (;;) {
    for (; next < o5::test::kKillWriterKeyCount; ++next)
      file.WriteInteger(o5::kSettingsSection, o5::test::KillWriterKey(next), round);
    ++round;
    next = 0;
  }
}
