// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window "Итоги пуска": the summary of the run on the chart, one line
// "<caption>: <value>" each, in a read-only text a person and a screen reader
// can read, select and copy; "Копировать" copies it whole. Not modal; the
// graph window keeps it up to date while it is shown.

#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace o5 {

class TfRunSummary : public QWidget {
  Q_OBJECT

 public:
  explicit TfRunSummary(QWidget* parent = nullptr);

  // Empty lines: there is no run on the chart.
  void SetLines(const std::vector<std::string>& lines);
  QString Text() const;
  void bCopyClick();

  QPlainTextEdit* mSummary;
  QPushButton* bCopy;
};

}  // namespace o5
