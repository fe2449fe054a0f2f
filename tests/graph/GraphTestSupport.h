// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A settings folder of its own for each test, and a way to let the window's
// redraws and their copy-backs run until nothing is due any more.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "settings/SettingsFile.h"
#include "tests/support/ErrorCapture.h"
#include "ui/graph/TfGraph.h"

namespace o5::test {

// The series CSV without its last column, the clock time of each row: what a
// chart shows whether or not its run's start is known.
inline std::string WithoutClock(const std::string& csv) {
  std::string out;
  std::size_t from = 0;
  while (from < csv.size()) {
    std::size_t end = csv.find("\r\n", from);
    if (end == std::string::npos) end = csv.size();
    const std::string_view line(csv.data() + from, end - from);
    out += line.substr(0, line.rfind(';'));
    out += "\r\n";
    from = end + 2;
  }
  return out;
}

class GraphFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    SetSettingsDirectory(dir_.path().toStdString());
    TakeErrors();
  }
  void TearDown() override { SetSettingsDirectory(""); }

  // Writes config.ini with the section header and the given lines.
  void WriteConfig(const std::string& lines) {
    QFile f(ConfigPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(("[Options]\n" + lines).c_str());
  }
  QString ConfigPath() const { return dir_.filePath("config.ini"); }
  // A file of the test's folder with these bytes; its path.
  QString WriteFile(const QString& name, const std::string& content) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content.data(), qint64(content.size()));
    return path;
  }
  QString ConfigText() const {
    QFile f(ConfigPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }

  void Show(TfGraph& g) {
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    g.Charts->RequestRedraw();
    Settle(g);
  }

  // Lets the redraws of a shown window and the copies after them run until
  // none is due any more.
  static void Settle(TfGraph& g) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !g.Charts->RedrawPending(); }, 20000));
  }

  QTemporaryDir dir_;
};

}  // namespace o5::test
