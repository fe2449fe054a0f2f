// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graph window "Графики": thirteen live series of heater telemetry against
// the run timer, with the axes' ranges and steps, pans, and per-series line
// width, colour and visibility. Created hidden at start-up; it takes points
// whether shown or not; closing it only hides it.
//
// The chart's context menu (and its shortcuts, while the window is active)
// charts a saved record log again, or the run the main window's record log
// holds, and saves the series as CSV or the chart as a picture; it sets the
// cursors A and B, shows or hides the strip of modes and fault marks, and
// gives the series colours a person can tell apart. A file dropped on the
// window opens as a record log; of a log with several runs the user picks
// one ("Пуски в журнале"). "Следовать за данными" keeps the newest point in
// view, "Весь пуск" shows the whole run charted, and "Итоги пуска" sums up
// the run charted.

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <optional>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chart/ChartWidget.h"
#include "chart/WholeView.h"
#include "heater/RunSplitter.h"
#include "heater/SessionRuns.h"
#include "ui/graph/ColorSwatch.h"
#include "ui/graph/SpinEdit.h"

class QCheckBox;
class QColorDialog;
class QAction;
class QKeySequence;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QTimer;

namespace o5 {

class RecordLog;
class TfRunSummary;

class TfGraph : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSeriesCount = 13;

  explicit TfGraph(QWidget* parent = nullptr);
  ~TfGraph() override;

  // Series index 0..12, X = run timer in seconds. Others are ignored.
  void AddPoint(int series, double x, double y);
  // Empties the series 0..12 in turn; axes and display settings stay.
  void ClearCharts();
  // The live telemetry, cycle by cycle ('e' begins one, 'g' gives its mode,
  // 'k' ends it). The run splitter decides per cycle: a finished run stays
  // on the chart while the heater stands, and the chart (cursors included)
  // is emptied when the next run begins. Once a record log or the last run
  // is charted again, live telemetry stays out of it until a new run begins;
  // that run is then charted as live. "Очистить" ends the hold.
  void LiveCycleBegins(int32_t runTimer);
  void LiveCycleMode(int mode);
  void LiveAddPoint(int series, double x, double y);
  void LiveCycleEnds();
  // Writes the window's keys; SettingsError goes on to the caller.
  void SaveSettings();

  // Where "Последний пуск" takes the records from: the main window's record log.
  void SetRecordLogSource(std::function<std::string()> source) { recordLogSource_ = std::move(source); }
  // The runs of the live telemetry, as the model of runs split them: the one
  // model of the session's runs. `decided` is told each cycle it decided.
  const SessionRuns& LiveRuns() const { return live_->feed.Runs(); }
  void SetRunDecided(RunFeed::Decided decided) { live_->feed.SetDecided(std::move(decided)); }
  // The run on the chart: the live one, or the run of a log charted again;
  // nullptr when the chart holds none.
  const SessionRun* ChartedRun() const;

  // The commands behind the context menu. A file that cannot be read, or a
  // log without a complete record, raises an error naming the file and
  // leaves the charts as they were; a failed write leaves no file behind.
  void OpenRecordLog(const QString& path);
  void ShowLastRun();
  void SaveData(const QString& path) const;
  void SavePicture(const QString& path) const;
  // The picture SavePicture writes: a title line saying what is charted and
  // when, the chart as shown (cursors and strip included, the mouse's box
  // not), and a legend of the shown series.
  QImage Picture() const;
  QString PictureTitle() const;
  // The line above the chart that says what it shows: the live run ("Текущий
  // пуск — идёт, с 10:03:35", "… — закончен в 10:09:12, 5:37", "Нет пуска")
  // or a journal's run ("Журнал <file> — пуск 1 из 3, <its start>").
  QString ShownCaption() const;
  // The heater's serial number where the session knows it, for the names
  // proposed for saving.
  void SetHeaterSerialSource(std::function<std::optional<uint32_t>()> source) { serialSource_ = std::move(source); }
  // The name proposed for "Сохранить данные…".
  QString ProposedDataName() const;
  // The series as the CSV text SaveData writes.
  std::string SeriesCsvText() const;

  // Handlers, named after their controls. A row handler takes the row number
  // 1..13 (the controls' Tag).
  void FormCreate();
  void edXMinChange();
  void edXMaxChange();
  void edXStepChange();
  void edYMinChange();
  void edYMaxChange();
  void edYStepChange();
  void bUpClick();
  void bDownClick();
  void bLeftClick();
  void bRightClick();
  void Button1Click();
  void ed1Change(int tag);
  void cb1Click(int tag);
  void sp1MouseDown(int tag);
  void ChartsAfterDraw();
  void ChartsContextMenu(const QPoint& globalPos);
  void aOpenLogExecute();
  void aLastRunExecute();
  void aSaveDataExecute();
  void aSavePictureExecute();
  void aMarkAExecute();
  void aMarkBExecute();
  void aClearMarksExecute();
  void aModesExecute();
  void aDistinctColorsExecute();
  void aFollowExecute();
  void aWholeRunExecute();
  void aRunSummaryExecute();

  // Controls.
  QFrame* pTop;
  QFrame* pLeft;
  QFrame* pBottom;
  QFrame* pRight;
  ChartWidget* Charts;
  SpinEdit* edXMin;
  SpinEdit* edXMax;
  SpinEdit* edXStep;
  SpinEdit* edYMin;
  SpinEdit* edYMax;
  SpinEdit* edYStep;
  // Row n is element n - 1: ed[0] is ed1, sp[0] is sp1, cb[0] is cb1.
  std::array<SpinEdit*, kSeriesCount> ed;
  std::array<ColorSwatch*, kSeriesCount> sp;
  std::array<QCheckBox*, kSeriesCount> cb;
  QToolButton* bUp;
  QToolButton* bDown;
  QToolButton* bLeft;
  QToolButton* bRight;
  QPushButton* Button1;
  QLabel* lbShown;  // ShownCaption, above the chart
  QColorDialog* dlgColor;
  // The chart's context menu and its commands.
  QMenu* pmCharts;
  QAction* aOpenLog;
  QAction* aLastRun;
  QAction* aSaveData;
  QAction* aSavePicture;
  QAction* aMarkA;
  QAction* aMarkB;
  QAction* aClearMarks;
  QAction* aModes;  // checked: the strip is shown
  QAction* aDistinctColors;
  QAction* aFollow;      // checked: the view follows the newest point
  QAction* aWholeRun;    // both axes over the whole run charted
  QAction* aRunSummary;  // shows "Итоги пуска"
  TfRunSummary* fRunSummary;

 private:
  void CreateControls();
  void NameControls();
  void DescribeChart();
  void ReturnFocus(QWidget* opener);
  void ConnectHandlers();
  static void CopyBound(SpinEdit* box, double bound);
  // A command of the window, its shortcut active wherever the window's focus is.
  QAction* MenuAction(const char* caption, const QKeySequence& keys, const char* name);
  void CreateMenu();
  enum class Shown { kLive, kLog, kLastRun };
  void ShowRecords(const RecordLog& log, std::size_t run, Shown what, const QString& name);
  // Runs: the live feed's ends, following the newest point, the summary.
  // The end of the live feed: what the splitter lets through reaches the chart.
  class LiveFeed : public RunChart {
   public:
    explicit LiveFeed(TfGraph& graph) : graph_(graph) {}
    void BeginRun() override { graph_.LiveBeginRun(); }
    void AddPoint(int series, double x, double y) override { graph_.LivePoint(series, x, y); }
    RunFeed feed{*this};

   private:
    TfGraph& graph_;
  };
  void CreateRunActions();
  void LiveBeginRun();
  void LivePoint(int series, double x, double y);
  void FollowPoint(double x);
  void FollowNewest();
  bool FollowBroken() const;
  void NoteFollowed();
  void ShowXRange();
  // The view of the whole run and the value boxes that show it.
  void CreateViewActions();
  void ShowYRange();
  void ChartChanged();
  void UpdateSummary();
  void UpdateShownCaption();
  std::optional<double> NewestX() const;
  void SetRowColor(int tag, const QColor& color);
  // The time under the point where the menu was opened.
  double MenuX() const;

  std::function<std::string()> recordLogSource_;
  std::function<std::optional<uint32_t>()> serialSource_;
  // The run of a record log charted again, as its model split it.
  std::optional<SessionRun> shownRun_;
  // What the chart shows, for the picture's title: live telemetry, or a
  // record log (its file name) or the last run charted again at a time.
  Shown shown_ = Shown::kLive;
  QString shownName_;
  QString shownRunOf_;  // "1 из 2" for a run chosen from a log of several
  QString shownLogCaption_;  // ShownCaption of a record log's run
  QDateTime shownAt_;
  std::optional<QPoint> menuPos_;  // global, where the chart asked for the menu
  bool menuFromChart_ = false;     // the menu showing now was asked for by the chart
  std::optional<double> menuKeyX_;  // the keyboard's cursor when the keyboard asked for it
  // Live telemetry is held back from a chart shown again until a run begins.
  bool holding_ = false;
  std::unique_ptr<LiveFeed> live_;
  // The X range the view was last moved to by following: any other range
  // means the user moved the view.
  double followedMin_ = 0;
  double followedMax_ = 0;
  // The range boxes are being given the range drawn: they show it clamped
  // and do not set it again.
  bool showingXRange_ = false;
  // The value range "Весь пуск" set, while the axis keeps it: its boxes show
  // it clamped and do not set it again, as the time boxes do.
  std::optional<AxisSpan> wholeY_;
  bool showingYRange_ = false;
  QTimer* summaryTimer_;
};

}  // namespace o5
