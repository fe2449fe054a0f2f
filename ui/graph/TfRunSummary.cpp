// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/graph/TfRunSummary.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/WindowKeys.h"
namespace o5 {

namespace {

constexpr const char* kCaption = QT_TRANSLATE_NOOP("TfRunSummary", "Итоги пуска");
constexpr const char* kCopyCaption = QT_TRANSLATE_NOOP("TfRunSummary", "Копировать");
constexpr const char* kNoRun = QT_TRANSLATE_NOOP("TfRunSummary", "На графике нет пуска.");

}  // namespace

TfRunSummary::TfRunSummary(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName("fRunSummary");
  setWindowTitle(QCoreApplication::translate("TfRunSummary", kCaption));
  resize(440, 320);
  mSummary = new QPlainTextEdit(this);
  mSummary->setObjectName("mSummary");
  mSummary->setReadOnly(true);
  // Read-only text still takes the keyboard, so the lines can be read and
  // selected without a mouse.
  mSummary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  mSummary->setAccessibleName(QCoreApplication::translate("TfRunSummary", kCaption));
  mSummary->setPlainText(QCoreApplication::translate("TfRunSummary", kNoRun));
  bCopy = new QPushButton(QCoreApplication::translate("TfRunSummary", kCopyCaption), this);
  bCopy->setObjectName("bCopy");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bCopy);
  auto* column = new QVBoxLayout(this);
  column->addWidget(mSummary, 1);
  column->addLayout(buttons);
  connect(bCopy, &QPushButton::clicked, this, &TfRunSummary::bCopyClick);
  CloseOnEscape(this);
}

// The text is replaced only when it changes, so that a selection and the
// scroll position survive the updates of a live run that says the same.
void TfRunSummary::SetLines(const std::vector<std::string>& lines) {
  QString text;
  for (const std::string& line : lines) {
    if (!text.isEmpty()) text += '\n';
    text += QString::fromStdString(line);
  }
  if (text.isEmpty()) text = QCoreApplication::translate("TfRunSummary", kNoRun);
  if (text != mSummary->toPlainText()) mSummary->setPlainText(text);
}

QString TfRunSummary::Text() const { return mSummary->toPlainText(); }

void TfRunSummary::bCopyClick() { QGuiApplication::clipboard()->setText(Text() + '\n'); }

}  // namespace o5
