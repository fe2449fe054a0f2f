// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The emblem of the main window and the application icon, drawn at start-up.

#include <QIcon>
#include <QPixmap>

namespace o5 {

QPixmap MakeEmblem(int width, int height);  // transparent background
QIcon MakeAppIcon();

}  // namespace o5
