// SPDX-License-Identifier: GPL-3.0-or-later
// A bench's journal published through a real mosquitto: what the package's
// own mosquitto_sub receives equals the journal and its timeline, the black
// box and the status (offline by the will once the bench is killed); a viewer
// that comes late, and one whose broker was restarted without its store
// meanwhile, ends with the journal, each line once; and the broker rules of
// the shipped example refuse a bench writing for another and a viewer
// writing at all.

#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "remote/BenchCopy.h"
#include "remote/BenchPublisher.h"
#include "remote/MqttLink.h"
#include "remote/RemoteFormat.h"
#include "tests/remote/MosquittoBroker.h"

namespace o5::test {
namespace {

constexpr int kDeadlineMs = 20000;
constexpr const char* kWorkshop = "w1";
constexpr const char* kBench = "b1";
constexpr const char* kSession = "S_2026-12-08_10-00-00.txt";

class RemotePublish : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    journal_ = Path(kSession);
    timeline_ = Path("S_2026-12-08_10-00-00.events.tsv");
  }
  std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

  // Records as the journal writes them, each a line ending in CR LF.
  void AppendRecords(int count) {
    std::ofstream out(journal_, std::ios::app | std::ios::binary);
    for (int i = 0; i < count; ++i) {
      const std::string line = "0:" + std::to_string(lines_.size()) + "\t\xD0\xA0\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0\t 21,5";
      lines_.push_back(line);
      out << line << "\r\n";
    }
  }
  void AppendEvents(int count) {
    std::ofstream out(timeline_, std::ios::app | std::ios::binary);
    for (int i = 0; i < count; ++i) {
      events_.push_back("Событие " + std::to_string(events_.size()));
      out << "2026-12-08 10:00:0" << (i % 10) << "\t" << events_.back() << "\n";
    }
  }
  BrokerSettings Broker() const {
    BrokerSettings settings;
    settings.address = *ParseBrokerUrl(broker_.Url());
    settings.workshop = kWorkshop;
    settings.bench = kBench;
    return settings;
  }

  QTemporaryDir dir_;
  MosquittoBroker broker_{dir_.path().toStdString()};
  std::string journal_;
  std::string timeline_;
  std::vector<std::string> lines_;
  std::vector<std::string> events_;
};

// What mosquitto_sub printed: "<topic>\t<retained>\t<payload>" a line.
struct Received {
  std::vector<std::string> records;
  std::vector<uint64_t> recordSeqs;
  std::vector<std::string> events;
  std::vector<bool> statusOnline;
  std::string session;
  std::string blackBox;
  std::size_t probes = 0;
};
Received ReadSubscriber(const std::string& output) {
  Received r;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    const auto tab2 = line.find('\t', tab + 1);
    if (tab == std::string::npos || tab2 == std::string::npos) continue;
    const std::string topic = line.substr(0, tab);
    if (topic.ends_with("/probe")) ++r.probes;
    const auto m = ParseBenchMessage(topic, line.substr(tab2 + 1));
    if (!m) continue;
    if (topic.ends_with("/records")) {
      r.records.push_back(m->lines.at(0));
      r.recordSeqs.push_back(m->first);
    } else if (topic.ends_with("/events")) {
      r.events.push_back(m->events.at(0).text);
    } else if (m->kind == BenchMessage::Kind::Status) {
      r.statusOnline.push_back(m->online);
      if (m->online) r.session = m->session;
    } else if (m->kind == BenchMessage::Kind::BlackBox) {
      r.blackBox = m->image;
    }
  }
  return r;
}

TEST_F(RemotePublish, SubscriberReceivesTheJournalAndTheWill) {
  ASSERT_TRUE(broker_.Start());
  const std::string out = Path("sub.txt");
  const std::string port = std::to_string(broker_.Port());
  const pid_t sub = Spawn({"mosquitto_sub", "-h", "127.0.0.1", "-p", port, "-V", "5", "-q", "1", "-t",
                           "ortan5/w1/b1/#", "-F", "%t\t%r\t%p"},
                          out);
  // Subscribed once a message of its own comes through.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    Reap(Spawn({"mosquitto_pub", "-h", "127.0.0.1", "-p", port, "-t", "ortan5/w1/b1/probe", "-m", "x"}), 0);
    return ReadSubscriber(ReadAll(out)).probes > 0;
  }, kDeadlineMs));

  AppendRecords(120);
  AppendEvents(5);
  const std::string image(512, 'a');
  const pid_t bench = Spawn({O5_BENCH_DRIVER, broker_.Url(), kWorkshop, kBench, journal_, timeline_, image});
  ASSERT_TRUE(QTest::qWaitFor([&] { return ReadSubscriber(ReadAll(out)).records.size() >= 60; }, kDeadlineMs));
  AppendRecords(130);
  AppendEvents(3);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const Received r = ReadSubscriber(ReadAll(out));
    return r.records.size() >= lines_.size() && r.events.size() >= events_.size() && !r.blackBox.empty();
  }, kDeadlineMs));
  Reap(bench, SIGKILL);
  // The broker gives the will after 1.5 keep-alives without a word.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const Received r = ReadSubscriber(ReadAll(out));
    return !r.statusOnline.empty() && !r.statusOnline.back();
  }, kDeadlineMs));
  Reap(sub);

  const Received r = ReadSubscriber(ReadAll(out));
  EXPECT_EQ(r.records, lines_);
  for (std::size_t i = 0; i < r.recordSeqs.size(); ++i) EXPECT_EQ(r.recordSeqs[i], i + 1);
  EXPECT_EQ(r.events, events_);
  EXPECT_EQ(r.blackBox, image);
  EXPECT_EQ(r.session, kSession);
  ASSERT_GE(r.statusOnline.size(), 2u);
  EXPECT_TRUE(r.statusOnline.front());
}

// A viewer as the watching window keeps its copy.
class Viewer {
 public:
  explicit Viewer(const BrokerSettings& broker) {
    MqttOptions options;
    options.broker = broker;
    options.subscriptions = {WatchPattern(broker.workshop, broker.bench)};
    link_ = std::make_unique<MqttLink>(std::move(options));
    QObject::connect(link_.get(), &MqttLink::MessageArrived, [this](const QByteArray& topic, const QByteArray& payload) {
      const auto m = ParseBenchMessage(topic.toStdString(), payload.toStdString());
      if (!m) return;
      const auto update = copy_.Take(*m);
      if (update.newSession && !records.empty()) earlier = std::exchange(records, {});
      records.insert(records.end(), update.records.begin(), update.records.end());
    });
  }
  std::vector<std::string> records;
  std::vector<std::string> earlier;  // the session before the latest
  bool Connected() const { return link_->IsConnected(); }

 private:
  BenchCopy copy_;
  std::unique_ptr<MqttLink> link_;
};

TEST_F(RemotePublish, LateViewerAndBrokerRestartEndWithTheJournal) {
  ASSERT_TRUE(broker_.Start());
  AppendRecords(250);
  AppendEvents(2);
  BenchPublisher bench(Broker(), "test");
  bench.FollowFiles(journal_, timeline_);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bench.RecordsAcknowledged() == lines_.size(); }, kDeadlineMs));

  Viewer viewer(Broker());
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.records.size() >= lines_.size(); }, kDeadlineMs));
  EXPECT_EQ(viewer.records, lines_);

  // Down for a while, its store gone: what was written meanwhile comes once.
  broker_.Stop();
  AppendRecords(60);
  bench.Pump();
  QTest::qWait(300);
  AppendRecords(40);
  bench.Pump();
  ASSERT_TRUE(broker_.Start());
  ASSERT_TRUE(QTest::qWaitFor([&] {
    bench.Pump();
    return viewer.records.size() >= lines_.size() && bench.RecordsAcknowledged() == lines_.size();
  }, kDeadlineMs));
  QTest::qWait(200);
  EXPECT_EQ(viewer.records, lines_);
}

// The tool closed while the broker was down: started again, it sends the rest
// of that session from its journal before the session it begins then.
TEST_F(RemotePublish, RestartedToolSendsTheRestOfItsLastSession) {
  ASSERT_TRUE(broker_.Start());
  AppendRecords(40);
  const std::string folder = dir_.path().toStdString();
  auto bench = std::make_unique<BenchPublisher>(Broker(), "test", folder);
  bench->FollowFiles(journal_, timeline_);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bench->RecordsAcknowledged() == lines_.size(); }, kDeadlineMs));
  Viewer viewer(Broker());
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.records.size() == lines_.size(); }, kDeadlineMs));
  broker_.Stop();
  AppendRecords(25);
  bench->Pump();
  bench->EndSession();
  bench.reset();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.Connected(); }, kDeadlineMs));

  ASSERT_TRUE(broker_.Start());
  // The viewer back first: a broker without a store keeps no history of the
  // earlier session once the next one has begun.
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.Connected(); }, kDeadlineMs));
  const std::string nextJournal = Path("S_2026-12-08_11-00-00.txt");
  std::ofstream(nextJournal, std::ios::binary) << "новый сеанс\r\n";
  bench = std::make_unique<BenchPublisher>(Broker(), "test", folder);
  bench->FollowFiles(nextJournal, Path("S_2026-12-08_11-00-00.events.tsv"));
  EXPECT_EQ(bench->Session(), kSession);
  ASSERT_TRUE(QTest::qWaitFor([&] { return bench->Session() != kSession; }, kDeadlineMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.records == std::vector<std::string>{"новый сеанс"}; }, kDeadlineMs));
  // The viewer had the earlier session whole before the next one began.
  EXPECT_EQ(viewer.earlier, lines_);
}

// The broker's answer to one QoS 1 message sent as `user`: below 128 taken,
// from 128 refused; -1 when none came.
int PublishAs(const BrokerSettings& broker, const std::string& user, const std::string& topic) {
  BrokerSettings signIn = broker;
  signIn.user = user;
  signIn.password = "pw-" + user;
  MqttOptions options;
  options.broker = signIn;
  MqttLink link(std::move(options));
  int answer = -1;
  int mid = 0;
  QObject::connect(&link, &MqttLink::Published, [&](int m, int reason) {
    if (m == mid) answer = reason;
  });
  if (!QTest::qWaitFor([&] { return link.IsConnected(); }, kDeadlineMs)) return -1;
  mid = link.Publish(topic, StatusOfflinePayload(), 1, false);
  return QTest::qWaitFor([&] { return answer >= 0; }, kDeadlineMs) ? answer : -1;
}

TEST_F(RemotePublish, ShippedRulesRefuseAnotherBenchAndEveryViewer) {
  const std::string passwords = Path("passwd");
  bool first = true;
  for (const std::string user : {"bench-1", "bench-2", "support"}) {
    std::vector<std::string> command{"mosquitto_passwd", "-b"};
    if (first) command.push_back("-c");
    first = false;
    for (const std::string& a : {passwords, user, "pw-" + user}) command.push_back(a);
    int status = 0;
    ::waitpid(Spawn(command, Path("passwd.log")), &status, 0);
    ASSERT_EQ(status, 0) << ReadAll(Path("passwd.log"));
  }
  MosquittoBroker secured(dir_.path().toStdString(), "allow_anonymous false\npassword_file " + passwords +
                                                         "\nacl_file " O5_SOURCE_DIR "/packaging/mosquitto/ortan5.acl\n");
  ASSERT_TRUE(secured.Start());
  BrokerSettings broker;
  broker.address = *ParseBrokerUrl(secured.Url());
  const int own = PublishAs(broker, "bench-1", "ortan5/shop1/bench-1/status");
  EXPECT_GE(own, 0);
  EXPECT_LT(own, 128);
  EXPECT_GE(PublishAs(broker, "bench-1", "ortan5/shop1/bench-2/status"), 128);
  EXPECT_GE(PublishAs(broker, "support", "ortan5/shop1/bench-1/status"), 128);
}

}  // namespace
}  // namespace o5::test
