// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's part in the remote view: a bench publishes its sessions
// to the broker of config.ini; a window started to watch a bench shows what
// that bench publishes, through the same decoding as the port's frames, so
// that the record log, the graph window, the modes window and the console
// work as for a port.

#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/TfMain.h"
#include "app/Forms.h"
#include "archive/DataFolder.h"
#include "heater/BlackBoxExport.h"
#include "heater/RecordLog.h"
#include "link/ComComboBox.h"
#include "remote/BenchCopy.h"
#include "remote/BenchPublisher.h"
#include "remote/MqttLink.h"
#include "remote/RemoteFormat.h"
#include "settings/SettingsFile.h"
#include "ui/blackbox/TfBB.h"
#include "ui/remote/TRemoteSetupDlg.h"

namespace o5 {

namespace {

// The time of the black-box topic, as the timeline writes its events.
constexpr const char* kPublishedTimeFormat = "yyyy-MM-dd HH:mm:ss";

std::string Hex(const BlackBoxBytes& image) {
  return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()))
      .toHex()
      .toStdString();
}

}  // namespace

void TfMain::StartPublishing() {
  const BrokerSettingsRead read = ReadBrokerSettings(SettingsFile());
  if (!read.error.empty()) ConsoleLine(read.error);
  if (!read.settings) return;
  publisher_ = new BenchPublisher(*read.settings, O5_VERSION, ChooseDataFolder().Sessions(), this);
  connect(publisher_, &BenchPublisher::LinkChanged, this, &TfMain::RemoteLinkChanged);
  RemoteLinkChanged(publisher_->Link().StateText());
}

void TfMain::bRemoteClick(QObject* /*sender*/) {
  SettingsFile settings;
  TRemoteSetupDlg dialog(settings, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Store(settings);
  // A bench publishes with the new keys at once; a viewer uses them when it
  // is started again.
  if (Watching()) return;
  delete publisher_;
  publisher_ = nullptr;
  lRemote->clear();
  StartPublishing();
}

void TfMain::RemoteLinkChanged(const QString& text) {
  if (text == lRemote->text()) return;
  lRemote->setText(text);
  // Each change once in the session's timeline (none while no port is open).
  journal_.Event(text.toStdString());
  FollowJournal();
}

void TfMain::FollowJournal() {
  if (publisher_) publisher_->Follow(journal_);
}

void TfMain::EndPublishedSession() {
  if (publisher_) publisher_->EndSession();
}

void TfMain::PublishReadout(const BlackBoxBytes& image, const QDateTime& when) {
  if (publisher_)
    publisher_->BlackBox(BlackBoxSerialNumber(image), when.toString(kPublishedTimeFormat).toStdString(), Hex(image));
}

void TfMain::WatchBench(const BrokerSettings& broker) {
  watchedBench_ = QString::fromStdString(broker.bench);
  watchCopy_ = std::make_unique<BenchCopy>();
  MqttOptions options;
  options.broker = broker;
  options.subscriptions = {WatchPattern(broker.workshop, broker.bench)};
  watch_ = new MqttLink(std::move(options), this);
  connect(watch_, &MqttLink::MessageArrived, this, &TfMain::TakeBenchMessage);
  connect(watch_, &MqttLink::StateChanged, this, [this] { ShowWatchedState(); });
  // Starting a fuel-fired heater from afar is not this tool's decision.
  const QString onlyAtBench = tr("Команды подаются только на стенде");
  for (QWidget* control : std::initializer_list<QWidget*>{cbPort, BSet, BSR, bStart, bStop, bVer, bBlackBox}) {
    control->setEnabled(false);
    control->setToolTip(onlyAtBench);
  }
  ShowWatchedState();
}

void TfMain::ShowWatchedState() {
  QString state = watchedOnline_ ? tr("на связи") : tr("нет связи");
  if (!watch_->IsConnected()) state = watch_->StateText();
  lRemote->setText(tr("Стенд %1: наблюдение").arg(watchedBench_) + "\n" + state);
}

void TfMain::TakeBenchMessage(const QByteArray& topic, const QByteArray& payload) {
  const auto message = ParseBenchMessage(topic.toStdString(), payload.toStdString());
  if (!message) return;
  switch (message->kind) {
    case BenchMessage::Kind::Status:
      watchedOnline_ = message->online;
      ShowWatchedState();
      return;
    case BenchMessage::Kind::BlackBox: {
      const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(message->image));
      if (bytes.size() != static_cast<qsizetype>(kBlackBoxSize)) return;
      BlackBoxBytes image;
      std::copy(bytes.begin(), bytes.end(), image.begin());
      fBB->ShowPublishedReadout(image, QDateTime::fromString(QString::fromStdString(message->time), kPublishedTimeFormat));
      return;
    }
    default: break;
  }
  const BenchCopy::Update update = watchCopy_->Take(*message);
  for (const TimedText& event : update.events) ConsoleLine(event.time + " " + event.text);
  for (const std::string& line : update.records) ShowBenchRecord(line);
  FlushRecords();
}

void TfMain::ShowBenchRecord(const std::string& line) {
  RecordFrames frames;
  if (ParseRecordLine(line, frames)) {
    for (const Frame& frame : RecordTelemetryFrames(frames, 0)) DecodeTelemetry(frame, telemetry_, *this);
    return;
  }
  // A record the decoding cannot give back (a cycle that lost frames) is
  // shown as the bench showed it.
  pendingRecords_.append(line);
  pendingRecords_.push_back('\n');
}

}  // namespace o5
