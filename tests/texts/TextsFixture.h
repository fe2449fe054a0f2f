// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's four windows, built as start-up builds them, with the settings
// file in a temporary folder.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/Forms.h"
#include "tests/app/AppFixture.h"
#include "app/TfMain.h"
#include "settings/SettingsFile.h"
#include "tests/support/ErrorCapture.h"

namespace o5::test {

class TextsFixture : public AppFixture {
 protected:
  void TearDown() override {
    AppFixture::TearDown();
    EXPECT_EQ(TakeErrors(), QStringList());
  }

  // Shows the window and lets its layouts settle, so that sizes and places
  // are the ones the user sees. On an X server a loaded machine may take a
  // while to expose it.
  static void ShowAndSettle(QWidget* window) {
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window, 60000));
    QApplication::processEvents();
  }
};

}  // namespace o5::test
