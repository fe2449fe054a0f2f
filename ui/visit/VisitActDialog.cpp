// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/visit/VisitActDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/AppTitle.h"
#include "archive/DataFolder.h"
#include "archive/ReadoutArchive.h"
#include "archive/SessionJournal.h"
#include "heater/FaultLegend.h"
#include "settings/SettingsFile.h"
#include "settings/UserFile.h"
#include "ui/UserDialogs.h"
#include "ui/blackbox/TfBB.h"
#include "ui/visit/VisitActPrint.h"

namespace o5 {

namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// "08.12.2026 15:20:03" as the report's source writes it.
std::optional<LocalTime> ParseShownTime(const std::string& text) {
  LocalTime t;
  if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d", &t.day, &t.month, &t.year, &t.hour, &t.minute, &t.second) != 6)
    return std::nullopt;
  return t;
}

}  // namespace

VisitActSource VisitOfReport(const TfBB& window, const std::string& currentJournal) {
  VisitActSource source;
  source.date = LocalTimeNow();
  if (window.HasReport()) {
    const BlackBoxBytes& image = window.ReportImage();
    source.serial = BlackBoxSerialNumber(image);
    if (const auto when = ParseShownTime(window.Source().time)) source.date = *when;
    source.blackBox = VisitActBlackBox{image, window.Source().time, window.Earlier()};
  }
  if (source.serial)
    source.visit = GatherVisit(ChooseDataFolder().Sessions(), *source.serial, source.date, currentJournal);
  return source;
}

VisitActSource VisitOfHeater(uint32_t serial, const std::string& currentJournal) {
  const DataFolder data = ChooseDataFolder();
  const ReadoutArchive archive(data);
  VisitActSource source;
  source.serial = serial;
  source.date = LocalTimeNow();
  std::optional<ArchivedReadout> latest;
  for (const ReadoutEntry& entry : archive.Readouts(serial))
    if (const auto image = ReadoutArchive::LoadImage(entry)) {
      latest = ArchivedReadout{entry, *image};
      break;
    }
  std::optional<LocalTime> day = latest ? std::optional(latest->entry.when) : std::nullopt;
  for (const JournalFile& journal : ListJournals(data.Sessions()))
    if (journal.name.serial == serial) {
      if (!day || journal.name.opened > *day) day = journal.name.opened;
      break;
    }
  if (day) source.date = *day;
  if (latest) {
    VisitActBlackBox blackBox{latest->image, DisplayTime(latest->entry.when), std::nullopt};
    if (const auto earlier = archive.LatestBefore(serial, latest->entry.when))
      // To the minute, as the black-box window names an earlier readout.
      blackBox.earlier = BlackBoxEarlier{earlier->image, DisplayTime(earlier->entry.when).substr(0, 16)};
    source.blackBox = std::move(blackBox);
  }
  source.visit = GatherVisit(data.Sessions(), serial, source.date, currentJournal);
  return source;
}

TfVisitAct::TfVisitAct(VisitActSource source, QWidget* parent) : QDialog(parent), source_(std::move(source)) {
  setObjectName("fVisitAct");
  setWindowTitle(tr("Акт диагностики"));
  BuildControls();
}

void TfVisitAct::BuildControls() {
  auto* root = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  // Each label's letter for Alt is its own in the dialog.
  auto field = [&](const char* name, std::string_view caption, int mnemonic, QWidget* edit) {
    edit->setObjectName(name);
    const QString shown = QString::fromStdString(Translate("VisitAct", caption.data()));
    edit->setAccessibleName(shown);
    auto* label = new QLabel(QString(shown).insert(mnemonic, '&') + ":", this);
    label->setBuddy(edit);
    form->addRow(label, edit);
  };
  edWorkshop = new QLineEdit(this);
  edCustomer = new QLineEdit(this);
  edVehicle = new QLineEdit(this);
  mConclusion = new QPlainTextEdit(this);
  mConclusion->setTabChangesFocus(true);
  mConclusion->setMinimumHeight(4 * fontMetrics().lineSpacing());
  field("edWorkshop", kActWorkshop, 0, edWorkshop);
  field("edCustomer", kActCustomer, 0, edCustomer);
  field("edVehicle", kActVehicle, 0, edVehicle);
  field("mConclusion", kActConclusion, 3, mConclusion);
  edWorkshop->setText(Text(SettingsFile().ReadString(kSettingsSection, kReportWorkshopKey)));
  root->addLayout(form);

  auto* runsLabel = new QLabel(tr("П&уски визита:"), this);
  lvRuns = new QListWidget(this);
  lvRuns->setObjectName("lvRuns");
  lvRuns->setAccessibleName(tr("Пуски визита"));
  runsLabel->setBuddy(lvRuns);
  for (std::size_t k = 0; k < source_.visit.runs.size(); ++k) {
    const SessionRun& run = source_.visit.runs[k].model;
    QString faults;
    for (const RunFault& fault : run.faults) faults += (faults.isEmpty() ? "" : ", ") + QString::number(fault.code);
    const QString start = run.start ? Text(WallDateTimeText(*run.start)) : tr("начало не записано");
    const QString text = tr("Пуск %1: %2, %3, %4")
                             .arg(k + 1)
                             .arg(start, Text(ActDuration(double(run.length))),
                                  faults.isEmpty() ? tr("без неисправностей") : tr("неисправности: %1").arg(faults));
    auto* item = new QListWidgetItem(text, lvRuns);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    item->setData(Qt::UserRole, static_cast<qulonglong>(k));
  }
  if (lvRuns->count() > 0) lvRuns->setCurrentRow(0);
  root->addWidget(runsLabel);
  root->addWidget(lvRuns, 1);

  auto* chartRow = new QFormLayout;
  cbChartRun = new QComboBox(this);
  cbChartRun->setObjectName("cbChartRun");
  cbChartRun->setAccessibleName(tr("График пуска"));
  auto* chartLabel = new QLabel(tr("&График пуска:"), this);
  chartLabel->setBuddy(cbChartRun);
  chartRow->addRow(chartLabel, cbChartRun);
  root->addLayout(chartRow);
  FillChartRuns();
  connect(lvRuns, &QListWidget::itemChanged, this, [this] { FillChartRuns(); });

  auto* buttons = new QDialogButtonBox(this);
  bSave = buttons->addButton(tr("&Сохранить…"), QDialogButtonBox::ActionRole);
  bPrint = buttons->addButton(tr("&Печать…"), QDialogButtonBox::ActionRole);
  bCancel = buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
  bSave->setObjectName("bSave");
  bPrint->setObjectName("bPrint");
  bCancel->setObjectName("bCancel");
  bSave->setDefault(true);
  root->addWidget(buttons);
  connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
  connect(bPrint, &QPushButton::clicked, this, [this] { bPrintClick(); });
  connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);

  setTabOrder(edWorkshop, edCustomer);
  setTabOrder(edCustomer, edVehicle);
  setTabOrder(edVehicle, mConclusion);
  setTabOrder(mConclusion, lvRuns);
  setTabOrder(lvRuns, cbChartRun);
  setTabOrder(cbChartRun, bSave);
  setTabOrder(bSave, bPrint);
  setTabOrder(bPrint, bCancel);
  resize(620, 520);
}

// The runs ticked; the chosen chart stays chosen while its run is ticked.
void TfVisitAct::FillChartRuns() {
  const QVariant chosen = cbChartRun->currentData();
  const QSignalBlocker quiet(cbChartRun);
  cbChartRun->clear();
  std::vector<VisitRun> ticked;
  std::vector<std::size_t> indexes;
  for (int row = 0; row < lvRuns->count(); ++row)
    if (lvRuns->item(row)->checkState() == Qt::Checked) {
      const auto k = static_cast<std::size_t>(lvRuns->item(row)->data(Qt::UserRole).toULongLong());
      indexes.push_back(k);
      cbChartRun->addItem(tr("Пуск %1").arg(k + 1), static_cast<qulonglong>(k));
    }
  cbChartRun->addItem(tr("Без графика"), QVariant());
  int keep = chosen.isValid() ? cbChartRun->findData(chosen) : -1;
  if (keep < 0 && !indexes.empty()) {
    // The last ticked run with a fault, else the last ticked run.
    std::size_t pick = indexes.back();
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
      if (!source_.visit.runs[*it].model.faults.empty()) {
        pick = *it;
        break;
      }
    keep = cbChartRun->findData(static_cast<qulonglong>(pick));
  }
  cbChartRun->setCurrentIndex(std::max(0, keep));
}

const VisitRun* TfVisitAct::ChartRun() const {
  const QVariant chosen = cbChartRun->currentData();
  if (!chosen.isValid()) return nullptr;
  return &source_.visit.runs[static_cast<std::size_t>(chosen.toULongLong())];
}

VisitActContent TfVisitAct::Content() const {
  VisitActFields fields{edWorkshop->text().trimmed().toStdString(), edCustomer->text().trimmed().toStdString(),
                        edVehicle->text().trimmed().toStdString(), mConclusion->toPlainText().trimmed().toStdString()};
  std::vector<const VisitRun*> runs;
  std::vector<std::size_t> numbers;
  std::optional<std::size_t> chart;
  const VisitRun* chartRun = ChartRun();
  for (int row = 0; row < lvRuns->count(); ++row) {
    if (lvRuns->item(row)->checkState() != Qt::Checked) continue;
    const auto k = static_cast<std::size_t>(lvRuns->item(row)->data(Qt::UserRole).toULongLong());
    if (&source_.visit.runs[k] == chartRun) chart = runs.size();
    runs.push_back(&source_.visit.runs[k]);
    numbers.push_back(k + 1);
  }
  VisitActContent act = MakeVisitAct(fields, source_.date, runs, numbers, chart, source_.blackBox,
                                     source_.visit.firmware, source_.serial);
  act.footer = AppTitle().toStdString();
  return act;
}

QString TfVisitAct::ProposedName() const {
  const QString serial = source_.serial ? QString::number(*source_.serial) : QString();
  const LocalTime& d = source_.date;
  return QStringLiteral("Act_%1%2%3.pdf")
      .arg(serial, serial.isEmpty() ? QString() : QStringLiteral("_"),
           QString::asprintf("%04d-%02d-%02d", d.year, d.month, d.day));
}

void TfVisitAct::RememberWorkshop() {
  const std::string workshop = edWorkshop->text().trimmed().toStdString();
  SettingsFile settings;
  if (settings.ReadString(kSettingsSection, kReportWorkshopKey) != workshop)
    settings.WriteString(kSettingsSection, kReportWorkshopKey, workshop);
}

void TfVisitAct::bSaveClick() {
  // The dialog asks before it replaces a file.
  const QString path = AskSaveFileName(this, tr("Сохранить акт"), ProposedName(), tr("Акт PDF (*.pdf)"));
  if (path.isEmpty()) return;
  RememberWorkshop();
  const QByteArray pdf = VisitActPdf(Content(), ChartRun());
  SaveUserFile(path.toStdString(), std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
}

void TfVisitAct::bPrintClick() {
  RememberWorkshop();
  PrintDocument(VisitActDocument(Content(), ChartRun()), ProposedName().chopped(4), this);
}

void ShowVisitAct(VisitActSource source, QWidget* parent) {
  TfVisitAct dialog(std::move(source), parent);
  dialog.exec();
}

}  // namespace o5
