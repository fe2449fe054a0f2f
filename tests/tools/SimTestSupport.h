// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers shared by the tests that run the simulator as a process.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/Simulator.h"
#include "tests/tools/SlaveLine.h"

namespace o5::test {

using namespace std::chrono_literals;

inline std::string HexOf(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

// A frame with its checksum worked out here, independently of the simulator's code.
inline std::vector<std::uint8_t> WithChecksum(std::vector<std::uint8_t> first9) {
  unsigned sum = 0;
  for (std::uint8_t b : first9) sum += b;
  first9.push_back(static_cast<std::uint8_t>(sum & 0xFF));
  return first9;
}

// User plus system CPU time the process has used, in seconds.
inline double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long long utime = 0, stime = 0;
  // After the command name: state is field 3; utime and stime are fields 14 and 15.
  for (int index = 3; index <= 15 && fields >> field; ++index) {
    if (index == 14) utime = std::stoll(field);
    if (index == 15) stime = std::stoll(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// A simulator with the tool's end of its device opened, once the simulator has noticed.
struct SimWithLine {
  explicit SimWithLine(const std::vector<std::string>& options)
      : sim(std::make_unique<Simulator>(options)), line(std::make_unique<SlaveLine>(sim->DevicePath())) {
    if (!sim->WaitForLog("LINE", "open: ", 5s)) ADD_FAILURE() << "the simulator did not notice the open device";
  }
  std::unique_ptr<Simulator> sim;
  std::unique_ptr<SlaveLine> line;
};

// Tests that talk to the simulator one request at a time: no pacing and no
// telemetry unless `extra` asks otherwise.
class SimLineTest : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> extra = {}) {
    std::vector<std::string> options{"--no-pacing", "--no-telemetry"};
    options.insert(options.end(), extra.begin(), extra.end());
    s = std::make_unique<SimWithLine>(options);
  }
  Simulator& sim() { return *s->sim; }
  SlaveLine& line() { return *s->line; }
  std::unique_ptr<SimWithLine> s;
};

}  // namespace o5::test
