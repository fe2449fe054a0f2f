// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pseudo-language for the tests: every text it translates is marked and
// made about a third longer, as a long language would make it. A text a
// window shows unmarked has bypassed translation; a caption cut off by the
// longer text has no room for a longer language.

#include <QString>
#include <QTranslator>

namespace o5::test {

inline const QString kPseudoOpen = QStringLiteral("⟦");
inline const QString kPseudoClose = QStringLiteral("⟧");

class PseudoTranslator : public QTranslator {
 public:
  bool isEmpty() const override { return false; }
  QString translate(const char*, const char* source, const char*, int n) const override {
    if (!source || !*source) return {};
    QString text = QString::fromUtf8(source);
    if (n >= 0) text.replace(QStringLiteral("%n"), QString::number(n));
    return kPseudoOpen + text + QString(text.size() / 3, u'~') + kPseudoClose;
  }
};

}  // namespace o5::test
