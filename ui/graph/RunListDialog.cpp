// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/RunListDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

#include "heater/RecordLog.h"
#include "heater/RunSummary.h"

namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("RunListDialog", "Пуски в журнале");
constexpr const char* kShowCaption = QT_TRANSLATE_NOOP("RunListDialog", "Показать");
constexpr const char* kCancelCaption = QT_TRANSLATE_NOOP("RunListDialog", "Отмена");
constexpr const char* kNoFaults = QT_TRANSLATE_NOOP("RunListDialog", "нет");

QString FaultCodes(const LogRun& run) {
  if (run.faults.empty()) return QCoreApplication::translate("RunListDialog", kNoFaults);
  QStringList codes;
  for (int code : run.faults) codes << QString::number(code);
  return codes.join(", ");
}

}  // namespace

RunListDialog::RunListDialog(const RecordLog& log, QWidget* parent) : QDialog(parent) {
  setObjectName("dlgRuns");
  setWindowTitle(QCoreApplication::translate("RunListDialog", kCaption));
  lvRuns = new QTreeWidget(this);
  lvRuns->setObjectName("lvRuns");
  lvRuns->setAccessibleName(QCoreApplication::translate("RunListDialog", kCaption));
  lvRuns->setRootIsDecorated(false);
  lvRuns->setUniformRowHeights(true);
  lvRuns->setSelectionMode(QAbstractItemView::SingleSelection);
  lvRuns->setHeaderLabels({tr("№"), tr("Начало"), tr("Длительность"), tr("Дошёл до"), tr("Неисправности")});
  const std::vector<LogRun>& runs = log.Runs();
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const LogRun& r = runs[i];
    auto* item = new QTreeWidgetItem(lvRuns);
    item->setText(0, QString::number(i + 1));
    // Where the journal's timeline does not tell the clock, the start is not known.
    item->setText(1, r.start ? QString::fromStdString(WallDateTimeText(*r.start)) : tr("—"));
    item->setText(2, QString::fromStdString(SecondsText(double(r.length))));
    item->setText(3, QString::fromStdString(r.reached));
    item->setText(4, FaultCodes(r));
  }
  for (int c = 0; c < lvRuns->columnCount(); ++c) lvRuns->resizeColumnToContents(c);
  if (lvRuns->topLevelItemCount() > 0) lvRuns->setCurrentItem(lvRuns->topLevelItem(lvRuns->topLevelItemCount() - 1));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QCoreApplication::translate("RunListDialog", kShowCaption));
  buttons->button(QDialogButtonBox::Cancel)
      ->setText(QCoreApplication::translate("RunListDialog", kCancelCaption));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Enter in the list and a double click on a run chart it.
  connect(lvRuns, &QTreeWidget::activated, this, &QDialog::accept);
  connect(lvRuns, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* column = new QVBoxLayout(this);
  column->addWidget(lvRuns, 1);
  column->addWidget(buttons);
  resize(520, 300);
  lvRuns->setFocus();
}

std::optional<std::size_t> RunListDialog::SelectedRun() const {
  QTreeWidgetItem* item = lvRuns->currentItem();
  if (!item) return std::nullopt;
  return static_cast<std::size_t>(lvRuns->indexOfTopLevelItem(item));
}

namespace {

RunChooser& Chooser() {
  static RunChooser chooser;
  return chooser;
}

}  // namespace

RunChooser SetRunChooser(RunChooser chooser) { return std::exchange(Chooser(), std::move(chooser)); }

std::optional<std::size_t> ChooseRun(QWidget* parent, const RecordLog& log) {
  if (Chooser()) return Chooser()(parent, log);
  RunListDialog dialog(log, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.SelectedRun();
}

}  // namespace o5
