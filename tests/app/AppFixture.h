// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds the program's four windows for a test, with the settings file in a
// temporary folder, and takes them down afterwards.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "settings/SettingsFile.h"
#include "tests/support/ErrorCapture.h"

namespace o5::test {

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir_.isValid());
    SetSettingsDirectory(settingsDir_.path().toStdString());
    TakeErrors();
    CreateForms();
  }
  void TearDown() override {
    DestroyForms();
    SetSettingsDirectory("");
  }
  QString SettingsDir() const { return settingsDir_.path(); }

 private:
  QTemporaryDir settingsDir_;
};

}  // namespace o5::test
