// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/RecordReplay.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace o5::sim {

namespace {

constexpr int kKelvin = 273;
// A record log larger than this is no record log (ten days of records are about 130 MB).
constexpr off_t kMaxLogBytes = off_t{256} << 20;

enum : std::size_t { kE, kF, kG, kH, kI, kJ };

std::uint8_t Byte(long value) { return static_cast<std::uint8_t>(value & 0xFF); }
int Signed(std::uint8_t value) { return static_cast<std::int8_t>(value); }

std::string Bits(std::uint8_t value) {
  std::string bits;
  for (int bit = 7; bit >= 0; --bit) bits += (value >> bit & 1) ? '1' : '0';
  return bits;
}

// Reads "  123" (blanks, an optional minus, one to six digits) as the whole field.
std::optional<long> Number(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  bool negative = false;
  if (!field.empty() && field.front() == '-') {
    negative = true;
    field.remove_prefix(1);
  }
  if (field.empty() || field.size() > 6) return std::nullopt;
  long value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

}  // namespace

std::string FormatRecordLine(const CycleData& c) {
  // The tool's record formats, one per frame kind.
  char text[256];
  const int runTimer = c[kE][0] * 256 + c[kE][1];
  const int flame = c[kH][2] * 256 + c[kH][3] - kKelvin;
  std::snprintf(text, sizeof text,
                "%5d; %5d; %5d; "
                "%5d; %5d; %5d; %5d; "
                "%5d; %5d; %5d; %5d;"
                "%5d; %5d; %5d;"
                "%5d; %5d; %3d;"
                "%s %s %s %s;",
                runTimer, c[kE][2], c[kE][3], c[kF][0], c[kF][1], c[kF][2], c[kF][3], c[kG][0], c[kG][1],
                c[kG][2], c[kG][3], Signed(c[kH][0]), Signed(c[kH][1]), flame, Signed(c[kI][2]), c[kI][1],
                c[kI][0], Bits(c[kJ][0]).c_str(), Bits(c[kJ][1]).c_str(), Bits(c[kJ][2]).c_str(),
                Bits(c[kJ][3]).c_str());
  return text;
}

std::optional<CycleData> ParseRecordLine(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
    line.remove_suffix(1);
  const std::string_view whole = line;
  // Seventeen numbers and the fault bytes, each closed by ";".
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    const std::size_t end = line.find(';');
    if (end == std::string_view::npos || fields.size() == 18) return std::nullopt;
    fields.push_back(line.substr(0, end));
    line.remove_prefix(end + 1);
  }
  if (fields.size() != 18) return std::nullopt;
  long v[17];
  for (std::size_t i = 0; i < 17; ++i) {
    const auto n = Number(fields[i]);
    if (!n) return std::nullopt;
    v[i] = *n;
  }
  const std::string_view bits = fields[17];
  if (bits.size() != 35) return std::nullopt;
  CycleData c{};
  for (std::size_t b = 0; b < 4; ++b) {
    long byte = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      const char ch = bits[b * 9 + k];
      if (ch != '0' && ch != '1') return std::nullopt;
      byte = byte * 2 + (ch - '0');
    }
    if (b < 3 && bits[b * 9 + 8] != ' ') return std::nullopt;
    c[kJ][b] = Byte(byte);
  }
  if (v[0] < 0 || v[0] > 0xFFFF || v[13] + kKelvin < 0 || v[13] + kKelvin > 0xFFFF) return std::nullopt;
  const long kelvin = v[13] + kKelvin;
  c[kE] = {Byte(v[0] >> 8), Byte(v[0]), Byte(v[1]), Byte(v[2])};
  c[kF] = {Byte(v[3]), Byte(v[4]), Byte(v[5]), Byte(v[6])};
  c[kG] = {Byte(v[7]), Byte(v[8]), Byte(v[9]), Byte(v[10])};
  c[kH] = {Byte(v[11]), Byte(v[12]), Byte(kelvin >> 8), Byte(kelvin)};
  c[kI] = {Byte(v[16]), Byte(v[15]), Byte(v[14]), 0};
  // Values out of their byte's range, or written otherwise than the tool writes them, do not
  // come back the same.
  if (FormatRecordLine(c) != whole) return std::nullopt;
  return c;
}

RecordReplay::RecordReplay(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    if (const auto cycle = ParseRecordLine(line))
      cycles_.push_back(*cycle);
    else
      ++skipped_;
  }
}

RecordReplay RecordReplay::Load(const std::string& path) {
  const auto fail = [&path](const std::string& reason) {
    throw std::runtime_error("cannot read the record log " + path + ": " + reason);
  };
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) fail("not a regular file");
  if (st.st_size > kMaxLogBytes) fail("larger than any record log");
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(std::strerror(errno));
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) fail("read error");
  RecordReplay replay(content.str());
  if (replay.Records() == 0) throw std::runtime_error("no complete record in the record log " + path);
  return replay;
}

std::array<Frame, kKindsPerCycle> RecordReplay::NextCycle() {
  const CycleData& c = cycles_[next_++];
  const std::uint8_t kinds[kKindsPerCycle] = {kKindRunTime, kKindFanPump,   kKindPower,     kKindTemperatures,
                                              kKindBoard,   kKindFaults,    kKindEndOfCycle};
  std::array<Frame, kKindsPerCycle> frames;
  for (std::size_t k = 0; k < kKindsPerCycle; ++k)
    frames[k] = BuildFrame(kTelemetryControl, 0, 0, kinds[k], k < c.size() ? c[k] : FrameData{});
  return frames;
}

}  // namespace o5::sim
