// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/EventLog.h"

#include <string>

#include "tools/heatersim/HexText.h"

namespace o5::sim {

void EventLog::Line(std::string_view tag, std::string_view text) {
  const double seconds = std::chrono::duration<double>(Clock::now() - origin_).count();
  std::string line(32, '\0');
  const int length = std::snprintf(line.data(), line.size(), "%8.3f ", seconds);
  line.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  line.append(tag);
  if (!text.empty()) {
    line += ' ';
    // Whatever arrives from outside (a file name, a mistyped command) must not break the
    // one-event-per-line rule.
    for (char c : text) line += (c == '\n' || c == '\r') ? ' ' : c;
  }
  line += '\n';
  // One write per line keeps lines whole when the log is a pipe read by a test.
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

void EventLog::Bytes(std::string_view tag, const std::uint8_t* bytes, std::size_t count) {
  Line(tag, ToHex(bytes, count));
}

}  // namespace o5::sim
