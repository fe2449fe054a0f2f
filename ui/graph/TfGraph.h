#pragma once
// The graph window "Графики": thirteen live series of heater telemetry against
// the run timer, with the axes' ranges and steps, pans, and per-series line
// width, colour and visibility. Created hidden at start-up; it takes points
// whether shown or not; closing it only hides it.

#include <QColor>
#include <QWidget>

#include <array>

#include "chart/ChartWidget.h"
#include "ui/graph/ColorSwatch.h"
#include "ui/graph/SpinEdit.h"

class QCheckBox;
class QColorDialog;
class QFrame;
class QPushButton;
class QToolButton;

namespace o5 {

class TfGraph : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSeriesCount = 13;

  explicit TfGraph(QWidget* parent = nullptr);

  // Series index 0..12, X = run timer in seconds. Others are ignored.
  void AddPoint(int series, double x, double y);
  // Empties the series 0..12 in turn; axes and display settings stay.
  void ClearCharts();
  // Writes the window's keys; SettingsError goes on to the caller.
  void SaveSettings();

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
  QColorDialog* dlgColor;

 private:
  void CreateControls();
  void ConnectHandlers();
  static void CopyBound(SpinEdit* box, double bound);

  // The colour dialog opens on the colour last chosen in it, not the swatch's.
  QColor lastChosenColor_ = Qt::black;
};

}  // namespace o5
