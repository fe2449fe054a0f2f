// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/remote/TfWorkshop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QTableWidget>
#include <QVBoxLayout>

#include "remote/MqttLink.h"
#include "remote/RemoteFormat.h"

namespace o5 {

TfWorkshop::TfWorkshop(const BrokerSettings& broker, QWidget* parent) : QWidget(parent), broker_(broker) {
  setObjectName("fWorkshop");
  setWindowTitle(tr("Стенды мастерской %1").arg(QString::fromStdString(broker_.workshop)));
  resize(760, 360);
  auto* layout = new QVBoxLayout(this);
  sgBenches = new QTableWidget(0, 6, this);
  sgBenches->setObjectName("sgBenches");
  sgBenches->setHorizontalHeaderLabels({tr("Стенд"), tr("Связь"), tr("Отопитель"), tr("Режим"),
                                        tr("Неисправность"), tr("Последняя запись")});
  sgBenches->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgBenches->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgBenches->setSelectionMode(QAbstractItemView::SingleSelection);
  sgBenches->verticalHeader()->hide();
  // Each column as wide as its texts, the fault's name whole in any language;
  // the last record's time takes what the others leave.
  sgBenches->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  sgBenches->horizontalHeader()->setStretchLastSection(true);
  sgBenches->installEventFilter(this);
  connect(sgBenches, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenBench(row); });
  layout->addWidget(sgBenches, 1);
  lLink = new QLabel(this);
  lLink->setObjectName("lLink");
  layout->addWidget(lLink);

  opener_ = [](const QString& workshop, const QString& bench) {
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {"--watch", workshop + "/" + bench});
  };
  MqttOptions options;
  options.broker = broker_;
  options.subscriptions = {BenchTopic(broker_.workshop, "+", kStatusLeaf),
                           BenchTopic(broker_.workshop, "+", kRecordsLeaf),
                           BenchTopic(broker_.workshop, "+", kBlackBoxLeaf)};
  link_ = new MqttLink(std::move(options), this);
  connect(link_, &MqttLink::MessageArrived, this, &TfWorkshop::TakeMessage);
  connect(link_, &MqttLink::StateChanged, lLink, &QLabel::setText);
  lLink->setText(link_->StateText());
}

TfWorkshop::~TfWorkshop() = default;

void TfWorkshop::TakeMessage(const QByteArray& topic, const QByteArray& payload) {
  const auto message = ParseBenchMessage(topic.toStdString(), payload.toStdString());
  if (!message || message->workshop != broker_.workshop) return;
  if (board_.Take(*message, QTime::currentTime().toString("HH:mm:ss").toStdString())) Fill();
}

void TfWorkshop::Fill() {
  const auto& rows = board_.Rows();
  const QString current = sgBenches->currentRow() >= 0 && sgBenches->item(sgBenches->currentRow(), 0)
                              ? sgBenches->item(sgBenches->currentRow(), 0)->text()
                              : QString();
  sgBenches->setRowCount(static_cast<int>(rows.size()));
  int r = 0;
  for (const auto& [name, row] : rows) {
    const QString cells[] = {QString::fromStdString(row.bench),
                             row.online ? tr("на связи") : tr("нет связи"),
                             row.serial ? QString::number(*row.serial) : QString(),
                             QString::fromStdString(row.mode),
                             QString::fromStdString(row.fault),
                             QString::fromStdString(row.lastRecord)};
    for (int c = 0; c < 6; ++c) {
      QTableWidgetItem* item = sgBenches->item(r, c);
      if (!item) sgBenches->setItem(r, c, item = new QTableWidgetItem);
      if (item->text() != cells[c]) item->setText(cells[c]);
    }
    if (cells[0] == current) sgBenches->setCurrentCell(r, sgBenches->currentColumn() < 0 ? 0 : sgBenches->currentColumn());
    ++r;
  }
}

void TfWorkshop::OpenBench(int row) {
  if (row < 0 || row >= sgBenches->rowCount() || !sgBenches->item(row, 0)) return;
  opener_(QString::fromStdString(broker_.workshop), sgBenches->item(row, 0)->text());
}

bool TfWorkshop::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sgBenches && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenBench(sgBenches->currentRow());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace o5
