// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader must say when it happens, whatever has the focus: a
// fault, a silent heater, a lost link, the version read, the end or the cut of
// a readout, a journal that cannot be written. The text is also shown where it
// belongs (the console, an error box); this only makes it heard.
//
// The toolkit of this version has no call that asks a screen reader to speak.
// What screen readers on AT-SPI do speak, whatever has the focus, is a
// notification that appears: so the announcer is a notification object, a
// point in the corner of the main window that nobody sees, which takes the
// text as its name and appears anew for each announcement.

#include <QString>
#include <QStringList>
#include <QWidget>

namespace o5 {

class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);

  // Empty texts are not announced. Texts of one pass of the event loop are
  // announced together, once it has ended.
  void Announce(const QString& text);
  // The latest text announced.
  QString Text() const { return text_; }

 private:
  void Flush();

  QString text_;
  QStringList pending_;
};

}  // namespace o5
