// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window "Стенды мастерской <workshop>": a row per bench that has
// published, with its link ("на связи" / "нет связи"), heater, mode, fault
// and the clock time of its last record, updated live. Enter or a double
// click opens that bench's watching window (another copy of the tool, started
// with --watch <workshop>/<bench>).

#include <QWidget>

#include <functional>
#include <memory>

#include "remote/BrokerSettings.h"
#include "remote/WorkshopBoard.h"

class QTableWidget;
class QLabel;

namespace o5 {

class MqttLink;

class TfWorkshop : public QWidget {
  Q_OBJECT

 public:
  // How a bench's watching window is opened; by default another copy of
  // this program.
  using BenchOpener = std::function<void(const QString& workshop, const QString& bench)>;

  explicit TfWorkshop(const BrokerSettings& broker, QWidget* parent = nullptr);
  ~TfWorkshop() override;
  void SetBenchOpener(BenchOpener opener) { opener_ = std::move(opener); }

  // Shows the message as if it had come from the broker.
  void TakeMessage(const QByteArray& topic, const QByteArray& payload);
  // Opens the watching window of the bench in `row`.
  void OpenBench(int row);

  QTableWidget* sgBenches;
  QLabel* lLink;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();

  BrokerSettings broker_;
  WorkshopBoard board_;
  MqttLink* link_ = nullptr;
  BenchOpener opener_;
};

}  // namespace o5
