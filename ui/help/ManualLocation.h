// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the user's manual is: beside the executable in a build (doc/), in the
// documentation folder of the installation for an installed tool. The manual
// is Russian, or English on a desktop whose language is English.

#include <QString>
#include <QStringList>

namespace o5 {

inline constexpr const char* kManualFileName = "manual.ru.html";
inline constexpr const char* kEnglishManualFileName = "manual.en.html";

// The file name of the manual in the desktop's language, chosen from the same
// language list as the port's catalogs: the first of its languages that is
// English or Russian decides; Russian when none is.
QString ManualFileName();

// The folders looked in, in order.
QStringList ManualFolders();
// The full path of the manual in the desktop's language, else of the Russian
// one; empty when none of the folders holds either.
QString ManualPath();

}  // namespace o5
