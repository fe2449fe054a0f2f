// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartReadout.h"

#include "heater/TextTranslation.h"

#include <algorithm>
#include <cmath>

#include "chart/NumberText.h"

namespace o5 {

namespace {
constexpr const char* kNoValue = "—";
constexpr int kValueDecimals = 2;
}  // namespace

std::optional<double> ValueAt(const SeriesData& series, double x) {
  const std::size_t after = series.UpperBound(x);
  if (after == 0) return std::nullopt;
  return series.Y(after - 1);
}

Readout ReadAt(const ChartModel& model, double x) {
  Readout r;
  r.x = x;
  const std::optional<double> a = model.CursorX(Cursor::kA);
  const std::optional<double> b = model.CursorX(Cursor::kB);
  if (a && b) r.dt = *b - *a;
  for (int i = 0; i < ChartModel::kSeriesCount; ++i) {
    if (!model.Style(i).visible) continue;
    ReadoutLine line;
    line.series = i;
    line.value = ValueAt(model.Series(i), x);
    if (r.dt) {
      const std::optional<double> va = ValueAt(model.Series(i), *a);
      const std::optional<double> vb = ValueAt(model.Series(i), *b);
      if (va && vb) line.delta = *vb - *va;
    }
    r.lines.push_back(line);
  }
  return r;
}

int TimeDecimals(double columnWidth) {
  if (!(columnWidth < 1)) return 0;
  return columnWidth > 0 ? std::min(3, static_cast<int>(std::ceil(-std::log10(columnWidth)))) : 3;
}

std::string FormatReadoutNumber(double value, int decimals) { return NumberText(value, decimals); }

std::vector<std::string> ReadoutLines(const ChartModel& model, const Readout& readout, int decimals) {
  std::vector<std::string> lines;
  //: The cursor's time, %1 seconds.
  lines.push_back(WithArgument(Translate("ChartReadout", "t = %1 с"), FormatReadoutNumber(readout.x, decimals)));
  if (readout.dt)
    //: The time between the two cursors, %1 seconds.
    lines.push_back(WithArgument(Translate("ChartReadout", "Δt = %1 с"), FormatReadoutNumber(*readout.dt, decimals)));
  for (const ReadoutLine& l : readout.lines) {
    std::string text = model.Name(l.series) + ": ";
    text += l.value ? FormatReadoutNumber(*l.value, kValueDecimals) : kNoValue;
    if (readout.dt) text += "  Δ = " + (l.delta ? FormatReadoutNumber(*l.delta, kValueDecimals) : std::string(kNoValue));
    lines.push_back(std::move(text));
  }
  return lines;
}

}  // namespace o5
