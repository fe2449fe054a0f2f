// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The black-box window "Черный ящик": counters, run times and identity data as
// labels on a blue panel, and the 13 fault records in the grid, one column per
// record in storage order. The readout shows it with the progress panel over
// the middle; ShowReport then fills every label and cell from the image.
// Closing it only hides it: it lives as long as the program.
//
// Its commands keep the report: saved as PDF or CSV, printed, the image saved
// as read; and a saved image opened again shows its report as after a
// readout. They stand as a row of buttons between the panel and the grid and
// in the context menu, each with its shortcut. A file dropped on the window
// opens as an image. A line of the panel says where the report shown came
// from: a readout, the archive, a file.
//
// After a readout, the line at the foot of the panel says what changed since
// the heater's newest earlier readout in the archive; the labels whose values
// changed are marked, their tooltips giving the earlier value and the
// difference, and the columns of the fault records written since are marked
// too. "Сравнить с…" compares the shown report with an image file instead.

#include <QDateTime>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

#include "heater/BlackBoxChanges.h"
#include "heater/BlackBoxExport.h"
#include "heater/BlackBoxReport.h"

class QAction;
class QContextMenuEvent;
class QFrame;
class QMenu;
class QLabel;
class QProgressBar;
class QResizeEvent;
class QShowEvent;
class QTableWidget;

namespace o5 {

class TfBB : public QWidget {
  Q_OBJECT

 public:
  // The row of command buttons between the panel and the grid; the window
  // is that much taller, so that the grid keeps its size. The outer width is
  // the one laid out for the Russian texts; a longer language widens the
  // window to the row of commands.
  static constexpr int kCommandsHeight = 30;
  static constexpr int kOuterWidth = 944;
  static constexpr int kOuterHeight = 731 + kCommandsHeight;
  static constexpr int kProgressMaximum = 85;

  explicit TfBB(QWidget* parent = nullptr);

  // Decodes BlackBoxImage and overwrites every label and every grid cell but
  // the top-left one. It is called once a readout has completed, and then
  // hands the image to the keeper.
  void ShowReport();
  // A readout a watched bench published, shown as that bench's readout of
  // `when`; nothing is kept of it here.
  void ShowPublishedReadout(const BlackBoxBytes& image, const QDateTime& when);
  // What keeps each complete readout's image (with the readout's time);
  // images opened from files are not handed to it.
  using ReadoutKeeper = std::function<void(const BlackBoxBytes& image, const QDateTime& when)>;
  void SetReadoutKeeper(ReadoutKeeper keeper) { readoutKeeper_ = std::move(keeper); }

  // Shows the report of the image saved in `path` as after a readout, and
  // shows the window. An image of the readout archive is shown as the
  // readout of its time, compared with the heater's readout before it. A file that is no such image (its size, its signature),
  // cannot be read or is a folder raises FileError naming it and the reason;
  // the window is then left as it was. BlackBoxImage, the heater's copy, is
  // not touched: a readout in progress goes on filling it.
  void OpenImage(const QString& path);

  // The commands of the context menu. The first three need a report.
  void aSaveReportExecute();  // PDF or CSV, by the name's extension
  void aPrintExecute();
  void aSaveImageExecute();
  void aOpenImageExecute(QWidget* dialogParent);
  void aCompareExecute(QWidget* dialogParent);  // needs a report

  // Compares the shown report with the image saved in `path`, as with an
  // earlier readout of the time its archive name gives, or else of the file's
  // time. A file that is no image raises FileError as OpenImage does.
  void CompareWith(const QString& path);
  // What the shown report changed against; nothing when there is no earlier
  // readout.
  const std::optional<BlackBoxChanges>& Changes() const { return changes_; }
  // The earlier readout those changes are against.
  const std::optional<BlackBoxEarlier>& Earlier() const { return earlier_; }

  bool HasReport() const { return hasReport_; }
  // Where the shown report came from.
  const BlackBoxSource& Source() const { return source_; }
  // The shown report as the CSV table.
  std::string ReportCsv() const;
  // The image the shown report was made from, exactly as read or opened.
  const BlackBoxBytes& ReportImage() const { return reportImage_; }
  // "BB_658188_2026-12-7_15-20-3" + extension: the serial number and the time
  // of the readout, in the style of the record log's name. The name a readout's
  // files are proposed under; an opened image's files are proposed under the
  // opened file's own name.
  static QString ReportFileName(uint32_t serial, const QDateTime& when, const QString& extension);
  BlackBoxPage ReportPage() const;

  // Moves the progress bar without painting it at once: QProgressBar repaints
  // on every step, which takes longer than an exchange on a fast line. The
  // reply wait serves the deferred paint.
  void SetProgress(int value);

  QFrame* Panel1;
  QLabel *lDP, *l1, *l2, *l3, *l4, *l5, *l6, *l7, *l8, *l9, *l10, *l11, *l12, *l13, *l14;
  QTableWidget* sgBB;
  QFrame* pRead;
  QProgressBar* pbReadBB;
  QMenu* pmBB;
  // Where the report came from, in the panel.
  QLabel* lSource;
  // The row of buttons of the menu's commands.
  QWidget* pCommands;
  // What changed since the earlier readout; empty without one.
  QLabel* lChanges;
  QAction *aSaveReport, *aPrint, *aSaveImage, *aOpenImage, *aCompare;
  // Opens the history window; wired by the program.
  QAction* aHistory;
  // Opens the act of the visit of the heater shown; wired by the program.
  QAction* aVisitAct;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BuildGrid();
  void NameGridHeaders();
  void OpenMenuByKeys();
  void BuildProgressPanel();
  void BuildMenu();
  void BuildCommands();
  // What the row of commands needs, its captions whole.
  int CommandsWidth() const;
  void LayOut();
  // Shows the report of `image`; its files are proposed as `baseName` plus
  // their extension.
  void Present(const BlackBoxBytes& image, const BlackBoxSource& source, const QString& baseName);
  // The source line, shortened in its middle to the panel's width.
  void ShowSource();
  QString DefaultName(const QString& extension) const;
  // The image saved in `path`; FileError naming it when it is none.
  static BlackBoxBytes LoadImageFile(const QString& path);
  // Shows and marks what changed since `earlier`, read at `when`; nothing
  // clears the marks.
  void ShowChanges(const std::optional<BlackBoxBytes>& earlier, const QDateTime& when = {});

  // lDP, l1..l14, the order of BlackBoxReport::labels.
  std::array<QLabel*, BlackBoxReport::kLabelCount> labels_{};
  bool placed_ = false;

  bool hasReport_ = false;
  BlackBoxBytes reportImage_{};
  BlackBoxReport report_;
  QString reportBaseName_;
  std::optional<BlackBoxChanges> changes_;
  // What changes_ compares with, for the CSV.
  std::optional<BlackBoxEarlier> earlier_;
  BlackBoxSource source_;
  QString reportFilter_;  // the report format chosen last
  ReadoutKeeper readoutKeeper_;
};

}  // namespace o5
