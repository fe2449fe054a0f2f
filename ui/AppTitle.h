// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's title: the main window's caption and the caption of every
// message box the tool shows, the tool's name and its version.

#include <QString>

namespace o5 {

// The title as the tool shows it without a catalog (Russian, the texts'
// source language).
extern const char* const kAppTitle;

// The title in the tool's language: "Ортан5 Диагностика 1.0.2".
QString AppTitle();

}  // namespace o5
