// SPDX-License-Identifier: GPL-3.0-or-later
// The session journal and the readout archive of the whole tool against the
// heater simulator: every line the record log receives goes to the journal of
// the port's opening, a readout names the journal after its heater and keeps
// its image, and nothing of this stops the telemetry.

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fstream>

#include "app/Announcer.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "archive/ArchiveNames.h"
#include "archive/DataFolder.h"
#include "archive/FileInUse.h"
#include "archive/ReadoutArchive.h"
#include "archive/SessionJournal.h"
#include "link/ComPort.h"
#include "link/ComReconnect.h"
#include "settings/UserFile.h"
#include "tests/hardening/HardeningSupport.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/RealTool.h"
#include "tests/support/ReportFiles.h"
#include "ui/blackbox/TfBB.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr int kDeadlineMs = 30000;
constexpr uint32_t kSerial = 658188;

class Journal : public ToolFixture {
 protected:
  void SetUp() override {
    ToolFixture::SetUp();
    ASSERT_TRUE(data_.isValid());
    UseDataFolder(data_.path());
  }
  // DataDir of config.ini, read at each opening of the port.
  void UseDataFolder(const QString& path) {
    std::ofstream(SettingsDir().toStdString() + "/config.ini") << "[Options]\nDataDir=" << path.toStdString() << "\n";
  }
  std::string Sessions() const { return DataFolder{data_.path().toStdString()}.Sessions(); }
  std::vector<JournalFile> Journals() const { return ListJournals(Sessions()); }
  static int Records() { return fMain->MR->toPlainText().isEmpty() ? 0 : fMain->MR->document()->blockCount(); }
  static bool WaitForRecords(int count) { return QTest::qWaitFor([&] { return Records() >= count; }, kDeadlineMs); }
  // The telemetry stopped and what was on the line taken in.
  void Quiet() {
    ASSERT_EQ(sim_->Command("telemetry off").rfind("OK", 0), 0u);
    QTest::qWait(1000);
  }
  // What "Сохранить" writes of the record log now.
  QByteArray SavedRecordLog() {
    QTemporaryDir work;
    const QString old = QDir::currentPath();
    QDir::setCurrent(work.path());
    fMain->bSaveDataClick(fMain->bSaveData);
    QDir::setCurrent(old);
    const QStringList saved = QDir(work.path()).entryList({"D_*.txt"});
    return saved.size() == 1 ? FileBytes(work.filePath(saved[0])) : QByteArray("no saved log");
  }
  // An image of the simulator's heater with our serial number.
  std::string HeaterImage() {
    BlackBoxBytes image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + 3);
    image[3] = 0x55, image[4] = 0x37;
    image[32] = kSerial & 0xFF, image[33] = kSerial >> 8 & 0xFF, image[34] = kSerial >> 16;
    const std::string path = data_.filePath("heater.bin").toStdString();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
    return path;
  }

  QTemporaryDir data_;
};

TEST_F(Journal, ASessionWithAReadoutIsJournaledAsSavedAndCarriesTheHeatersSerial) {
  const std::string image = HeaterImage();
  Connect({"--no-pacing", "--cycle", "50", "--running", "--quiet", "--load-blackbox", image});
  ASSERT_TRUE(WaitForRecords(5));
  fMain->bBlackBoxClick(fMain->bBlackBox);
  ASSERT_TRUE(fBB->HasReport());
  ASSERT_TRUE(WaitForRecords(Records() + 5));
  Quiet();

  const auto journals = Journals();
  ASSERT_EQ(journals.size(), 1u);
  EXPECT_EQ(journals[0].name.serial, kSerial);
  EXPECT_EQ(FileBytes(QString::fromStdString(journals[0].path)), SavedRecordLog());
  // The readout's image, byte for byte, in the archive.
  const auto readouts = ReadoutArchive(DataFolder{data_.path().toStdString()}).Readouts(kSerial);
  ASSERT_EQ(readouts.size(), 1u);
  EXPECT_EQ(FileBytes(QString::fromStdString(readouts[0].path)), FileBytes(QString::fromStdString(image)));
  EXPECT_TRUE(TakeErrors().isEmpty());
}

TEST_F(Journal, F8ClearsThePaneButNotTheJournal) {
  Connect({"--no-pacing", "--cycle", "50", "--running", "--quiet"});
  ASSERT_TRUE(WaitForRecords(5));
  const QByteArray before = SavedRecordLog();
  QTest::keyClick(fMain->MC, Qt::Key_F8);
  ASSERT_EQ(Records(), 0);
  ASSERT_TRUE(WaitForRecords(3));
  Quiet();
  const auto journals = Journals();
  ASSERT_EQ(journals.size(), 1u);
  const QByteArray journal = FileBytes(QString::fromStdString(journals[0].path));
  EXPECT_TRUE(journal.startsWith(before));
  EXPECT_TRUE(journal.endsWith(SavedRecordLog()));
  EXPECT_EQ(journal.count('\n'), before.count('\n') + Records());
}

TEST_F(Journal, AFolderThatCannotBeWrittenIsOneErrorPerOpeningAndTelemetryGoesOn) {
  QFile blocker(data_.filePath("not-a-folder"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  UseDataFolder(blocker.fileName());
  Connect({"--no-pacing", "--cycle", "50", "--running", "--quiet"});
  ASSERT_TRUE(WaitForRecords(10));
  const QString expected = "Не удалось записать журнал сеанса в папку \"" + blocker.fileName() + "/sessions\": " +
                           QString::fromStdString(SystemReason(ENOTDIR)) + ".";
  EXPECT_EQ(TakeErrors(), QStringList{expected});
  // A screen reader hears it too, wherever the focus is.
  EXPECT_TRUE(QTest::qWaitFor([&] { return fMain->Announcements->Text() == expected; }, kDeadlineMs))
      << fMain->Announcements->Text().toStdString();
  EXPECT_TRUE(fMain->Port->Connected());

  // The next opening says so again, once.
  fMain->BSRClick(fMain->BSR);
  fMain->BSRClick(fMain->BSR);
  ASSERT_TRUE(WaitForRecords(Records() + 10));
  EXPECT_EQ(TakeErrors(), QStringList{expected});
}

// A data folder whose file system refuses locks (here made to): the journal
// is written all the same, and the console and the timeline say once for the
// tool's start that several benches must not share the folder.
TEST_F(Journal, AFolderWithoutLocksIsWrittenAndSaidOncePerStartInTheConsoleAndTheTimeline) {
  struct Refused {
    Refused() { RefuseLocks(ENOLCK); }
    ~Refused() { RefuseLocks(0); }
  } refused;
  Connect({"--no-pacing", "--cycle", "50", "--running", "--quiet"});
  ASSERT_TRUE(WaitForRecords(3));
  fMain->BSRClick(fMain->BSR);
  fMain->BSRClick(fMain->BSR);
  ASSERT_TRUE(WaitForRecords(Records() + 3));
  const QString warning = QString::fromStdString(JournalLockWarningText(data_.path().toStdString()));
  EXPECT_EQ(fMain->MC->toPlainText().count(warning), 1) << fMain->MC->toPlainText().toStdString();
  EXPECT_TRUE(TakeErrors().isEmpty());
  const std::vector<JournalFile> journals = Journals();
  ASSERT_EQ(journals.size(), 2u);
  int said = 0;
  for (const JournalFile& journal : journals) {
    EXPECT_GT(FileBytes(QString::fromStdString(journal.path)).size(), 0);
    for (const TimelineEvent& event : ReadTimeline(TimelinePathFor(journal.path)).events)
      said += QString::fromStdString(event.text) == warning;
  }
  EXPECT_EQ(said, 1);
}

TEST_F(Journal, AReopeningAfterALossStartsANewJournal) {
  Connect({"--no-pacing", "--cycle", "50", "--running", "--quiet"}, true);
  ASSERT_TRUE(WaitForRecords(3));
  ASSERT_EQ(Journals().size(), 1u);
  sim_->SendLine("hangup");
  ASSERT_TRUE(QTest::qWaitFor([] { return !fMain->Port->Connected(); }, kDeadlineMs));
  TakeErrors();
  ASSERT_EQ(sim_->Command("reconnect").rfind("OK", 0), 0u);
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Port->Connected(); }, kDeadlineMs));
  const int before = Records();
  ASSERT_TRUE(WaitForRecords(before + 3));
  EXPECT_EQ(Journals().size(), 2u);
}

// At start the tool deletes the journals its settings no longer keep.
TEST(JournalKeeping, TheToolDeletesJournalsPastTheirDaysWhenItStarts) {
  QTemporaryDir folder, data;
  const QString exe = CopyOfTool(O5_TOOL_PATH, folder.path());
  ASSERT_FALSE(exe.isEmpty());
  std::ofstream(folder.filePath("config.ini").toStdString())
      << "[Options]\nJournalDays=30\nDataDir=" << data.path().toStdString() << "\n";
  QDir().mkpath(data.filePath("sessions"));
  const LocalTime old = LocalTimeOf(std::time(nullptr) - 31 * 86400);
  const LocalTime recent = LocalTimeOf(std::time(nullptr) - 29 * 86400);
  for (const LocalTime& t : {old, recent})
    QFile(data.filePath("sessions/" + QString::fromStdString(JournalFileName({t, std::nullopt}))))
        .open(QIODevice::WriteOnly);
  EXPECT_EQ(EndsWithin(exe), std::nullopt);
  std::vector<std::string> left;
  for (const JournalFile& j : ListJournals(data.filePath("sessions").toStdString())) left.push_back(j.path);
  EXPECT_THAT(left, ::testing::ElementsAre(data.filePath("sessions/").toStdString() +
                                           JournalFileName({recent, std::nullopt})));
}

}  // namespace
}  // namespace o5::test
