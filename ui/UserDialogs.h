// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dialogs every window shares besides the error display: the file dialogs
// that ask for a file to open or a name to save under, and the information
// box. Like the error display, each is a replaceable function, so that tests
// answer a dialog with a path (or read a message) instead of a modal window.

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

class QWidget;

namespace o5 {

struct FileDialogRequest {
  QWidget* parent = nullptr;
  bool save = false;       // a save dialog (asks for a name), else an open dialog
  QString caption;
  QString path;            // the folder the dialog starts in, with the proposed name when saving
  QString filter;          // "Журнал (*.txt);;Все файлы (*)"
  QString selectedFilter;  // the filter chosen at first; the answer's filter on return
  // Saving: the extension ("pdf") the dialog gives a name typed without one,
  // before it checks whether the file exists, so that its question about
  // replacing a file covers the name as saved. It follows the chosen filter
  // when that names one extension.
  QString defaultSuffix;
};

// The chosen file's path, empty when the user cancelled. May change
// request.selectedFilter to the filter the user chose. A save dialog's answer
// is the path to save under exactly as it stands: nothing is added to it.
using FileDialogFunction = std::function<QString(FileDialogRequest& request)>;

// Replaces the file dialog; returns the previous one. An empty function
// restores the real dialog.
FileDialogFunction SetFileDialog(FileDialogFunction dialog);

// The dialogs start in the working directory, where the main window saves its
// record logs, and then in the folder of the last file chosen in any of them
// while the tool runs. Empty when cancelled. A save dialog's default suffix is
// the extension of the filter chosen at first.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                        const QString& filter, QString* selectedFilter = nullptr);

// The one extension a filter names: "pdf" for "Отчёт PDF (*.pdf)"; empty for
// "Все файлы (*)" or a filter of several patterns.
QString FilterSuffix(const QString& filter);

// The folder the next dialog starts in.
QString LastDialogFolder();

// The time in the file names the tool proposes, spelt as the data folder's
// names spell it, zero-padded so that names sort by time:
// "2026-12-06_08-05-03" for 6 December 2026 at 08:05:03. (The record log's
// name has a spelling of its own.)
QString FileNameTimeStamp(const QDateTime& when);

// The toolkit's own dialogs (the file and print dialogs, the buttons of the
// message boxes) in the language of `locale`, from the toolkit's translation
// catalogs where they are installed; the tool's own texts are Russian as they
// stand. Replaces the catalog loaded before; without one for `locale` the
// dialogs are in English. True when a catalog was loaded. Called at start.
bool TranslateToolkitDialogs(const QLocale& locale);

// An information box with the application's title as caption.
using InformationFunction = std::function<void(const QString& text)>;
void ShowInformation(const QString& text);
InformationFunction SetInformationDisplay(InformationFunction display);

}  // namespace o5
