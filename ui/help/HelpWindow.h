// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window "Справка — Ортан5 Диагностика": the user's manual, read from its
// HTML file with its pictures, and the box "О программе" with the version, the
// licence and the files the tool is using.

#include <QWidget>

class QMessageBox;
class QPushButton;
class QTextBrowser;

namespace o5 {

class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = QT_TRANSLATE_NOOP("THelpWindow", "Справка — Ортан5 Диагностика");
  static constexpr const char* kAboutCaption =
      QT_TRANSLATE_NOOP("THelpWindow", "О программе — Ортан5 Диагностика");

  THelpWindow();

  // Shows the window and the manual at the section of this anchor ("" for the
  // beginning). The manual's file is looked for each time; when none is found
  // the window says where it looked.
  void ShowSection(const QString& anchor);
  // Shows the box "О программе" (not modal, its text selectable so that the
  // paths can be copied).
  void bAboutClick();

  QTextBrowser* Text = nullptr;
  QPushButton* bBack = nullptr;
  QPushButton* bContents = nullptr;
  QPushButton* bAbout = nullptr;
  QMessageBox* AboutBox = nullptr;  // made at the first click

 private:
  QString manual_;  // the file shown, empty when none was found
};

// The text of "О программе": the version, the licence, the full paths of the
// data folder and of the settings file, the toolkit's version.
QString AboutText();

}  // namespace o5
