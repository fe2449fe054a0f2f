// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "heater/SessionEvents.h"

namespace o5 {
namespace {

using ::testing::ElementsAre;

class SessionEventsTest : public ::testing::Test {
 protected:
  std::vector<std::string> Take() { return std::exchange(kept_, {}); }
  // A cycle as the main window tells it: its fault code, then what the
  // session's model of runs decided.
  void Cycle(int32_t runTimer, int mode, int faultCode) {
    const CycleKind kind = runs_.Take({runTimer, mode, faultCode, std::nullopt});
    events_.RunCycle(kind, runs_);
  }
  std::vector<std::string> kept_;
  SessionEvents events_{[this](std::string_view text) { kept_.emplace_back(text); }};
  SessionRuns runs_;
};

TEST_F(SessionEventsTest, EachChangeIsToldOnceAndTheConsolesLinesAreKeptAsShown) {
  events_.PortOpened("/dev/ttyUSB0");
  Cycle(0, 0, 0);
  events_.ModeShown("0 - Выключен");
  events_.ModeShown("0 - Выключен");
  events_.Note(kEventStart);
  Cycle(1, 1, 0);
  Cycle(2, 1, 0);
  Cycle(3, 21, 0);
  events_.ModeShown("21 - Прогрев");
  events_.Tell("Неисправность 13: Попытки запуска исчерпаны");
  Cycle(4, 21, 13);
  Cycle(5, 21, 13);
  events_.Tell("");
  events_.Tell("Неисправность снята");
  Cycle(3725, 21, 0);
  Cycle(0, 0, 0);
  EXPECT_THAT(Take(), ElementsAre("Порт /dev/ttyUSB0 открыт", "Режим 0 - Выключен", "Пуск", "Работа началась",
                                  "Режим 21 - Прогрев", "Неисправность 13: Попытки запуска исчерпаны",
                                  "Неисправность снята", "Работа закончилась, длительность 1:02:05"));
  // As the chart splits them: a heater found running, then a run timer that
  // falls while the heater runs (a restart).
  Cycle(100, 21, 0);
  Cycle(1, 1, 0);
  Cycle(2, 1, 0);
  EXPECT_THAT(Take(), ElementsAre("Отопитель уже работает", "Работа закончилась, длительность 0:01:40",
                                  "Работа началась"));
}

TEST_F(SessionEventsTest, AnOpeningFindsTheHeaterAsItIsAndTellsItsModeAfresh) {
  events_.PortOpened("COM1");
  events_.ModeShown("21 - Прогрев");
  Cycle(500, 21, 0);
  Cycle(501, 21, 0);
  events_.PortClosed();
  events_.PortOpened("COM1");
  events_.ModeShown("21 - Прогрев");
  Cycle(503, 21, 0);
  // Each opening's timeline notes the run it found going on, for the start
  // of the run its journal holds: the same run, told again after the opening.
  EXPECT_THAT(Take(), ElementsAre("Порт COM1 открыт", "Режим 21 - Прогрев", "Отопитель уже работает", "Порт закрыт",
                                  "Порт COM1 открыт", "Режим 21 - Прогрев", "Отопитель уже работает"));
}

TEST_F(SessionEventsTest, ALostDeviceIsToldOnceAndItsReturnNamesThePort) {
  events_.PortOpened("/dev/ttyUSB0");
  events_.DeviceLost();
  events_.PortClosed();
  events_.PortOpened("/dev/ttyUSB0");
  events_.PortClosed();
  EXPECT_THAT(Take(), ElementsAre("Порт /dev/ttyUSB0 открыт", "Устройство порта потеряно, порт закрыт",
                                  "Устройство снова подключено, порт /dev/ttyUSB0 открыт", "Порт закрыт"));
}

TEST_F(SessionEventsTest, SilenceAndAReadoutEachEndOnce) {
  events_.FrameArrived();
  events_.Tell("Нет данных от отопителя: проверьте выбор порта и подключение.");
  events_.Silent();
  events_.FrameArrived();
  events_.FrameArrived();
  {
    const SessionEvents::Readout readout(events_);
    events_.ReadoutCompleted(658188);
  }
  {
    const SessionEvents::Readout readout(events_);
    events_.Tell("Нет связи с отопителем.");
  }
  EXPECT_THAT(Take(), ElementsAre("Нет данных от отопителя: проверьте выбор порта и подключение.",
                                  "Данные от отопителя снова поступают", "Чтение черного ящика начато",
                                  "Черный ящик прочитан, серийный номер 658188", "Чтение черного ящика начато",
                                  "Нет связи с отопителем.", "Чтение черного ящика прервано"));
}

}  // namespace
}  // namespace o5
