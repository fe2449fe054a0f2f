// gtest main for tests that need the application object. The tests run on the
// offscreen platform unless a display is chosen explicitly, and keep their
// session journals and readouts in a data folder of their own, never in the
// user's.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/ErrorDisplay.h"
#include "tests/support/ErrorCapture.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const QTemporaryDir dataHome;
  setenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit().constData(), 1);
  o5::TApplication app(argc, argv);
  o5::test::InstallTestDialogs();
  return RUN_ALL_TESTS();
}
