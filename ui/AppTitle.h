// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's title: the main window's caption and the caption of every
// message box the tool shows.

#include <QtGlobal>

namespace o5 {

inline constexpr const char* kAppTitle = QT_TRANSLATE_NOOP("AppTitle", "Ортан5 Диагностика 1.0.2");

}  // namespace o5
