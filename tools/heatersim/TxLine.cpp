// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/heatersim/TxLine.h"

#include <algorithm>

namespace o5::sim {

TxLine::TxLine(long baud) { SetBaud(baud); }

void TxLine::SetBaud(long baud) {
  baud_ = baud > 0 ? baud : 0;
  byteTime_ = baud_ > 0 ? std::chrono::duration_cast<Duration>(std::chrono::nanoseconds(
                              kBitsPerByte * 1'000'000'000LL / baud_))
                        : Duration{};
}

void TxLine::Enqueue(TxItem item) {
  if (item.bytes.empty()) return;
  if (item.splitAt >= item.bytes.size()) item.splitAt = 0;
  queue_.push_back(std::move(item));
}

bool TxLine::StartNext(TimePoint now) {
  auto ready = [now](const TxItem& item) { return item.notBefore <= now; };
  auto pick = queue_.end();
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if (it->priority && ready(*it)) {
      pick = it;
      break;
    }
  }
  if (pick == queue_.end()) pick = std::find_if(queue_.begin(), queue_.end(), ready);
  if (pick == queue_.end()) return false;
  current_ = std::move(*pick);
  queue_.erase(pick);
  // An idle line does not save up time: the first byte of a frame goes at the earliest now.
  lineFree_ = std::max(lineFree_, now);
  current_->resumeAt = now;
  return true;
}

TxLine::PumpResult TxLine::Pump(TimePoint now, const WriteFn& write) {
  PumpResult result;
  for (;;) {
    if (!current_ && !StartNext(now)) break;
    TxItem& item = *current_;
    if (item.resumeAt > now) break;
    const bool paced = baud_ > 0;
    if (paced && lineFree_ > now) break;

    const std::size_t limit = item.splitAt > item.sent ? item.splitAt : item.bytes.size();
    std::size_t count = limit - item.sent;
    if (paced) {
      // Catch up after a late wake-up, but never run ahead of the line.
      const auto due = static_cast<std::size_t>((now - lineFree_) / byteTime_) + 1;
      count = std::min(count, due);
    }
    const WriteResult written = write(item.bytes.data() + item.sent, count);
    if (written.lineGone) {
      result.lineGone = true;
      return result;
    }
    item.lost += count - std::min(count, written.accepted);
    item.sent += count;
    if (paced) lineFree_ += byteTime_ * static_cast<long>(count);

    if (item.sent == item.splitAt && item.sent < item.bytes.size()) {
      item.resumeAt = std::max(now, lineFree_) + item.splitGap;
      lineFree_ = std::max(lineFree_, item.resumeAt);
      continue;
    }
    if (item.sent == item.bytes.size()) {
      result.finished.push_back(std::move(item));
      current_.reset();
    }
  }
  return result;
}

std::optional<TimePoint> TxLine::NextDeadline() const {
  const bool paced = baud_ > 0;
  if (current_) return paced ? std::max(current_->resumeAt, lineFree_) : current_->resumeAt;
  std::optional<TimePoint> deadline;
  for (const TxItem& item : queue_) {
    const TimePoint at = paced ? std::max(item.notBefore, lineFree_) : item.notBefore;
    if (!deadline || at < *deadline) deadline = at;
  }
  return deadline;
}

std::size_t TxLine::DropWaitingTelemetry() {
  const std::size_t before = queue_.size();
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [](const TxItem& item) { return item.telemetry; }),
               queue_.end());
  return before - queue_.size();
}

bool TxLine::TelemetryWaiting() const {
  if (current_ && current_->telemetry) return true;
  return std::any_of(queue_.begin(), queue_.end(), [](const TxItem& item) { return item.telemetry; });
}

void TxLine::Clear() {
  current_.reset();
  queue_.clear();
}

}  // namespace o5::sim
