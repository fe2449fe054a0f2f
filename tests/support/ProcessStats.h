// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Figures of the running process for tests, benchmarks and the soak driver:
// processor time (user and system) and resident memory.

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace o5::test {

inline double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Resident memory, KiB; -1 where /proc does not tell.
inline long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace o5::test
