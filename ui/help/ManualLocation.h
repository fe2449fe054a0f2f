// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the user's manual is: beside the executable in a build (doc/), in the
// documentation folder of the installation for an installed tool.

#include <QString>
#include <QStringList>

namespace o5 {

inline constexpr const char* kManualFileName = "manual.ru.html";

// The folders looked in, in order.
QStringList ManualFolders();
// The manual's full path; empty when none of the folders holds it.
QString ManualPath();

}  // namespace o5
