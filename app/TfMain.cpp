// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TfMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

#include "app/Announcer.h"
#include "app/ByteTracePane.h"
#include "app/Emblem.h"
#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/MainAccessibility.h"
#include "archive/DataFolder.h"
#include "archive/ReadoutArchive.h"
#include "heater/ModeNames.h"
#include "heater/BlackBoxExport.h"
#include "heater/HeaterCommands.h"
#include "heater/RecordColumns.h"
#include "heater/RecordLog.h"
#include "remote/BenchCopy.h"
#include "link/ComComboBox.h"
#include "link/ComLed.h"
#include "link/ComPort.h"
#include "link/ComReconnect.h"
#include "link/ReplyWait.h"
#include "settings/UserFile.h"
#include "ui/FileDrop.h"
#include "ui/UserDialogs.h"
#include "ui/WindowGeometry.h"
#include "ui/blackbox/BlackBoxReadout.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/history/TfHistory.h"
#include "ui/modes/TfrmModes.h"

namespace o5 {

namespace {

const QColor kSkyBlue(166, 202, 240);
constexpr int kTimerIntervalMs = 100;
constexpr int kToolButtonHeight = 46;
const char* const kNoDataLine =
    QT_TRANSLATE_NOOP("TfMain", "Нет данных от отопителя: проверьте выбор порта и подключение.");

QFrame* MakePanel(QWidget* parent, bool lowered, bool skyBlue) {
  auto* panel = new QFrame(parent);
  if (lowered) panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  if (skyBlue) {
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, kSkyBlue);
    panel->setPalette(pal);
  }
  return panel;
}

QToolButton* MakeToolButton(QWidget* parent, const QString& caption, bool bold) {
  auto* b = new ToolbarButton(parent);
  b->setText(caption);
  b->setAutoRaise(true);
  b->setFixedHeight(kToolButtonHeight);
  b->setMinimumWidth(64);
  b->setFocusPolicy(Qt::TabFocus);
  if (bold) {
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
  }
  return b;
}

QFont PixelFont(const char* family, int pixels, bool bold = false) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setStyleHint(QString::fromLatin1(family) == "Courier New" ? QFont::TypeWriter : QFont::AnyStyle);
  return f;
}

}  // namespace

TfMain::TfMain(QWidget* parent) : QWidget(parent) {
  setObjectName("fMain");
  setWindowTitle(AppTitle());
  setWindowIcon(MakeAppIcon());
  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kSkyBlue);
  setPalette(pal);

  Port = new TComPort(this);
  Port->setObjectName("Port");
  Port->SetPort("COM1");
  Port->SetBaudRate(br1200);
  Port->SetDataBits(dbEight);
  Port->SetStopBits(sbOneStopBit);
  Port->Parity().SetBits(prNone);
  Port->FlowControl().SetFlowControl(fcNone);
  Port->SetEvents(kAllComEvents);
  Port->OnRxChar = [this](QObject* sender, int count) { PortRxChar(sender, count); };
  Reconnect = new ComReconnect(Port, this);
  Reconnect->setObjectName("Reconnect");
  journalLink_.NotifyConnection = [this](bool connected) { JournalConnection(connected); };
  journalLink_.NotifyDeviceLost = [this] { events_.DeviceLost(); };
  Port->AddLink(&journalLink_);

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(kTimerIntervalMs);
  connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(Timer); });

  BuildControls();
  qApp->installEventFilter(this);
  Timer->start();
  FormCreate();
}

TfMain::~TfMain() {
  qApp->removeEventFilter(this);
  // Close the port while the window's members still exist: a dispatch that
  // the monitor handed over before the stop reaches PortRxChar.
  Port->ClosePort();
  Port->RemoveLink(&journalLink_);
}

void TfMain::CentreOnScreen(QSize outer) {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), outer);
    frame.moveCenter(screen->availableGeometry().center());
    move(FitInto(frame, screen->availableGeometry()));
  }
}

void TfMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (placed_) return;
  placed_ = true;
  const QSize margins = frameGeometry().size() - size();
  if (margins.isEmpty()) return;
  resize(kOuterWidth - margins.width(), kOuterHeight - margins.height());
  CentreOnScreen(QSize(kOuterWidth, kOuterHeight));
}

void TfMain::BuildControls() {
  resize(kOuterWidth, kOuterHeight);
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);

  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(3);
  Splitter1->setChildrenCollapsible(false);
  root->addWidget(Splitter1);

  // Upper area: toolbar, port controls and emblem over the console.
  Panel3 = MakePanel(Splitter1, false, false);
  Panel3->setObjectName("Panel3");
  auto* upper = new QVBoxLayout(Panel3);
  upper->setContentsMargins(0, 0, 0, 0);
  upper->setSpacing(0);

  Panel6 = MakePanel(Panel3, true, false);
  Panel6->setObjectName("Panel6");
  Panel6->setFixedHeight(102);
  upper->addWidget(Panel6);
  auto* top = new QHBoxLayout(Panel6);
  top->setContentsMargins(1, 1, 1, 1);
  top->setSpacing(0);

  Panel8 = MakePanel(Panel6, false, true);
  Panel8->setObjectName("Panel8");
  top->addWidget(Panel8, 1);
  auto* toolArea = new QVBoxLayout(Panel8);
  toolArea->setContentsMargins(0, 0, 0, 0);
  toolArea->setSpacing(0);

  Panel4 = MakePanel(Panel8, true, true);
  Panel4->setObjectName("Panel4");
  Panel4->setFixedHeight(50);
  toolArea->addWidget(Panel4);
  auto* toolbar = new QHBoxLayout(Panel4);
  toolbar->setContentsMargins(2, 1, 2, 1);
  toolbar->setSpacing(2);

  bModes = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Режимы"), false);
  bModes->setObjectName("bModes");
  bModes->setCheckable(true);
  bGraph = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Графики"), false);
  bGraph->setObjectName("bGraph");
  bClr = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Стереть (F8)"), false);
  bClr->setObjectName("bClr");
  bBlackBox = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Черный\nящик"), false);
  bBlackBox->setObjectName("bBlackBox");
  bVer = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Версия ПО\nОртан 5"), false);
  bVer->setObjectName("bVer");
  Bevel1 = new QFrame(Panel4);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameStyle(QFrame::VLine | QFrame::Raised);
  bStart = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Пуск"), true);
  bStart->setObjectName("bStart");
  bStop = MakeToolButton(Panel4, QCoreApplication::translate("TfMain", "Стоп"), true);
  bStop->setObjectName("bStop");
  lTime = new QLabel("--.--", Panel4);
  lTime->setObjectName("lTime");
  lTime->setFont(PixelFont("Times New Roman", 24, true));
  lTime->setMinimumWidth(100);
  for (QWidget* w : std::initializer_list<QWidget*>{bModes, bGraph, bClr, bBlackBox, bVer, Bevel1,
                                                     bStart, bStop})
    toolbar->addWidget(w);
  toolbar->addSpacing(12);
  toolbar->addWidget(lTime);
  toolbar->addStretch(1);

  P1 = MakePanel(Panel8, true, true);
  P1->setObjectName("P1");
  toolArea->addWidget(P1, 1);
  auto* portRow = new QHBoxLayout(P1);
  portRow->setContentsMargins(6, 2, 6, 2);
  portRow->setSpacing(6);

  cbPort = new TComComboBox(P1);
  cbPort->setObjectName("cbPort");
  cbPort->setFixedSize(71, 21);
  // The list is filled while the window is built; binding to the port then
  // chooses the item that names it.
  cbPort->SetComProperty(cpPort);
  cbPort->SetAutoApply(true);
  cbPort->SetComPort(Port);
  ComLed1 = new TComLed(P1);
  ComLed1->setObjectName("ComLed1");
  ComLed1->setFixedSize(19, 19);
  ComLed1->SetComPort(Port);
  BSet = new QPushButton(QCoreApplication::translate("TfMain", "Настр"), P1);
  BSet->setObjectName("BSet");
  BSR = new QPushButton(QCoreApplication::translate("TfMain", "Откр/закр"), P1);
  BSR->setObjectName("BSR");
  portRow->addWidget(cbPort);
  portRow->addWidget(ComLed1);
  portRow->addWidget(BSet);
  portRow->addWidget(BSR);
  portRow->addStretch(1);
  lRemote = new QLabel(P1);
  lRemote->setObjectName("lRemote");
  portRow->addWidget(lRemote);
  bRemote = new QPushButton(tr("Удалённый доступ…"), P1);
  bRemote->setObjectName("bRemote");
  connect(bRemote, &QPushButton::clicked, this, [this] { bRemoteClick(bRemote); });
  portRow->addWidget(bRemote);

  Panel7 = MakePanel(Panel6, false, true);
  Panel7->setObjectName("Panel7");
  Panel7->setFixedWidth(107);
  top->addWidget(Panel7);
  Image1 = new QLabel(Panel7);
  Image1->setObjectName("Image1");
  Image1->setPixmap(MakeEmblem(106, 100));
  Image1->setGeometry(1, 0, 106, 100);

  auto* panes = new QHBoxLayout();
  panes->setContentsMargins(0, 0, 0, 0);
  panes->setSpacing(0);
  upper->addLayout(panes, 1);
  MC = new QPlainTextEdit(Panel3);
  MC->setObjectName("MC");
  MC->setFont(PixelFont("Courier New", 12));
  MC->setLineWrapMode(QPlainTextEdit::NoWrap);
  MC->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  panes->addWidget(MC, 1);
  MT = new ByteTracePane(Panel3);
  MT->setObjectName("MT");
  MT->setFixedWidth(80);
  MT->hide();
  panes->addWidget(MT);

  // Lower area: the record log under its column header.
  Panel1 = MakePanel(Splitter1, false, false);
  Panel1->setObjectName("Panel1");
  auto* lower = new QVBoxLayout(Panel1);
  lower->setContentsMargins(0, 0, 0, 0);
  lower->setSpacing(0);
  Panel2 = MakePanel(Panel1, true, true);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedHeight(24);
  lower->addWidget(Panel2);
  auto* header = new QHBoxLayout(Panel2);
  header->setContentsMargins(4, 0, 4, 0);
  Label7 = new QLabel(QString::fromUtf8(kRecordLogHeader.data(), static_cast<qsizetype>(kRecordLogHeader.size())),
                      Panel2);
  Label7->setObjectName("Label7");
  Label7->setFont(PixelFont("Courier New", 11));
  bSaveData = new QPushButton(QCoreApplication::translate("TfMain", "Сохранить"), Panel2);
  bSaveData->setObjectName("bSaveData");
  bSaveData->setFixedHeight(20);
  header->addWidget(Label7);
  header->addSpacing(8);
  header->addWidget(bSaveData);
  header->addStretch(1);
  MR = new QPlainTextEdit(Panel1);
  MR->setObjectName("MR");
  MR->setFont(PixelFont("Courier New", 11));
  MR->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  MR->setWordWrapMode(QTextOption::WrapAnywhere);
  MR->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MR->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // The header and the records must start in the same column.
  MR->document()->setDocumentMargin(0);
  MR->setContentsMargins(0, 0, 0, 0);
  lower->addWidget(MR, 1);

  Splitter1->addWidget(Panel3);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  Splitter1->setSizes({kOuterHeight - 145 - 3, 145});

  // toggled, not clicked: the modes window follows the button's state however
  // it changes (a click, Space, an assistive tool's Toggle action, the program).
  connect(bModes, &QToolButton::toggled, this, [this] { bModesClick(bModes); });
  connect(bGraph, &QToolButton::clicked, this, [this] { bGraphClick(bGraph); });
  connect(bClr, &QToolButton::clicked, this, [this] { bClrClick(bClr); });
  connect(bBlackBox, &QToolButton::clicked, this, [this] { bBlackBoxClick(bBlackBox); });
  connect(bVer, &QToolButton::clicked, this, [this] { bVerClick(bVer); });
  connect(bStart, &QToolButton::clicked, this, [this] { bStartClick(bStart); });
  connect(bStop, &QToolButton::clicked, this, [this] { bStopClick(bStop); });
  connect(BSet, &QPushButton::clicked, this, [this] { BSetClick(BSet); });
  connect(BSR, &QPushButton::clicked, this, [this] { BSRClick(BSR); });
  // After the selector's own handling: the port holds the picked name by now.
  connect(cbPort, &QComboBox::activated, this, [this] { Reconnect->PortChosen(); });
  connect(bSaveData, &QPushButton::clicked, this, [this] { bSaveDataClick(bSaveData); });

  // A saved black-box image opens from here too, by Ctrl+O or by dropping the
  // file anywhere on the window, and is shown in the black-box window.
  aOpenImage = new QAction(QCoreApplication::translate("TfMain", "Открыть образ…"), this);
  aOpenImage->setObjectName("aOpenImage");
  aOpenImage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  aOpenImage->setShortcutContext(Qt::WindowShortcut);
  addAction(aOpenImage);
  connect(aOpenImage, &QAction::triggered, this, [this] { fBB->aOpenImageExecute(this); });
  aHistory = new QAction(QCoreApplication::translate("TfHistory", kHistoryCommand), this);
  aHistory->setObjectName("aHistory");
  aHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
  aHistory->setShortcutContext(Qt::WindowShortcut);
  addAction(aHistory);
  connect(aHistory, &QAction::triggered, this, [this] { aHistoryExecute(); });
  new FileDropFilter(this, [](const QString& path) { fBB->OpenImage(path); });

  SetHints();
  Announcements = new Announcer(this);
  MakeMainAccessible(*this);
  CentreOnScreen(size());

  // The port names here are device paths, longer than the "COM1" the
  // selector's width was chosen for: it widens to show the longest name the
  // system lists, up to a limit that keeps the buttons beside it in view.
  constexpr int kPortSelectorMaxWidth = 320;
  cbPort->setFixedWidth(qBound(cbPort->width(), cbPort->sizeHint().width(), kPortSelectorMaxWidth));

  // The keyboard walks the window as it is seen: the toolbar, the port
  // controls and the remote access beside them, the console, then the record
  // log's save button above the log.
  // The panes hand Tab on; a tab character is of no use in either of them.
  MC->setTabChangesFocus(true);
  MR->setTabChangesFocus(true);
  const std::initializer_list<QWidget*> tabOrder{bModes, bGraph, bClr,    bBlackBox, bVer,      bStart, bStop,
                                                 cbPort, BSet,   BSR,     bRemote,   MC,        bSaveData, MR};
  for (auto it = tabOrder.begin() + 1; it != tabOrder.end(); ++it) setTabOrder(*(it - 1), *it);

  // Drawn for the screen's pixel density, so that the emblem stays sharp on a
  // scaled desktop.
  if (const qreal ratio = qApp->devicePixelRatio(); ratio > 1) {
    QPixmap emblem = MakeEmblem(qRound(Image1->width() * ratio), qRound(Image1->height() * ratio));
    emblem.setDevicePixelRatio(ratio);
    Image1->setPixmap(emblem);
  }
}

// The lamp's and the header's tooltips are made when they are asked for (the
// time of the last frame, the column under the mouse); the others stay.
void TfMain::SetHints() {
  const std::pair<QWidget*, const char*> hints[] = {
      {bModes, QT_TRANSLATE_NOOP("TfMain",
                                 "Показать или скрыть окно режимов работы и подписей битов неисправностей")},
      {bGraph, QT_TRANSLATE_NOOP("TfMain", "Открыть окно графиков телеметрии")},
      {bClr, QT_TRANSLATE_NOOP("TfMain", "Очистить консоль и журнал записей (F8)")},
      {bBlackBox, QT_TRANSLATE_NOOP("TfMain",
                                    "Прочитать черный ящик отопителя: счётчики, время работы и 13 записей "
                                    "неисправностей (около 15 с)")},
      {bVer, QT_TRANSLATE_NOOP("TfMain", "Прочитать версию и дату программного обеспечения отопителя")},
      {bStart, QT_TRANSLATE_NOOP("TfMain", "Запустить отопитель")},
      {bStop, QT_TRANSLATE_NOOP("TfMain", "Остановить отопитель")},
      {lTime, QT_TRANSLATE_NOOP("TfMain", "Время работы отопителя, минуты:секунды")},
      {cbPort,
       QT_TRANSLATE_NOOP("TfMain",
                         "Порт, к которому подключен отопитель; подсказка у каждого порта списка называет "
                         "его устройство")},
      {BSet, QT_TRANSLATE_NOOP(
                 "TfMain", "Параметры порта: устройство, скорость, биты данных, стоповые биты, чётность")},
      {BSR, QT_TRANSLATE_NOOP("TfMain", "Открыть или закрыть выбранный порт")},
      {bSaveData,
       QT_TRANSLATE_NOOP("TfMain", "Сохранить журнал записей в рабочую папку, в файл D_<дата>_<время>.txt")},
  };
  for (const auto& [control, text] : hints) control->setToolTip(QCoreApplication::translate("TfMain", text));
}

QString TfMain::LampHint() const {
  QString hint = Port->Connected() ? QCoreApplication::translate("TfMain", "Порт открыт.")
                                   : QCoreApplication::translate("TfMain", "Порт закрыт.");
  hint += QCoreApplication::translate("TfMain", " Лампа горит, пока порт открыт.\n");
  if (const auto last = silence_.LastFrame()) {
    const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(SilenceWatch::Clock::now() - *last);
    const QDateTime when = QDateTime::currentDateTime().addMSecs(-ago.count());
    hint += QCoreApplication::translate("TfMain", "Последний кадр от отопителя: %1 (%2 с назад).")
                .arg(when.toString("HH:mm:ss"))
                .arg(ago.count() / 1000);
  } else {
    hint += QCoreApplication::translate("TfMain", "Кадров от отопителя ещё не было.");
  }
  return hint;
}

QString TfMain::HeaderHint(int x) const {
  // The column is the one of the header's character under the mouse.
  const QString header = Label7->text();
  const QFontMetrics metrics = Label7->fontMetrics();
  const int left = Label7->contentsRect().left() + Label7->margin();
  for (int i = 0; i < header.size(); ++i) {
    if (x < left + metrics.horizontalAdvance(header.left(i + 1))) {
      const int column = RecordColumnAt(i);
      if (column < 0) return {};
      const RecordColumn& c = kRecordColumns[static_cast<size_t>(column)];
      return QString::fromUtf8(c.name.data(), static_cast<qsizetype>(c.name.size())) + ": " +
             QString::fromStdString(RecordColumnMeaning(c));
    }
  }
  return {};
}

void TfMain::WatchSilence() {
  if (exited_) return;
  if (!Port->Connected()) {
    silence_.Closed();
    return;
  }
  const auto now = SilenceWatch::Clock::now();
  if (Port->Openings() != silenceOpening_) {
    silenceOpening_ = Port->Openings();
    silence_.Opened(now);
  }
  // A running command says "Нет связи с отопителем." itself.
  if (commandDepth_ > 0) {
    silence_.Hold(now);
    return;
  }
  if (silence_.Due(now)) {
    ConsoleLine(QCoreApplication::translate("TfMain", kNoDataLine).toStdString());
    events_.Silent();
  }
}

// --- the link ------------------------------------------------------------

TfMain::CommandScope::CommandScope(TfMain& w, Command command)
    : w_(w), command_(command), outer_(w.commandOpening_) {
  w.commandOpening_ = w.Port->Connected() ? w.Port->Openings() : 0;
  if (command_ != kNoCommand) w.running_[command_] = true;
  ++w.commandDepth_;
}

TfMain::CommandScope::~CommandScope() {
  w_.commandOpening_ = outer_;
  if (command_ != kNoCommand) w_.running_[command_] = false;
  --w_.commandDepth_;
  if (w_.commandDepth_ == 0) w_.silence_.Hold(SilenceWatch::Clock::now());
}

bool TfMain::PortGoneSinceCommandBegan() const {
  return commandOpening_ != 0 && (!Port->Connected() || Port->Openings() != commandOpening_);
}

void TfMain::SendRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6,
                         uint8_t b7, uint8_t b8, uint8_t b9) {
  if (exited_ || PortGoneSinceCommandBegan()) return;
  const Frame frame = BuildRequest(control, b3, b4, b5, b6, b7, b8, b9);
  // A frame that did not go out whole within the write time limit (a far end
  // that holds the line back) is an error: the heater did not get the
  // command, and the technician must not believe it did. The port has already
  // discarded the part that was queued, so it cannot go out later ahead of
  // the next request.
  if (Port->WriteText(std::string(frame.begin(), frame.end())) < static_cast<int>(frame.size()))
    throw EComPort(CError_WriteFailed, ETIMEDOUT);
}

bool TfMain::WaitForReply(uint8_t expectedByte4, uint8_t expectedByte5, int expectedByte6) {
  if (exited_) return false;
  // A wait ends with its port: once the device is lost (and perhaps opened
  // again by itself meanwhile), no reply can answer what this command sent.
  const auto cancelled = [this] { return exited_ || PortGoneSinceCommandBegan(); };
  if (ServeUntilReply(receiver_, expectedByte4, expectedByte5, cancelled, &reply_, expectedByte6)) return true;
  if (!exited_) ConsoleLine(Translate("RequestChannel", kNoReplyLine));
  return false;
}

void TfMain::ConsoleLine(const std::string& line) {
  events_.Tell(line);
  // An empty pane and a pane holding one empty line look the same to the text
  // document; the console keeps the difference, so that a message starting
  // with an empty line keeps it.
  QTextDocument* doc = MC->document();
  QTextCursor cursor(doc);
  cursor.movePosition(QTextCursor::End);
  if (!doc->isEmpty() || consoleEmptyLine_) cursor.insertBlock();
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  cursor.insertText(text);
  consoleEmptyLine_ = doc->isEmpty();
  MC->verticalScrollBar()->setValue(MC->verticalScrollBar()->maximum());
  // Every console line is news the user must hear, wherever the focus is.
  Announcements->Announce(text);
}

void TfMain::Pause(int milliseconds) { QThread::msleep(static_cast<unsigned long>(milliseconds)); }

void TfMain::PortRxChar(QObject* /*sender*/, int count) {
  if (Port->ReadText(rxBytes_, count) == 0) return;
  if (Port->Openings() != rxOpening_) {
    // The first bytes of an opening continue nothing of the previous one: a
    // frame cut off by the closing is dropped, and the heater's fault is named
    // again on its first telemetry (the heater at the other end may be another
    // one, and whoever just connected has seen no notice of it yet).
    rxOpening_ = Port->Openings();
    receiver_.DropPartialFrame();
    telemetry_.faultCode = 0;
  }
  const auto* data = reinterpret_cast<const uint8_t*>(rxBytes_.data());
  MT->AppendBytes(data, rxBytes_.size());
  receiver_.Feed(data, rxBytes_.size(), [this](const Frame&) { ProcessPaket(); });
  FlushRecords();
}

void TfMain::ProcessPaket() {
  // Replies count too: a heater that answers is not silent.
  silence_.FrameArrived(SilenceWatch::Clock::now());
  events_.FrameArrived();
  const Frame& frame = receiver_.buffer();
  DecodeTelemetry(frame, telemetry_, *this);
}

void TfMain::TimerTimer(QObject* /*sender*/) {
  receiver_.Tick();
  WatchSilence();
  journal_.Tick();
  ReportJournalFailure();
}

// --- telemetry effects ------------------------------------------------------

void TfMain::CycleBegins(int32_t runTimer) { fGraph->LiveCycleBegins(runTimer); }

void TfMain::CycleMode(uint8_t mode) { fGraph->LiveCycleMode(mode); }

void TfMain::AddPoint(int series, double x, double y) { fGraph->LiveAddPoint(series, x, y); }

void TfMain::SetTimeText(std::string_view text) {
  lTime->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TfMain::SetModeCaption(std::string_view text) {
  // The decoder names the mode as the record log has it; the bar and the
  // session's events show it in the tool's language.
  int mode = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mode);
  const bool known =
      error == std::errc() && std::string_view(end, text.data() + text.size()) ==
                                  std::string(kModeCaptionSeparator) + std::string(ModeName(mode));
  const std::string shown = known ? ModeCaptionText(mode) : std::string(text);
  events_.ModeShown(shown);
  frmModes->SetModeCaption(QString::fromStdString(shown));
}

void TfMain::FaultNamed(std::string_view notice) { ConsoleLine(std::string(notice)); }

void TfMain::FaultBytes(const std::array<uint8_t, 4>& bytes) { frmModes->SetActiveFaults(bytes); }

void TfMain::AppendRecord(std::string_view record) {
  // In the journal before the pane shows it.
  journal_.Append(record);
  FollowJournal();
  pendingRecords_.append(record);
  pendingRecords_.push_back('\n');
  fGraph->LiveCycleEnds();
}

// Records of one receive event reach the log in one append.
void TfMain::FlushRecords() {
  if (pendingRecords_.empty()) return;
  ReportJournalFailure();
  pendingRecords_.pop_back();
  // An empty record (a cycle's end before any of its fields) is a line of
  // its own, also as the pane's first line, as it is in the journal.
  if (recordEmptyLine_ && MR->document()->isEmpty()) pendingRecords_.insert(0, 1, '\n');
  MR->appendPlainText(QString::fromUtf8(pendingRecords_.data(),
                                        static_cast<qsizetype>(pendingRecords_.size())));
  recordEmptyLine_ = MR->document()->isEmpty();
  pendingRecords_.clear();
}

// --- what the tool keeps ---------------------------------------------------------

void TfMain::JournalConnection(bool connected) {
  if (connected) {
    EndSession();
    journal_.Begin(ChooseDataFolder(), LocalTimeNow());
    events_.PortOpened(Port->Port());
  } else {
    sessionClosing_ = true;
    QMetaObject::invokeMethod(this, [this] { EndSession(); }, Qt::QueuedConnection);
  }
  ReportJournalFailure();
}

void TfMain::EndSession() {
  if (!sessionClosing_) return;
  sessionClosing_ = false;
  events_.PortClosed();
  journal_.End();
  EndPublishedSession();
}

void TfMain::ReportJournalFailure() {
  // A warning, not an error: the console says it, and so the timeline keeps it.
  if (const auto warning = journal_.TakeLockWarning()) ConsoleLine(*warning);
  if (const auto failure = journal_.TakeFailure())
    QMetaObject::invokeMethod(
        this,
        [this, text = QString::fromStdString(*failure)] {
          // Heard as the error box shows it.
          Announcements->Announce(ErrorDisplayText(text));
          ShowErrorText(text);
        },
        Qt::QueuedConnection);
}

void TfMain::KeepReadout(const BlackBoxBytes& image, const QDateTime& when) {
  // The end of a readout is heard: its window may come up behind the focus.
  Announcements->Announce(
      QCoreApplication::translate("TfMain", "Черный ящик прочитан, отчёт в окне \"Черный ящик\"."));
  journal_.NameHeater(BlackBoxSerialNumber(image));
  events_.ReadoutCompleted(BlackBoxSerialNumber(image));
  ReportJournalFailure();
  PublishReadout(image, when);
  const QDate d = when.date();
  const QTime t = when.time();
  ReadoutArchive().Keep(image, {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

void TfMain::aHistoryExecute() { ShowHistory(); }

// --- window handlers ----------------------------------------------------------

void TfMain::FormCreate() { lTime->setText(QString()); }

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
  // The tooltip is set just before the toolkit shows it.
  if (event->type() == QEvent::ToolTip) {
    if (watched == ComLed1) ComLed1->setToolTip(LampHint());
    if (watched == Label7) Label7->setToolTip(HeaderHint(static_cast<QHelpEvent*>(event)->pos().x()));
  }
  // The window sees key presses before the focused control does.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int key = keyEvent->key();
    if (key == Qt::Key_F8) {
      FormKeyDown(this, key, keyEvent->modifiers());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TfMain::FormKeyDown(QObject* /*sender*/, int& key, Qt::KeyboardModifiers /*shift*/) {
  if (key == Qt::Key_F8) bClrClick(bClr);
}

void TfMain::bClrClick(QObject* /*sender*/) {
  MC->clear();
  consoleEmptyLine_ = false;
  MT->Clear();
  MR->clear();
  recordEmptyLine_ = false;
}

QString TfMain::RecordLogFileName(const QDateTime& when) {
  // Each number without leading zeros: "D_2026-12-6_8-5-3.txt".
  const QDate d = when.date();
  const QTime t = when.time();
  return QString("D_%1-%2-%3_%4-%5-%6.txt")
      .arg(d.year())
      .arg(d.month())
      .arg(d.day())
      .arg(t.hour())
      .arg(t.minute())
      .arg(t.second());
}

void TfMain::bSaveDataClick(QObject* /*sender*/) {
  const QString name = RecordLogFileName(QDateTime::currentDateTime());
  const QString text = MR->toPlainText();
  QByteArray data;
  if (!text.isEmpty()) {
    QStringList lines = text.split('\n');
    if (text.endsWith('\n')) lines.removeLast();
    for (const QString& line : lines) {
      data += line.toUtf8();
      data += QByteArray::fromRawData(kRecordLogLineEnd.data(), static_cast<qsizetype>(kRecordLogLineEnd.size()));
    }
  }
  SaveUserFile(name.toStdString(), std::string_view(data.constData(), static_cast<size_t>(data.size())));
}

void TfMain::bGraphClick(QObject* /*sender*/) {
  fGraph->show();
  fGraph->raise();
  fGraph->activateWindow();
}

void TfMain::bModesClick(QObject* /*sender*/) {
  if (bModes->isChecked())
    frmModes->show();
  else
    frmModes->hide();
}

void TfMain::BSRClick(QObject* /*sender*/) {
  // Opened or closed by hand: the tool no longer waits for a lost device.
  Reconnect->Stop();
  Port->SetConnected(!Port->Connected());
}

void TfMain::BSetClick(QObject* /*sender*/) {
  Port->ShowPortDialog();
  Reconnect->PortChosen();
  cbPort->SetText(QString::fromStdString(Port->Port()));
}

// A command never runs inside itself: a second press of its button while it
// waits (a double click, an impatient press) is ignored. Two readouts sharing
// one image and one line would each take the other's replies.
void TfMain::bStartClick(QObject* /*sender*/) {
  if (running_[kStart]) return;
  const CommandScope command(*this, kStart);
  events_.Note(EventText(kEventStart));
  StartHeater(*this);
}
void TfMain::bStopClick(QObject* /*sender*/) {
  if (running_[kStop]) return;
  const CommandScope command(*this, kStop);
  events_.Note(EventText(kEventStop));
  StopHeater(*this);
}
void TfMain::bVerClick(QObject* /*sender*/) {
  if (running_[kVersion]) return;
  const CommandScope command(*this, kVersion);
  events_.Note(EventText(kEventVersion));
  ReadFirmwareVersion(*this);
}
void TfMain::bBlackBoxClick(QObject* /*sender*/) {
  if (running_[kBlackBox]) return;
  const CommandScope command(*this, kBlackBox);
  const SessionEvents::Readout readout(events_);
  ReadBlackBox(*this, *fBB);
}

// --- exit ------------------------------------------------------------------------

void TfMain::FormClose() {
  Reconnect->Stop();
  // A settings file that cannot be written must not keep the tool open (the
  // heater would never get its exit request): the error is shown once, the
  // remaining settings are skipped, and the exit goes on.
  try {
    frmModes->SavePosition();
    fGraph->SaveSettings();
  } catch (const std::exception& e) {
    ShowError(e);
  }
  if (Port->Connected()) {
    try {
      const CommandScope command(*this);
      SendExitRequest(*this);
    } catch (const std::exception& e) {
      ShowError(e);
    }
  }
  exited_ = true;
  try {
    Port->ClosePort();
  } catch (const std::exception& e) {
    ShowError(e);
  }
  EndSession();
}

void TfMain::closeEvent(QCloseEvent* event) {
  if (exited_) {
    event->accept();
    return;
  }
  // A second close while the exit request waits for its reply is ignored.
  if (closing_) {
    event->ignore();
    return;
  }
  closing_ = true;
  FormClose();
  closing_ = false;
  event->accept();
  // After the exit sequence the program ends, whichever windows are shown.
  // The toolkit's quit() would first ask every window to close and give up
  // when one refuses, as the modes window refuses its own close box; exit()
  // ends the message loop without asking.
  QCoreApplication::exit(0);
}

}  // namespace o5
