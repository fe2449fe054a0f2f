// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window for a keyboard and a screen reader: what each control is
// called, what the chart says it shows, the chart's menu from the keyboard,
// and the focus given back after a dialog.

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

#include <cmath>
#include <utility>

#include "ui/graph/GraphSeries.h"
#include "ui/graph/TfGraph.h"

namespace o5 {

// What a screen reader says of each control, and what a hover says of the
// arrows; the captions the window shows stay as they are.
void TfGraph::NameControls() {
  const std::pair<SpinEdit*, const char*> boxes[] = {
      {edXMin, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось X: начало")},
      {edXMax, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось X: конец")},
      {edXStep, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось X: шаг")},
      {edYMin, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось Y: начало")},
      {edYMax, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось Y: конец")},
      {edYStep, QT_TRANSLATE_NOOP("GraphAccessibility", "Ось Y: шаг")},
  };
  for (const auto& [box, name] : boxes)
    box->setAccessibleName(QCoreApplication::translate("GraphAccessibility", name));
  const std::pair<QToolButton*, const char*> arrows[] = {
      {bUp, QT_TRANSLATE_NOOP("GraphAccessibility", "Вверх: сдвинуть ось Y на шаг")},
      {bDown, QT_TRANSLATE_NOOP("GraphAccessibility", "Вниз: сдвинуть ось Y на шаг")},
      {bLeft, QT_TRANSLATE_NOOP("GraphAccessibility", "Влево: сдвинуть ось X на шаг")},
      {bRight, QT_TRANSLATE_NOOP("GraphAccessibility", "Вправо: сдвинуть ось X на шаг")},
  };
  for (const auto& [arrow, name] : arrows) {
    const QString text = QCoreApplication::translate("GraphAccessibility", name);
    arrow->setAccessibleName(text);
    arrow->setToolTip(text);
  }
  for (int i = 0; i < kSeriesCount; ++i) {
    const QString caption = GraphSeriesCaption(i);
    ed[i]->setAccessibleName(
        QCoreApplication::translate("GraphAccessibility", "Толщина линии: %1").arg(caption));
    sp[i]->setAccessibleName(QCoreApplication::translate("GraphAccessibility", "Цвет: %1").arg(caption));
  }
}

// Back to the control that opened a dialog, in this window made active again:
// a keyboard user goes on where they were.
void TfGraph::ReturnFocus(QWidget* opener) {
  activateWindow();
  opener->setFocus(Qt::OtherFocusReason);
}

// What a screen reader says of the chart while no keyboard cursor reads it.
void TfGraph::DescribeChart() {
  QString what = QCoreApplication::translate("GraphAccessibility", "Телеметрия в реальном времени");
  if (shown_ == Shown::kLog)
    what = QCoreApplication::translate("GraphAccessibility", "Журнал \"%1\"").arg(shownName_);
  if (shown_ == Shown::kLastRun) what = aLastRun->text();
  Charts->SetShownDescription(
      QCoreApplication::translate("GraphAccessibility",
                                  "%1; время от %2 до %3 с, значения от %4 до %5. "
                                  "Стрелки влево и вправо читают значения, Shift+F10 — меню.")
          .arg(what)
          .arg(edXMin->value())
          .arg(edXMax->value())
          .arg(edYMin->value())
          .arg(edYMax->value()));
}

void TfGraph::ChartsContextMenu(const QPoint& globalPos) {
  menuPos_ = globalPos;
  menuFromChart_ = true;
  menuKeyX_.reset();
  if (!Charts->MenuFromKeyboard()) return pmCharts->popup(globalPos);
  // From the keyboard: at the keyboard's cursor (the marks go there), or in
  // the middle of the chart, with the first command chosen.
  menuKeyX_ = Charts->KeyboardX();
  QPoint at(Charts->width() / 2, Charts->height() / 2);
  if (menuKeyX_) at.setX(static_cast<int>(std::lround(Charts->Frame().plot.XToPixel(*menuKeyX_))));
  menuPos_ = Charts->mapToGlobal(at);
  pmCharts->popup(*menuPos_);
  pmCharts->setActiveAction(pmCharts->actions().value(0));
}

}  // namespace o5
