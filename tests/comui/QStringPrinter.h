// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lets GoogleTest print texts readably in failure messages.

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < list.size(); ++i)
    *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
  *os << '}';
}
