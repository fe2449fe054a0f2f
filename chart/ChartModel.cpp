// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/ChartModel.h"

#include <algorithm>
#include <cmath>

namespace o5 {

namespace {
// What a new chart shows before anybody sets its axes.
constexpr double kInitialXMax = 200;
constexpr double kInitialXStep = 20;
constexpr double kInitialYMax = 700;
constexpr double kInitialYStep = 50;
}  // namespace

ChartModel::ChartModel() : left_(0, kInitialYMax, kInitialYStep), bottom_(0, kInitialXMax, kInitialXStep) {
  left_.SetChangeHandler([this] { Changed(); });
  bottom_.SetChangeHandler([this] { Changed(); });
}

void ChartModel::AddPoint(int index, double x, double y) {
  if (!ValidSeries(index)) return;
  if (series_[static_cast<std::size_t>(index)].Add(x, y)) Changed();
}

void ChartModel::ClearSeries(int index) {
  if (!ValidSeries(index)) return;
  series_[static_cast<std::size_t>(index)].Clear();
  Changed();
}

void ChartModel::SetColor(int index, std::uint32_t rgb) {
  if (!ValidSeries(index)) return;
  styles_[static_cast<std::size_t>(index)].rgb = rgb & 0xFFFFFFu;
  Changed();
}

void ChartModel::SetWidth(int index, int width) {
  if (!ValidSeries(index)) return;
  styles_[static_cast<std::size_t>(index)].width = std::clamp(width, kMinLineWidth, kMaxLineWidth);
  Changed();
}

void ChartModel::SetVisible(int index, bool visible) {
  if (!ValidSeries(index)) return;
  styles_[static_cast<std::size_t>(index)].visible = visible;
  Changed();
}

void ChartModel::SetName(int index, std::string name) {
  if (!ValidSeries(index)) return;
  names_[static_cast<std::size_t>(index)] = std::move(name);
}

void ChartModel::SetCursor(Cursor which, double x) {
  if (!std::isfinite(x)) return;
  cursors_[static_cast<std::size_t>(which)] = x;
  Changed();
}

void ChartModel::ClearCursors() {
  cursors_.fill(std::nullopt);
  Changed();
}

void ChartModel::SetTimeline(ChartTimeline timeline) {
  timeline_ = std::move(timeline);
  Changed();
}

void ChartModel::SetTimelineShown(bool shown) {
  timeline_.shown = shown;
  Changed();
}

void ChartModel::Changed() {
  if (changed_) changed_();
}

}  // namespace o5
