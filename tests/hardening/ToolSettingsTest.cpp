// SPDX-License-Identifier: GPL-3.0-or-later
// The whole tool with an abused "config.ini" beside it. The settings module
// has its own tests for every kind of file content, write failure and kill
// while saving; these check that the windows, built from what it reads, come
// up and close cleanly, and that the file they leave is sound.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "settings/SettingsFile.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/RealTool.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

// The largest window the X protocol can describe.
constexpr int kLargestWindow = 32767;

class ToolSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetSettingsDirectory(dir_.path().toStdString());
    TakeErrors();
  }
  void TearDown() override {
    DestroyForms();
    SetSettingsDirectory("");
  }
  std::string Path() const { return dir_.filePath("config.ini").toStdString(); }
  void Write(const QByteArray& content) {
    QFile f(QString::fromStdString(Path()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(content), content.size());
  }
  qint64 Size() const { return QFile(QString::fromStdString(Path())).size(); }
  // Starts the tool (unless it runs), shows every window, and closes it as the
  // user does.
  void RunAndClose() {
    if (!fMain) CreateForms();
    fMain->show();
    fMain->bModes->click();
    fMain->bGraph->click();
    QTest::qWait(100);
    fMain->close();
    EXPECT_FALSE(fMain->isVisible());
  }
  // Every key the windows keep is in the file now, as an integer.
  void ExpectEveryKeyWritten() {
    const SettingsFile file;
    for (const std::string& key : AllSettingsKeys())
      EXPECT_NE(file.ReadInteger(kSettingsSection, key, INT_MIN + 7), INT_MIN + 7) << key;
  }

  QTemporaryDir dir_;
};

TEST_F(ToolSettings, BinaryGarbage) {
  std::mt19937 random(99);
  QByteArray garbage;
  for (int i = 0; i < 64 * 1024; ++i) garbage += static_cast<char>(random() & 0xFF);
  Write(garbage);
  RunAndClose();
  EXPECT_TRUE(TakeErrors().isEmpty());
  ExpectEveryKeyWritten();
}

TEST_F(ToolSettings, FiftyMegabytes) {
  QByteArray content = "[Options]\r\nFormModesTop=5\r\n";
  const QByteArray filler = "; " + QByteArray(1000, 'x') + "\r\n";
  while (content.size() < 50 * 1024 * 1024) content += filler;
  Write(content);
  content.clear();
  const auto start = std::chrono::steady_clock::now();
  RunAndClose();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  RecordProperty("start_and_close_ms", static_cast<int>(ms.count()));
  EXPECT_TRUE(TakeErrors().isEmpty());
  // Too large to be the tool's own: read as empty, replaced by a sound file.
  ExpectEveryKeyWritten();
  EXPECT_LT(Size(), 4096);
}

// Values at the ends of the integer range, and the usual small mistakes.
class ToolSettingsExtremes : public ToolSettings, public ::testing::WithParamInterface<const char*> {};

TEST_P(ToolSettingsExtremes, ComeUpAndCloseCleanly) {
  QByteArray content = "\xEF\xBB\xBF[options]\r\n";
  for (const std::string& key : AllSettingsKeys()) content += QByteArray::fromStdString(key) + "=" + GetParam() + "\r\n";
  // Duplicates: the first counts.
  content += "FormGraphWidth=300\nformgraphwidth=400\n";
  Write(content);
  CreateForms();
  // A window's rectangle is kept as its left edge and its right edge: a left
  // edge near the end of the integer range leaves no room for the right one.
  for (const QWidget* w : {static_cast<const QWidget*>(frmModes), static_cast<const QWidget*>(fGraph)}) {
    ASSERT_LE(std::abs(static_cast<long long>(w->x())), QWIDGETSIZE_MAX) << w->objectName().toStdString();
    ASSERT_LE(std::abs(static_cast<long long>(w->y())), QWIDGETSIZE_MAX) << w->objectName().toStdString();
  }
  // A size no screen has cannot be the one the window was closed with, and a
  // window that large would not even get the memory to be drawn into.
  ASSERT_LE(fGraph->width(), kLargestWindow);
  ASSERT_LE(fGraph->height(), kLargestWindow);
  RunAndClose();
  EXPECT_TRUE(TakeErrors().isEmpty());
  ExpectEveryKeyWritten();
}

INSTANTIATE_TEST_SUITE_P(Values, ToolSettingsExtremes,
                         ::testing::Values("-2147483648", "2147483647", "$7FFFFFFF", "0x80000000",
                                           "-1", "0", "99999999999", "garbage"));

// The real program with a garbage "config.ini" beside it starts and stays up.
TEST(ToolSettingsBinary, RealProgramWithAGarbageFileBesideIt) {
  QTemporaryDir dir;
  const QString exe = CopyOfTool(O5_TOOL_PATH, dir.path());
  ASSERT_FALSE(exe.isEmpty());
  {
    QFile f(dir.filePath("config.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    std::mt19937 random(5);
    QByteArray garbage;
    for (int i = 0; i < 1024 * 1024; ++i) garbage += static_cast<char>(random() & 0xFF);
    for (int i = 0; i < 50; ++i) f.write(garbage);
  }
  const auto ended = EndsWithin(exe);
  EXPECT_FALSE(ended.has_value()) << *ended;
}

}  // namespace
}  // namespace o5::test
