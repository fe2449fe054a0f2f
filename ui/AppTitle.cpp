// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppTitle.h"

#include <QCoreApplication>

namespace o5 {

// The version stands outside the translated text, so that a new version
// needs no new translation.
const char* const kAppTitle = "Ортан5 Диагностика " O5_VERSION;

QString AppTitle() {
  return QCoreApplication::translate("AppTitle", "Ортан5 Диагностика %1").arg(QStringLiteral(O5_VERSION));
}

}  // namespace o5
