// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/SessionEvents.h"

#include <cstdio>


namespace o5 {

SessionEvents::SessionEvents(Output keep) : keep_(std::move(keep)) {}

void SessionEvents::Tell(std::string_view line) {
  if (!line.empty()) keep_(line);
}

void SessionEvents::Note(std::string_view text) { keep_(text); }

void SessionEvents::PortOpened(std::string_view name) {
  const std::string port(name);
  Note(lost_ ? "Устройство снова подключено, порт " + port + " открыт" : "Порт " + port + " открыт");
  lost_ = false;
  closedByLoss_ = false;
  mode_.clear();
  runTold_ = false;
  silent_ = false;
}

void SessionEvents::DeviceLost() {
  Note(kEventDeviceLost);
  lost_ = true;
  closedByLoss_ = true;
}

void SessionEvents::PortClosed() {
  if (!closedByLoss_) Note(kEventPortClosed);
  closedByLoss_ = false;
}

std::string ModeEventText(std::string_view caption) { return "Режим " + std::string(caption); }

std::string RunEndedText(int32_t seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return std::string("Работа закончилась, длительность ") + text;
}

void SessionEvents::ModeShown(std::string_view caption) {
  if (caption == mode_) return;
  mode_ = caption;
  Note(ModeEventText(caption));
}

void SessionEvents::RunCycle(CycleKind kind, const SessionRuns& runs) {
  const std::vector<SessionRun>& all = runs.Runs();
  for (; endsTold_ < all.size() && all[endsTold_].ended; ++endsTold_)
    Note(RunEndedText(static_cast<int32_t>(all[endsTold_].length)));
  if (kind == CycleKind::kStanding) return;
  if (kind == CycleKind::kRunBegins) runTold_ = false;
  if (runTold_) return;
  runTold_ = true;
  // A run that goes on is one this opening found going on.
  Note(kind == CycleKind::kRunBegins && !all.back().foundGoingOn ? kEventRunBegan : kEventRunFound);
}

void SessionEvents::Silent() { silent_ = true; }

void SessionEvents::FrameArrived() {
  if (!silent_) return;
  silent_ = false;
  Note(kEventDataAgain);
}

void SessionEvents::ReadoutStarted() {
  Note(kEventReadoutStarted);
  readout_ = true;
}

void SessionEvents::ReadoutCompleted(uint32_t serial) {
  Note("Черный ящик прочитан, серийный номер " + std::to_string(serial));
  readout_ = false;
}

void SessionEvents::ReadoutEnded() {
  if (readout_) Note(kEventReadoutCut);
  readout_ = false;
}

}  // namespace o5
