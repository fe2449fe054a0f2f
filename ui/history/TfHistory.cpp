// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/history/TfHistory.h"

#include <QAction>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSplitter>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <stdexcept>

#include "archive/DataFolder.h"
#include "heater/BlackBoxReport.h"
#include "settings/UserFile.h"
#include "ui/WindowKeys.h"
#include "ui/history/TimelineModel.h"

namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("TfHistory", "История отопителей");
constexpr int kClientWidth = 1060;
// The heaters and their sessions on the left, the readouts' wider rows on the right.
constexpr int kLeftWidth = 450;
constexpr int kClientHeight = 560;
constexpr int kPathRole = Qt::UserRole;
constexpr int kSerialRole = Qt::UserRole + 1;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A column's title and the widest text it usually takes.
struct ListColumn {
  const char* title;
  const char* widest;
};

constexpr const char* kWidestTime = "00.00.0000 00:00:00";

QStringList Titles(std::initializer_list<ListColumn> columns) {
  QStringList titles;
  for (const ListColumn& column : columns) titles << QCoreApplication::translate("TfHistory", column.title);
  return titles;
}

// A list of rows: of its own items, or those of `model`, which titles the
// columns itself.
template <typename List>
List* MakeList(const char* name, std::initializer_list<ListColumn> columns, QWidget* parent,
               QAbstractItemModel* model = nullptr) {
  auto* list = new List(parent);
  list->setObjectName(name);
  if constexpr (std::is_same_v<List, QTreeWidget>)
    list->setHeaderLabels(Titles(columns));
  else
    list->setModel(model);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  // Widths from the titles and the usual values rather than from measuring
  // every row: the lists run to thousands. The user may widen a column.
  list->header()->setSectionResizeMode(QHeaderView::Interactive);
  list->header()->setStretchLastSection(true);
  const QFontMetrics metrics(list->font());
  const int margin = 2 * metrics.horizontalAdvance('0');
  int i = 0;
  for (const ListColumn& column : columns)
    list->header()->resizeSection(
        i++, margin + std::max(metrics.horizontalAdvance(QCoreApplication::translate("TfHistory", column.title)),
                               metrics.horizontalAdvance(
                                   QCoreApplication::translate("TfHistory", column.widest))));
  return list;
}

QGroupBox* Group(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(content);
  return box;
}

// Rows of journals: when each session began, and its file.
void FillJournals(QTreeWidget* list, const std::vector<JournalFile>& journals) {
  list->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(journals.size()));
  for (const JournalFile& journal : journals) {
    const QString path = Text(journal.path);
    auto* row = new QTreeWidgetItem({Text(DisplayTime(journal.name.opened)), path.section('/', -1)});
    row->setData(0, kPathRole, path);
    rows.append(row);
  }
  list->addTopLevelItems(rows);
}

}  // namespace

TfHistory::TfHistory(Opener openReadout, Opener openJournal, QWidget* parent)
    : QWidget(parent, Qt::Window),
      openReadout_(std::move(openReadout)),
      openJournal_(std::move(openJournal)),
      archive_(DataFolder{}) {
  setObjectName("fHistory");
  setWindowTitle(QCoreApplication::translate("TfHistory", kCaption));
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(kClientWidth, kClientHeight);
  BuildControls();
  CloseOnEscape(this);
}

void TfHistory::BuildControls() {
  auto* root = new QVBoxLayout(this);

  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel(QCoreApplication::translate("TfHistory", "Серийный номер:"), this);
  edSerial = new QLineEdit(this);
  edSerial->setObjectName("edSerial");
  edSerial->setClearButtonEnabled(true);
  edSerial->setPlaceholderText(QCoreApplication::translate("TfHistory", "все отопители"));
  filterLabel->setBuddy(edSerial);
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(edSerial, 1);
  root->addLayout(filterRow);

  auto* columns = new QSplitter(Qt::Horizontal, this);
  auto* left = new QSplitter(Qt::Vertical, columns);
  auto* right = new QSplitter(Qt::Vertical, columns);
  tvHeaters = MakeList<QTreeWidget>("tvHeaters",
                                    {{QT_TRANSLATE_NOOP("TfHistory", "Серийный номер"), "16777215"},
                                     {QT_TRANSLATE_NOOP("TfHistory", "Код изделия"), "255"},
                                     {QT_TRANSLATE_NOOP("TfHistory", "Чтений"), "9999"},
                                     {QT_TRANSLATE_NOOP("TfHistory", "Последнее чтение"), kWidestTime}},
                                    this);
  tvOtherSessions = MakeList<QTreeWidget>("tvOtherSessions",
                                          {{QT_TRANSLATE_NOOP("TfHistory", "Начало сеанса"), kWidestTime},
                                           {QT_TRANSLATE_NOOP("TfHistory", "Файл"), ""}},
                                          this);
  tvReadouts = MakeList<QTreeWidget>("tvReadouts",
                                     {{QT_TRANSLATE_NOOP("TfHistory", "Дата и время"), kWidestTime},
                                      {QT_TRANSLATE_NOOP("TfHistory", "Общее время работы"),
                                       QT_TRANSLATE_NOOP("TfHistory", "9999999 сек. (115-17:46:39)")},
                                      {QT_TRANSLATE_NOOP("TfHistory", "Запусков"), "65535"},
                                      {QT_TRANSLATE_NOOP("TfHistory", "Неисправностей"), "65535"}},
                                     this);
  tvSessions = MakeList<QTreeWidget>("tvSessions",
                                     {{QT_TRANSLATE_NOOP("TfHistory", "Начало сеанса"), kWidestTime},
                                      {QT_TRANSLATE_NOOP("TfHistory", "Файл"), ""}},
                                     this);
  const std::initializer_list<ListColumn> eventColumns = {
      {QT_TRANSLATE_NOOP("TfHistory", "Время"), kWidestTime},
      {QT_TRANSLATE_NOOP("TfHistory", "Событие"), ""}};
  events_ = new TimelineModel(Titles(eventColumns), this);
  tvEvents = MakeList<QTreeView>("tvEvents", eventColumns, this, events_);
  left->addWidget(Group(QCoreApplication::translate("TfHistory", "Отопители"), tvHeaters, left));
  left->addWidget(
      Group(QCoreApplication::translate("TfHistory", "Сеансы без отопителя"), tvOtherSessions, left));
  right->addWidget(
      Group(QCoreApplication::translate("TfHistory", "Чтения черного ящика"), tvReadouts, right));
  right->addWidget(Group(QCoreApplication::translate("TfHistory", "Сеансы отопителя"), tvSessions, right));
  // Under the events, what the timeline's reading has to say: why it shows
  // none, or how many lines it passed over.
  lEventsNote = new QLabel(this);
  lEventsNote->setObjectName("lEventsNote");
  lEventsNote->setWordWrap(true);
  lEventsNote->setTextFormat(Qt::PlainText);
  lEventsNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lEventsNote->hide();
  auto* events = new QWidget(this);
  auto* eventsColumn = new QVBoxLayout(events);
  eventsColumn->setContentsMargins(0, 0, 0, 0);
  eventsColumn->addWidget(tvEvents, 1);
  eventsColumn->addWidget(lEventsNote);
  right->addWidget(Group(QCoreApplication::translate("TfHistory", "События сеанса"), events, right));
  root->addWidget(columns, 1);
  columns->setSizes({kLeftWidth, kClientWidth - kLeftWidth});

  auto* buttons = new QHBoxLayout;
  bOpen = new QPushButton(QCoreApplication::translate("TfHistory", "Открыть"), this);
  bOpen->setObjectName("bOpen");
  bOpenFolder = new QPushButton(QCoreApplication::translate("TfHistory", "Открыть папку"), this);
  bOpenFolder->setObjectName("bOpenFolder");
  buttons->addWidget(bOpen);
  bVisitAct = new QPushButton(tr("Акт диагностики…"), this);
  bVisitAct->setObjectName("bVisitAct");
  bVisitAct->setEnabled(false);
  buttons->addWidget(bVisitAct);
  auto* aVisitAct = new QAction(bVisitAct->text(), tvHeaters);
  aVisitAct->setObjectName("aVisitAct");
  tvHeaters->addAction(aVisitAct);
  tvHeaters->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(aVisitAct, &QAction::triggered, this, [this] { bVisitActClick(); });
  connect(bVisitAct, &QPushButton::clicked, this, [this] { bVisitActClick(); });
  buttons->addStretch(1);
  buttons->addWidget(bOpenFolder);
  root->addLayout(buttons);

  connect(edSerial, &QLineEdit::textChanged, this, [this] { edSerialChange(); });
  connect(bOpen, &QPushButton::clicked, this, [this] { bOpenClick(); });
  connect(bOpenFolder, &QPushButton::clicked, this, [this] { bOpenFolderClick(); });
  connect(tvHeaters, &QTreeWidget::itemSelectionChanged, this, [this] { HeaterChosen(); });
  // The row selected, or the row the keyboard has come to without selecting it.
  for (QTreeWidget* list : {tvSessions, tvOtherSessions}) {
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] { SessionChosen(list); });
    connect(list, &QTreeWidget::currentItemChanged, this, [this, list] { SessionChosen(list); });
  }
  for (QTreeWidget* list : {tvHeaters, tvReadouts, tvSessions, tvOtherSessions}) {
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] {
      if (ChosenItem(list)) lastList_ = list;
    });
    // Enter, or a double click.
    connect(list, &QTreeWidget::activated, this, [this, list] { OpenItem(list, list->currentItem()); });
  }
  setTabOrder(edSerial, tvHeaters);
  setTabOrder(tvHeaters, tvOtherSessions);
  setTabOrder(tvOtherSessions, tvReadouts);
  setTabOrder(tvReadouts, tvSessions);
  setTabOrder(tvSessions, tvEvents);
  setTabOrder(tvEvents, bOpen);
  setTabOrder(bOpen, bVisitAct);
  setTabOrder(bVisitAct, bOpenFolder);
}

void TfHistory::Open() {
  Refresh();
  refreshed_ = true;
  show();
  refreshed_ = false;
  raise();
  activateWindow();
}

void TfHistory::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!refreshed_ && !event->spontaneous()) Refresh();
}

void TfHistory::Refresh() {
  archive_ = ReadoutArchive(ChooseDataFolder());
  heaters_ = archive_.Heaters();
  heaterJournals_.clear();
  std::vector<JournalFile> others;
  for (JournalFile& journal : ListJournals(DataFolder{archive_.FolderPath()}.Sessions())) {
    if (journal.name.serial)
      heaterJournals_[*journal.name.serial].push_back(std::move(journal));
    else
      others.push_back(std::move(journal));
  }
  // A heater whose sessions were named after it is listed without a readout
  // too (its image not written, broken, or not copied along): after those
  // with one, its latest session first.
  std::vector<std::pair<LocalTime, uint32_t>> sessionsOnly;
  for (const auto& [serial, journals] : heaterJournals_)
    if (std::none_of(heaters_.begin(), heaters_.end(), [s = serial](const HeaterEntry& h) { return h.serial == s; }))
      sessionsOnly.emplace_back(journals.front().name.opened, serial);
  std::sort(sessionsOnly.begin(), sessionsOnly.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  for (const auto& [latest, serial] : sessionsOnly) {
    HeaterEntry heater;
    heater.serial = serial;
    heaters_.push_back(heater);
  }
  FillJournals(tvOtherSessions, others);
  FillHeaters();
}

void TfHistory::FillHeaters() {
  const QTreeWidgetItem* current = ChosenItem(tvHeaters);
  const QVariant chosen = current ? current->data(0, kSerialRole) : QVariant();
  const QString filter = edSerial->text().trimmed();
  const QSignalBlocker quiet(tvHeaters);
  tvHeaters->clear();
  QList<QTreeWidgetItem*> rows;
  QTreeWidgetItem* keep = nullptr;
  for (const HeaterEntry& heater : heaters_) {
    const QString serial = QString::number(heater.serial);
    if (!filter.isEmpty() && !serial.contains(filter)) continue;
    const bool read = heater.readouts > 0;
    auto* row = new QTreeWidgetItem({serial, read ? QString::number(heater.productCode) : QString(),
                                     QString::number(heater.readouts),
                                     read ? Text(DisplayTime(heater.lastReadout)) : QString()});
    row->setData(0, kSerialRole, heater.serial);
    if (chosen.isValid() && chosen.toUInt() == heater.serial) keep = row;
    rows.append(row);
  }
  tvHeaters->addTopLevelItems(rows);
  if (!keep && !rows.isEmpty()) keep = rows.front();
  if (keep) tvHeaters->setCurrentItem(keep);
  HeaterChosen();
}

QTreeWidgetItem* TfHistory::ChosenItem(QTreeWidget* list) {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? nullptr : selected.front();
}

void TfHistory::ClearTimeline() {
  events_->SetEvents({});
  lEventsNote->clear();
  lEventsNote->hide();
  timelineShown_.clear();
}

void TfHistory::HeaterChosen() {
  tvReadouts->clear();
  tvSessions->clear();
  ClearTimeline();
  const QTreeWidgetItem* heater = ChosenItem(tvHeaters);
  bVisitAct->setEnabled(heater != nullptr);
  if (!heater) return;
  const uint32_t serial = heater->data(0, kSerialRole).toUInt();
  QList<QTreeWidgetItem*> rows;
  for (const ReadoutEntry& readout : archive_.Readouts(serial)) {
    const auto image = ReadoutArchive::LoadImage(readout);
    if (!image) continue;
    const BlackBoxSummary summary = SummarizeBlackBox(*image);
    auto* row = new QTreeWidgetItem({Text(DisplayTime(readout.when)), Text(SecondsToText(summary.totalRunTime)),
                                     QString::number(summary.starts), QString::number(summary.faults)});
    row->setData(0, kPathRole, Text(readout.path));
    rows.append(row);
  }
  tvReadouts->addTopLevelItems(rows);
  if (const auto it = heaterJournals_.find(serial); it != heaterJournals_.end())
    FillJournals(tvSessions, it->second);
}

void TfHistory::SessionChosen(QTreeWidget* list) {
  const QTreeWidgetItem* session = ChosenItem(list);
  if (!session) session = list->currentItem();
  if (!session) return;
  // One choice moves the cursor and the selection both: the timeline is read
  // once.
  const QString journal = session->data(0, kPathRole).toString();
  if (journal == timelineShown_) return;
  ClearTimeline();
  timelineShown_ = journal;
  TimelineReading timeline = ReadTimeline(TimelinePathFor(journal.toStdString()));
  events_->SetEvents(std::move(timeline.events));
  const std::string note = timeline.Note();
  lEventsNote->setText(Text(note));
  lEventsNote->setVisible(!note.empty());
}

void TfHistory::edSerialChange() { FillHeaters(); }

void TfHistory::bVisitActClick() {
  const QTreeWidgetItem* heater = ChosenItem(tvHeaters);
  if (heater && openVisitAct_) openVisitAct_(heater->data(0, kSerialRole).toUInt());
}

void TfHistory::bOpenClick() {
  if (lastList_) OpenItem(lastList_, ChosenItem(lastList_));
}

void TfHistory::OpenItem(QTreeWidget* list, QTreeWidgetItem* item) {
  if (!item) return;
  // A heater opens as its latest readout.
  if (list == tvHeaters) {
    if (ChosenItem(tvHeaters) != item) tvHeaters->setCurrentItem(item);
    list = tvReadouts;
    item = tvReadouts->topLevelItem(0);
    if (!item) return;
  }
  const QString path = item->data(0, kPathRole).toString();
  if (list == tvReadouts)
    openReadout_(path);
  else
    openJournal_(path);
}

void TfHistory::bOpenFolderClick() {
  const DataFolder data = ChooseDataFolder();
  if (const int error = MakeDataFolder(data, data.path))
    //: The folder %1 could not be made, for the system's reason %2.
    throw FileError(QCoreApplication::translate("TfHistory", "Не удалось создать папку \"%1\": %2")
                        .arg(Text(data.path), Text(SystemReason(error)))
                        .toStdString());
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(Text(data.path))))
    throw std::runtime_error(
        QCoreApplication::translate("TfHistory", "Не удалось показать папку \"%1\" в файловом менеджере")
            .arg(Text(data.path))
            .toStdString());
}

}  // namespace o5
