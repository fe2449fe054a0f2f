// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the remote view says to a person, in one place (the plain C++ part;
// the windows translate their own texts).

#include <string_view>
#include "heater/TextTranslation.h"

namespace o5 {

// %1 in a text is what was not understood or the reason the broker gave.
//: %1 is the address as config.ini has it.
inline constexpr std::string_view kBadBrokerText = O5_TEXT(
    "RemoteTexts", "Адрес брокера в config.ini не понят (ожидается mqtt://узел[:порт] или mqtts://узел[:порт]): %1");
inline constexpr std::string_view kNoBrokerText = O5_TEXT(
    "RemoteTexts",
    "Чтобы наблюдать стенд, в config.ini (раздел Options) нужен адрес брокера: Broker=mqtt://узел[:порт]");
inline constexpr std::string_view kBadWorkshopText =
    O5_TEXT("RemoteTexts", "Имя мастерской (Workshop) должно состоять из латинских букв, цифр, \"-\" и \"_\": %1");
inline constexpr std::string_view kBadBenchText =
    O5_TEXT("RemoteTexts", "Имя стенда (Bench) должно состоять из латинских букв, цифр, \"-\" и \"_\": %1");

// The link to the broker, as the status area and the timeline say it.
inline constexpr std::string_view kLinkConnectingText = O5_TEXT("RemoteTexts", "Брокер: соединение…");
inline constexpr std::string_view kLinkConnectedText = O5_TEXT("RemoteTexts", "Брокер: на связи");
inline constexpr std::string_view kLinkRefusedText = O5_TEXT("RemoteTexts", "Брокер: отказ — %1");
inline constexpr std::string_view kLinkLostText = O5_TEXT("RemoteTexts", "Брокер: нет связи — %1");
inline constexpr std::string_view kPublishRefusedText = O5_TEXT("RemoteTexts", "Брокер: публикация отклонена — %1");

}  // namespace o5
