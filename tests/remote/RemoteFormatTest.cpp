// SPDX-License-Identifier: GPL-3.0-or-later
// The broker keys, the topics and payloads read back, and a viewer's copy
// made from live messages and history chunks in any overlap and order.

#include <gtest/gtest.h>

#include <fstream>

#include <QTemporaryDir>

#include "remote/BenchCopy.h"
#include "remote/BrokerSettings.h"
#include "remote/RemoteFormat.h"
#include "settings/SettingsFile.h"

namespace o5::test {
namespace {

TEST(BrokerKeys, AddressesAndLevels) {
  struct Case {
    const char* url;
    bool ok;
    bool tls;
    const char* host;
    int port;
  };
  const Case cases[] = {
      {"mqtt://broker", true, false, "broker", 1883},
      {"mqtt://broker:1884", true, false, "broker", 1884},
      {"mqtts://broker.example", true, true, "broker.example", 8883},
      {"mqtts://10.0.0.2:9883/", true, true, "10.0.0.2", 9883},
      {"mqtt://[::1]:1990", true, false, "::1", 1990},
      {"mqtt://[::1]", true, false, "::1", 1883},
      {"http://broker", false, false, "", 0},
      {"broker:1883", false, false, "", 0},
      {"mqtt://", false, false, "", 0},
      {"mqtt://broker:", false, false, "", 0},
      {"mqtt://broker:0", false, false, "", 0},
      {"mqtt://broker:65536", false, false, "", 0},
      {"mqtt://broker:18x3", false, false, "", 0},
      {"mqtt://user@broker", false, false, "", 0},
      {"mqtt://[::1", false, false, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto address = ParseBrokerUrl(c.url);
    ASSERT_EQ(address.has_value(), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(address->tls, c.tls);
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
  }
  for (const char* level : {"bench-1", "Цех", "a/b", "+", "#", "", "a b"})
    EXPECT_EQ(ValidTopicLevel(level), std::string_view(level) == "bench-1") << level;
  EXPECT_TRUE(ValidTopicLevel(DefaultBenchName()));
}

TEST(BrokerKeys, ReadFromTheSettingsFile) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/config.ini";
  std::ofstream(path) << "[Options]\nPort=3\n";
  EXPECT_FALSE(ReadBrokerSettings(SettingsFile(path)).settings);
  EXPECT_TRUE(ReadBrokerSettings(SettingsFile(path)).error.empty());
  std::ofstream(path) << "[Options]\nBroker = mqtts://hub:8884\nWorkshop=shop_2\nBrokerUser=b\n"
                         "BrokerPassword=p w\nBrokerCA=/etc/ca.pem\n";
  const auto read = ReadBrokerSettings(SettingsFile(path));
  ASSERT_TRUE(read.settings);
  EXPECT_EQ(read.settings->address.port, 8884);
  EXPECT_EQ(read.settings->workshop, "shop_2");
  EXPECT_EQ(read.settings->bench, DefaultBenchName());
  EXPECT_EQ(read.settings->password, "p w");
  EXPECT_EQ(read.settings->caFile, "/etc/ca.pem");
  std::ofstream(path) << "[Options]\nBroker=mqtt://hub\nWorkshop=shop/2\n";
  EXPECT_FALSE(ReadBrokerSettings(SettingsFile(path)).error.empty());
}

TEST(BenchTopics, PayloadsReadBack) {
  const std::string session = "S_2026-12-08_10-00-00.txt";
  auto status = ParseBenchMessage(BenchTopic("w", "b", kStatusLeaf), StatusOnlinePayload(session, 658188, "1.0.2"));
  ASSERT_TRUE(status);
  EXPECT_EQ(status->bench, "b");
  EXPECT_TRUE(status->online);
  EXPECT_EQ(status->serial, 658188u);
  EXPECT_EQ(status->session, session);
  status = ParseBenchMessage(BenchTopic("w", "b", kStatusLeaf), StatusOfflinePayload());
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->online);
  EXPECT_FALSE(status->serial);

  const auto record = ParseBenchMessage(BenchTopic("w", "b", kRecordsLeaf), RecordPayload(session, 7, "0:01\t\"Работа\"\t"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->first, 7u);
  EXPECT_EQ(record->lines, std::vector<std::string>{"0:01\t\"Работа\"\t"});
  const std::vector<std::string> lines{"a", "", "c"};
  const auto chunk = ParseBenchMessage(BenchTopic("w", "b", std::string(kRecordHistoryLeaf) + "1"),
                                       RecordChunkPayload(session, 101, lines));
  ASSERT_TRUE(chunk);
  EXPECT_EQ(chunk->kind, BenchMessage::Kind::Records);
  EXPECT_EQ(chunk->first, 101u);
  EXPECT_EQ(chunk->lines, lines);
  const std::vector<TimedText> events{{"2026-12-08 10:00:00", "Порт открыт"}};
  const auto eventChunk = ParseBenchMessage(BenchTopic("w", "b", std::string(kEventHistoryLeaf) + "0"),
                                            EventChunkPayload(session, 1, events));
  ASSERT_TRUE(eventChunk);
  EXPECT_EQ(eventChunk->events.at(0).text, "Порт открыт");
  const auto box = ParseBenchMessage(BenchTopic("w", "b", kBlackBoxLeaf), BlackBoxPayload(12, "t", "00ff"));
  ASSERT_TRUE(box);
  EXPECT_EQ(box->image, "00ff");
  // Not a bench's: another root, too few levels, an emptied chunk, no JSON.
  EXPECT_FALSE(ParseBenchMessage("other/w/b/status", StatusOfflinePayload()));
  EXPECT_FALSE(ParseBenchMessage("ortan5/w/status", StatusOfflinePayload()));
  EXPECT_FALSE(ParseBenchMessage(BenchTopic("w", "b", std::string(kRecordHistoryLeaf) + "0"), ""));
  EXPECT_FALSE(ParseBenchMessage(BenchTopic("w", "b", kRecordsLeaf), "{\"seq\":"));
  EXPECT_EQ(WatchPattern("w", "b"), "ortan5/w/b/#");
}

// Messages arrive as a reconnecting viewer gets them: live lines, chunks that
// overlap them, repeats, a gap filled later, an older session's leftovers.
TEST(BenchCopy, EachLineOnceInOrder) {
  const std::string s1 = "S_2026-12-08_10-00-00.txt";
  const std::string s2 = "S_2026-12-08_11-00-00_658188.txt";
  auto records = [](const std::string& session, uint64_t first, std::vector<std::string> lines) {
    BenchMessage m;
    m.kind = BenchMessage::Kind::Records;
    m.session = session;
    m.first = first;
    m.lines = std::move(lines);
    return m;
  };
  struct Step {
    BenchMessage message;
    std::vector<std::string> out;
    bool newSession;
  };
  const Step steps[] = {
      {records(s1, 1, {"a", "b"}), {"a", "b"}, true},
      {records(s1, 2, {"b"}), {}, false},                 // repeated
      {records(s1, 4, {"d"}), {}, false},                 // a gap: held back
      {records(s1, 1, {"a", "b", "c", "d"}), {"c", "d"}, false},  // a chunk fills it
      {records(s1, 5, {"e"}), {"e"}, false},
      {records(s2, 1, {"x"}), {"x"}, true},               // the next session
      {records(s1, 6, {"f"}), {}, false},                 // the old one's leftovers
      {records(s2, 2, {"y"}), {"y"}, false},
  };
  BenchCopy copy;
  for (const Step& step : steps) {
    const auto update = copy.Take(step.message);
    EXPECT_EQ(update.records, step.out);
    EXPECT_EQ(update.newSession, step.newSession);
  }
  EXPECT_EQ(copy.Session(), s2);
  EXPECT_EQ(copy.Records(), 2u);
  EXPECT_EQ(copy.Waiting(), 0u);
}

}  // namespace
}  // namespace o5::test
