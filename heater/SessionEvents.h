// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happens during a session, each event told once as it happens, in
// Russian: the port opened and closed, the device lost and back, the commands
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

#include "heater/RunSplitter.h"

namespace o5 {

// The events' texts that are fixed.
inline constexpr std::string_view kEventPortClosed = "Порт закрыт";
inline constexpr std::string_view kEventDeviceLost = "Устройство порта потеряно, порт закрыт";
inline constexpr std::string_view kEventStart = "Пуск";
inline constexpr std::string_view kEventStop = "Стоп";
inline constexpr std::string_view kEventVersion = "Версия ПО";
inline constexpr std::string_view kEventReadoutStarted = "Чтение черного ящика начато";
inline constexpr std::string_view kEventReadoutCut = "Чтение черного ящика прервано";
inline constexpr std::string_view kEventRunBegan = "Работа началась";
inline constexpr std::string_view kEventDataAgain = "Данные от отопителя снова поступают";

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

  // Telemetry: the modes window's caption ("21 - Прогрев") of each cycle, and
  // the run timer, mode and fault code of each cycle once its mode is known.
  void ModeShown(std::string_view caption);
  void Cycle(int32_t runTimer, int mode, int faultCode);
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
  RunSplitter runs_;          // of this opening
  bool cycleSeen_ = false;    // a cycle came since the opening
  int32_t lastRunTimer_ = 0;  // of the run's latest cycle
  bool silent_ = false;
  bool readout_ = false;  // a readout runs that has not completed
};

// "Режим 21 - Прогрев".
std::string ModeEventText(std::string_view caption);
// "Работа закончилась, длительность 0:05:12".
std::string RunEndedText(int32_t seconds);

}  // namespace o5
