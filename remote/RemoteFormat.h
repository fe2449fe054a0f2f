// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a bench publishes, under ortan5/<workshop>/<bench>/ (UTF-8 JSON):
//   status            retained  {"state": "online", "session", "serial", "tool"};
//                               the will, also retained: {"state": "offline"}
//   records           QoS 1     {"session", "seq", "line"}, seq from 1 a session
//   events            QoS 1     {"session", "seq", "time", "text"}
//   blackbox          retained  {"serial", "time", "image": 512 hex digits}
//   history/records/<k>  retained, expiring: {"session", "first", "lines": [...]}
//   history/events/<k>   retained, expiring: {"session", "first", "events": [{"time", "text"}]}
// The history topics keep the session so far on the broker for a viewer that
// comes late: chunk k holds seq k*kHistoryChunk+1 onwards.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace o5 {

inline constexpr std::string_view kTopicRoot = "ortan5";
inline constexpr std::string_view kStatusLeaf = "status";
inline constexpr std::string_view kRecordsLeaf = "records";
inline constexpr std::string_view kEventsLeaf = "events";
inline constexpr std::string_view kBlackBoxLeaf = "blackbox";
inline constexpr std::string_view kRecordHistoryLeaf = "history/records/";
inline constexpr std::string_view kEventHistoryLeaf = "history/events/";
inline constexpr std::size_t kHistoryChunk = 100;
// How long a history chunk stays on the broker when nobody renews it.
inline constexpr uint32_t kHistoryExpirySeconds = 7 * 24 * 3600;

// "ortan5/<workshop>/<bench>/<leaf>"; the bench "+" makes a pattern.
std::string BenchTopic(std::string_view workshop, std::string_view bench, std::string_view leaf);
// "ortan5/<workshop>/<bench>/#": everything of one bench.
std::string WatchPattern(std::string_view workshop, std::string_view bench);

struct TimedText {
  std::string time;  // "YYYY-MM-DD HH:MM:SS"
  std::string text;
};

std::string StatusOnlinePayload(std::string_view session, std::optional<uint32_t> serial, std::string_view tool);
std::string StatusOfflinePayload();
std::string RecordPayload(std::string_view session, uint64_t seq, std::string_view line);
std::string EventPayload(std::string_view session, uint64_t seq, const TimedText& event);
std::string BlackBoxPayload(uint32_t serial, std::string_view time, std::string_view imageHex);
std::string RecordChunkPayload(std::string_view session, uint64_t first, std::span<const std::string> lines);
std::string EventChunkPayload(std::string_view session, uint64_t first, std::span<const TimedText> events);

// One message of a bench, read back.
struct BenchMessage {
  enum class Kind { Status, Records, Events, BlackBox };
  Kind kind = Kind::Status;
  std::string workshop;
  std::string bench;
  // status
  bool online = false;
  std::optional<uint32_t> serial;
  std::string tool;
  // records and events: a live message is a chunk of one
  std::string session;
  uint64_t first = 0;
  std::vector<std::string> lines;
  std::vector<TimedText> events;
  // blackbox
  std::string time;
  std::string image;
};
// Nothing for a topic or payload that is not a bench's (an emptied history
// chunk included).
std::optional<BenchMessage> ParseBenchMessage(std::string_view topic, std::string_view payload);

}  // namespace o5
