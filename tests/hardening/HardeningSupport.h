// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the hardening tests share: the program's four windows built for a test
// with the settings file in a temporary folder, the process's own processor
// time and resident memory, and telemetry frames as bytes.

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ProcessStats.h"
#include "tests/support/Simulator.h"

namespace o5::test {

// The four windows, as start-up builds them. TearDown closes the port and
// takes the windows down; a simulator started with Connect is ended after.
class ToolFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the heater simulator with these options and opens its device the
  // way a user does (the port's name, then the open/close button). With
  // `stableLink` the port is given a symbolic link that follows the device
  // across reconnections instead of the device itself.
  void Connect(std::vector<std::string> options, bool stableLink = false);
  QStringList ConsoleLines() const;
  int ConsoleCount(const QString& line) const;
  // Read requests of the black box (code 119) the simulator has received.
  static size_t BlackBoxReads(const Simulator& sim);
  static size_t Received(const Simulator& sim, const std::string& hex);
  QString SettingsDir() const { return settingsDir_.path(); }
  std::string LinkPath() const { return linkDir_.filePath("heater").toStdString(); }

  std::unique_ptr<Simulator> sim_;

 private:
  QTemporaryDir settingsDir_;
  QTemporaryDir linkDir_;
};

// Processor time this process takes while the event loop runs for `ms`.
double CpuWhileServing(int ms);

// A telemetry frame (control byte 0, reply flag clear) as line bytes.
std::string TelemetryBytes(char kind, uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9);

// The "Нет связи с отопителем." line.
QString NoReplyLine();

}  // namespace o5::test
