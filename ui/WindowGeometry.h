// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window positions read from the settings file stand as they are, except where
// they would break the window's geometry: the toolkit keeps a rectangle as its
// left and right edges, so a left edge near the end of the integer range would
// leave no room for the right one.
//
// Where a window appears is settled here: whatever placed it (centring, a
// stored position, the toolkit), a window is shown wholly on the available
// area of its screen (the screen less the desktop's panels). A window larger
// than that area goes to its top-left corner, so that its title bar and its
// top-left part are in view.

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace o5 {

inline int ClampWindowCoordinate(int value) {
  return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// The top-left corner that puts `frame` (a window with its frame) inside `area`.
inline QPoint FitInto(const QRect& frame, const QRect& area) {
  const int x = std::clamp(frame.x(), area.left(), std::max(area.left(), area.left() + area.width() - frame.width()));
  const int y = std::clamp(frame.y(), area.top(), std::max(area.top(), area.top() + area.height() - frame.height()));
  return {x, y};
}

// The available area of the screen a window is on (its middle, or failing
// that the primary screen).
inline QRect AvailableAreaFor(const QRect& frame) {
  const QScreen* screen = QGuiApplication::screenAt(frame.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  QRect area = screen->availableGeometry();
  // With a fractional scale (fonts at 144 dpi: 1.5) the area's last logical
  // pixel may end past the last device pixel.
  const qreal ratio = screen->devicePixelRatio();
  if (ratio != static_cast<int>(ratio)) area.adjust(0, 0, -1, -1);
  return area;
}

// Moves a top-level window, frame included, onto the available area; one
// larger than the area first shrinks as far as its minimum size lets it.
inline void KeepOnScreen(QWidget* window) {
  QRect frame = window->frameGeometry();
  const QRect area = AvailableAreaFor(frame);
  if (area.isEmpty()) return;
  const QSize margins = frame.size() - window->size();
  const QSize room = area.size() - margins;
  if (window->width() > room.width() || window->height() > room.height()) {
    window->resize(std::max(std::min(window->width(), room.width()), window->minimumWidth()),
                   std::max(std::min(window->height(), room.height()), window->minimumHeight()));
    frame = window->frameGeometry();
  }
  const QPoint to = FitInto(frame, area);
  if (to != frame.topLeft()) window->move(to);
}

// Watches every window the application shows: once when it is shown, and
// once more when the events of its showing (its own placing, the frame the
// window manager adds) have been handled.
class OnScreenKeeper : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    const Qt::WindowType type = w->windowType();
    if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen) return false;
    QTimer::singleShot(0, w, [window = QPointer<QWidget>(w)] {
      if (window && window->isVisible()) KeepOnScreen(window);
    });
    return false;
  }
};

}  // namespace o5
