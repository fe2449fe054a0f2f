// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Пуски в журнале": the runs of a record log or journal, oldest first, each
// with its number, the clock time it began at where the journal's timeline
// tells it, its length (the run timer at its last record), how far it got
// (check, ignition, warm-up, or the heating mode it spent longest in) and its
// fault codes. The last run is selected; Enter or a
// double click charts the selected run, Esc charts nothing.

#include <QDialog>

#include <cstddef>
#include <functional>
#include <optional>

class QTreeWidget;

namespace o5 {

class RecordLog;

class RunListDialog : public QDialog {
  Q_OBJECT

 public:
  RunListDialog(const RecordLog& log, QWidget* parent = nullptr);

  // The run selected, 0 being the oldest.
  std::optional<std::size_t> SelectedRun() const;

  QTreeWidget* lvRuns;
};

// The run of `log` the user chose; nothing when the list was closed.
std::optional<std::size_t> ChooseRun(QWidget* parent, const RecordLog& log);

// Like the file dialogs, the list can be replaced (a benchmark opens a log of
// several runs without a person to choose); returns the previous chooser. An
// empty function restores the list.
using RunChooser = std::function<std::optional<std::size_t>(QWidget* parent, const RecordLog& log)>;
RunChooser SetRunChooser(RunChooser chooser);

}  // namespace o5
