// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialog "Акт диагностики": the workshop's fields (the workshop's name
// remembered in the settings file), the visit's runs to put in the act, all
// ticked, the run whose chart goes on the page (the last with a fault, else
// the last), and the act saved as PDF or printed.

#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

#include "archive/VisitAct.h"
#include "archive/VisitRuns.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace o5 {

class TfBB;

// The settings file's key of the workshop's name.
inline constexpr const char* kReportWorkshopKey = "ReportWorkshop";

// What an act is made of.
struct VisitActSource {
  Visit visit;
  std::optional<VisitActBlackBox> blackBox;
  std::optional<uint32_t> serial;
  LocalTime date;
};

// The visit of the report the black-box window shows: the day of its
// readout, the heater's sessions of that day and `currentJournal`.
VisitActSource VisitOfReport(const TfBB& window, const std::string& currentJournal);
// The visit of heater `serial` as the data folder keeps it: the day of its
// latest readout or session, whichever is later, with that readout.
VisitActSource VisitOfHeater(uint32_t serial, const std::string& currentJournal);

class TfVisitAct : public QDialog {
  Q_OBJECT

 public:
  explicit TfVisitAct(VisitActSource source, QWidget* parent = nullptr);

  // What the page says now, and the run whose chart it shows (none: no run
  // ticked).
  VisitActContent Content() const;
  const VisitRun* ChartRun() const;
  // "Act_658188_2026-12-08.pdf".
  QString ProposedName() const;

  void bSaveClick();
  void bPrintClick();

  QLineEdit* edWorkshop;
  QLineEdit* edCustomer;
  QLineEdit* edVehicle;
  QPlainTextEdit* mConclusion;
  QListWidget* lvRuns;
  QComboBox* cbChartRun;
  QPushButton* bSave;
  QPushButton* bPrint;
  QPushButton* bCancel;

 private:
  void BuildControls();
  void FillChartRuns();
  void RememberWorkshop();

  VisitActSource source_;
};

// Opens the dialog (modal) for `source`.
void ShowVisitAct(VisitActSource source, QWidget* parent);

}  // namespace o5
