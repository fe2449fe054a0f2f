// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A bench publishing its sessions to the broker. The session journal and
// its timeline on the disk are the truth: the publisher reads them from where
// it has read so far and hands the library at most kInFlight messages that the
// broker has not acknowledged; the rest waits in the files. After an outage
// the library sends again what it holds unacknowledged, then the publisher
// goes on from the files, in order. At each connection it also renews the
// retained status, the history chunks of the session (so that a viewer that
// comes late, also to a broker restarted without its store, gets the session
// from its first line) and the last black-box readout.
//
// The session's name is its journal's file name as the journal was made; a
// readout that renames the journal after its heater does not change it.
//
// How far the broker has acknowledged the session is kept beside the
// journals (kPublishedStateName, renewed at most every kStateInterval and
// when the session ends): a tool that was closed or killed before the broker
// had everything publishes the rest of that session when it starts again,
// before the session it begins then.

#include <QObject>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "remote/MqttLink.h"
#include "remote/RemoteFormat.h"

namespace o5 {

class SessionJournal;

class BenchPublisher : public QObject {
  Q_OBJECT

 public:
  static constexpr uint64_t kInFlight = 200;
  static constexpr const char* kPublishedStateName = ".published";
  static constexpr std::chrono::seconds kStateInterval{2};

  // `sessionsFolder`: where the journals are and the acknowledged state is
  // kept; none is kept without it.
  BenchPublisher(const BrokerSettings& broker, std::string tool, std::string sessionsFolder = {},
                 QObject* parent = nullptr);
  ~BenchPublisher() override;

  // After each line and event the journal took: a journal made since the
  // last call is followed from its first line; what was added is published.
  void Follow(const SessionJournal& journal);
  // The journal at these paths, as Follow takes it (for tools and tests that
  // write a journal of their own).
  void FollowFiles(const std::string& journalPath, const std::string& timelinePath);
  // Reads what the followed files gained and publishes it.
  void Pump();
  // The journal ended: what it holds is still published; the next journal
  // starts a new session.
  void EndSession();
  void SerialKnown(uint32_t serial);
  // A readout, as the black-box topic carries it.
  void BlackBox(uint32_t serial, const std::string& time, const std::string& imageHex);

  MqttLink& Link() { return *link_; }
  const std::string& Session() const { return session_; }
  uint64_t RecordsRead() const { return records_.read; }
  uint64_t RecordsAcknowledged() const { return records_.acked; }
  uint64_t EventsAcknowledged() const { return events_.acked; }

 signals:
  // "Брокер: …": each change of the link once.
  void LinkChanged(const QString& text);

 private:
  // One of the session's two files, read line by line.
  struct FileReader {
    int fd = -1;
    uint64_t offset = 0;  // bytes of whole lines read
    std::string partial;  // the start of a line not yet ended
    std::vector<std::string> Read();
    void Close();
  };
  // What of one topic has been read, handed out and acknowledged.
  struct Stream {
    uint64_t read = 0;   // seq of the last line read
    uint64_t sent = 0;   // seq of the last handed to the library
    uint64_t acked = 0;  // every seq up to this one is acknowledged
    std::deque<bool> ackedAhead;  // acknowledgements past acked, by seq - acked - 1
    std::set<std::size_t> dirtyChunks;
  };
  struct InFlight {
    bool event;
    uint64_t seq;
  };


  void ReadFiles();
  void PublishHistory(bool all);
  void PublishChunk(bool events, std::size_t chunk);
  void PublishStatus();
  void OpenSession(const std::string& journalPath, const std::string& timelinePath, std::string session);
  bool Delivered() const;
  void Resume();
  void SaveState(bool now);
  void OnConnected();
  void OnPublished(int mid, int reason);
  void Acknowledge(Stream& stream, uint64_t seq);
  void ClearOldChunks();

  BrokerSettings broker_;
  std::string tool_;
  std::unique_ptr<MqttLink> link_;
  std::string session_;
  bool ended_ = false;
  std::optional<uint32_t> serial_;
  FileReader journal_;
  FileReader timeline_;
  Stream records_;
  Stream events_;
  std::vector<std::string> recordLines_;
  std::vector<TimedText> eventTexts_;
  std::map<int, InFlight> inFlight_;
  // History chunks the previous session left on the broker.
  std::size_t staleRecordChunks_ = 0;
  std::size_t staleEventChunks_ = 0;
  std::string blackBox_;  // the last readout's payload
  bool refusalSaid_ = false;
  std::string stateFile_;
  std::chrono::steady_clock::time_point stateSaved_{};
  bool stateDirty_ = false;
  // The journal begun while an earlier session still had something to send.
  std::optional<std::pair<std::string, std::string>> next_;
};

}  // namespace o5
