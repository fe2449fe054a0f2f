// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/hardening/HardeningSupport.h"

#include <sys/resource.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <fstream>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "link/Frame.h"
#include "settings/SettingsFile.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/Simulator.h"

namespace o5::test {

void ToolFixture::SetUp() {
  ASSERT_TRUE(settingsDir_.isValid());
  ASSERT_TRUE(linkDir_.isValid());
  SetSettingsDirectory(settingsDir_.path().toStdString());
  TakeErrors();
  CreateForms();
}

void ToolFixture::TearDown() {
  if (fMain && fMain->Port->Connected()) fMain->Port->ClosePort();
  DestroyForms();
  SetSettingsDirectory("");
  sim_.reset();
}

void ToolFixture::Connect(std::vector<std::string> options, bool stableLink) {
  if (stableLink) {
    options.push_back("--link");
    options.push_back(LinkPath());
  }
  sim_ = std::make_unique<Simulator>(options);
  fMain->Port->SetPort(stableLink ? LinkPath() : sim_->DevicePath());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
}

QStringList ToolFixture::ConsoleLines() const {
  const QString text = fMain->MC->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

int ToolFixture::ConsoleCount(const QString& line) const {
  return static_cast<int>(ConsoleLines().count(line));
}

size_t ToolFixture::BlackBoxReads(const Simulator& sim) {
  const auto frames = sim.ReceivedFrames();
  return static_cast<size_t>(std::count_if(frames.begin(), frames.end(), [](const std::string& f) {
    return f.rfind("AA 09 00 00 77", 0) == 0;
  }));
}

size_t ToolFixture::Received(const Simulator& sim, const std::string& hex) {
  const auto frames = sim.ReceivedFrames();
  return static_cast<size_t>(std::count(frames.begin(), frames.end(), Simulator::NormalizedHex(hex)));
}

double CpuWhileServing(int ms) {
  const double before = ProcessCpuSeconds();
  QTest::qWait(ms);
  return ProcessCpuSeconds() - before;
}

std::string TelemetryBytes(char kind, uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9) {
  const Frame f = BuildRequest(0, 0, 0, static_cast<uint8_t>(kind), b6, b7, b8, b9);
  return std::string(f.begin(), f.end());
}

QString NoReplyLine() { return QString::fromUtf8("Нет связи с отопителем."); }

}  // namespace o5::test
