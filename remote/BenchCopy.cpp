// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/BenchCopy.h"

#include "archive/LocalTime.h"

namespace o5 {

namespace {

// "S_" and the opening's time: sessions of one bench sort by it.
constexpr std::size_t kSessionTimeEnd = 2 + kFileStampLength;

}  // namespace

template <typename T>
void BenchCopy::Sequence<T>::Add(uint64_t first, std::vector<T> items, std::vector<T>& out) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (first + i >= next) pending.try_emplace(first + i, std::move(items[i]));
  for (auto it = pending.begin(); it != pending.end() && it->first == next; it = pending.erase(it), ++next)
    out.push_back(std::move(it->second));
}

BenchCopy::Update BenchCopy::Take(const BenchMessage& message) {
  Update update;
  if (message.kind != BenchMessage::Kind::Records && message.kind != BenchMessage::Kind::Events) return update;
  if (message.session != session_) {
    const int order = message.session.compare(0, kSessionTimeEnd, session_, 0, kSessionTimeEnd);
    if (!session_.empty() && (order < 0 || (order == 0 && message.session < session_))) return update;
    session_ = message.session;
    records_ = {};
    events_ = {};
    update.newSession = true;
  }
  if (message.kind == BenchMessage::Kind::Records)
    records_.Add(message.first, message.lines, update.records);
  else
    events_.Add(message.first, message.events, update.events);
  return update;
}

}  // namespace o5
