// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's view of the whole run: "Весь пуск" sets both axes over
// the run charted, and the value boxes show a range past theirs as the time
// boxes do, without setting it again.

#include <QAction>
#include <QMenu>

#include <cmath>

#include "ui/graph/TfGraph.h"

namespace o5 {

void TfGraph::CreateViewActions() {
  aWholeRun = MenuAction("", QKeySequence(Qt::CTRL | Qt::Key_0), "aWholeRun");
  aWholeRun->setText(tr("Весь пуск"));
  pmCharts->insertAction(aFollow, aWholeRun);
  connect(aWholeRun, &QAction::triggered, this, &TfGraph::aWholeRunExecute);
}

// The view is the user's from now on: following ends, as after a pan.
void TfGraph::aWholeRunExecute() {
  const std::optional<WholeView> view = WholeViewOf(Charts->Model());
  if (!view) return;
  aFollow->setChecked(false);
  Charts->BottomAxis().SetMinMax(view->x.minimum, view->x.maximum);
  if (view->y) {
    Charts->LeftAxis().SetMinMax(view->y->minimum, view->y->maximum);
    wholeY_ = view->y;
  }
}

// The value bounds are copied as any bound is, unless they are the range
// "Весь пуск" set: a bound of it past its box's range is then shown clamped
// and the axis keeps it.
void TfGraph::ShowYRange() {
  const ChartAxis& a = Charts->LeftAxis();
  if (wholeY_ && (a.Minimum() != wholeY_->minimum || a.Maximum() != wholeY_->maximum)) wholeY_.reset();
  showingYRange_ = wholeY_.has_value();
  CopyBound(edYMin, a.Minimum());
  CopyBound(edYMax, a.Maximum());
  showingYRange_ = false;
}

}  // namespace o5
