// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file dropped anywhere on a window (on any of its controls) opens it. The
// filter watches the whole application, so that a text pane of the window
// does not take the drop as text; a drag of anything but one local file is
// left to the controls as before. The file is opened after the drop has ended,
// from the event loop: a drag source never waits for our dialogs, and a
// failure reaches the application's one error display.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <utility>

namespace o5 {

class FileDropFilter : public QObject {
 public:
  using OpenFunction = std::function<void(const QString& path)>;

  // Lives as long as `window`.
  FileDropFilter(QWidget* window, OpenFunction open)
      : QObject(window), window_(window), open_(std::move(open)) {
    window->setAcceptDrops(true);
    qApp->installEventFilter(this);
  }
  ~FileDropFilter() override { qApp->removeEventFilter(this); }

  // The one local file a drag carries; empty for anything else.
  static QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    return urls.front().toLocalFile();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != window_) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DroppedFile(drop->mimeData());
    if (path.isEmpty()) return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
      QMetaObject::invokeMethod(
          window_, [open = open_, path] { open(path); }, Qt::QueuedConnection);
    }
    return true;
  }

 private:
  QWidget* window_;
  OpenFunction open_;
};

}  // namespace o5
