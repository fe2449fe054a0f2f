// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Live telemetry into a graph window as the main window's decoding feeds it,
// and answers to the list of runs a log of several runs asks about.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <random>
#include <string>

#include "heater/TelemetryDecoder.h"
#include "ui/graph/RunListDialog.h"
#include "ui/graph/TfGraph.h"

namespace o5::test {

// Live telemetry into a graph window, as the main window's decoding feeds it,
// keeping the record log it wrote.
class LiveSession : public TelemetrySink {
 public:
  explicit LiveSession(TfGraph& g) : graph_(g) {}

  void CycleBegins(int32_t runTimer) override { graph_.LiveCycleBegins(runTimer); }
  void CycleMode(uint8_t mode) override { graph_.LiveCycleMode(mode); }
  void AddPoint(int series, double x, double y) override { graph_.LiveAddPoint(series, x, y); }
  void SetTimeText(std::string_view) override {}
  void SetModeCaption(std::string_view) override {}
  void AppendRecord(std::string_view record) override {
    log += std::string(record) + "\r\n";
    graph_.LiveCycleEnds();
  }

  // One cycle at the given run time; `lost` names frames that do not arrive.
  // Unless given, the mode is 0 (standing) below 2 s and 21 from there on.
  void Cycle(int runTimer, const std::string& lost = "", int mode = -1) {
    if (mode < 0) mode = runTimer < 2 ? 0 : 21;
    auto b = [this] { return static_cast<uint8_t>(rng_()); };
    const uint8_t data[6][4] = {{uint8_t(runTimer >> 8), uint8_t(runTimer), b(), 0},
                                {b(), b(), b(), b()}, {b(), b(), b(), uint8_t(mode)},
                                {b(), b(), b(), b()}, {b(), b(), b(), b()},
                                {b(), b(), b(), b()}};
    const char kinds[] = "efghijk";
    for (int k = 0; k < 7; ++k) {
      if (lost.find(kinds[k]) != std::string::npos) continue;
      const uint8_t* d = k < 6 ? data[k] : data[0];
      DecodeTelemetry(BuildRequest(0x01, 0, 0, uint8_t(kinds[k]), d[0], d[1], d[2], d[3]), state_,
                      *this);
    }
  }

  std::string log;

 private:
  TfGraph& graph_;
  TelemetryState state_;
  std::mt19937 rng_{3};
};

// Answers the next "Пуски в журнале" with keys typed into its list, once it
// is up; its rows, as "number|start|length|how far|faults", go to `rows`.
inline void AnswerRunList(const QList<Qt::Key>& keys, QStringList* rows = nullptr) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, keys, rows] {
    auto* dialog = qobject_cast<RunListDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    if (rows)
      for (int i = 0; i < dialog->lvRuns->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = dialog->lvRuns->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < dialog->lvRuns->columnCount(); ++c) cells << item->text(c);
        *rows << cells.join('|');
      }
    for (Qt::Key key : keys) QTest::keyClick(dialog->lvRuns, key);
  });
  poll->start(10);
}

}  // namespace o5::test
