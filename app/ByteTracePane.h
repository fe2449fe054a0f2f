// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The byte trace: one line per received byte, in decimal. Nothing in the
// program shows it, and over a long session it takes millions of lines, so it
// keeps the bytes themselves and makes the line texts only when asked.

#include <QWidget>

#include <cstdint>
#include <vector>

namespace o5 {

class ByteTracePane : public QWidget {
  Q_OBJECT
 public:
  explicit ByteTracePane(QWidget* parent = nullptr);

  void AppendBytes(const uint8_t* data, size_t size);
  void Clear();
  size_t LineCount() const { return bytes_.size(); }
  QString Line(size_t index) const;  // "0".."255"
  QString Text() const;              // all lines, '\n'-separated

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace o5
