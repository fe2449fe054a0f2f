// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/SessionEvents.h"

#include <cstdio>

namespace o5 {

// The events' context in the catalogs: that of their marks in the header.
constexpr const char* kContext = "SessionEvents";

std::string EventText(std::string_view event) { return Translate(kContext, event.data()); }

WrittenText WrittenEvent(std::string_view event) { return WrittenText(kContext, event.data()); }

SessionEvents::SessionEvents(Output keep) : keep_(std::move(keep)) {}

void SessionEvents::Tell(std::string_view line) {
  if (!line.empty()) keep_(line);
}

void SessionEvents::Note(std::string_view text) { keep_(text); }

void SessionEvents::PortOpened(std::string_view name) {
  Note(WithArgument(lost_ ? Translate("SessionEvents", "Устройство снова подключено, порт %1 открыт")
                          : Translate("SessionEvents", "Порт %1 открыт"),
                    name));
  lost_ = false;
  closedByLoss_ = false;
  mode_.clear();
  runTold_ = false;
  silent_ = false;
}

void SessionEvents::DeviceLost() {
  Note(EventText(kEventDeviceLost));
  lost_ = true;
  closedByLoss_ = true;
}

void SessionEvents::PortClosed() {
  if (!closedByLoss_) Note(EventText(kEventPortClosed));
  closedByLoss_ = false;
}

std::string ModeEventText(std::string_view caption) {
  return WithArgument(Translate("SessionEvents", "Режим %1"), caption);
}

std::string RunEndedText(int32_t seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return WithArgument(Translate("SessionEvents", "Работа закончилась, длительность %1"), text);
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
  Note(EventText(kind == CycleKind::kRunBegins && !all.back().foundGoingOn ? kEventRunBegan : kEventRunFound));
}

void SessionEvents::Silent() { silent_ = true; }

void SessionEvents::FrameArrived() {
  if (!silent_) return;
  silent_ = false;
  Note(EventText(kEventDataAgain));
}

void SessionEvents::ReadoutStarted() {
  Note(EventText(kEventReadoutStarted));
  readout_ = true;
}

void SessionEvents::ReadoutCompleted(uint32_t serial) {
  Note(WithArgument(Translate("SessionEvents", "Черный ящик прочитан, серийный номер %1"), std::to_string(serial)));
  readout_ = false;
}

void SessionEvents::ReadoutEnded() {
  if (readout_) Note(EventText(kEventReadoutCut));
  readout_ = false;
}

}  // namespace o5
