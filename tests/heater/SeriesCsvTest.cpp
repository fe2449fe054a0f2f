// SPDX-License-Identifier: GPL-3.0-or-later
// The series CSV's last column: the clock time of each row, where the run's
// start is known.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "heater/SeriesCsv.h"
#include "heater/SessionRuns.h"

namespace o5 {
namespace {

std::vector<std::string> Lines(const std::string& csv) {
  std::vector<std::string> lines;
  std::istringstream in(csv);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(SeriesCsv, TheLastColumnIsTheClockTimeOfEachRowWhereTheStartIsKnown) {
  const WallSeconds morning = WallSecondsOf(2026, 12, 8, 9, 58, 58);
  const WallSeconds evening = WallSecondsOf(2026, 12, 8, 23, 59, 50);
  struct Case {
    const char* what;
    std::optional<WallSeconds> start;
    std::vector<std::pair<double, double>> first, second;
    std::vector<std::string> rows;  // after the header
  };
  const std::vector<Case> cases = {
      {"no clock: the column stays, empty", std::nullopt, {{0, 1}, {1, 2}}, {{1, 5}},
       {"0;1;;", "1;2;5;"}},
      {"the start plus the run's second", morning, {{0, 1}, {2, 2.5}}, {{2, 7}},
       {"0;1;;08.12.2026 09:58:58", "2;2,5;7;08.12.2026 09:59:00"}},
      {"two points at one second: each row its time", morning, {{5, 1}, {5, 2}}, {},
       {"5;1;;08.12.2026 09:59:03", "5;2;;08.12.2026 09:59:03"}},
      {"past midnight the date goes on", evening, {{9, 1}, {10, 1}, {11, 1}}, {},
       {"9;1;;08.12.2026 23:59:59", "10;1;;09.12.2026 00:00:00", "11;1;;09.12.2026 00:00:01"}},
      {"a run past the timer's 65,535 s", morning, {{65536, 1}}, {},
       {"65536;1;;09.12.2026 04:11:14"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string> lines =
        Lines(SeriesCsv("Время, с", {{"A", c.first}, {"B", c.second}}, c.start));
    ASSERT_EQ(lines.size(), c.rows.size() + 1);
    EXPECT_EQ(lines[0], "\xEF\xBB\xBF" "Время, с;A;B;Время");
    for (std::size_t k = 0; k < c.rows.size(); ++k) EXPECT_EQ(lines[k + 1], c.rows[k]);
  }
}

}  // namespace
}  // namespace o5
