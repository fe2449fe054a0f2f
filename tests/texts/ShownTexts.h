// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window says to a person, gathered for the language tests, and
// whether a text has a Russian letter.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace o5::test {

struct ShownText {
  std::string where;
  QString text;
};

// Each text of `window` a person reads or hears: captions, titles, tooltips,
// accessible names and descriptions, the items of lists, the panes' lines and
// the actions of its menus.
inline std::vector<ShownText> ShownTexts(QWidget* window) {
  std::vector<ShownText> texts;
  const auto add = [&texts](const QObject* o, const char* what, const QString& text) {
    if (!text.isEmpty()) texts.push_back({o->objectName().toStdString() + " " + what, text});
  };
  add(window, "title", window->windowTitle());
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* w : widgets) {
    add(w, "tooltip", w->toolTip());
    add(w, "accessible name", w->accessibleName());
    add(w, "accessible description", w->accessibleDescription());
    if (auto* l = qobject_cast<QLabel*>(w)) add(w, "text", l->text());
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add(w, "text", b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add(w, "title", g->title());
    if (auto* e = qobject_cast<QLineEdit*>(w)) add(w, "placeholder", e->placeholderText());
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) add(w, "text", e->toPlainText());
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) add(w, "item", c->itemText(i));
    if (auto* t = qobject_cast<QTableWidget*>(w)) {
      for (int column = 0; column < t->columnCount(); ++column)
        if (const QTableWidgetItem* h = t->horizontalHeaderItem(column)) add(w, "column", h->text());
      for (int row = 0; row < t->rowCount(); ++row)
        for (int column = 0; column < t->columnCount(); ++column)
          if (const QTableWidgetItem* item = t->item(row, column)) {
            add(w, "cell", item->text());
            add(w, "cell tooltip", item->toolTip());
          }
    }
    if (auto* t = qobject_cast<QTreeWidget*>(w))
      for (int column = 0; column < t->columnCount(); ++column)
        add(w, "column", t->headerItem()->text(column));
  }
  for (const QAction* a : window->findChildren<QAction*>()) {
    add(a, "action", a->text());
    add(a, "action tooltip", a->toolTip());
  }
  return texts;
}

inline bool HasRussian(const QString& text) {
  static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
  return text.contains(cyrillic);
}

}  // namespace o5::test
