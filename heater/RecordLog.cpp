// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/RecordLog.h"

#include "heater/TextTranslation.h"

#include <algorithm>

namespace o5 {

namespace {

// The decimal fields of a complete record, in the columns' order: 'e' gives
// three ("WTime", "ModeT", "Error"), 'f' and 'g' four each, 'h' and 'i' three
// each; the fault bytes of 'j' follow as bit strings.
constexpr int kRecordNumbers = 17;
constexpr int kFaultBytes = 4;

enum Frames { kE, kF, kG, kH, kI, kJ };

constexpr uint8_t kKinds[] = {kTelemetryRunTime, kTelemetryFan, kTelemetryOutputs,
                              kTelemetryTemperatures, kTelemetryBoard, kTelemetryFaults,
                              kTelemetryEndOfCycle};

// Reads the line's fields loosely; whether they were written as the decoding
// writes them is settled afterwards by writing them again.
class LineScanner {
 public:
  explicit LineScanner(std::string_view line) : line_(line) {}

  bool Number(int& value) {
    SkipBlanks();
    bool negative = false;
    if (pos_ < line_.size() && line_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    // Six digits hold every value a field can carry and cannot overflow.
    int digits = 0;
    int v = 0;
    while (pos_ < line_.size() && line_[pos_] >= '0' && line_[pos_] <= '9') {
      if (++digits > 6) return false;
      v = v * 10 + (line_[pos_++] - '0');
    }
    if (digits == 0 || !Expect(';')) return false;
    value = negative ? -v : v;
    return true;
  }

  bool Bits(uint8_t& value) {
    if (pos_ + 8 > line_.size()) return false;
    unsigned v = 0;
    for (int i = 0; i < 8; ++i) {
      const char c = line_[pos_++];
      if (c != '0' && c != '1') return false;
      v = v << 1 | unsigned(c - '0');
    }
    value = static_cast<uint8_t>(v);
    return true;
  }

  bool Expect(char c) {
    if (pos_ >= line_.size() || line_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool AtEnd() const { return pos_ == line_.size(); }

 private:
  void SkipBlanks() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  }

  std::string_view line_;
  std::size_t pos_ = 0;
};

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}

bool ScanRecordLine(std::string_view line, RecordFrames& f) {
  LineScanner scan(line);
  int v[kRecordNumbers];
  for (int& value : v)
    if (!scan.Number(value)) return false;
  for (int i = 0; i < kFaultBytes; ++i) {
    if (i > 0 && !scan.Expect(' ')) return false;
    if (!scan.Bits(f[kJ][i])) return false;
  }
  if (!scan.Expect(';') || !scan.AtEnd()) return false;

  // Each field back into the frame byte it came from.
  const int flameKelvin = v[13] + kKelvinOffset;
  if (!InRange(v[0], 0, 0xFFFF) || !InRange(flameKelvin, 0, 0xFFFF)) return false;
  for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16})
    if (!InRange(v[i], 0, 255)) return false;
  for (int i : {11, 12, 14})
    if (!InRange(v[i], -128, 127)) return false;
  auto byte = [](int value) { return static_cast<uint8_t>(value & 0xFF); };
  f[kE] = {byte(v[0] >> 8), byte(v[0]), byte(v[1]), byte(v[2])};
  f[kF] = {byte(v[3]), byte(v[4]), byte(v[5]), byte(v[6])};
  f[kG] = {byte(v[7]), byte(v[8]), byte(v[9]), byte(v[10])};
  f[kH] = {byte(v[11]), byte(v[12]), byte(flameKelvin >> 8), byte(flameKelvin)};
  f[kI] = {byte(v[16]), byte(v[15]), byte(v[14]), 0};
  return true;
}

// Keeps the points and the logged text of one record's decoding.
class RecordSink : public TelemetrySink {
 public:
  void AddPoint(int series, double x, double y) override { points.push_back({series, x, y}); }
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view text) override { logged = text == expected; }

  std::vector<TelemetryPoint> points;
  std::string_view expected;
  bool logged = false;
};

// Decodes the record's frames; true when they log `line` itself.
bool DecodesTo(std::string_view line, const RecordFrames& frames, TelemetryState& state,
               RecordSink& sink) {
  sink.points.clear();
  sink.expected = line;
  sink.logged = false;
  for (const Frame& frame : RecordTelemetryFrames(frames, 0)) DecodeTelemetry(frame, state, sink);
  return sink.logged;
}

// Cooling, pre-purge and purge follow every run that stops: the highest
// number among them says nothing of how far the run got.
bool IsAfterRunMode(int mode) { return mode == 2 || mode == 25 || mode == 26; }

bool Blank(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

std::array<Frame, 7> RecordTelemetryFrames(const RecordFrames& frames, uint8_t control) {
  std::array<Frame, 7> out;
  for (std::size_t k = 0; k < out.size(); ++k) {
    const std::array<uint8_t, 4> data = k < frames.size() ? frames[k] : std::array<uint8_t, 4>{};
    out[k] = BuildRequest(control, 0, 0, kKinds[k], data[0], data[1], data[2], data[3]);
  }
  return out;
}

bool ParseRecordLine(std::string_view line, RecordFrames& frames) {
  line = TrimEnd(line);
  TelemetryState state;
  RecordSink sink;
  return ScanRecordLine(line, frames) && DecodesTo(line, frames, state, sink);
}

RecordLog::RecordLog(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  TelemetryState state;
  RecordSink sink;
  RecordFrames frames;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = TrimEnd(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (Blank(line)) continue;
    if (ScanRecordLine(line, frames) && DecodesTo(line, frames, state, sink))
      Take(state.runTimer, frames, sink.points);
    else
      ++skipped_;
  }
  DescribeRuns();
}

void RecordLog::DescribeRuns() {
  const std::vector<SessionRun>& model = feed_.Runs().Runs();
  for (std::size_t i = 0; i < runs_.size() && i < model.size(); ++i) {
    LogRun& r = runs_[i];
    r.length = model[i].length;
    r.foundGoingOn = model[i].foundGoingOn;
    r.start = model[i].start;
    r.reached = RunReachedText(model[i]);
  }
}

void RecordLog::SetRunStart(std::size_t run, WallSeconds start) {
  if (run >= RunCount()) return;
  feed_.Runs().SetFirstClock(run, start + runs_[run].firstTimer);
  DescribeRuns();
}

void RecordLog::SetRunClocks(std::optional<WallSeconds> opened, const std::vector<TimelineRunMark>& marks) {
  SessionRuns& model = feed_.Runs();
  std::size_t mark = 0;
  for (std::size_t i = 0; i < model.Runs().size(); ++i) {
    const SessionRun& run = model.Runs()[i];
    const bool unmarked = i == 0 && run.foundGoingOn && opened && marks.size() < model.Runs().size() &&
                          (marks.empty() || !marks.front().foundGoingOn);
    if (unmarked)
      model.SetFirstClock(i, *opened);
    else if (mark < marks.size())
      model.SetFirstClock(i, marks[mark++].clock);
  }
  DescribeRuns();
}

// A complete record is one cycle for the splitter, as live: its mode is byte
// 9 of its 'g' frame, its fault code among its points.
void RecordLog::Take(int32_t runTimer, const RecordFrames& frames, const std::vector<TelemetryPoint>& points) {
  ++records_;
  // The points wait for the mode, as the live cycle's 'e' (its fault code)
  // comes before its 'g'.
  feed_.CycleBegins(runTimer);
  for (const TelemetryPoint& p : points) feed_.AddPoint(p.series, p.x, p.y);
  feed_.CycleMode(frames[kG][3]);
  feed_.CycleEnds();
  if (!feed_.Runs().Running()) return;
  LogRun& run = runs_.back();
  if (run.records++ == 0) run.firstTimer = runTimer;
  run.lastTimer = runTimer;
  run.endPoint = points_.size();
  const int mode = frames[kG][3];
  if (IsAfterRunMode(mode))
    run.highestAfterRun = std::max(run.highestAfterRun, mode);
  else
    run.highestRunning = std::max(run.highestRunning, mode);
  run.highestMode = run.highestRunning > 0 ? run.highestRunning : run.highestAfterRun;
  const int fault = frames[kE][3];
  if (fault != 0 && std::find(run.faults.begin(), run.faults.end(), fault) == run.faults.end())
    run.faults.push_back(fault);
}

void RecordLog::BeginRun() {
  LogRun run;
  run.firstPoint = run.endPoint = points_.size();
  runs_.push_back(std::move(run));
}

void RecordLog::AddPoint(int series, double x, double y) { points_.push_back({series, x, y}); }

std::span<const TelemetryPoint> RecordLog::RunPoints(std::size_t run) const {
  if (run >= runs_.size()) return {};
  return std::span<const TelemetryPoint>(points_).subspan(runs_[run].firstPoint,
                                                          runs_[run].endPoint - runs_[run].firstPoint);
}

std::span<const TelemetryPoint> RecordLog::ShownPoints() const {
  return runs_.empty() ? std::span<const TelemetryPoint>() : RunPoints(runs_.size() - 1);
}

std::string RecordLog::Message(bool sayRuns) const {
  std::string text;
  auto line = [&text](const std::string& part) {
    if (!text.empty()) text += '\n';
    text += part;
  };
  const std::size_t runs = runs_.size();
  if (records_ > 0 && runs == 0)
    line(Translate("RecordLog", "Пусков в журнале нет: отопитель в нём только стоит."));
  if (sayRuns && runs > 1)
    //: %1 runs in the journal; the last, the %1th, is shown.
    line(WithArgument(Translate("RecordLog", "Пусков в журнале: %1; показан последний, %1-й."), std::to_string(runs)));
  if (skipped_ > 0)
    line(WithArgument(Translate("RecordLog", "Пропущено неполных строк: %1."), std::to_string(skipped_)));
  return text;
}

}  // namespace o5
