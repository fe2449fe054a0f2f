// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happens during a session, each event told once as it happens, in the
// tool's language: the port opened and closed, the device lost and back, the commands
// pressed, the black-box readout, the heater's mode, its faults and runs, the
// line falling silent and coming back. It is one stream: the console's lines
// pass through it too (Tell), so that the session's timeline holds every line
// the console showed, and never disagrees with it; the events the console
// has no line for are only kept (Note).
//
// Plain C++: the main window hands it what it notices, and the stream's one
// output keeps each event (in the session's timeline) before anything shows
// it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "heater/SessionRuns.h"
#include "heater/TextTranslation.h"

namespace o5 {

// The events' texts that are fixed, as written in the source language; the
// timeline gets them in the tool's language (EventText), and its readers know
// them in any language (WrittenEvent).
inline constexpr std::string_view kEventPortClosed = O5_TEXT("SessionEvents", "Порт закрыт");
inline constexpr std::string_view kEventDeviceLost = O5_TEXT("SessionEvents", "Устройство порта потеряно, порт закрыт");
inline constexpr std::string_view kEventStart = O5_TEXT("SessionEvents", "Пуск");
inline constexpr std::string_view kEventStop = O5_TEXT("SessionEvents", "Стоп");
inline constexpr std::string_view kEventVersion = O5_TEXT("SessionEvents", "Версия ПО");
inline constexpr std::string_view kEventReadoutStarted = O5_TEXT("SessionEvents", "Чтение черного ящика начато");
inline constexpr std::string_view kEventReadoutCut = O5_TEXT("SessionEvents", "Чтение черного ящика прервано");
inline constexpr std::string_view kEventRunBegan = O5_TEXT("SessionEvents", "Работа началась");
// A run found going on: the heater ran before its first cycle was seen (the
// port opened on a running heater, a lost stretch of line, another heater).
// The run began its run timer's seconds before this event's time.
inline constexpr std::string_view kEventRunFound = O5_TEXT("SessionEvents", "Отопитель уже работает");
inline constexpr std::string_view kEventDataAgain = O5_TEXT("SessionEvents", "Данные от отопителя снова поступают");

// One of the fixed events above in the tool's language.
std::string EventText(std::string_view event);
// One of the fixed events above as its readers know it in any language.
WrittenText WrittenEvent(std::string_view event);

class SessionEvents {
 public:
  using Output = std::function<void(std::string_view text)>;
  explicit SessionEvents(Output keep);

  // A line the console shows, before it shows it (an empty line is no event).
  void Tell(std::string_view line);
  // An event the console has no line for.
  void Note(std::string_view text);

  // The port opened: a new session, whose mode, fault and run are told
  // afresh. After a loss, the device is back.
  void PortOpened(std::string_view name);
  // The port closed: by the user, unless the device was lost meanwhile.
  void DeviceLost();
  void PortClosed();

  // Telemetry: the modes window's caption ("21 - Прогрев") of each cycle.
  // A fault and its end are told by the console's lines.
  void ModeShown(std::string_view caption);
  // The session's model of runs decided a cycle: runs begin and end where it
  // says, and a run's length is its. Each opening's timeline notes, at the
  // clock time of the first cycle it saw of each run, whether the run began
  // there ("Работа началась") or was found going on ("Отопитель уже
  // работает"), so that its journal opened again finds each run's start.
  void RunCycle(CycleKind kind, const SessionRuns& runs);
  // The console said the line is silent; any frame afterwards ends it.
  void Silent();
  void FrameArrived();

  // A readout began; it ends completed (with the heater's serial number) or
  // cut.
  void ReadoutStarted();
  void ReadoutCompleted(uint32_t serial);
  void ReadoutEnded();
  // A readout from its start to its end, however it ends (an error included).
  class Readout {
   public:
    explicit Readout(SessionEvents& events) : events_(events) { events_.ReadoutStarted(); }
    ~Readout() { events_.ReadoutEnded(); }
    Readout(const Readout&) = delete;
    Readout& operator=(const Readout&) = delete;

   private:
    SessionEvents& events_;
  };

 private:
  Output keep_;
  bool lost_ = false;         // the device was lost since the last opening
  bool closedByLoss_ = false; // the current close is the loss's
  std::string mode_;          // the caption last told
  std::size_t endsTold_ = 0;  // the model's runs whose end was told (or passed)
  bool runTold_ = false;      // the run going on was told in this opening
  bool silent_ = false;
  bool readout_ = false;  // a readout runs that has not completed
};

// "Режим 21 - Прогрев", of the caption as shown.
std::string ModeEventText(std::string_view caption);
// "Работа закончилась, длительность 0:05:12".
std::string RunEndedText(int32_t seconds);

}  // namespace o5
