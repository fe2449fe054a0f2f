// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/TfGraph.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include <QBuffer>
#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "archive/ArchiveNames.h"
#include "archive/JournalRuns.h"
#include "heater/RecordLog.h"
#include "heater/RunSummary.h"
#include "heater/SeriesCsv.h"
#include "settings/SettingsFile.h"
#include "settings/UserFile.h"
#include "ui/FileDrop.h"
#include "ui/UserDialogs.h"
#include "ui/graph/ColorValue.h"
#include "ui/WindowGeometry.h"
#include "ui/WindowKeys.h"
#include "ui/graph/GraphLook.h"
#include "ui/graph/GraphPicture.h"
#include "ui/graph/GraphSeries.h"
#include "ui/graph/GraphSettings.h"
#include "ui/graph/RunListDialog.h"
#include "ui/graph/TfRunSummary.h"

namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("TfGraph", "Графики");
constexpr const char* kClearCaption = QT_TRANSLATE_NOOP("TfGraph", "Очистить");
constexpr const char* kSwatchHint = QT_TRANSLATE_NOOP("TfGraph", "Изменить цвет");
constexpr const char* kTimeAxisTitle = QT_TRANSLATE_NOOP("TfGraph", "Время, с");

constexpr const char* kOpenLogCaption = QT_TRANSLATE_NOOP("TfGraph", "Открыть журнал…");
constexpr const char* kLastRunCaption = QT_TRANSLATE_NOOP("TfGraph", "Последний пуск");
constexpr const char* kSaveDataCaption = QT_TRANSLATE_NOOP("TfGraph", "Сохранить данные…");
constexpr const char* kSavePictureCaption = QT_TRANSLATE_NOOP("TfGraph", "Сохранить рисунок…");
constexpr const char* kMarkACaption = QT_TRANSLATE_NOOP("TfGraph", "Метка A здесь");
constexpr const char* kMarkBCaption = QT_TRANSLATE_NOOP("TfGraph", "Метка B здесь");
constexpr const char* kClearMarksCaption = QT_TRANSLATE_NOOP("TfGraph", "Убрать метки");
constexpr const char* kModesCaption = QT_TRANSLATE_NOOP("TfGraph", "Режимы и неисправности");
constexpr const char* kDistinctColorsCaption = QT_TRANSLATE_NOOP("TfGraph", "Различимые цвета");
// The picture's title: what is charted, and when.
constexpr const char* kLiveTitle = QT_TRANSLATE_NOOP("TfGraph", "Телеметрия в реальном времени, %1");
constexpr const char* kLogTitle = QT_TRANSLATE_NOOP("TfGraph", "Журнал \"%1\", открыт %2");
constexpr const char* kLogRunTitle = QT_TRANSLATE_NOOP("TfGraph", "Журнал \"%1\", пуск %3, открыт %2");
constexpr const char* kRunOfRuns = QT_TRANSLATE_NOOP("TfGraph", "%1 из %2");
constexpr const char* kLastRunTitle = QT_TRANSLATE_NOOP("TfGraph", "Последний пуск, показан %1");
constexpr const char* kTitleTimeFormat = "dd.MM.yyyy hh:mm:ss";
constexpr const char* kRecordLogFilter =
    QT_TRANSLATE_NOOP("TfGraph", "Журнал записей (*.txt);;Все файлы (*)");
constexpr const char* kCsvFilter = "CSV (*.csv)";
constexpr const char* kPngFilter = QT_TRANSLATE_NOOP("TfGraph", "Рисунок PNG (*.png)");
constexpr const char* kNoCompleteRecord =
    QT_TRANSLATE_NOOP("TfGraph", "в нём нет ни одной полной записи журнала");
constexpr const char* kNoRecordsNow =
    QT_TRANSLATE_NOOP("TfGraph", "В журнале записей нет ни одной полной записи");
// Ten days of records, several times the longest session a log is kept of;
// the limit keeps a wrong file from filling the memory.
constexpr std::size_t kMaxRecordLogBytes = 128u << 20;

constexpr int kMinWidth = 640;
// Window sides up to this are taken from the settings as they stand.
constexpr int kLargestPlainWindowSide = 4096;
constexpr int kMinHeight = 480;
constexpr int kTopPanelHeight = 41;
constexpr int kLeftPanelWidth = 73;
constexpr int kBottomPanelHeight = 36;
// As laid out for the Russian captions of the series; a longer language
// widens the panel to its widest caption.
constexpr int kRightPanelWidth = 202;
constexpr int kCaptionLeft = 70;
constexpr int kCaptionRightMargin = 2;
constexpr int kRowPitch = 23;
constexpr int kRowTop = 8;
constexpr int kSwatchWidth = 24;
constexpr int kSwatchHeight = 22;

QFrame* Panel(QWidget* parent) {
  auto* p = new QFrame(parent);
  p->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return p;
}

QToolButton* ArrowButton(Qt::ArrowType arrow, const char* name, QWidget* parent) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  b->setObjectName(name);
  b->setFixedSize(28, 26);
  return b;
}

SpinEdit* Box(int minimum, int maximum, int step, int value, const char* name, QWidget* parent) {
  auto* e = new SpinEdit(minimum, maximum, step, value, parent);
  e->setObjectName(name);
  return e;
}

// A name the user typed without an extension gets the one of the format.
QString ProposedName(const char* suffix) {
  return "G_" + FileNameTimeStamp(QDateTime::currentDateTime()) + '.' + suffix;
}

}  // namespace

TfGraph::TfGraph(QWidget* parent) : QWidget(parent, Qt::Tool) {
  CreateControls();
  NameControls();
  CreateMenu();
  CreateRunActions();
  CreateViewActions();
  ConnectHandlers();
  CloseOnEscape(this);
  FormCreate();
}

QAction* TfGraph::MenuAction(const char* caption, const QKeySequence& keys, const char* name) {
  auto* a = new QAction(QCoreApplication::translate("TfGraph", caption), this);
  a->setObjectName(name);
  a->setShortcut(keys);
  // Active while this window is the active window, wherever its focus is.
  a->setShortcutContext(Qt::WindowShortcut);
  addAction(a);
  return a;
}

void TfGraph::CreateMenu() {
  const auto action = [this](const char* caption, const QKeySequence& keys, const char* name) {
    return MenuAction(caption, keys, name);
  };
  aOpenLog = action(kOpenLogCaption, QKeySequence(Qt::CTRL | Qt::Key_O), "aOpenLog");
  aLastRun = action(kLastRunCaption, QKeySequence(Qt::CTRL | Qt::Key_L), "aLastRun");
  aSaveData = action(kSaveDataCaption, QKeySequence(Qt::CTRL | Qt::Key_S), "aSaveData");
  aSavePicture = action(kSavePictureCaption, QKeySequence(), "aSavePicture");
  aMarkA = action(kMarkACaption, QKeySequence(), "aMarkA");
  aMarkB = action(kMarkBCaption, QKeySequence(), "aMarkB");
  aClearMarks = action(kClearMarksCaption, QKeySequence(), "aClearMarks");
  aModes = action(kModesCaption, QKeySequence(), "aModes");
  aModes->setCheckable(true);
  aModes->setChecked(true);
  aDistinctColors = action(kDistinctColorsCaption, QKeySequence(), "aDistinctColors");
  pmCharts = new QMenu(this);
  pmCharts->setObjectName("pmCharts");
  pmCharts->addActions({aOpenLog, aLastRun});
  pmCharts->addSeparator();
  pmCharts->addActions({aSaveData, aSavePicture});
  pmCharts->addSeparator();
  pmCharts->addActions({aMarkA, aMarkB, aClearMarks});
  pmCharts->addSeparator();
  pmCharts->addActions({aModes, aDistinctColors});
  new FileDropFilter(this, [this](const QString& path) { OpenRecordLog(path); });
}

void TfGraph::CreateControls() {
  setObjectName("fGraph");
  setWindowTitle(QCoreApplication::translate("TfGraph", kCaption));
  setMinimumSize(kMinWidth, kMinHeight);
  resize(kMinWidth, kMinHeight);
  // The form font of every window; Liberation Sans stands in where it is not
  // installed (the default substitute is too wide for the row captions).
  QFont font;
  font.setFamilies({"MS Sans Serif", "Liberation Sans"});
  font.setPixelSize(11);
  setFont(font);

  pTop = Panel(this);
  pTop->setFixedHeight(kTopPanelHeight);
  pLeft = Panel(this);
  pLeft->setFixedWidth(kLeftPanelWidth);
  pBottom = Panel(this);
  pBottom->setFixedHeight(kBottomPanelHeight);
  pRight = Panel(this);

  Charts = new ChartWidget(this);
  Charts->setObjectName("Charts");
  Charts->BottomAxis().SetTitle(QCoreApplication::translate("TfGraph", kTimeAxisTitle).toStdString());

  edXMin = Box(0, 2000, 1, 0, "edXMin", pBottom);
  edXMax = Box(30, 5000, 10, 200, "edXMax", pBottom);
  edXStep = Box(2, 300, 1, 20, "edXStep", pBottom);
  edYMin = Box(-100, 1700, 5, 0, "edYMin", pLeft);
  edYMax = Box(0, 2000, 5, 700, "edYMax", pLeft);
  edYStep = Box(2, 500, 1, 50, "edYStep", pLeft);
  for (SpinEdit* e : {edXMin, edXMax, edXStep}) e->setFixedWidth(64);
  for (SpinEdit* e : {edYMin, edYMax, edYStep}) e->setFixedWidth(kLeftPanelWidth - 10);

  bUp = ArrowButton(Qt::UpArrow, "bUp", pTop);
  bDown = ArrowButton(Qt::DownArrow, "bDown", pLeft);
  bLeft = ArrowButton(Qt::LeftArrow, "bLeft", pBottom);
  bRight = ArrowButton(Qt::RightArrow, "bRight", pBottom);
  Button1 = new QPushButton(QCoreApplication::translate("TfGraph", kClearCaption), pTop);
  Button1->setObjectName("Button1");

  auto* top = new QHBoxLayout(pTop);
  top->setContentsMargins(6, 4, 6, 4);
  top->addWidget(bUp);
  top->addSpacing(12);
  top->addWidget(Button1);
  top->addSpacing(12);
  lbShown = new QLabel(pTop);
  lbShown->setObjectName("lbShown");
  lbShown->setAccessibleDescription(tr("Что показывает график"));
  lbShown->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A journal's long name does not widen the window: the line is cut at its
  // edge, and its tooltip and accessible name keep it whole.
  lbShown->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  top->addWidget(lbShown, 1);

  auto* left = new QVBoxLayout(pLeft);
  left->setContentsMargins(4, 6, 4, 6);
  left->addWidget(edYMax);
  left->addWidget(edYStep);
  left->addStretch();
  left->addWidget(edYMin);
  left->addWidget(bDown, 0, Qt::AlignHCenter);

  auto* bottom = new QHBoxLayout(pBottom);
  bottom->setContentsMargins(6, 3, 6, 3);
  bottom->addWidget(bLeft);
  bottom->addWidget(edXMin);
  bottom->addWidget(edXStep);
  bottom->addStretch();
  bottom->addWidget(edXMax);
  bottom->addWidget(bRight);

  // Each row: width box, colour swatch, check box with the row caption.
  for (int i = 0; i < kSeriesCount; ++i) {
    const int n = i + 1;
    const int y = kRowTop + i * kRowPitch;
    ed[i] = new SpinEdit(1, 9, 1, 1, pRight);
    ed[i]->setObjectName(QStringLiteral("ed%1").arg(n));
    ed[i]->setGeometry(3, y, 36, kSwatchHeight);
    sp[i] = new ColorSwatch(pRight);
    sp[i]->setObjectName(QStringLiteral("sp%1").arg(n));
    sp[i]->setGeometry(42, y, kSwatchWidth, kSwatchHeight);
    sp[i]->setToolTip(QCoreApplication::translate("TfGraph", kSwatchHint));
    sp[i]->SetColor(ColorFromValue(GraphSettings::kDefaultColor));
    cb[i] = new QCheckBox(GraphSeriesCaption(i), pRight);
    cb[i]->setObjectName(QStringLiteral("cb%1").arg(n));
    cb[i]->move(kCaptionLeft, y);
    cb[i]->setChecked(true);
    Charts->SetSeriesColor(i, sp[i]->Color());
    Charts->SetSeriesName(i, GraphSeriesCaption(i).toStdString());
  }
  int captionWidth = kRightPanelWidth - kCaptionLeft - kCaptionRightMargin;
  for (const QCheckBox* box : cb) captionWidth = std::max(captionWidth, box->sizeHint().width());
  for (QCheckBox* box : cb) box->resize(captionWidth, kSwatchHeight);
  pRight->setFixedWidth(kCaptionLeft + captionWidth + kCaptionRightMargin);

  dlgColor = new QColorDialog(this);
  dlgColor->setObjectName("dlgColor");
  dlgColor->setOption(QColorDialog::DontUseNativeDialog);

  auto* middle = new QHBoxLayout;
  middle->setContentsMargins(0, 0, 0, 0);
  middle->setSpacing(0);
  middle->addWidget(pLeft);
  middle->addWidget(Charts, 1);
  auto* column = new QVBoxLayout;
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(pTop);
  column->addLayout(middle, 1);
  column->addWidget(pBottom);
  auto* window = new QHBoxLayout(this);
  window->setContentsMargins(0, 0, 0, 0);
  window->setSpacing(0);
  window->addLayout(column, 1);
  window->addWidget(pRight);
}

void TfGraph::ConnectHandlers() {
  connect(edXMin, &QSpinBox::valueChanged, this, &TfGraph::edXMinChange);
  connect(edXMax, &QSpinBox::valueChanged, this, &TfGraph::edXMaxChange);
  connect(edXStep, &QSpinBox::valueChanged, this, &TfGraph::edXStepChange);
  connect(edYMin, &QSpinBox::valueChanged, this, &TfGraph::edYMinChange);
  connect(edYMax, &QSpinBox::valueChanged, this, &TfGraph::edYMaxChange);
  connect(edYStep, &QSpinBox::valueChanged, this, &TfGraph::edYStepChange);
  connect(bUp, &QToolButton::clicked, this, &TfGraph::bUpClick);
  connect(bDown, &QToolButton::clicked, this, &TfGraph::bDownClick);
  connect(bLeft, &QToolButton::clicked, this, &TfGraph::bLeftClick);
  connect(bRight, &QToolButton::clicked, this, &TfGraph::bRightClick);
  connect(Button1, &QPushButton::clicked, this, &TfGraph::Button1Click);
  for (int i = 0; i < kSeriesCount; ++i) {
    const int tag = i + 1;
    connect(ed[i], &QSpinBox::valueChanged, this, [this, tag] { ed1Change(tag); });
    // toggled, not clicked: a state set by the program applies as well.
    connect(cb[i], &QCheckBox::toggled, this, [this, tag] { cb1Click(tag); });
    connect(sp[i], &ColorSwatch::MouseDown, this, [this, tag] { sp1MouseDown(tag); });
  }
  connect(Charts, &ChartWidget::AfterDraw, this, &TfGraph::ChartsAfterDraw);
  connect(Charts, &ChartWidget::ContextMenuRequested, this, &TfGraph::ChartsContextMenu);
  connect(aOpenLog, &QAction::triggered, this, &TfGraph::aOpenLogExecute);
  connect(aLastRun, &QAction::triggered, this, &TfGraph::aLastRunExecute);
  connect(aSaveData, &QAction::triggered, this, &TfGraph::aSaveDataExecute);
  connect(aSavePicture, &QAction::triggered, this, &TfGraph::aSavePictureExecute);
  connect(pmCharts, &QMenu::aboutToShow, this, [this] {
    if (!menuFromChart_) {
      menuPos_.reset();
      menuKeyX_.reset();
    }
    menuFromChart_ = false;
  });
  connect(aMarkA, &QAction::triggered, this, &TfGraph::aMarkAExecute);
  connect(aMarkB, &QAction::triggered, this, &TfGraph::aMarkBExecute);
  connect(aClearMarks, &QAction::triggered, this, &TfGraph::aClearMarksExecute);
  connect(aModes, &QAction::triggered, this, &TfGraph::aModesExecute);
  connect(aDistinctColors, &QAction::triggered, this, &TfGraph::aDistinctColorsExecute);
}

void TfGraph::FormCreate() {
  const GraphSettings s = GraphSettings::Read(SettingsFile());
  move(ClampWindowCoordinate(s.left), ClampWindowCoordinate(s.top));
  // A stored size larger than any desktop cannot be the one the window was
  // closed with; taken as it stands it would ask for a drawing surface of
  // gigabytes when the window is shown. Sizes up to the desktop's, or up to a
  // large monitor's where the desktop is smaller, stand as they are.
  QSize largest(kLargestPlainWindowSide, kLargestPlainWindowSide);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    largest = largest.expandedTo(screen->availableVirtualGeometry().size());
  resize(std::clamp(s.width, kMinWidth, largest.width()),
         std::clamp(s.height, kMinHeight, largest.height()));
  for (int i = 0; i < kSeriesCount; ++i) {
    ed[i]->setValue(s.widths[i]);
    ed1Change(i + 1);
  }
  for (int i = 0; i < kSeriesCount; ++i) {
    cb[i]->setChecked(s.shown[i]);
    cb1Click(i + 1);
  }
  for (int i = 0; i < kSeriesCount; ++i) {
    sp[i]->SetColor(ColorFromValue(s.colors[i]));
    Charts->SetSeriesColor(i, sp[i]->Color());
  }
  aModes->setChecked(s.modesShown);
  Charts->SetTimeline(GraphTimeline(s.modesShown));
  // This order settles stored bounds that contradict each other: a maximum is
  // applied while its minimum box still shows its initial value, and the
  // minimum is then checked against the new maximum.
  edXStep->setValue(s.xStep);
  edXStepChange();
  edYStep->setValue(s.yStep);
  edYStepChange();
  edYMax->setValue(s.yMax);
  edYMaxChange();
  edYMin->setValue(s.yMin);
  edYMinChange();
  edXMax->setValue(s.xMax);
  edXMaxChange();
  edXMin->setValue(s.xMin);
  edXMinChange();
  aFollow->setChecked(s.follow);
  NoteFollowed();
}

void TfGraph::SaveSettings() {
  GraphSettings s;
  s.top = y();
  s.left = x();
  s.width = width();
  s.height = height();
  s.yMax = edYMax->value();
  s.yMin = edYMin->value();
  s.yStep = edYStep->value();
  s.xMax = edXMax->value();
  s.xMin = edXMin->value();
  s.xStep = edXStep->value();
  for (int i = 0; i < kSeriesCount; ++i) {
    s.widths[i] = ed[i]->value();
    s.shown[i] = cb[i]->isChecked();
    s.colors[i] = ValueFromColor(sp[i]->Color());
  }
  s.modesShown = aModes->isChecked();
  s.follow = aFollow->isChecked();
  SettingsFile file;
  s.Write(file);
}

void TfGraph::AddPoint(int series, double x, double y) {
  Charts->AddPoint(series, x, y);
  ChartChanged();
}

// The cursors stood at times of the points dropped: they go with them.
void TfGraph::ClearCharts() {
  for (int i = 0; i < kSeriesCount; ++i) Charts->ClearSeries(i);
  Charts->ClearCursors();
  ChartChanged();
}

// The bound boxes compare the two boxes of their axis, not the axis: the axis
// may still refuse when one of its bounds lies outside its box's range.
void TfGraph::edXMinChange() {
  if (showingXRange_) return;
  if (edXMin->value() < edXMax->value()) Charts->BottomAxis().SetMinimum(edXMin->value());
}

void TfGraph::edXMaxChange() {
  if (showingXRange_) return;
  if (edXMin->value() < edXMax->value()) Charts->BottomAxis().SetMaximum(edXMax->value());
}

void TfGraph::edYMinChange() {
  if (showingYRange_) return;
  if (edYMin->value() < edYMax->value()) Charts->LeftAxis().SetMinimum(edYMin->value());
}

void TfGraph::edYMaxChange() {
  if (showingYRange_) return;
  if (edYMin->value() < edYMax->value()) Charts->LeftAxis().SetMaximum(edYMax->value());
}

void TfGraph::edXStepChange() { Charts->BottomAxis().SetIncrement(edXStep->value()); }

void TfGraph::edYStepChange() { Charts->LeftAxis().SetIncrement(edYStep->value()); }

// Pans keep the span and never pass through an inverted range: the bound in
// the direction of travel moves first.
void TfGraph::bUpClick() {
  ChartAxis& a = Charts->LeftAxis();
  const int step = edYStep->value();
  a.SetMaximum(a.Maximum() + step);
  a.SetMinimum(a.Minimum() + step);
}

void TfGraph::bDownClick() {
  ChartAxis& a = Charts->LeftAxis();
  const int step = edYStep->value();
  a.SetMinimum(a.Minimum() - step);
  a.SetMaximum(a.Maximum() - step);
}

void TfGraph::bRightClick() {
  ChartAxis& a = Charts->BottomAxis();
  const int step = edXStep->value();
  a.SetMaximum(a.Maximum() + step);
  a.SetMinimum(a.Minimum() + step);
}

void TfGraph::bLeftClick() {
  ChartAxis& a = Charts->BottomAxis();
  const int step = edXStep->value();
  a.SetMinimum(a.Minimum() - step);
  a.SetMaximum(a.Maximum() - step);
}

void TfGraph::Button1Click() {
  holding_ = false;
  shown_ = Shown::kLive;
  shownRun_.reset();
  ClearCharts();
}

void TfGraph::ed1Change(int tag) { Charts->SetSeriesWidth(tag - 1, ed[tag - 1]->value()); }

void TfGraph::cb1Click(int tag) { Charts->SetSeriesVisible(tag - 1, cb[tag - 1]->isChecked()); }

void TfGraph::sp1MouseDown(int tag) {
  // The dialog starts from the colour the series has now.
  dlgColor->setCurrentColor(sp[tag - 1]->Color());
  const int result = dlgColor->exec();
  ReturnFocus(sp[tag - 1]);
  if (result != QDialog::Accepted) return;
  SetRowColor(tag, dlgColor->selectedColor());
}

void TfGraph::SetRowColor(int tag, const QColor& color) {
  sp[tag - 1]->SetColor(color);
  Charts->SetSeriesColor(tag - 1, color);
}

// Each copy that changes what a value box shows runs that box's bound rule at
// once, which may set the axis again and so cause one more redraw. The time
// boxes only show the range drawn: runs of hours lie past their ranges.
void TfGraph::ChartsAfterDraw() {
  ShowYRange();
  ShowXRange();
  if (FollowBroken()) aFollow->setChecked(false);
  DescribeChart();
}

double TfGraph::MenuX() const {
  if (menuKeyX_) return *menuKeyX_;
  // A menu opened by other means than the chart's request (an assistive
  // tool, say) stands where it was opened.
  const QPoint global = menuPos_ ? *menuPos_ : pmCharts->pos();
  const PlotMapping p = Charts->Frame().plot;
  const int x = std::clamp(Charts->mapFromGlobal(global).x(), p.left, p.Right());
  return p.PixelToX(x);
}

void TfGraph::aMarkAExecute() { Charts->SetCursor(Cursor::kA, MenuX()); }

void TfGraph::aMarkBExecute() { Charts->SetCursor(Cursor::kB, MenuX()); }

void TfGraph::aClearMarksExecute() { Charts->ClearCursors(); }

void TfGraph::aModesExecute() { Charts->SetTimelineShown(aModes->isChecked()); }

// As if each colour were chosen in its swatch's dialog.
void TfGraph::aDistinctColorsExecute() {
  for (int i = 0; i < kSeriesCount; ++i) SetRowColor(i + 1, QColor::fromRgb(kDistinctColors[i]));
}

void TfGraph::aOpenLogExecute() {
  const QString path = AskOpenFileName(this, QCoreApplication::translate("TfGraph", kOpenLogCaption),
                                       QCoreApplication::translate("TfGraph", kRecordLogFilter));
  if (!path.isEmpty()) OpenRecordLog(path);
}

void TfGraph::aLastRunExecute() { ShowLastRun(); }

void TfGraph::aSaveDataExecute() {
  const QString path = AskSaveFileName(this, QCoreApplication::translate("TfGraph", kSaveDataCaption),
                                       ProposedDataName(), QString::fromUtf8(kCsvFilter));
  if (!path.isEmpty()) SaveData(path);
}

// The heater's serial and the run's start: the journal's, else the session's.
QString TfGraph::ProposedDataName() const {
  std::optional<uint32_t> serial;
  if (shown_ == Shown::kLog) {
    if (const auto name = ParseJournalFileName(shownName_.toStdString())) serial = name->serial;
  } else if (serialSource_) {
    serial = serialSource_();
  }
  const SessionRun* run = ChartedRun();
  const LocalTime start = run && run->start ? WallLocalTime(*run->start) : LocalTimeNow();
  return QString::fromStdString(SeriesFileName(serial, start));
}

void TfGraph::aSavePictureExecute() {
  const QString path =
      AskSaveFileName(this, QCoreApplication::translate("TfGraph", kSavePictureCaption), ProposedName("png"),
                      QCoreApplication::translate("TfGraph", kPngFilter));
  if (!path.isEmpty()) SavePicture(path);
}

// A log of several runs asks which one to chart ("Пуски в журнале").
void TfGraph::OpenRecordLog(const QString& path) {
  const std::string name = QDir::toNativeSeparators(path).toStdString();
  RecordLog log(LoadUserFile(name, kMaxRecordLogBytes));
  if (log.RecordCount() == 0)
    ThrowOpenError(name, QCoreApplication::translate("TfGraph", kNoCompleteRecord).toStdString());
  if (log.RunCount() == 0) return ShowInformation(QString::fromStdString(log.Message()));
  // Before the list, which shows when each run began.
  GiveRunClocks(name, log);
  std::size_t run = log.RunCount() - 1;
  if (log.RunCount() > 1) {
    const std::optional<std::size_t> chosen = ChooseRun(this, log);
    if (!chosen) return;
    run = *chosen;
  }
  ShowRecords(log, run, Shown::kLog, QFileInfo(path).fileName());
}

void TfGraph::ShowLastRun() {
  RecordLog log(recordLogSource_ ? recordLogSource_() : std::string());
  if (log.RecordCount() == 0)
    throw std::runtime_error(QCoreApplication::translate("TfGraph", kNoRecordsNow).toStdString());
  if (log.RunCount() == 0) return ShowInformation(QString::fromStdString(log.Message()));
  // The record log's last run is the live telemetry's latest: the same
  // start, from the clock of the session.
  const SessionRun* live = LiveRuns().Latest();
  if (live && live->start) log.SetRunStart(log.RunCount() - 1, *live->start);
  ShowRecords(log, log.RunCount() - 1, Shown::kLastRun, QString());
}

// The charts as the live telemetry left them at the end of the run shown.
void TfGraph::ShowRecords(const RecordLog& log, std::size_t run, Shown what, const QString& name) {
  shown_ = what;
  shownName_ = name;
  shownRun_ = log.Model().Runs()[run];
  shownRunOf_ = log.RunCount() > 1
                    ? QCoreApplication::translate("TfGraph", kRunOfRuns).arg(run + 1).arg(log.RunCount())
                    : QString();
  shownAt_ = QDateTime::currentDateTime();
  shownLogCaption_ = tr("Журнал %1 — пуск %2 из %3").arg(name).arg(run + 1).arg(log.RunCount());
  if (shownRun_->start)
    shownLogCaption_ += ", " + QString::fromStdString(WallDateTimeText(*shownRun_->start));
  UpdateShownCaption();
  ClearCharts();
  for (const TelemetryPoint& p : log.RunPoints(run)) Charts->AddPoint(p.series, p.x, p.y);
  ChartChanged();
  FollowNewest();
  holding_ = true;
  // The user chose the run from the list: only skipped lines are news.
  const std::string message = log.Message(what == Shown::kLastRun);
  if (!message.empty()) ShowInformation(QString::fromStdString(message));
}

std::string TfGraph::SeriesCsvText() const {
  std::vector<CsvSeries> columns(kSeriesCount);
  for (int i = 0; i < kSeriesCount; ++i) {
    const SeriesData& data = Charts->Series(i);
    columns[i].caption = GraphSeriesCaption(i).toStdString();
    columns[i].points.reserve(data.Size());
    for (std::size_t k = 0; k < data.Size(); ++k) columns[i].points.emplace_back(data.X(k), data.Y(k));
  }
  const SessionRun* run = ChartedRun();
  return SeriesCsv(QCoreApplication::translate("TfGraph", kTimeAxisTitle).toStdString(), columns,
                   run ? run->start : std::nullopt);
}

void TfGraph::SaveData(const QString& path) const {
  SaveUserFile(QDir::toNativeSeparators(path).toStdString(), SeriesCsvText());
}

QString TfGraph::PictureTitle() const {
  const QString now = QDateTime::currentDateTime().toString(kTitleTimeFormat);
  const QString at = shownAt_.toString(kTitleTimeFormat);
  QString title;
  switch (shown_) {
    case Shown::kLog:
      title = !shownRunOf_.isEmpty()
                  ? QCoreApplication::translate("TfGraph", kLogRunTitle).arg(shownName_, at, shownRunOf_)
                  : QCoreApplication::translate("TfGraph", kLogTitle).arg(shownName_, at);
      break;
    case Shown::kLastRun:
      title = QCoreApplication::translate("TfGraph", kLastRunTitle).arg(at);
      break;
    case Shown::kLive:
      title = QCoreApplication::translate("TfGraph", kLiveTitle).arg(now);
      break;
  }
  // The run charted, with the start and length every view of it gives.
  if (const SessionRun* run = ChartedRun()) {
    const QString length = QString::fromStdString(SecondsText(double(run->length)));
    //: The picture's title %1 and the run charted: its start %2 and its length %3.
    title = run->start ? tr("%1; пуск начат %2, длительность %3")
                             .arg(title, QString::fromStdString(WallDateTimeText(*run->start)), length)
                       //: The picture's title %1 and the length %2 of the run charted.
                       : tr("%1; длительность пуска %2").arg(title, length);
  }
  return title;
}

// In device pixels, as the chart is shown: twice its size on a screen that
// doubles them.
QImage TfGraph::Picture() const {
  std::vector<LegendEntry> legend;
  for (int i = 0; i < kSeriesCount; ++i)
    if (Charts->SeriesVisible(i))
      legend.push_back({GraphSeriesCaption(i), Charts->SeriesColor(i), Charts->SeriesWidth(i)});
  return StandAlonePicture(Charts->Picture(), PictureTitle(), Charts->font(), legend, ShownCaption());
}

void TfGraph::SavePicture(const QString& path) const {
  const std::string name = QDir::toNativeSeparators(path).toStdString();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!Picture().save(&buffer, "PNG"))
    ThrowSaveError(name,
                   QCoreApplication::translate("TfGraph", "рисунок не удалось построить").toStdString());
  SaveUserFile(name, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

void TfGraph::CopyBound(SpinEdit* box, double bound) {
  // Halves go to the even neighbour (the default rounding mode).
  const double clamped = std::clamp(std::nearbyint(bound), double(box->minimum()), double(box->maximum()));
  box->setValue(static_cast<int>(clamped));
}

}  // namespace o5
