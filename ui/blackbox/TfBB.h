#pragma once
// The black-box window "Черный ящик": counters, run times and identity data as
// labels on a blue panel, and the 13 fault records in the grid, one column per
// record in storage order. The readout shows it with the progress panel over
// the middle; ShowReport then fills every label and cell from the image.
// Closing it only hides it: it lives as long as the program.

#include <QWidget>

#include <array>

#include "heater/BlackBoxReport.h"

class QFrame;
class QLabel;
class QProgressBar;
class QResizeEvent;
class QShowEvent;
class QTableWidget;

namespace o5 {

class TfBB : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kOuterWidth = 944;
  static constexpr int kOuterHeight = 731;
  static constexpr int kProgressMaximum = 85;

  explicit TfBB(QWidget* parent = nullptr);

  // Decodes BlackBoxImage and overwrites every label and every grid cell but
  // the top-left one.
  void ShowReport();

  // Moves the progress bar without painting it at once: QProgressBar repaints
  // on every step, which takes longer than an exchange on a fast line. The
  // reply wait serves the deferred paint.
  void SetProgress(int value);

  QFrame* Panel1;
  QLabel *lDP, *l1, *l2, *l3, *l4, *l5, *l6, *l7, *l8, *l9, *l10, *l11, *l12, *l13, *l14;
  QTableWidget* sgBB;
  QFrame* pRead;
  QProgressBar* pbReadBB;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BuildGrid();
  void BuildProgressPanel();
  void LayOut();

  // lDP, l1..l14, the order of BlackBoxReport::labels.
  std::array<QLabel*, BlackBoxReport::kLabelCount> labels_{};
  bool placed_ = false;
};

}  // namespace o5
