// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the remote view says to a person, in one place (the plain C++ part;
// the windows translate their own texts).

#include <string_view>

namespace o5 {

inline constexpr std::string_view kBadBrokerText =
    "Адрес брокера в config.ini не понят (ожидается mqtt://узел[:порт] или mqtts://узел[:порт]): ";
inline constexpr std::string_view kNoBrokerText =
    "Чтобы наблюдать стенд, в config.ini (раздел Options) нужен адрес брокера: Broker=mqtt://узел[:порт]";
inline constexpr std::string_view kBadWorkshopText =
    "Имя мастерской (Workshop) должно состоять из латинских букв, цифр, \"-\" и \"_\": ";
inline constexpr std::string_view kBadBenchText =
    "Имя стенда (Bench) должно состоять из латинских букв, цифр, \"-\" и \"_\": ";

// The link to the broker, as the status area and the timeline say it.
inline constexpr std::string_view kLinkConnectingText = "Брокер: соединение…";
inline constexpr std::string_view kLinkConnectedText = "Брокер: на связи";
inline constexpr std::string_view kLinkRefusedText = "Брокер: отказ — ";
inline constexpr std::string_view kLinkLostText = "Брокер: нет связи — ";
inline constexpr std::string_view kPublishRefusedText = "Брокер: публикация отклонена — ";

}  // namespace o5
