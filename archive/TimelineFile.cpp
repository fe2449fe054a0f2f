// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/TimelineFile.h"

#include "heater/TextTranslation.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "settings/UserFile.h"

namespace o5 {

namespace {

constexpr std::string_view kCutMark = "…";
// A text of this file in the tool's language.
std::string T(std::string_view source) { return Translate("TimelineFile", source.data()); }

constexpr const char* kSkippedCaption = O5_TEXT("TimelineFile", "Пропущено строк: %1");

// The length of the UTF-8 sequence starting with `lead`; 1 for a byte that
// starts none (it is passed on as it is, and shown as the replacement sign).
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// A control character, or a character that changes the direction of the
// text after it (the embeddings, overrides and isolates, and the marks).
bool HiddenCharacter(char32_t c) {
  return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

char32_t Decode(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[i])); };
  switch (s.size()) {
    case 1: return b(0);
    case 2: return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3: return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    default: return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
  }
}

// The event's text as a person may see it: at most kTimelineMaxLineBytes of
// the line, whole characters only, every hidden character shown by its code.
std::string ShownText(std::string_view text, bool cut) {
  std::string shown;
  shown.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
    if (at + length > text.size()) {
      // A character the cut went through is left out.
      if (cut) break;
      length = 1;
    }
    const std::string_view sequence = text.substr(at, length);
    const char32_t c = Decode(sequence);
    if (HiddenCharacter(c)) {
      char code[16];
      std::snprintf(code, sizeof code, "[U+%04X]", static_cast<unsigned>(c));
      shown += code;
    } else {
      shown.append(sequence);
    }
    at += length;
  }
  if (cut) shown.append(kCutMark);
  return shown;
}

}  // namespace

std::string TimelineReading::Note() const {
  if (!problem.empty()) return problem;
  if (skipped > 0) return WithArgument(T(kSkippedCaption), std::to_string(skipped));
  return {};
}

TimelineReading ParseTimelineText(std::string_view content) {
  TimelineReading reading;
  std::size_t at = 0;
  // A last line without its line end is one a writer was killed in.
  for (std::size_t end; (end = content.find(kTimelineLineEnd, at)) != std::string_view::npos;
       at = end + kTimelineLineEnd.size()) {
    std::string_view line = content.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const bool cut = line.size() > kTimelineMaxLineBytes;
    if (cut) line = line.substr(0, kTimelineMaxLineBytes);
    // "YYYY-MM-DD HH:MM:SS" is a file stamp with other separators.
    std::optional<LocalTime> when;
    if (line.size() > kFileStampLength && line[kFileStampLength] == kTimelineSeparator) {
      std::string stamp(line.substr(0, kFileStampLength));
      if (stamp[10] == ' ' && stamp[13] == ':' && stamp[16] == ':') {
        stamp[10] = '_', stamp[13] = '-', stamp[16] = '-';
        when = ParseFileStamp(stamp);
      }
    }
    if (!when) {
      ++reading.skipped;
      continue;
    }
    reading.events.push_back({*when, ShownText(line.substr(kFileStampLength + 1), cut)});
  }
  return reading;
}

TimelineReading ReadTimeline(const std::string& path) {
  TimelineReading reading;
  // Looked at without following a link: a link in a shared folder may point
  // anywhere, a device or a FIFO among them.
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT)
      //: The timeline file %1 cannot be read, for the system's reason %2.
      reading.problem =
          WithArgument(Translate("TimelineFile", "Файл событий \"%1\" не читается: %2"), {path, SystemReason(errno)});
    return reading;
  }
  if (S_ISLNK(st.st_mode)) {
    reading.problem = WithArgument(
        Translate("TimelineFile", "Файл событий \"%1\" — символическая ссылка: события не показаны"), path);
    return reading;
  }
  if (!S_ISREG(st.st_mode)) {
    reading.problem =
        WithArgument(Translate("TimelineFile", "Файл событий \"%1\" — не обычный файл: события не показаны"), path);
    return reading;
  }
  const auto tooLarge = [&] {
    //: The timeline file %1 is larger than %2 MiB.
    reading.problem = WithArgument(Translate("TimelineFile", "Файл событий \"%1\" больше %2 МиБ: события не показаны"),
                                   {path, std::to_string(kTimelineMaxBytes / (1024 * 1024))});
  };
  if (static_cast<unsigned long long>(st.st_size) > kTimelineMaxBytes) {
    tooLarge();
    return reading;
  }
  std::string content;
  try {
    content = LoadUserFile(path, kTimelineMaxBytes);
  } catch (const FileError& e) {
    // Grown past the limit meanwhile, or replaced by something else.
    struct stat now;
    if (::lstat(path.c_str(), &now) == 0 && S_ISREG(now.st_mode) &&
        static_cast<unsigned long long>(now.st_size) > kTimelineMaxBytes)
      tooLarge();
    else
      reading.problem = e.what();
    return reading;
  }
  reading = ParseTimelineText(content);
  return reading;
}

}  // namespace o5
