// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/RemoteFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>

namespace o5 {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Json(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

QJsonValue Serial(std::optional<uint32_t> serial) {
  return serial ? QJsonValue(QString::number(*serial)) : QJsonValue(QJsonValue::Null);
}

std::optional<uint32_t> ReadSerial(const QJsonValue& value) {
  bool ok = false;
  const uint32_t serial = value.toString().toUInt(&ok);
  return ok ? std::optional<uint32_t>(serial) : std::nullopt;
}

// Sequence numbers stay far below 2^53: a JSON number holds them exactly.
uint64_t ReadSeq(const QJsonValue& value) {
  const double seq = value.toDouble(0);
  return seq >= 1 ? static_cast<uint64_t>(seq) : 0;
}

}  // namespace

std::string BenchTopic(std::string_view workshop, std::string_view bench, std::string_view leaf) {
  std::string topic(kTopicRoot);
  topic.append("/").append(workshop).append("/").append(bench).append("/").append(leaf);
  return topic;
}

std::string WatchPattern(std::string_view workshop, std::string_view bench) {
  return BenchTopic(workshop, bench, "#");
}

std::string StatusOnlinePayload(std::string_view session, std::optional<uint32_t> serial, std::string_view tool) {
  return Json({{"state", "online"}, {"session", Text(session)}, {"serial", Serial(serial)}, {"tool", Text(tool)}});
}

std::string StatusOfflinePayload() { return Json({{"state", "offline"}}); }

std::string RecordPayload(std::string_view session, uint64_t seq, std::string_view line) {
  return Json({{"session", Text(session)}, {"seq", static_cast<double>(seq)}, {"line", Text(line)}});
}

std::string EventPayload(std::string_view session, uint64_t seq, const TimedText& event) {
  return Json({{"session", Text(session)},
               {"seq", static_cast<double>(seq)},
               {"time", Text(event.time)},
               {"text", Text(event.text)}});
}

std::string BlackBoxPayload(uint32_t serial, std::string_view time, std::string_view imageHex) {
  return Json({{"serial", Serial(serial)}, {"time", Text(time)}, {"image", Text(imageHex)}});
}

std::string RecordChunkPayload(std::string_view session, uint64_t first, std::span<const std::string> lines) {
  QJsonArray array;
  for (const auto& line : lines) array.append(Text(line));
  return Json({{"session", Text(session)}, {"first", static_cast<double>(first)}, {"lines", array}});
}

std::string EventChunkPayload(std::string_view session, uint64_t first, std::span<const TimedText> events) {
  QJsonArray array;
  for (const auto& event : events) array.append(QJsonObject{{"time", Text(event.time)}, {"text", Text(event.text)}});
  return Json({{"session", Text(session)}, {"first", static_cast<double>(first)}, {"events", array}});
}

std::optional<BenchMessage> ParseBenchMessage(std::string_view topic, std::string_view payload) {
  // ortan5/<workshop>/<bench>/<leaf...>
  std::vector<std::string_view> levels;
  for (std::size_t at = 0;;) {
    const auto slash = topic.find('/', at);
    levels.push_back(topic.substr(at, slash == std::string_view::npos ? std::string_view::npos : slash - at));
    if (slash == std::string_view::npos) break;
    at = slash + 1;
  }
  if (levels.size() < 4 || levels[0] != kTopicRoot) return std::nullopt;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(payload.data(), static_cast<qsizetype>(payload.size())));
  if (!document.isObject()) return std::nullopt;
  const QJsonObject o = document.object();
  BenchMessage m;
  m.workshop = std::string(levels[1]);
  m.bench = std::string(levels[2]);
  const std::string_view leaf = topic.substr(levels[0].size() + levels[1].size() + levels[2].size() + 3);
  m.session = o.value("session").toString().toStdString();
  if (leaf == kStatusLeaf) {
    m.kind = BenchMessage::Kind::Status;
    m.online = o.value("state").toString() == QLatin1String("online");
    m.serial = ReadSerial(o.value("serial"));
    m.tool = o.value("tool").toString().toStdString();
    return m;
  }
  if (leaf == kBlackBoxLeaf) {
    m.kind = BenchMessage::Kind::BlackBox;
    m.serial = ReadSerial(o.value("serial"));
    m.time = o.value("time").toString().toStdString();
    m.image = o.value("image").toString().toStdString();
    return m;
  }
  if (m.session.empty()) return std::nullopt;
  if (leaf == kRecordsLeaf || leaf == kEventsLeaf) {
    m.first = ReadSeq(o.value("seq"));
    if (m.first == 0) return std::nullopt;
    if (leaf == kRecordsLeaf) {
      m.kind = BenchMessage::Kind::Records;
      m.lines.push_back(o.value("line").toString().toStdString());
    } else {
      m.kind = BenchMessage::Kind::Events;
      m.events.push_back({o.value("time").toString().toStdString(), o.value("text").toString().toStdString()});
    }
    return m;
  }
  m.first = ReadSeq(o.value("first"));
  if (m.first == 0) return std::nullopt;
  if (leaf.starts_with(kRecordHistoryLeaf)) {
    m.kind = BenchMessage::Kind::Records;
    for (const auto& line : o.value("lines").toArray()) m.lines.push_back(line.toString().toStdString());
    return m;
  }
  if (leaf.starts_with(kEventHistoryLeaf)) {
    m.kind = BenchMessage::Kind::Events;
    for (const auto& event : o.value("events").toArray()) {
      const QJsonObject e = event.toObject();
      m.events.push_back({e.value("time").toString().toStdString(), e.value("text").toString().toStdString()});
    }
    return m;
  }
  return std::nullopt;
}

}  // namespace o5
