// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window "История отопителей": the heaters in the readout archive
// (latest readout first) and those only sessions were named after (without a
// readout, after them), filtered by serial number; the chosen heater's
// readouts and session journals, and the journals that belong to no heater;
// below them the timeline of the session chosen last.
// Enter or a double click opens a readout in the black-box window and a
// journal in the graph window; "Открыть" does the same for the row chosen
// last (selected by any means: an assistive tool selects without moving the
// cursor). The data folder is read afresh each time the window is opened, and
// what cannot be read there is left out of the lists without a word.

#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

#include "archive/ReadoutArchive.h"
#include "archive/SessionJournal.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace o5 {

class TimelineModel;

// The command that opens the window, in the main window (Ctrl+H) and in the
// black-box window's menu.
inline constexpr const char* kHistoryCommand = QT_TRANSLATE_NOOP("TfHistory", "История…");

class TfHistory : public QWidget {
  Q_OBJECT

 public:
  // How a chosen file is opened: a readout's image, a journal.
  using Opener = std::function<void(const QString& path)>;

  TfHistory(Opener openReadout, Opener openJournal, QWidget* parent = nullptr);

  // Shows the window (raised, active), its lists read afresh.
  void Open();
  // Reads the data folder again and fills the lists; the chosen heater stays
  // chosen while it is listed.
  void Refresh();

  // What makes the act of a heater's visit ("Акт диагностики…").
  using VisitActOpener = std::function<void(uint32_t serial)>;
  void SetVisitActOpener(VisitActOpener opener) { openVisitAct_ = std::move(opener); }

  // Handlers.
  void edSerialChange();
  void bVisitActClick();
  void bOpenClick();
  void bOpenFolderClick();

  QLineEdit* edSerial;
  QTreeWidget* tvHeaters;
  QTreeWidget* tvReadouts;
  QTreeWidget* tvSessions;
  QTreeWidget* tvOtherSessions;
  // The chosen session's timeline: time and event; under it, why none is
  // shown or how many of its lines were passed over.
  QTreeView* tvEvents;
  QLabel* lEventsNote;
  QPushButton* bOpen;
  QPushButton* bOpenFolder;
  // The act of the chosen heater's visit, also in the heaters' context menu.
  QPushButton* bVisitAct;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FillHeaters();
  void HeaterChosen();
  // A session chosen in `list`: its timeline is listed.
  void SessionChosen(QTreeWidget* list);
  void ClearTimeline();
  void OpenItem(QTreeWidget* list, QTreeWidgetItem* item);
  // The row chosen in a list: the one selected, by the keyboard, the mouse or
  // an assistive tool.
  static QTreeWidgetItem* ChosenItem(QTreeWidget* list);

  Opener openReadout_;
  Opener openJournal_;
  VisitActOpener openVisitAct_;
  ReadoutArchive archive_;
  std::vector<HeaterEntry> heaters_;
  // Journals named after a heater, by its serial number; newest first.
  std::map<uint32_t, std::vector<JournalFile>> heaterJournals_;
  QTreeWidget* lastList_ = nullptr;  // the list whose row "Открыть" opens
  QString timelineShown_;  // the journal whose timeline is listed
  TimelineModel* events_;
  bool refreshed_ = false;  // by Open, so that the show does not read again
};

}  // namespace o5
