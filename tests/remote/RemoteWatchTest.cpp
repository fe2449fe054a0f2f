// SPDX-License-Identifier: GPL-3.0-or-later
// The main window watching a bench through a real mosquitto: it comes late,
// gets the session from its first record, goes on live, and its record log
// equals the bench's journal line for line; its console shows the bench's
// events; commands that would talk to a heater are disabled. The workshop
// window lists the bench with its link, heater and mode.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fstream>

#include "heater/RecordLog.h"
#include "remote/BenchPublisher.h"
#include "tests/app/AppFixture.h"
#include "tests/remote/MosquittoBroker.h"
#include "ui/blackbox/TfBB.h"
#include "ui/help/HelpKey.h"
#include "ui/remote/TRemoteSetupDlg.h"
#include "ui/remote/TfWorkshop.h"

namespace o5::test {
namespace {

constexpr int kDeadlineMs = 20000;

// The record the decoding makes of a cycle's frames, as the bench's log has it.
class LineSink : public TelemetrySink {
 public:
  void AddPoint(int, double, double) override {}
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override { line = record; }
  std::string line;
};
std::string RecordLineOf(int i) {
  RecordFrames frames{};
  for (int k = 0; k < 6; ++k)
    for (int b = 0; b < 4; ++b) frames[k][b] = static_cast<uint8_t>((i * 7 + k * 13 + b * 29) % 90);
  frames[2][3] = static_cast<uint8_t>(1 + i % 5);  // a mode the names know
  TelemetryState state;
  LineSink sink;
  for (const Frame& frame : RecordTelemetryFrames(frames, 0)) DecodeTelemetry(frame, state, sink);
  return sink.line;
}

class RemoteWatch : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(dir_.isValid());
    journal_ = dir_.path().toStdString() + "/S_2026-12-08_10-00-00.txt";
    timeline_ = dir_.path().toStdString() + "/S_2026-12-08_10-00-00.events.tsv";
    ASSERT_TRUE(broker_.Start());
    broker.address = *ParseBrokerUrl(broker_.Url());
    broker.workshop = "w1";
    broker.bench = "b1";
  }
  void Append(int count) {
    std::ofstream out(journal_, std::ios::app | std::ios::binary);
    for (int i = 0; i < count; ++i) {
      // Now and then a line the decoding cannot give back, as a cycle that
      // lost frames leaves.
      lines_.push_back(lines_.size() % 50 == 7 ? "0:12\tобрыв" : RecordLineOf(static_cast<int>(lines_.size())));
      out << lines_.back() << "\r\n";
    }
  }
  void Event(const std::string& text) {
    std::ofstream(timeline_, std::ios::app | std::ios::binary) << "2026-12-08 10:00:01\t" << text << "\n";
  }
  static std::vector<std::string> Shown() {
    std::vector<std::string> lines;
    if (fMain->MR->document()->isEmpty()) return lines;
    for (const QString& line : fMain->MR->toPlainText().split('\n')) lines.push_back(line.toStdString());
    return lines;
  }

  QTemporaryDir dir_;
  MosquittoBroker broker_{dir_.path().toStdString()};
  BrokerSettings broker;
  std::string journal_;
  std::string timeline_;
  std::vector<std::string> lines_;
};

TEST_F(RemoteWatch, LateViewerShowsTheSessionAndGoesOnLive) {
  Append(230);
  Event("Порт открыт");
  BenchPublisher bench(broker, "test");
  bench.FollowFiles(journal_, timeline_);
  BlackBoxBytes image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 3);
  bench.BlackBox(658188, "2026-12-08 10:00:00",
                 QByteArray(reinterpret_cast<const char*>(image.data()), image.size()).toHex().toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return bench.RecordsAcknowledged() == lines_.size(); }, kDeadlineMs));

  fMain->WatchBench(broker);
  for (QWidget* control : std::initializer_list<QWidget*>{fMain->bStart, fMain->bStop, fMain->bVer, fMain->BSR,
                                                          fMain->bBlackBox}) {
    EXPECT_FALSE(control->isEnabled());
    EXPECT_EQ(control->toolTip(), QString::fromUtf8("Команды подаются только на стенде"));
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shown().size() >= lines_.size(); }, kDeadlineMs));
  EXPECT_EQ(Shown(), lines_);
  EXPECT_TRUE(fMain->lRemote->text().startsWith(QString::fromUtf8("Стенд b1: наблюдение\nна связи")))
      << fMain->lRemote->text().toStdString();
  EXPECT_TRUE(fMain->MC->toPlainText().contains(QString::fromUtf8("Порт открыт")));
  // The bench's readout, in the black-box window.
  ASSERT_TRUE(QTest::qWaitFor([] { return fBB->HasReport(); }, kDeadlineMs));
  EXPECT_EQ(fBB->ReportImage(), image);

  Append(40);
  bench.Pump();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shown().size() >= lines_.size(); }, kDeadlineMs));
  EXPECT_EQ(Shown(), lines_);
}

TEST_F(RemoteWatch, WorkshopWindowListsTheBench) {
  Append(3);
  BenchPublisher bench(broker, "test");
  bench.FollowFiles(journal_, timeline_);
  BrokerSettings workshop = broker;
  workshop.bench.clear();
  TfWorkshop window(workshop);
  QString opened;
  window.SetBenchOpener([&](const QString& w, const QString& b) { opened = w + "/" + b; });
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Стенды мастерской w1"));
  EXPECT_EQ(HelpSectionFor(&window), "remote");
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.sgBenches->rowCount() == 1; }, kDeadlineMs));
  Append(1);
  bench.Pump();
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return window.sgBenches->item(0, 5) && !window.sgBenches->item(0, 5)->text().isEmpty();
  }, kDeadlineMs));
  EXPECT_EQ(window.sgBenches->item(0, 0)->text(), "b1");
  EXPECT_EQ(window.sgBenches->item(0, 1)->text(), QString::fromUtf8("на связи"));
  EXPECT_FALSE(window.sgBenches->item(0, 3)->text().isEmpty());
  window.sgBenches->setCurrentCell(0, 0);
  QTest::keyClick(window.sgBenches, Qt::Key_Return);
  EXPECT_EQ(opened, "w1/b1");
}

// A bench with Broker in config.ini shows its link beside the port controls,
// each change once, and never its password.
TEST_F(RemoteWatch, BenchShowsItsLinkToTheBroker) {
  std::ofstream(SettingsDir().toStdString() + "/config.ini")
      << "[Options]\nBroker=" << broker_.Url() << "\nWorkshop=w1\nBench=b1\nBrokerUser=b1\nBrokerPassword=s3cret\n";
  fMain->StartPublishing();
  ASSERT_NE(fMain->Publisher(), nullptr);
  QStringList shown;
  QObject::connect(fMain->Publisher(), &BenchPublisher::LinkChanged, [&](const QString& text) { shown << text; });
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->lRemote->text() == QString::fromUtf8("Брокер: на связи"); }, kDeadlineMs))
      << fMain->lRemote->text().toStdString();
  shown.clear();
  broker_.Stop();
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->lRemote->text().startsWith(QString::fromUtf8("Брокер: нет связи")); },
                              kDeadlineMs));
  ASSERT_TRUE(broker_.Start());
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->lRemote->text() == QString::fromUtf8("Брокер: на связи"); }, kDeadlineMs));
  EXPECT_EQ(shown.size(), 2) << shown.join('|').toStdString();
  for (const QString& text : {fMain->lRemote->text(), fMain->MC->toPlainText(), shown.join('|')})
    EXPECT_FALSE(text.contains("s3cret"));
}

// The dialog writes the keys as the bench reads them, shows the password only
// as dots, and its test connection says what the broker answered.
TEST_F(RemoteWatch, DialogStoresTheKeysAndTestsTheLink) {
  SettingsFile settings;
  TRemoteSetupDlg dialog(settings);
  EXPECT_EQ(dialog.edPassword->echoMode(), QLineEdit::Password);
  EXPECT_EQ(HelpSectionFor(dialog.edBench), "remote");
  dialog.edBroker->setText(QString::fromStdString(broker_.Url()));
  dialog.edWorkshop->setText("shop_1");
  dialog.edBench->setText("bench-7");
  dialog.edPassword->setText(QString::fromUtf8("пароль"));
  dialog.bTest->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.lTest->text() == QString::fromUtf8("Брокер: на связи"); }, kDeadlineMs))
      << dialog.lTest->text().toStdString();
  dialog.Store(settings);
  const auto read = ReadBrokerSettings(SettingsFile());
  ASSERT_TRUE(read.settings) << read.error;
  EXPECT_EQ(read.settings->address.port, broker_.Port());
  EXPECT_EQ(read.settings->bench, "bench-7");
  EXPECT_EQ(read.settings->password, "пароль");
  dialog.edWorkshop->setText("shop 1");
  dialog.bTest->click();
  EXPECT_FALSE(dialog.lTest->text().contains(QString::fromUtf8("на связи")));
}

}  // namespace
}  // namespace o5::test
