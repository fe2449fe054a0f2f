// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/ModeNames.h"

namespace o5 {

const std::array<std::string_view, kModeCount> ModeNames = {
    "Не работает", "Проверка перед пуском", "Охлаждение", "Розжиг1",   "Розжиг2",
    "Розжиг3",     "Розжиг4",               "Розжиг5",    "Розжиг6",   "Розжиг7",
    "Розжиг8",     "Розжиг9",               "Розжиг10",   "Розжиг11",  "Розжиг12",
    "Розжиг13",    "Розжиг14",              "Розжиг15",   "Розжиг16",  "Розжиг17",
    "Розжиг18",    "Прогрев",               "Сильный",    "Малый",     "Выжигание",
    "Предпродувка", "Продувка",             "Ждущий",
};

std::string_view ModeName(int mode) {
  if (mode < 0 || mode >= kModeCount) return kUnknownModeName;
  return ModeNames[static_cast<size_t>(mode)];
}

std::string ModeCaptionText(int mode) {
  std::string text = std::to_string(mode);
  text += kModeCaptionSeparator;
  text += ModeName(mode);
  return text;
}

}  // namespace o5
