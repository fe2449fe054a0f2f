// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a window's captions have room for their texts: every label,
// button, group box title, plain text line and grid cell is wide and tall
// enough for its text and lies inside the widgets that hold it.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace o5::test {

inline std::string Describe(const QWidget* w, const QString& text) {
  return (w->objectName() + " \"" + QString(text).replace('\n', "\\n") + "\"").toStdString();
}

// Width of the widest line of `text` in `w`'s font.
inline int TextWidth(const QWidget* w, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split('\n'))
    widest = std::max(widest, w->fontMetrics().horizontalAdvance(line));
  return widest;
}

// Every part of `w` that the user should see is inside each of its parents up
// to the window: a child sticking out of its parent is cut off there.
inline void ExpectInsideParents(const QWidget* w, const QString& text) {
  for (const QWidget* c = w; c && !c->isWindow(); c = c->parentWidget()) {
    const QWidget* parent = c->parentWidget();
    EXPECT_TRUE(parent->rect().contains(c->geometry()))
        << Describe(w, text) << ": " << c->objectName().toStdString() << " at ("
        << c->geometry().x() << "," << c->geometry().y() << " " << c->width() << "x" << c->height()
        << ") sticks out of " << parent->objectName().toStdString() << " (" << parent->width()
        << "x" << parent->height() << ")";
  }
}

inline void ExpectFits(const QWidget* w, const QString& text, QSize needed) {
  EXPECT_GE(w->width(), needed.width()) << Describe(w, text) << " is cut off on the right";
  EXPECT_GE(w->height(), needed.height()) << Describe(w, text) << " is cut off at the bottom";
  ExpectInsideParents(w, text);
}

inline void CheckLabel(const QLabel* l) {
  if (l->text().isEmpty() || l->wordWrap()) return;
  ExpectFits(l, l->text(), l->sizeHint());
}

inline void CheckButton(const QAbstractButton* b) {
  if (b->text().isEmpty()) return;
  if (auto* push = qobject_cast<const QPushButton*>(b)) {
    // The style's minimum width for a push button is no text's need: compare
    // the text with the button's contents area.
    QStyleOptionButton option;
    option.initFrom(push);
    option.text = push->text();
    const QRect contents = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    // The mnemonic's "&" is not drawn: measured as the button measures it.
    const int width = push->fontMetrics().size(Qt::TextShowMnemonic, push->text()).width();
    EXPECT_GE(contents.width(), width) << Describe(push, push->text());
    EXPECT_GE(contents.height(), push->fontMetrics().height()) << Describe(push, push->text());
    ExpectInsideParents(push, push->text());
    return;
  }
  ExpectFits(b, b->text(), b->sizeHint());
}

inline void CheckGroupBox(const QGroupBox* g) {
  if (g->title().isEmpty()) return;
  EXPECT_GE(g->width(), TextWidth(g, g->title()) + 16) << Describe(g, g->title());
  ExpectInsideParents(g, g->title());
}

// A plain text pane that does not wrap shows each of its lines whole, on one
// screen line and without scrolling sideways; one that wraps shows a long
// line on several.
inline void CheckPlainText(const QPlainTextEdit* e) {
  if (e->lineWrapMode() != QPlainTextEdit::NoWrap) return;
  const int room = e->viewport()->width() - 2 * static_cast<int>(e->document()->documentMargin());
  for (QTextBlock b = e->document()->begin(); b.isValid(); b = b.next())
    EXPECT_GE(room, TextWidth(e, b.text())) << Describe(e, b.text());
}

// A grid cell shows its text whole: the item view keeps a few pixels of
// margin on either side.
inline void CheckGrid(const QTableWidget* grid) {
  const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
  for (int row = 0; row < grid->rowCount(); ++row)
    for (int column = 0; column < grid->columnCount(); ++column) {
      const QTableWidgetItem* item = grid->item(row, column);
      if (!item || item->text().isEmpty()) continue;
      const int need = grid->fontMetrics().horizontalAdvance(item->text()) + 2 * margin;
      EXPECT_GE(grid->columnWidth(column), need)
          << "cell " << row << "," << column << " \"" << item->text().toStdString() << "\"";
      EXPECT_GE(grid->rowHeight(row), grid->fontMetrics().height())
          << "cell " << row << "," << column;
    }
}

// Every text-bearing control of the window that is shown. Returns how many
// controls with text were looked at, so that a test cannot pass on an empty
// window.
inline int CheckWindow(QWidget* window) {
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  int checked = 0;
  for (QWidget* w : widgets) {
    if (!w->isVisibleTo(window) && w != window) continue;
    if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
      CheckLabel(l);
      ++checked;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
      CheckButton(b);
      ++checked;
    }
    if (auto* g = qobject_cast<QGroupBox*>(w); g && !g->title().isEmpty()) {
      CheckGroupBox(g);
      ++checked;
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w); e && !e->document()->isEmpty()) {
      CheckPlainText(e);
      ++checked;
    }
    if (auto* t = qobject_cast<QTableWidget*>(w)) {
      CheckGrid(t);
      ++checked;
    }
  }
  return checked;
}

}  // namespace o5::test
