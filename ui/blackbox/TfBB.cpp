// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/blackbox/TfBB.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>

#include "archive/ArchiveNames.h"
#include "archive/ReadoutArchive.h"
#include "heater/BlackBoxImage.h"
#include "settings/UserFile.h"
#include "ui/AppTitle.h"
#include "ui/FileDrop.h"
#include "ui/UserDialogs.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowKeys.h"
#include "ui/blackbox/BlackBoxPrint.h"
#include "ui/history/TfHistory.h"

namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("TfBB", "Черный ящик");
constexpr const char* kFormFontFamily = "MS Sans Serif";
// Where the form font is not installed, a face of close metrics keeps five
// digits inside a 40-pixel record column.
constexpr const char* kFallbackFamily = "Liberation Sans";
constexpr int kFormFontPixels = 11;
constexpr const char* kLabelFontFamily = "Arial";
constexpr int kLabelFontPixels = 13;
constexpr int kProgressFontPixels = 13;
constexpr const char* kProgressCaption =
    QT_TRANSLATE_NOOP("TfBB", "Подождите, идет чтение черного ящика из Ортана 5...");

// The client area inside the 944 x 731 outer frame of a usual title bar and
// border; the first show corrects it by the frame the window manager really
// draws.
constexpr int kClientWidth = TfBB::kOuterWidth - 16;
constexpr int kClientHeight = TfBB::kOuterHeight - 39;

constexpr int kPanelHeight = 278;
const QColor kSkyBlue(166, 202, 240);
const QColor kMaroon(128, 0, 0);
// Behind a label whose value changed and the cells of a new fault record.
const QColor kChangedColour(255, 236, 139);
// The line of what changed, at the foot of the panel below l10.
constexpr int kChangesLeft = 25;
constexpr int kChangesTop = 257;
// How the line and the PDF write the earlier readout's time.
const char* const kChangesTimeFormat = "dd.MM.yyyy HH:mm";
// The line of where the report came from: in the right half, beside
// l2, above l12 and below lDP, clear of every label.
constexpr int kSourceLeft = 493;
constexpr int kSourceTop = 48;
constexpr int kSourceRightMargin = 12;
// How a source's time is written, to the second.
const char* const kSourceTimeFormat = "dd.MM.yyyy HH:mm:ss";

constexpr int kRowHeight = 18;
constexpr int kTitleColumnWidth = 326;
constexpr int kRecordColumnWidth = 40;

// A saved image is 256 bytes; reading stops well above that, so that a large
// file chosen by mistake is refused without being read whole.
constexpr size_t kImageFileLimit = 1 << 20;
const char* const kReportFilter = QT_TRANSLATE_NOOP("TfBB", "Отчёт PDF (*.pdf);;Таблица CSV (*.csv)");
const char* const kImageFilter = QT_TRANSLATE_NOOP("TfBB", "Образ черного ящика (*.bin);;Все файлы (*)");

const QRect kProgressPanel(60, 184, 817, 233);
const QRect kProgressBar(24, 167, 763, 18);

struct LabelPlace {
  const char* name;
  int left;
  int top;
  const char* caption;  // until the first report
};

// In the order of BlackBoxReport::labels.
const LabelPlace kLabels[BlackBoxReport::kLabelCount] = {
    {"lDP", 493, 16, QT_TRANSLATE_NOOP("TfBB", "Значения датчика пламени при обучении:")},
    {"l1", 25, 16, QT_TRANSLATE_NOOP("TfBB", "Версия:")},
    {"l2", 25, 48, QT_TRANSLATE_NOOP("TfBB", "Номер текущей записи:")},
    {"l3", 25, 73, QT_TRANSLATE_NOOP("TfBB", "Количество прерываний работы (потери питания при работе):")},
    {"l4", 25, 122, QT_TRANSLATE_NOOP("TfBB", "Количество запусков с первой попытки:")},
    {"l5", 25, 139, QT_TRANSLATE_NOOP("TfBB", "Количество запусков НЕ с первой попытки:")},
    {"l6", 25, 156, QT_TRANSLATE_NOOP("TfBB", "Количество незапусков:")},
    {"l7", 25, 185, QT_TRANSLATE_NOOP("TfBB", "Общее время работы (сек):")},
    {"l8", 25, 202, QT_TRANSLATE_NOOP("TfBB", "Время работы на малом режиме (сек):")},
    {"l9", 25, 218, QT_TRANSLATE_NOOP("TfBB", "Время работы на сильном режиме (сек):")},
    {"l10", 25, 235, QT_TRANSLATE_NOOP("TfBB", "Время работы на ждущем режиме (сек):")},
    {"l11", 25, 93, QT_TRANSLATE_NOOP("TfBB", "Количество неисправностей (кроме 13 кода):")},
    {"l12", 601, 168, QT_TRANSLATE_NOOP("TfBB", "Код изделия:")},
    {"l13", 601, 184, QT_TRANSLATE_NOOP("TfBB", "Серийный номер:")},
    {"l14", 601, 226, QT_TRANSLATE_NOOP("TfBB", "Конфигурационный байт:")},
};

QDateTime DateTimeOf(const LocalTime& t) {
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

QFont Font(const char* family, int pixels, bool bold) {
  QFont font;
  font.setFamilies({family, kFallbackFamily});
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

TfBB::TfBB(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("fBB");
  setWindowTitle(QCoreApplication::translate("TfBB", kCaption));
  // The program ends when the main window closes, this window open or not.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFont(Font(kFormFontFamily, kFormFontPixels, false));
  resize(kClientWidth, kClientHeight);
  BuildControls();
  CloseOnEscape(this);
  OpenMenuByKeys();
}

// Shift+F10 and the menu key open the menu over the grid's current cell, as
// a right click opens it under the mouse.
void TfBB::OpenMenuByKeys() {
  auto* open = new QAction(this);
  open->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)});
  open->setShortcutContext(Qt::WindowShortcut);
  addAction(open);
  connect(open, &QAction::triggered, this, [this] {
    const QRect cell = sgBB->visualRect(sgBB->currentIndex());
    const QPoint at = cell.isValid() ? sgBB->viewport()->mapToGlobal(cell.center()) : mapToGlobal(rect().center());
    QContextMenuEvent event(QContextMenuEvent::Keyboard, mapFromGlobal(at), at);
    contextMenuEvent(&event);
  });
}

void TfBB::BuildControls() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setAutoFillBackground(true);
  QPalette panelPalette = Panel1->palette();
  panelPalette.setColor(QPalette::Window, kSkyBlue);
  Panel1->setPalette(panelPalette);

  const QFont labelFont = Font(kLabelFontFamily, kLabelFontPixels, true);
  for (int i = 0; i < BlackBoxReport::kLabelCount; ++i) {
    auto* label = new QLabel(QCoreApplication::translate("TfBB", kLabels[i].caption), Panel1);
    label->setObjectName(kLabels[i].name);
    label->move(kLabels[i].left, kLabels[i].top);
    if (i > 0) label->setFont(labelFont);
    label->adjustSize();
    labels_[static_cast<size_t>(i)] = label;
  }
  lDP = labels_[0];
  l1 = labels_[1], l2 = labels_[2], l3 = labels_[3], l4 = labels_[4], l5 = labels_[5];
  l6 = labels_[6], l7 = labels_[7], l8 = labels_[8], l9 = labels_[9], l10 = labels_[10];
  l11 = labels_[11], l12 = labels_[12], l13 = labels_[13], l14 = labels_[14];
  for (QLabel* label : {l3, l11}) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kMaroon);
    label->setPalette(palette);
  }

  lChanges = new QLabel(Panel1);
  lChanges->setObjectName("lChanges");
  lChanges->move(kChangesLeft, kChangesTop);
  lSource = new QLabel(Panel1);
  lSource->setObjectName("lSource");
  lSource->setFont(Font(kFormFontFamily, kFormFontPixels, true));
  lSource->move(kSourceLeft, kSourceTop);
  // A label is marked by filling its background.
  for (QLabel* label : labels_) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, kChangedColour);
    label->setPalette(palette);
  }

  BuildGrid();
  BuildProgressPanel();
  BuildMenu();
  BuildCommands();
  // The row of commands has room for the Russian captions; a longer language
  // widens the window to hold the row.
  resize(std::max(width(), CommandsWidth()), height());
  LayOut();
  new FileDropFilter(this, [this](const QString& path) { OpenImage(path); });
}

void TfBB::BuildMenu() {
  pmBB = new QMenu(this);
  pmBB->setObjectName("pmBB");
  auto add = [this](const char* name, const QString& text, QKeySequence keys, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setToolTip(tip + " (" + keys.toString(QKeySequence::NativeText) + ")");
    // Active while this window is the active one.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    pmBB->addAction(action);
    return action;
  };
  aSaveReport = add("aSaveReport", QCoreApplication::translate("TfBB", "Сохранить отчёт…"),
                    QKeySequence(Qt::CTRL | Qt::Key_S),
                    QCoreApplication::translate("TfBB", "Сохранить отчёт в PDF или в таблицу CSV"));
  aPrint = add("aPrint", QCoreApplication::translate("TfBB", "Печать…"), QKeySequence(Qt::CTRL | Qt::Key_P),
               QCoreApplication::translate("TfBB", "Напечатать отчёт"));
  aSaveImage =
      add("aSaveImage", QCoreApplication::translate("TfBB", "Сохранить образ…"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
          QCoreApplication::translate("TfBB", "Сохранить 256 байт черного ящика, как они прочитаны"));
  pmBB->addSeparator();
  aOpenImage = add("aOpenImage", QCoreApplication::translate("TfBB", "Открыть образ…"),
                   QKeySequence(Qt::CTRL | Qt::Key_O),
                   QCoreApplication::translate("TfBB", "Показать отчёт сохранённого образа"));
  aCompare =
      add("aCompare", QCoreApplication::translate("TfBB", "Сравнить с…"), QKeySequence(Qt::CTRL | Qt::Key_D),
          QCoreApplication::translate("TfBB", "Показать, что изменилось с сохранённого образа"));
  pmBB->addSeparator();
  aHistory = add("aHistory", QCoreApplication::translate("TfHistory", kHistoryCommand),
                 QKeySequence(Qt::CTRL | Qt::Key_H),
                 QCoreApplication::translate("TfBB", "Прежние чтения отопителей и сеансы"));
  aVisitAct = add("aVisitAct", "", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), "");
  aVisitAct->setText(tr("Акт диагностики…"));
  //: %1 is the action's shortcut.
  aVisitAct->setToolTip(tr("Акт диагностики для заказчика: отопитель, черный ящик, пуски за день, график (%1)")
                            .arg(aVisitAct->shortcut().toString(QKeySequence::NativeText)));
  for (QAction* action : {aSaveReport, aPrint, aSaveImage, aCompare, aVisitAct}) action->setEnabled(false);
  connect(aSaveReport, &QAction::triggered, this, [this] { aSaveReportExecute(); });
  connect(aPrint, &QAction::triggered, this, [this] { aPrintExecute(); });
  connect(aSaveImage, &QAction::triggered, this, [this] { aSaveImageExecute(); });
  connect(aOpenImage, &QAction::triggered, this, [this] { aOpenImageExecute(this); });
  connect(aCompare, &QAction::triggered, this, [this] { aCompareExecute(this); });
}

void TfBB::BuildCommands() {
  pCommands = new QWidget(this);
  pCommands->setObjectName("pCommands");
  auto* row = new QHBoxLayout(pCommands);
  row->setContentsMargins(4, 2, 4, 2);
  row->setSpacing(4);
  // The groups of the menu, a little apart.
  constexpr int kGroupGap = 12;
  for (QAction* action : pmBB->actions()) {
    if (action->isSeparator()) {
      row->addSpacing(kGroupGap);
      continue;
    }
    auto* button = new QToolButton(pCommands);
    button->setObjectName("b" + action->objectName().mid(1));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    row->addWidget(button);
  }
  row->addStretch(1);
}

int TfBB::CommandsWidth() const { return pCommands->sizeHint().width(); }

void TfBB::contextMenuEvent(QContextMenuEvent* event) {
  pmBB->popup(event->globalPos());
  // Opened by the keyboard, the menu starts on its first command, as the
  // arrows would have to find it otherwise.
  if (event->reason() == QContextMenuEvent::Keyboard) pmBB->setActiveAction(pmBB->actions().value(0));
  event->accept();
}

void TfBB::BuildGrid() {
  sgBB = new QTableWidget(BlackBoxReport::kRows, BlackBoxReport::kColumns, this);
  sgBB->setObjectName("sgBB");
  sgBB->horizontalHeader()->hide();
  sgBB->verticalHeader()->hide();
  sgBB->verticalHeader()->setMinimumSectionSize(kRowHeight);
  sgBB->verticalHeader()->setDefaultSectionSize(kRowHeight);
  sgBB->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgBB->setColumnWidth(0, kTitleColumnWidth);
  for (int column = 1; column < BlackBoxReport::kColumns; ++column)
    sgBB->setColumnWidth(column, kRecordColumnWidth);
  sgBB->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgBB->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgBB->setSelectionBehavior(QAbstractItemView::SelectItems);
  sgBB->setWordWrap(false);
  // A grid cell clips what does not fit; an ellipsis would hide the value.
  sgBB->setTextElideMode(Qt::ElideNone);

  // Row 0 is the grid's fixed row: drawn like a header and never selected.
  const QBrush fixedBrush = palette().brush(QPalette::Button);
  for (int row = 0; row < BlackBoxReport::kRows; ++row) {
    for (int column = 0; column < BlackBoxReport::kColumns; ++column) {
      auto* item = new QTableWidgetItem;
      if (row == 0) {
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(fixedBrush);
      } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      sgBB->setItem(row, column, item);
    }
  }
  // The cursor starts on the first cell below the fixed row.
  sgBB->setCurrentCell(1, 0, QItemSelectionModel::NoUpdate);
}

// The grid's own headers stay hidden (its first row and column are drawn as
// headers), but a screen reader names a cell by its column and row: they
// carry the record numbers and the row titles as shown.
void TfBB::NameGridHeaders() {
  for (int column = 0; column < BlackBoxReport::kColumns; ++column)
    sgBB->setHorizontalHeaderItem(column, new QTableWidgetItem(sgBB->item(0, column)->text()));
  for (int row = 0; row < BlackBoxReport::kRows; ++row)
    sgBB->setVerticalHeaderItem(row, new QTableWidgetItem(sgBB->item(row, 0)->text()));
}

void TfBB::BuildProgressPanel() {
  pRead = new QFrame(this);
  pRead->setObjectName("pRead");
  pRead->setGeometry(kProgressPanel);
  pRead->setFrameShape(QFrame::Panel);
  pRead->setFrameShadow(QFrame::Raised);
  pRead->setAutoFillBackground(true);
  QPalette palette = pRead->palette();
  palette.setColor(QPalette::Window, kSkyBlue);
  pRead->setPalette(palette);

  auto* caption = new QLabel(QCoreApplication::translate("TfBB", kProgressCaption), pRead);
  caption->setObjectName("pReadCaption");
  caption->setFont(Font(kFormFontFamily, kProgressFontPixels, true));
  caption->setAlignment(Qt::AlignCenter);
  caption->setGeometry(0, 0, kProgressPanel.width(), kProgressPanel.height());

  pbReadBB = new QProgressBar(pRead);
  pbReadBB->setObjectName("pbReadBB");
  pbReadBB->setGeometry(kProgressBar);
  pbReadBB->setRange(0, kProgressMaximum);
  pbReadBB->setValue(0);
  pbReadBB->setTextVisible(false);

  pRead->hide();
}

void TfBB::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void TfBB::LayOut() {
  // The panel spans the top, the commands below it, the grid fills the rest.
  Panel1->setGeometry(0, 0, width(), kPanelHeight);
  pCommands->setGeometry(0, kPanelHeight, width(), kCommandsHeight);
  const int gridTop = kPanelHeight + kCommandsHeight;
  sgBB->setGeometry(0, gridTop, width(), height() - gridTop);
  ShowSource();
}

void TfBB::ShowSource() {
  if (!hasReport_) {
    lSource->clear();
    return;
  }
  const QString line = QString::fromStdString(source_.Line());
  const int room = std::max(0, Panel1->width() - kSourceLeft - kSourceRightMargin);
  lSource->setText(lSource->fontMetrics().elidedText(line, Qt::ElideMiddle, room));
  lSource->setToolTip(line);
  lSource->adjustSize();
}

void TfBB::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_) return;
  placed_ = true;
  const QRect frame = frameGeometry();
  const QSize margins = frame.size() - size();
  const int outerWidth = std::max(kOuterWidth, CommandsWidth() + margins.width());
  if (!margins.isEmpty()) resize(outerWidth - margins.width(), kOuterHeight - margins.height());
  if (const QScreen* s = screen()) {
    const QRect area = s->availableGeometry();
    move(FitInto(QRect(area.center() - QPoint(outerWidth / 2, kOuterHeight / 2), frameGeometry().size()), area));
  }
}

void TfBB::SetProgress(int value) {
  pbReadBB->setUpdatesEnabled(false);
  pbReadBB->setValue(value);
  pbReadBB->setUpdatesEnabled(true);
}

void TfBB::ShowReport() {
  const QDateTime now = QDateTime::currentDateTime();
  Present(BlackBoxImage, {BlackBoxSource::Kind::kHeater, now.toString(kSourceTimeFormat).toStdString(), {}},
          ReportFileName(BlackBoxSerialNumber(BlackBoxImage), now, ""));
  // Before this readout is archived; the archive would not offer it anyway,
  // as it is no older than itself.
  const QDate d = now.date();
  const QTime t = now.time();
  const auto earlier = ReadoutArchive().LatestBefore(
      BlackBoxSerialNumber(reportImage_), {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
  if (earlier) ShowChanges(earlier->image, DateTimeOf(earlier->entry.when));
  // After the report is shown: a failed write of the archive is one error
  // and takes nothing else with it.
  if (readoutKeeper_) readoutKeeper_(reportImage_, now);
}

void TfBB::ShowPublishedReadout(const BlackBoxBytes& image, const QDateTime& when) {
  Present(image, {BlackBoxSource::Kind::kHeater, when.toString(kSourceTimeFormat).toStdString(), {}},
          ReportFileName(BlackBoxSerialNumber(image), when, ""));
  ShowChanges(std::nullopt);
}

void TfBB::Present(const BlackBoxBytes& image, const BlackBoxSource& source, const QString& baseName) {
  report_ = MakeBlackBoxReport(image, QLocale().decimalPoint().toStdString());
  for (int i = 0; i < BlackBoxReport::kLabelCount; ++i) {
    QLabel* label = labels_[static_cast<size_t>(i)];
    label->setText(QString::fromStdString(report_.labels[static_cast<size_t>(i)]));
    label->adjustSize();
  }
  for (int row = 0; row < BlackBoxReport::kRows; ++row)
    for (int column = 0; column < BlackBoxReport::kColumns; ++column)
      if (row != 0 || column != 0) {
        QTableWidgetItem* item = sgBB->item(row, column);
        item->setText(QString::fromStdString(report_.cells[row][column]));
        // What a fault code, a mode or a fault byte stands for.
        item->setToolTip(QString::fromStdString(report_.tips[row][column]));
        item->setData(Qt::AccessibleDescriptionRole, item->toolTip());
      }
  NameGridHeaders();
  // A later readout that fails half-way changes BlackBoxImage but not the
  // report: the image kept with the report is the one it shows.
  reportImage_ = image;
  reportBaseName_ = baseName;
  source_ = source;
  // Where the report came from, as the PDF's page says: a report opened from
  // a file looks like a readout otherwise.
  Panel1->setToolTip(QString::fromStdString(source.Text()));
  hasReport_ = true;
  ShowSource();
  for (QAction* action : {aSaveReport, aPrint, aSaveImage, aCompare, aVisitAct}) action->setEnabled(true);
  ShowChanges(std::nullopt);
}

void TfBB::ShowChanges(const std::optional<BlackBoxBytes>& earlier, const QDateTime& when) {
  changes_.reset();
  earlier_.reset();
  if (earlier) {
    earlier_ = BlackBoxEarlier{*earlier, when.toString(kChangesTimeFormat).toStdString()};
    changes_ = CompareBlackBoxes(*earlier, reportImage_, earlier_->time, QLocale().decimalPoint().toStdString());
  }
  lChanges->setText(changes_ ? QString::fromStdString(changes_->Line()) : QString());
  lChanges->adjustSize();
  // A run time's tooltip gives its hours; a changed label's adds what it was.
  for (int i = 0; i < BlackBoxReport::kLabelCount; ++i) {
    QLabel* label = labels_[static_cast<size_t>(i)];
    label->setAutoFillBackground(false);
    label->setToolTip(QString::fromStdString(report_.hours[static_cast<size_t>(i)]));
  }
  if (changes_)
    for (const BlackBoxLabelChange& change : changes_->labels) {
      QLabel* label = labels_[static_cast<size_t>(change.label)];
      label->setAutoFillBackground(true);
      const QString tip = QString::fromStdString(change.tip);
      label->setToolTip(label->toolTip().isEmpty() ? tip : label->toolTip() + "\n" + tip);
    }
  for (int column = 1; column < BlackBoxReport::kColumns; ++column) {
    const bool isNew = changes_ && std::find(changes_->newRecords.begin(), changes_->newRecords.end(),
                                             column - 1) != changes_->newRecords.end();
    for (int row = 1; row < BlackBoxReport::kRows; ++row)
      sgBB->item(row, column)->setBackground(isNew ? QBrush(kChangedColour) : QBrush());
  }
}

BlackBoxBytes TfBB::LoadImageFile(const QString& path) {
  const std::string name = path.toStdString();
  const std::string content = LoadUserFile(name, kImageFileLimit);
  if (const std::string problem = BlackBoxImageProblem(content); !problem.empty())
    ThrowOpenError(name, problem);
  BlackBoxBytes image;
  std::copy(content.begin(), content.end(), reinterpret_cast<char*>(image.data()));
  return image;
}

void TfBB::OpenImage(const QString& path) {
  const BlackBoxBytes image = LoadImageFile(path);
  // Saved again, it keeps the name it had: the time it was opened would read
  // as a readout that never happened.
  const QFileInfo file(path);
  const QString baseName = file.completeBaseName().isEmpty() ? file.fileName() : file.completeBaseName();
  const ReadoutArchive archive;
  if (const auto archived = archive.EntryOf(path.toStdString());
      archived && archived->serial == BlackBoxSerialNumber(image)) {
    Present(image, {BlackBoxSource::Kind::kArchive, DisplayTime(archived->when), {}}, baseName);
    // As it was shown after that readout: against the heater's readout
    // before it.
    if (const auto earlier = archive.LatestBefore(archived->serial, archived->when))
      ShowChanges(earlier->image, DateTimeOf(earlier->entry.when));
  } else {
    Present(image,
            {BlackBoxSource::Kind::kFile, file.lastModified().toString(kSourceTimeFormat).toStdString(),
             file.fileName().toStdString()},
            baseName);
  }
  show();
  raise();
  activateWindow();
}

QString TfBB::ReportFileName(uint32_t serial, const QDateTime& when, const QString& extension) {
  return "BB_" + QString::number(serial) + "_" + FileNameTimeStamp(when) + extension;
}

QString TfBB::DefaultName(const QString& extension) const { return reportBaseName_ + extension; }

BlackBoxPage TfBB::ReportPage() const {
  BlackBoxPage page = MakeBlackBoxPage(report_, source_.Text());
  page.footer = AppTitle().toStdString();
  if (changes_) {
    page.changesHeading = changes_->heading;
    page.changes = changes_->PageLines();
    page.newRecords = changes_->newRecords;
  }
  return page;
}

void TfBB::aSaveReportExecute() {
  if (!hasReport_) return;
  // The dialog offers the format chosen last time first.
  const QStringList filters = QCoreApplication::translate("TfBB", kReportFilter).split(";;");
  QString selected = reportFilter_.isEmpty() ? filters.front() : reportFilter_;
  const bool csvFirst = selected == filters.back();
  const QString path = AskSaveFileName(this, QCoreApplication::translate("TfBB", "Сохранить отчёт"),
                                       DefaultName(csvFirst ? ".csv" : ".pdf"),
                                       QCoreApplication::translate("TfBB", kReportFilter), &selected);
  if (path.isEmpty()) return;
  reportFilter_ = selected;
  // The name's extension chooses the format, else the chosen filter does. The
  // name is used as it stands: the dialog has added the extension to a name
  // typed without one, and asked before replacing a file of that name.
  const QString suffix = QFileInfo(path).suffix().toLower();
  const bool csv = suffix == "csv" || (suffix != "pdf" && selected == filters.back());
  if (csv) {
    SaveUserFile(path.toStdString(), ReportCsv());
  } else {
    const QByteArray pdf = BlackBoxPdf(ReportPage());
    SaveUserFile(path.toStdString(), std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())));
  }
}

std::string TfBB::ReportCsv() const {
  return BlackBoxCsv(reportImage_, source_, AppTitle().toStdString(),
                     earlier_);
}

void TfBB::aPrintExecute() {
  if (!hasReport_) return;
  // Printed to a file, the report gets the name it is saved under, not one
  // name for every heater.
  PrintBlackBoxPage(ReportPage(), DefaultName(""), this);
}

void TfBB::aSaveImageExecute() {
  if (!hasReport_) return;
  const QString path =
      AskSaveFileName(this, QCoreApplication::translate("TfBB", "Сохранить образ"), DefaultName(".bin"),
                      QCoreApplication::translate("TfBB", kImageFilter));
  if (path.isEmpty()) return;
  SaveUserFile(path.toStdString(),
               std::string_view(reinterpret_cast<const char*>(reportImage_.data()), reportImage_.size()));
}

void TfBB::aOpenImageExecute(QWidget* dialogParent) {
  const QString path = AskOpenFileName(dialogParent, QCoreApplication::translate("TfBB", "Открыть образ"),
                                       QCoreApplication::translate("TfBB", kImageFilter));
  if (!path.isEmpty()) OpenImage(path);
}

void TfBB::CompareWith(const QString& path) {
  if (!hasReport_) return;
  const BlackBoxBytes earlier = LoadImageFile(path);
  // A readout's name holds its time (the archive's, or one the tool proposed
  // when it was saved); any other file has only the time it was written.
  const QFileInfo file(path);
  QDateTime when = file.lastModified();
  if (const auto named = ParseSavedReadoutFileName(file.fileName().toStdString()))
    when = DateTimeOf(named->when);
  ShowChanges(earlier, when);
}

void TfBB::aCompareExecute(QWidget* dialogParent) {
  if (!hasReport_) return;
  const QString path =
      AskOpenFileName(dialogParent, QCoreApplication::translate("TfBB", "Сравнить с образом"),
                      QCoreApplication::translate("TfBB", kImageFilter));
  if (!path.isEmpty()) CompareWith(path);
}

}  // namespace o5
