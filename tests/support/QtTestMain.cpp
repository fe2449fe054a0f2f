// SPDX-License-Identifier: GPL-3.0-or-later
// gtest main for tests that need the application object. The tests run on the
// offscreen platform unless a display is chosen explicitly, and keep their
// session journals and readouts in a data folder of their own, never in the
// user's. The port's texts show as written, whatever the language of the
// environment and whatever catalogs the system has, unless a test sets
// translation up itself.

#include <libintl.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ErrorDisplay.h"
#include "link/Translation.h"
#include "tests/support/ErrorCapture.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QTemporaryDir dataHome;
  setenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit().constData(), 1);
  o5::TApplication app(argc, argv);
  const std::string noCatalogs = dataHome.path().toStdString() + "/no-catalogs";
  for (const char* domain : {o5::kDefaultTextDomain, o5::kPortDialogTextDomain})
    bindtextdomain(domain, noCatalogs.c_str());
  o5::test::InstallTestDialogs();
  return RUN_ALL_TESTS();
}
