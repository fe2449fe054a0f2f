// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help/HelpKey.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "ui/help/HelpWindow.h"

namespace o5 {
namespace {

struct Section {
  const char* name;  // a class as the meta-object names it (namespace included), or a caption
  const char* anchor;
};

// Dialogs before the windows: a dialog is matched by its own kind first.
constexpr Section kSections[] = {
    {"o5::TComSetupFrm", "port"}, {"QFileDialog", "files"},   {"QPrintDialog", "blackbox"},
    {"QMessageBox", "errors"},    {"o5::TfMain", "main"},     {"o5::TfrmModes", "modes"},
    {"o5::TfGraph", "graph"},     {"o5::TfBB", "blackbox"},   {"o5::TfHistory", "history"},
    {"o5::TRemoteSetupDlg", "remote"}, {"o5::TfWorkshop", "remote"},
};

// Windows known by their caption's beginning, whatever their class.
constexpr Section kCaptions[] = {
    {QT_TRANSLATE_NOOP("TfRunSummary", "Итоги пуска"), "summary"},
};

}  // namespace

QString HelpSectionFor(const QWidget* widget) {
  for (const QWidget* w = widget ? widget->window() : nullptr; w;
       w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
    if (qobject_cast<const THelpWindow*>(w)) return {};
    for (const Section& s : kCaptions)
      if (w->windowTitle().startsWith(QCoreApplication::translate("TfRunSummary", s.name)))
        return QString::fromLatin1(s.anchor);
    for (const Section& s : kSections)
      if (w->inherits(s.name)) return QString::fromLatin1(s.anchor);
  }
  return {};
}

HelpKey::HelpKey() { qApp->installEventFilter(this); }

HelpKey::~HelpKey() {
  qApp->removeEventFilter(this);
  delete window_;
}

void HelpKey::ShowFor(const QWidget* widget) {
  const QString anchor = HelpSectionFor(widget);
  if (!window_) window_ = new THelpWindow;
  // Under a modal dialog (a file dialog, a message box) any other window is
  // blocked: the manual then comes up modal itself, above the dialog.
  const QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality wanted =
      modal && modal->window() != window_ && !window_->isAncestorOf(modal) ? Qt::ApplicationModal : Qt::NonModal;
  if (window_->windowModality() != wanted) {
    window_->hide();
    window_->setWindowModality(wanted);
  }
  window_->ShowSection(anchor);
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
  // The key reaches the window system's window before the widget: only the
  // widget says which window of the tool it was pressed in.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget) return false;
  if (!key->isAutoRepeat()) ShowFor(widget);
  return true;
}

}  // namespace o5
