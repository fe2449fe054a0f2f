// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window and the heater's runs: the live feed that keeps a finished
// run on the chart until the next one begins, the view that follows the
// newest point, and the run summary that follows the chart.

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <cmath>
#include <utility>

#include "heater/RecordLog.h"
#include "heater/RunSplitter.h"
#include "archive/JournalRuns.h"
#include "archive/LocalTime.h"
#include "heater/RunSummary.h"
#include "ui/graph/GraphSeries.h"
#include "ui/graph/TfGraph.h"
#include "ui/graph/TfRunSummary.h"

namespace o5 {

namespace {

constexpr const char* kFollowCaption = QT_TRANSLATE_NOOP("TfGraph", "Следовать за данными");
constexpr const char* kRunSummaryCaption = QT_TRANSLATE_NOOP("TfGraph", "Итоги пуска");
// The summary of a long run is read a few times a second at most.
constexpr int kSummaryIntervalMs = 250;

// The local clock, as the session's timeline writes it.
WallSeconds WallNow() { return WallOf(LocalTimeNow()); }

}  // namespace

TfGraph::~TfGraph() = default;

void TfGraph::CreateRunActions() {
  live_ = std::make_unique<LiveFeed>(*this);
  live_->feed.SetClock([] { return std::optional<WallSeconds>(WallNow()); });
  aFollow = MenuAction(kFollowCaption, QKeySequence(Qt::CTRL | Qt::Key_F), "aFollow");
  aFollow->setCheckable(true);
  aRunSummary = MenuAction(kRunSummaryCaption, QKeySequence(Qt::CTRL | Qt::Key_I), "aRunSummary");
  // Before the look's group, which stays the menu's last.
  pmCharts->insertActions(aModes, {aFollow, aRunSummary});
  pmCharts->insertSeparator(aModes);
  connect(aFollow, &QAction::triggered, this, &TfGraph::aFollowExecute);
  connect(aRunSummary, &QAction::triggered, this, &TfGraph::aRunSummaryExecute);

  fRunSummary = new TfRunSummary(this);
  summaryTimer_ = new QTimer(this);
  summaryTimer_->setSingleShot(true);
  summaryTimer_->setInterval(kSummaryIntervalMs);
  connect(summaryTimer_, &QTimer::timeout, this, &TfGraph::UpdateSummary);
  UpdateShownCaption();
}

void TfGraph::LiveCycleBegins(int32_t runTimer) { live_->feed.CycleBegins(runTimer); }

void TfGraph::LiveCycleMode(int mode) { live_->feed.CycleMode(mode); }

void TfGraph::LiveAddPoint(int series, double x, double y) { live_->feed.AddPoint(series, x, y); }

void TfGraph::LiveCycleEnds() {
  live_->feed.CycleEnds();
  UpdateShownCaption();
}

// A new run ends the hold over a chart shown again: it is charted as live.
void TfGraph::LiveBeginRun() {
  holding_ = false;
  shown_ = Shown::kLive;
  shownRun_.reset();
  ClearCharts();
  UpdateShownCaption();
}

void TfGraph::LivePoint(int series, double x, double y) {
  if (holding_) return;
  AddPoint(series, x, y);
  FollowPoint(x);
}

bool TfGraph::FollowBroken() const {
  const ChartAxis& a = Charts->BottomAxis();
  return aFollow->isChecked() && (a.Minimum() != followedMin_ || a.Maximum() != followedMax_);
}

void TfGraph::NoteFollowed() {
  followedMin_ = Charts->BottomAxis().Minimum();
  followedMax_ = Charts->BottomAxis().Maximum();
}

// A point past the right edge brings the edge to it, one before the left edge
// (a new run after a long one) the left edge; the width stays.
void TfGraph::FollowPoint(double x) {
  if (!aFollow->isChecked()) return;
  if (FollowBroken()) {
    aFollow->setChecked(false);
    return;
  }
  ChartAxis& a = Charts->BottomAxis();
  const double width = a.Maximum() - a.Minimum();
  if (x > a.Maximum())
    a.SetMinMax(x - width, x);
  else if (x < a.Minimum())
    a.SetMinMax(x, x + width);
  NoteFollowed();
}

void TfGraph::FollowNewest() {
  if (!aFollow->isChecked()) return;
  NoteFollowed();
  if (const std::optional<double> newest = NewestX()) FollowPoint(*newest);
}

std::optional<double> TfGraph::NewestX() const {
  std::optional<double> newest;
  for (int i = 0; i < kSeriesCount; ++i) {
    const SeriesData& s = Charts->Series(i);
    if (!s.Empty() && (!newest || s.X(s.Size() - 1) > *newest)) newest = s.X(s.Size() - 1);
  }
  return newest;
}

void TfGraph::aFollowExecute() { FollowNewest(); }

// A bound within its box's range is copied as any bound is, and a rounded
// one set again; a bound past it (a run of hours followed, a pan left of 0)
// is shown clamped and stays as it is drawn.
void TfGraph::ShowXRange() {
  for (auto [box, bound] : {std::pair{edXMin, Charts->BottomAxis().Minimum()},
                            std::pair{edXMax, Charts->BottomAxis().Maximum()}}) {
    const double shown = std::nearbyint(bound);
    showingXRange_ = shown < box->minimum() || shown > box->maximum();
    CopyBound(box, bound);
    showingXRange_ = false;
  }
}

void TfGraph::aRunSummaryExecute() {
  UpdateSummary();
  fRunSummary->show();
  fRunSummary->raise();
  fRunSummary->activateWindow();
}

void TfGraph::ChartChanged() {
  if (fRunSummary->isVisible() && !summaryTimer_->isActive()) summaryTimer_->start();
}

QString TfGraph::ShownCaption() const {
  if (shown_ == Shown::kLog) return shownLogCaption_;
  // The live run, and the record log's last run charted again, which is the
  // live telemetry's latest.
  const SessionRun* run = LiveRuns().Latest();
  if (!run) return tr("Нет пуска");
  if (!run->ended)
    return run->start ? tr("Текущий пуск — идёт, с %1").arg(QString::fromStdString(WallTimeText(*run->start)))
                      : tr("Текущий пуск — идёт");
  const QString length = QString::fromStdString(ClockLengthText(run->length));
  return run->start ? tr("Текущий пуск — закончен в %1, %2")
                          .arg(QString::fromStdString(WallTimeText(*run->start + run->length)), length)
                    : tr("Текущий пуск — закончен, %1").arg(length);
}

// Set only when it changes: the live feed asks once a cycle.
void TfGraph::UpdateShownCaption() {
  const QString caption = ShownCaption();
  if (lbShown->text() == caption) return;
  lbShown->setText(caption);
  lbShown->setToolTip(caption);
  lbShown->setAccessibleName(caption);
}

const SessionRun* TfGraph::ChartedRun() const {
  if (shown_ != Shown::kLive) return shownRun_ ? &*shownRun_ : nullptr;
  // "Очистить" leaves nothing to sum up until the run gives points again.
  if (!NewestX()) return nullptr;
  return LiveRuns().Latest();
}

void TfGraph::UpdateSummary() {
  std::array<std::string, kSeriesCount> texts;
  SeriesCaptions captions;
  for (int i = 0; i < kSeriesCount; ++i) {
    texts[i] = GraphSeriesCaption(i).toStdString();
    captions[i] = texts[i];
  }
  const SessionRun* run = ChartedRun();
  fRunSummary->SetLines(run ? RunSummaryLines(*run, captions) : std::vector<std::string>());
}

}  // namespace o5
