// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a session's timeline, S_….events.tsv, for a person: the one way
// every window reads one. The file lies in a data folder other benches and
// people write too, so it is read as hostile: nothing in it can freeze a
// window or hide itself. It is read whole, once; a file too large, a symbolic
// link (never followed) or anything but a regular file is refused and said; a
// line longer than kTimelineMaxLineBytes is cut, a CR before the line end is
// dropped, control characters (the bidirectional ones among them, which
// would turn a line's text around) are shown by their code, and a line
// without a readable time is counted and said.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LocalTime.h"

namespace o5 {

// "2026-12-07 15:20:03<TAB><text><LF>".
inline constexpr char kTimelineSeparator = '\t';
inline constexpr std::string_view kTimelineLineEnd = "\n";
// A timeline is a few lines a minute; a larger one is not read.
inline constexpr std::size_t kTimelineMaxBytes = 16 * 1024 * 1024;
// The tool writes short lines; anything longer is cut here.
inline constexpr std::size_t kTimelineMaxLineBytes = 4096;

struct TimelineEvent {
  LocalTime when;
  std::string text;
};

struct TimelineReading {
  std::vector<TimelineEvent> events;
  // Lines that are no events: no time at their start, or a time that is no
  // date. Empty lines and a last line cut short (by a writer killed in its
  // middle) are not counted.
  std::size_t skipped = 0;
  // Why the file was not read, for a person; empty when it was read or is
  // not there (a session kept by an earlier version has none).
  std::string problem;
  // What a window shows beside the events: the problem, else "Пропущено
  // строк: N" when lines were skipped, else nothing.
  std::string Note() const;
};

// The timeline's text, as read from its file.
TimelineReading ParseTimelineText(std::string_view content);
// The timeline at `path`.
TimelineReading ReadTimeline(const std::string& path);

}  // namespace o5
