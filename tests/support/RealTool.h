// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real tool as a user starts it: a copy of the executable in a folder of
// the test's own (its settings file lives beside it), on the offscreen
// platform.

#include <QFile>
#include <QProcess>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace o5::test {

// Copies the tool at `built` into `folder` and returns the copy's path; empty
// when the copy fails.
inline QString CopyOfTool(const QString& built, const QString& folder) {
  const QString exe = folder + "/ortan5";
  return QFile::copy(built, exe) ? exe : QString();
}

// The test's own environment, on the offscreen platform.
inline QProcessEnvironment OffscreenEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  return env;
}

// The environment for a child run of this test program that runs the tests
// its filter names: without the shares and the filter a sharded run
// (Valgrind's) gave this process, which would leave the child a share with
// none of them.
inline QProcessEnvironment WithoutTestShares(QProcessEnvironment env) {
  for (const char* name : {"GTEST_TOTAL_SHARDS", "GTEST_SHARD_INDEX", "GTEST_SHARD_STATUS_FILE", "GTEST_FILTER"})
    env.remove(name);
  return env;
}

// Starts `exe` in `env` and watches it for `ms`. Nothing when it came up and
// stayed up (it is then terminated); otherwise what went wrong, with what it
// printed.
inline std::optional<std::string> EndsWithin(const QString& exe, int ms = 3000,
                                             const QProcessEnvironment& env = OffscreenEnvironment()) {
  QProcess tool;
  tool.setProcessEnvironment(env);
  tool.start(exe, {});
  if (!tool.waitForStarted(10000)) return "did not start: " + tool.errorString().toStdString();
  if (tool.waitForFinished(ms))
    return "ended with code " + std::to_string(tool.exitCode()) + ": " +
           tool.readAllStandardError().toStdString();
  tool.terminate();
  tool.waitForFinished(10000);
  return std::nullopt;
}

// Every key the windows keep in config.ini.
inline std::vector<std::string> AllSettingsKeys() {
  std::vector<std::string> keys = {"FormModesTop", "FormModesLeft", "FormGraphTop", "FormGraphLeft",
                                   "FormGraphWidth", "FormGraphHeight", "XStep", "YStep", "YMax",
                                   "YMin", "XMax", "XMin"};
  for (const char* prefix : {"W", "C", "S"})
    for (int n = 1; n <= 13; ++n) keys.push_back(prefix + std::to_string(n));
  keys.push_back("ShowModes");
  keys.push_back("Follow");
  return keys;
}

}  // namespace o5::test
