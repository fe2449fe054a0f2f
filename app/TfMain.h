// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: toolbar, port controls, console, byte trace and record log,
// the 100 ms timer, and the serial port that the whole program shares. It runs
// the link (receiving, the watchdog, requests and the reply wait) and hands
// telemetry to the decoder, whose effects it shows.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "archive/SessionJournal.h"
#include "heater/BlackBoxImage.h"
#include "heater/RequestChannel.h"
#include "heater/SessionEvents.h"
#include "heater/TelemetryDecoder.h"
#include "link/ComPort.h"
#include "link/FrameReceiver.h"
#include "link/SilenceWatch.h"

class QAction;
class QCloseEvent;
class QDateTime;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTimer;
class QToolButton;

namespace o5 {

class Announcer;
class BenchCopy;
class BenchPublisher;
class ByteTracePane;
class MqttLink;
struct BrokerSettings;
class ComReconnect;
class TComComboBox;
class TComLed;
class TComPort;

class TfMain : public QWidget, public RequestChannel, private TelemetrySink {
  Q_OBJECT

 public:
  static constexpr int kOuterWidth = 944;
  static constexpr int kOuterHeight = 601;
  explicit TfMain(QWidget* parent = nullptr);
  ~TfMain() override;

  // --- the link, used by every command ---
  void SendRequest(uint8_t control, uint8_t b3, uint8_t b4, uint8_t b5, uint8_t b6, uint8_t b7,
                   uint8_t b8, uint8_t b9) override;
  bool WaitForReply(uint8_t expectedByte4, uint8_t expectedByte5, int expectedByte6 = kAnyByte) override;
  // The reply that ended the command's latest wait.
  const Frame& FrameBuffer() const override { return reply_; }
  void ConsoleLine(const std::string& line) override;
  void Pause(int milliseconds) override;

  const FrameReceiver& Receiver() const { return receiver_; }
  // The lamp's tooltip: the port's state and when the last frame came.
  QString LampHint() const;
  // The record log header's tooltip at `x` (the header's own coordinates):
  // the column there and what it holds; empty past the last column.
  QString HeaderHint(int x) const;
  const TelemetryState& Telemetry() const { return telemetry_; }
  // Whether this session's timeline is being kept (the data folder could be written).
  bool TimelineKept() const { return journal_.Active() && !journal_.TimelinePath().empty(); }
  // The journal of the session going on; empty when none is kept.
  std::string JournalPath() const { return journal_.Active() ? journal_.Path() : std::string(); }

  // A readout has completed at `when`: the opening's journal is named after
  // the heater and the image goes to the readout archive (a failed write
  // raises FileError).
  void KeepReadout(const BlackBoxBytes& image, const QDateTime& when);
  // The graph window's model of runs decided a telemetry cycle: the
  // timeline notes where runs begin and end.
  void RunDecided(CycleKind kind, const SessionRuns& runs) { events_.RunCycle(kind, runs); }

  // --- handlers ---
  void FormCreate();
  void FormKeyDown(QObject* sender, int& key, Qt::KeyboardModifiers shift);
  void FormClose();
  void bClrClick(QObject* sender);
  void bSaveDataClick(QObject* sender);
  void bGraphClick(QObject* sender);
  void bModesClick(QObject* sender);
  void BSRClick(QObject* sender);
  void BSetClick(QObject* sender);
  void bStartClick(QObject* sender);
  void bStopClick(QObject* sender);
  void bVerClick(QObject* sender);
  void bBlackBoxClick(QObject* sender);
  void PortRxChar(QObject* sender, int count);
  void TimerTimer(QObject* sender);
  void ProcessPaket();
  void aHistoryExecute();

  // The name bSaveDataClick writes to: "D_2026-12-6_8-5-3.txt".
  static QString RecordLogFileName(const QDateTime& when);

  // --- controls, named as the window describes them ---
  TComPort* Port;
  // Opens Port again by itself when its device returns after a loss.
  ComReconnect* Reconnect;
  QTimer* Timer;
  QFrame *Panel3, *Panel6, *Panel8, *Panel4, *P1, *Panel7, *Panel1, *Panel2, *Bevel1;
  QToolButton *bModes, *bGraph, *bClr, *bBlackBox, *bVer, *bStart, *bStop;
  QLabel* lTime;
  TComComboBox* cbPort;
  TComLed* ComLed1;
  QPushButton *BSet, *BSR, *bSaveData;
  QLabel* Image1;
  QPlainTextEdit* MC;
  ByteTracePane* MT;
  QSplitter* Splitter1;
  QLabel* Label7;
  QPlainTextEdit* MR;
  // Ctrl+O: a saved black-box image, shown in the black-box window.
  QAction* aOpenImage;
  // Ctrl+H: the history of the heaters read so far.
  QAction* aHistory;
  // What must be heard (console lines, the journal's errors) goes through it.
  Announcer* Announcements;
  // The link to the broker (a publishing bench), or the watched bench and
  // whether it is online.
  QLabel* lRemote;
  // "Удалённый доступ…": the broker keys and a test connection.
  QPushButton* bRemote;

  // --- the remote view ---
  // With Broker in config.ini, the bench publishes its sessions.
  void StartPublishing();
  BenchPublisher* Publisher() const { return publisher_; }
  // This window watches a bench instead of a port: the records, events and
  // readouts it publishes, through the same decoding; every command that
  // would talk to a heater is disabled.
  void WatchBench(const BrokerSettings& broker);
  bool Watching() const { return watch_ != nullptr; }
  void bRemoteClick(QObject* sender);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The first show sizes the window by its outer frame, as the window
  // manager draws it, and centres it.
  void showEvent(QShowEvent* event) override;

 private:
  // Telemetry effects.
  void CycleBegins(int32_t runTimer) override;
  void CycleMode(uint8_t mode) override;
  void AddPoint(int series, double x, double y) override;
  void SetTimeText(std::string_view text) override;
  void SetModeCaption(std::string_view text) override;
  void AppendRecord(std::string_view record) override;
  void FaultNamed(std::string_view notice) override;
  void FaultBytes(const std::array<uint8_t, 4>& bytes) override;

  void BuildControls();
  void SetHints();
  // The remote view (TfMainRemote.cpp).
  void RemoteLinkChanged(const QString& text);
  void TakeBenchMessage(const QByteArray& topic, const QByteArray& payload);
  void ShowBenchRecord(const std::string& line);
  void ShowWatchedState();
  // The publisher reads what the journal just took.
  void FollowJournal();
  void EndPublishedSession();
  void PublishReadout(const BlackBoxBytes& image, const QDateTime& when);
  // An open port without a valid frame for 5 s outside the commands gets one
  // console line.
  void WatchSilence();
  void CentreOnScreen(QSize outer);
  void FlushRecords();
  // A journal for each opening of the port, ended when it closes.
  void JournalConnection(bool connected);
  // The closed port's session ends, once the loss of its device (told just
  // after the close) has had its chance to be kept.
  void EndSession();
  // The journal's first failure of an opening, shown once the event that
  // met it has been handled: telemetry goes on under the message.
  void ReportJournalFailure();

  // A command's frames go to the port that was open when the command began.
  // Once that port has gone (the device lost, or the port closed meanwhile)
  // what the command would still send is dropped: the loss has been reported
  // once, and a write to the closed port would only report it again.
  // The commands of the toolbar, each marked while it runs.
  enum Command { kStart, kStop, kVersion, kBlackBox, kCommandCount, kNoCommand = kCommandCount };
  class CommandScope {
   public:
    explicit CommandScope(TfMain& w, Command command = kNoCommand);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

   private:
    TfMain& w_;
    Command command_;
    uint64_t outer_;
  };
  bool PortGoneSinceCommandBegan() const;

  FrameReceiver receiver_;
  Frame reply_{};
  // The opening of the port the running command began on; 0 when it began
  // with the port closed (its first write then reports the closed port).
  uint64_t commandOpening_ = 0;
  std::array<bool, kCommandCount> running_{};
  int commandDepth_ = 0;  // commands running, nested ones included
  TelemetryState telemetry_;
  uint64_t rxOpening_ = 0;  // the opening of the port the latest bytes came on
  SilenceWatch silence_;
  uint64_t silenceOpening_ = 0;  // the opening of the port the watch counts for
  std::string pendingRecords_;  // records of the current receive event
  SessionJournal journal_;
  // Every event of a session, kept in its timeline.
  SessionEvents events_{[this](std::string_view text) {
    journal_.Event(text);
    FollowJournal();
  }};
  bool sessionClosing_ = false;
  TComLink journalLink_;
  std::string rxBytes_;
  bool exited_ = false;   // the exit sequence has run: commands end at once
  bool closing_ = false;  // the exit sequence is running
  bool consoleEmptyLine_ = false;  // the empty console holds one empty line
  bool recordEmptyLine_ = false;   // the empty record log holds one empty record
  bool placed_ = false;
  BenchPublisher* publisher_ = nullptr;
  MqttLink* watch_ = nullptr;
  std::unique_ptr<BenchCopy> watchCopy_;
  QString watchedBench_;
  bool watchedOnline_ = false;
};

}  // namespace o5
