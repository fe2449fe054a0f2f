// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A viewer's copy of a bench: what arrives from the broker (live messages and
// retained history chunks, in any overlap, repeated after a reconnection)
// becomes the bench's records and events of its latest session, each once and
// in order. A message of a later session (by the journal's name, which
// begins with its opening time) starts that session; one of an earlier session
// is passed over. A gap waits until a history chunk fills it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "remote/RemoteFormat.h"

namespace o5 {

class BenchCopy {
 public:
  struct Update {
    bool newSession = false;  // the lines below begin another session
    std::vector<std::string> records;
    std::vector<TimedText> events;
  };
  Update Take(const BenchMessage& message);

  const std::string& Session() const { return session_; }
  uint64_t Records() const { return records_.next - 1; }
  uint64_t Events() const { return events_.next - 1; }
  // Lines held back behind a gap.
  std::size_t Waiting() const { return records_.pending.size() + events_.pending.size(); }

 private:
  template <typename T>
  struct Sequence {
    uint64_t next = 1;
    std::map<uint64_t, T> pending;
    void Add(uint64_t first, std::vector<T> items, std::vector<T>& out);
  };

  std::string session_;
  Sequence<std::string> records_;
  Sequence<TimedText> events_;
};

}  // namespace o5
