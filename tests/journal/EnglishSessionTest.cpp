// SPDX-License-Identifier: GPL-3.0-or-later
// A session of the whole tool against the heater simulator on an English
// desktop: the port opened, the heater started, its version read, its mode
// shown, a fault and its end, the run's end and the port closed. Neither the
// console nor the session's timeline keeps a Russian word, and the timeline,
// read back, gives the run its clock.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "app/ToolTranslation.h"
#include "archive/ArchiveNames.h"
#include "archive/DataFolder.h"
#include "archive/SessionJournal.h"
#include "archive/VisitRuns.h"
#include "heater/FaultLegend.h"
#include "link/ComPort.h"
#include "link/Translation.h"
#include "settings/SettingsFile.h"
#include "settings/UserFile.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"

namespace o5::test {
namespace {

constexpr int kDeadlineMs = 60000;

bool HasRussian(const QString& text) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  return text.contains(cyrillic);
}

class EnglishSession : public ToolFixture {
 protected:
  void SetUp() override {
    // As start-up does on an English desktop, before the windows are built.
    ASSERT_TRUE(InstallToolTranslation(CatalogDirectory(ExecutableDirectory()), "en"));
    ToolFixture::SetUp();
    ASSERT_TRUE(data_.isValid());
    std::ofstream(SettingsDir().toStdString() + "/config.ini")
        << "[Options]\nDataDir=" << data_.path().toStdString() << "\n";
  }
  void TearDown() override {
    ToolFixture::TearDown();
    InstallToolTranslation(std::string(), "none");
  }
  // The texts of the session's timeline as its file holds them now.
  std::vector<std::string> Timeline() const {
    const auto journals = ListJournals(DataFolder{data_.path().toStdString()}.Sessions());
    std::vector<std::string> texts;
    if (journals.size() != 1) return texts;
    for (const TimelineEvent& event : ReadTimeline(TimelinePathFor(journals[0].path)).events)
      texts.push_back(event.text);
    return texts;
  }
  bool WaitForEvent(const std::string& start) const {
    return QTest::qWaitFor(
        [&] {
          const auto texts = Timeline();
          return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.starts_with(start); });
        },
        kDeadlineMs);
  }

  QTemporaryDir data_;
};

TEST_F(EnglishSession, NeitherTheConsoleNorTheTimelineKeepsARussianWord) {
  Connect({"--no-pacing", "--cycle", "50", "--speed", "20", "--quiet"});
  ASSERT_TRUE(WaitForEvent("Mode 0 - "));
  fMain->bStartClick(fMain->bStart);
  ASSERT_TRUE(WaitForEvent("Mode 21 - Warm-up"));
  fMain->bVerClick(fMain->bVer);
  ASSERT_TRUE(WaitForEvent("Date "));
  fMain->bStopClick(fMain->bStop);
  ASSERT_TRUE(WaitForEvent("Run ended, length "));
  ASSERT_EQ(sim_->Command("fault 13").rfind("OK", 0), 0u);
  ASSERT_TRUE(WaitForEvent(FaultNotice(13)));
  ASSERT_EQ(sim_->Command("fault off").rfind("OK", 0), 0u);
  ASSERT_TRUE(WaitForEvent(FaultGoneNotice()));
  fMain->BSRClick(fMain->BSR);
  ASSERT_TRUE(WaitForEvent("Port closed"));

  const std::vector<std::string> timeline = Timeline();
  const std::string opened = "Port " + sim_->DevicePath() + " open";
  for (const std::string& expected : {std::string("Time zone: UTC"), opened, std::string("Start"),
                                      std::string("Run began"), std::string("Firmware version"),
                                      std::string("Version 4.2.7 - 1"), std::string("Date    17.3.21 - 0"),
                                      std::string("Stop"), FaultNotice(13), FaultGoneNotice()})
    EXPECT_TRUE(std::any_of(timeline.begin(), timeline.end(),
                            [&](const std::string& t) { return t.starts_with(expected); }))
        << expected;
  for (const std::string& text : timeline) EXPECT_FALSE(HasRussian(QString::fromStdString(text))) << text;
  const QStringList console = ConsoleLines();
  EXPECT_TRUE(console.contains(QStringLiteral("Version 4.2.7 - 1"))) << console.join('\n').toStdString();
  for (const QString& line : console) EXPECT_FALSE(HasRussian(line)) << line.toStdString();

  // Read back, the run has the clock of its mark and the act the firmware.
  const auto journals = ListJournals(DataFolder{data_.path().toStdString()}.Sessions());
  ASSERT_EQ(journals.size(), 1u);
  const std::vector<TimelineEvent> events = ReadTimeline(TimelinePathFor(journals[0].path)).events;
  const std::vector<VisitRun> runs =
      JournalVisitRuns(journals[0].path, LoadUserFile(journals[0].path, 1u << 26), events);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_TRUE(runs[0].model.start.has_value());
  EXPECT_EQ(FirmwareInTimeline(events), "4.2.7 - 1, date 17.3.21 - 0");
  EXPECT_TRUE(TakeErrors().isEmpty());
}

}  // namespace
}  // namespace o5::test
