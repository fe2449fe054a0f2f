// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/ModeNames.h"

#include "heater/TextTranslation.h"

namespace o5 {

const std::array<std::string_view, kModeCount> ModeNames = {
    O5_TEXT("ModeNames", "Не работает"), O5_TEXT("ModeNames", "Проверка перед пуском"),
    O5_TEXT("ModeNames", "Охлаждение"),  O5_TEXT("ModeNames", "Розжиг1"),
    O5_TEXT("ModeNames", "Розжиг2"),     O5_TEXT("ModeNames", "Розжиг3"),
    O5_TEXT("ModeNames", "Розжиг4"),     O5_TEXT("ModeNames", "Розжиг5"),
    O5_TEXT("ModeNames", "Розжиг6"),     O5_TEXT("ModeNames", "Розжиг7"),
    O5_TEXT("ModeNames", "Розжиг8"),     O5_TEXT("ModeNames", "Розжиг9"),
    O5_TEXT("ModeNames", "Розжиг10"),    O5_TEXT("ModeNames", "Розжиг11"),
    O5_TEXT("ModeNames", "Розжиг12"),    O5_TEXT("ModeNames", "Розжиг13"),
    O5_TEXT("ModeNames", "Розжиг14"),    O5_TEXT("ModeNames", "Розжиг15"),
    O5_TEXT("ModeNames", "Розжиг16"),    O5_TEXT("ModeNames", "Розжиг17"),
    O5_TEXT("ModeNames", "Розжиг18"),    O5_TEXT("ModeNames", "Прогрев"),
    O5_TEXT("ModeNames", "Сильный"),     O5_TEXT("ModeNames", "Малый"),
    O5_TEXT("ModeNames", "Выжигание"),   O5_TEXT("ModeNames", "Предпродувка"),
    O5_TEXT("ModeNames", "Продувка"),    O5_TEXT("ModeNames", "Ждущий"),
};

std::string_view ModeName(int mode) {
  if (mode < 0 || mode >= kModeCount) return kUnknownModeName;
  return ModeNames[static_cast<size_t>(mode)];
}

std::string ModeNameText(int mode) {
  // The table's names are literals: each view ends where its literal does.
  return Translate("ModeNames", ModeName(mode).data());
}

std::string ModeCaptionText(int mode) {
  std::string text = std::to_string(mode);
  text += kModeCaptionSeparator;
  text += ModeNameText(mode);
  return text;
}

}  // namespace o5
