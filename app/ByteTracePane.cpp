// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ByteTracePane.h"

namespace o5 {

ByteTracePane::ByteTracePane(QWidget* parent) : QWidget(parent) {}

void ByteTracePane::AppendBytes(const uint8_t* data, size_t size) {
  bytes_.insert(bytes_.end(), data, data + size);
}

void ByteTracePane::Clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
}

QString ByteTracePane::Line(size_t index) const { return QString::number(bytes_.at(index)); }

QString ByteTracePane::Text() const {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes_.size() * 4));
  for (size_t i = 0; i < bytes_.size(); ++i) {
    if (i) text += '\n';
    text += QString::number(bytes_[i]);
  }
  return text;
}

}  // namespace o5
