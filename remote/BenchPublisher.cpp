// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/BenchPublisher.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <span>

#include "archive/ArchiveNames.h"
#include "archive/SessionJournal.h"
#include "settings/AtomicFile.h"
#include "remote/RemoteTexts.h"

namespace o5 {

namespace {

// "YYYY-MM-DD HH:MM:SS" before the tab of a timeline's line.
constexpr std::size_t kTimeLength = 19;

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::size_t ChunkCount(uint64_t lines) { return static_cast<std::size_t>((lines + kHistoryChunk - 1) / kHistoryChunk); }

}  // namespace

std::vector<std::string> BenchPublisher::FileReader::Read() {
  std::vector<std::string> lines;
  if (fd < 0) return lines;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(offset + partial.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    partial.append(buffer, static_cast<std::size_t>(n));
    std::size_t at = 0;
    for (std::size_t end; (end = partial.find('\n', at)) != std::string::npos; at = end + 1) {
      std::size_t stop = end;
      if (stop > at && partial[stop - 1] == '\r') --stop;
      lines.emplace_back(partial, at, stop - at);
    }
    offset += at;
    partial.erase(0, at);
  }
  return lines;
}

void BenchPublisher::FileReader::Close() {
  if (fd >= 0) ::close(fd);
  *this = {};
}

BenchPublisher::BenchPublisher(const BrokerSettings& broker, std::string tool, std::string sessionsFolder,
                               QObject* parent)
    : QObject(parent), broker_(broker), tool_(std::move(tool)) {
  if (!sessionsFolder.empty()) stateFile_ = sessionsFolder + "/" + kPublishedStateName;
  MqttOptions options;
  options.broker = broker_;
  options.willTopic = BenchTopic(broker_.workshop, broker_.bench, kStatusLeaf);
  options.willPayload = StatusOfflinePayload();
  link_ = std::make_unique<MqttLink>(std::move(options));
  connect(link_.get(), &MqttLink::Connected, this, &BenchPublisher::OnConnected);
  connect(link_.get(), &MqttLink::Published, this, &BenchPublisher::OnPublished);
  connect(link_.get(), &MqttLink::StateChanged, this, &BenchPublisher::LinkChanged);
  Resume();
}

BenchPublisher::~BenchPublisher() {
  // A bench that closes says so itself; the will is for one that could not.
  if (link_->IsConnected())
    link_->Publish(BenchTopic(broker_.workshop, broker_.bench, kStatusLeaf), StatusOfflinePayload(), 1, true);
  SaveState(true);
  link_.reset();
  journal_.Close();
  timeline_.Close();
}

void BenchPublisher::Follow(const SessionJournal& journal) {
  if (!journal.Active() || journal.Path().empty()) return;
  if (session_.empty() || ended_) FollowFiles(journal.Path(), journal.TimelinePath());
  Pump();
}

void BenchPublisher::FollowFiles(const std::string& journalPath, const std::string& timelinePath) {
  // An earlier session that the broker has not had whole goes first.
  if (!session_.empty() && ended_ && !Delivered()) {
    next_.emplace(journalPath, timelinePath);
    return;
  }
  OpenSession(journalPath, timelinePath, BaseName(journalPath));
  SaveState(true);
  Pump();
}

bool BenchPublisher::Delivered() const {
  return records_.acked >= records_.read && events_.acked >= events_.read;
}

void BenchPublisher::OpenSession(const std::string& journalPath, const std::string& timelinePath, std::string session) {
  next_.reset();
  if (!session_.empty()) {
    staleRecordChunks_ = std::max(staleRecordChunks_, ChunkCount(records_.read));
    staleEventChunks_ = std::max(staleEventChunks_, ChunkCount(events_.read));
  }
  journal_.Close();
  timeline_.Close();
  records_ = {};
  events_ = {};
  recordLines_.clear();
  eventTexts_.clear();
  inFlight_.clear();
  serial_.reset();
  ended_ = false;
  session_ = std::move(session);
  journal_.fd = ::open(journalPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (!timelinePath.empty()) timeline_.fd = ::open(timelinePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (link_->IsConnected()) PublishStatus();
}

void BenchPublisher::EndSession() {
  Pump();
  ended_ = true;
  SaveState(true);
}

// The state file: "<session>\t<records acknowledged>\t<events acknowledged>\n".
void BenchPublisher::Resume() {
  if (stateFile_.empty()) return;
  std::ifstream in(stateFile_);
  std::string session;
  uint64_t records = 0;
  uint64_t events = 0;
  if (!std::getline(in, session, '\t') || !(in >> records >> events)) return;
  const auto name = ParseJournalFileName(session);
  if (!name) return;
  // The journal may have been named after its heater since.
  const std::string folder = stateFile_.substr(0, stateFile_.rfind('/'));
  for (const SessionFiles& files : ListSessions(folder)) {
    if (!(files.name.opened == name->opened) || files.journal.empty()) continue;
    OpenSession(files.journal, files.timeline, session);
    ReadFiles();
    records_.sent = records_.acked = std::min(records, records_.read);
    events_.sent = events_.acked = std::min(events, events_.read);
    ended_ = true;
    return;
  }
}

void BenchPublisher::SaveState(bool now) {
  if (stateFile_.empty() || session_.empty()) return;
  const auto time = std::chrono::steady_clock::now();
  if (!now && time - stateSaved_ < kStateInterval) {
    stateDirty_ = true;
    return;
  }
  stateSaved_ = time;
  stateDirty_ = false;
  // A state that cannot be written only costs lines sent twice after a
  // restart, which a viewer drops by their sequence numbers.
  AtomicFile(stateFile_).Replace(session_ + "\t" + std::to_string(records_.acked) + "\t" +
                                 std::to_string(events_.acked) + "\n");
}

void BenchPublisher::SerialKnown(uint32_t serial) {
  if (serial_ == serial) return;
  serial_ = serial;
  if (link_->IsConnected()) PublishStatus();
}

void BenchPublisher::BlackBox(uint32_t serial, const std::string& time, const std::string& imageHex) {
  blackBox_ = BlackBoxPayload(serial, time, imageHex);
  if (link_->IsConnected()) link_->Publish(BenchTopic(broker_.workshop, broker_.bench, kBlackBoxLeaf), blackBox_, 1, true);
  SerialKnown(serial);
}

void BenchPublisher::ReadFiles() {
  for (auto& line : journal_.Read()) {
    recordLines_.push_back(std::move(line));
    records_.dirtyChunks.insert((++records_.read - 1) / kHistoryChunk);
  }
  for (auto& line : timeline_.Read()) {
    if (line.size() <= kTimeLength || line[kTimeLength] != '\t') continue;  // not an event
    eventTexts_.push_back({line.substr(0, kTimeLength), line.substr(kTimeLength + 1)});
    events_.dirtyChunks.insert((++events_.read - 1) / kHistoryChunk);
  }
}

void BenchPublisher::Pump() {
  if (next_ && Delivered()) {
    const auto [journal, timeline] = *next_;
    OpenSession(journal, timeline, BaseName(journal));
    SaveState(true);
  }
  if (stateDirty_) SaveState(false);
  ReadFiles();
  if (!link_->IsConnected() || session_.empty()) return;
  ClearOldChunks();
  PublishHistory(false);
  const std::string recordsTopic = BenchTopic(broker_.workshop, broker_.bench, kRecordsLeaf);
  const std::string eventsTopic = BenchTopic(broker_.workshop, broker_.bench, kEventsLeaf);
  for (Stream* stream : {&records_, &events_}) {
    const bool event = stream == &events_;
    while (stream->sent < stream->read && stream->sent - stream->acked < kInFlight) {
      const uint64_t seq = stream->sent + 1;
      const int mid = event ? link_->Publish(eventsTopic, EventPayload(session_, seq, eventTexts_[seq - 1]), 1, false)
                            : link_->Publish(recordsTopic, RecordPayload(session_, seq, recordLines_[seq - 1]), 1, false);
      if (mid == 0) break;
      stream->sent = seq;
      inFlight_[mid] = {event, seq};
    }
  }
}

void BenchPublisher::PublishChunk(bool events, std::size_t chunk) {
  const uint64_t first = chunk * kHistoryChunk + 1;
  std::string payload;
  std::string topic = BenchTopic(broker_.workshop, broker_.bench, events ? kEventHistoryLeaf : kRecordHistoryLeaf);
  topic += std::to_string(chunk);
  if (events) {
    const std::size_t end = std::min<std::size_t>(eventTexts_.size(), first - 1 + kHistoryChunk);
    payload = EventChunkPayload(session_, first, std::span(eventTexts_).subspan(first - 1, end - (first - 1)));
  } else {
    const std::size_t end = std::min<std::size_t>(recordLines_.size(), first - 1 + kHistoryChunk);
    payload = RecordChunkPayload(session_, first, std::span(recordLines_).subspan(first - 1, end - (first - 1)));
  }
  link_->Publish(topic, payload, 1, true, kHistoryExpirySeconds);
}

void BenchPublisher::PublishHistory(bool all) {
  if (all) {
    for (std::size_t chunk = 0; chunk < ChunkCount(records_.read); ++chunk) PublishChunk(false, chunk);
    for (std::size_t chunk = 0; chunk < ChunkCount(events_.read); ++chunk) PublishChunk(true, chunk);
  } else {
    for (const std::size_t chunk : records_.dirtyChunks) PublishChunk(false, chunk);
    for (const std::size_t chunk : events_.dirtyChunks) PublishChunk(true, chunk);
  }
  records_.dirtyChunks.clear();
  events_.dirtyChunks.clear();
}

// An empty retained message removes the chunk from the broker.
void BenchPublisher::ClearOldChunks() {
  const auto clear = [this](std::string_view leaf, std::size_t from, std::size_t to) {
    for (std::size_t chunk = from; chunk < to; ++chunk)
      link_->Publish(BenchTopic(broker_.workshop, broker_.bench, leaf) + std::to_string(chunk), {}, 1, true);
  };
  clear(kRecordHistoryLeaf, ChunkCount(records_.read), staleRecordChunks_);
  clear(kEventHistoryLeaf, ChunkCount(events_.read), staleEventChunks_);
  staleRecordChunks_ = staleEventChunks_ = 0;
}

void BenchPublisher::PublishStatus() {
  link_->Publish(BenchTopic(broker_.workshop, broker_.bench, kStatusLeaf),
                 StatusOnlinePayload(session_, serial_, tool_), 1, true);
}

void BenchPublisher::OnConnected() {
  PublishStatus();
  ReadFiles();
  ClearOldChunks();
  PublishHistory(true);
  if (!blackBox_.empty()) link_->Publish(BenchTopic(broker_.workshop, broker_.bench, kBlackBoxLeaf), blackBox_, 1, true);
  Pump();
}

void BenchPublisher::OnPublished(int mid, int reason) {
  const auto it = inFlight_.find(mid);
  if (it == inFlight_.end()) return;
  const InFlight message = it->second;
  inFlight_.erase(it);
  // Refused for good (the broker's rules): said once; sending it again
  // would be refused again.
  if (reason >= 128 && !refusalSaid_) {
    refusalSaid_ = true;
    const char* why = mosquitto_reason_string(reason);
    emit LinkChanged(
        QString::fromStdString(WithArgument(Translate("RemoteTexts", kPublishRefusedText.data()), why ? why : "")));
  }
  Acknowledge(message.event ? events_ : records_, message.seq);
  SaveState(false);
  Pump();
}

void BenchPublisher::Acknowledge(Stream& stream, uint64_t seq) {
  if (seq <= stream.acked) return;
  const std::size_t at = static_cast<std::size_t>(seq - stream.acked - 1);
  if (stream.ackedAhead.size() <= at) stream.ackedAhead.resize(at + 1, false);
  stream.ackedAhead[at] = true;
  while (!stream.ackedAhead.empty() && stream.ackedAhead.front()) {
    stream.ackedAhead.pop_front();
    ++stream.acked;
  }
}

}  // namespace o5
