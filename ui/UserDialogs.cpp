// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTranslator>

#include <memory>

#include "ui/AppTitle.h"

namespace o5 {

namespace {

FileDialogFunction& CurrentFileDialog() {
  static FileDialogFunction dialog;
  return dialog;
}

InformationFunction& CurrentInformationDisplay() {
  static InformationFunction display;
  return display;
}

QString& LastFolder() {
  static QString folder;
  return folder;
}

QString RealFileDialog(FileDialogRequest& r) {
  QFileDialog dialog(r.parent, r.caption, r.path, r.filter);
  dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!r.selectedFilter.isEmpty()) dialog.selectNameFilter(r.selectedFilter);
  if (r.save) {
    // The dialog adds the suffix before its own check for an existing file;
    // added after the dialog, it would replace "report.pdf" unasked when
    // "report" was typed.
    dialog.setDefaultSuffix(r.defaultSuffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, first = r.defaultSuffix](const QString& filter) {
                       const QString suffix = FilterSuffix(filter);
                       dialog.setDefaultSuffix(suffix.isEmpty() ? first : suffix);
                     });
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  r.selectedFilter = dialog.selectedNameFilter();
  return dialog.selectedFiles().value(0);
}

QString Ask(FileDialogRequest& request) {
  const FileDialogFunction& dialog = CurrentFileDialog();
  const QString path = dialog ? dialog(request) : RealFileDialog(request);
  if (!path.isEmpty()) LastFolder() = QFileInfo(path).absolutePath();
  return path;
}

}  // namespace

FileDialogFunction SetFileDialog(FileDialogFunction dialog) {
  FileDialogFunction old = std::move(CurrentFileDialog());
  CurrentFileDialog() = std::move(dialog);
  return old;
}

QString FilterSuffix(const QString& filter) {
  // The patterns stand in brackets after the filter's name, or make up the
  // whole filter.
  static const QRegularExpression bracketed(R"(\(([^()]*)\)\s*$)");
  const QRegularExpressionMatch match = bracketed.match(filter);
  const QStringList patterns =
      (match.hasMatch() ? match.captured(1) : filter).split(' ', Qt::SkipEmptyParts);
  static const QRegularExpression oneExtension(R"(^\*\.([^*?\[\].]+)$)");
  if (patterns.size() != 1) return {};
  const QRegularExpressionMatch suffix = oneExtension.match(patterns[0]);
  return suffix.hasMatch() ? suffix.captured(1) : QString();
}

QString LastDialogFolder() {
  return LastFolder().isEmpty() ? QDir::currentPath() : LastFolder();
}

QString FileNameTimeStamp(const QDateTime& when) {
  // A format string is read with the C locale: digits as they are, whatever the desktop's language.
  return when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
  FileDialogRequest request{parent, false, caption, LastDialogFolder(), filter, QString(), QString()};
  return Ask(request);
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                        const QString& filter, QString* selectedFilter) {
  FileDialogRequest request{parent, true, caption, QDir(LastDialogFolder()).filePath(proposedName),
                            filter, selectedFilter ? *selectedFilter : QString(), QString()};
  request.defaultSuffix =
      FilterSuffix(request.selectedFilter.isEmpty() ? filter.section(";;", 0, 0) : request.selectedFilter);
  const QString path = Ask(request);
  if (selectedFilter) *selectedFilter = request.selectedFilter;
  return path;
}

bool TranslateToolkitDialogs(const QLocale& locale) {
  // Lives until replaced: the translator must outlive every dialog it serves.
  static QTranslator* translator = nullptr;
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  auto loaded = std::make_unique<QTranslator>();
  if (!loaded->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return false;
  translator = loaded.release();
  return QCoreApplication::installTranslator(translator);
}

void ShowInformation(const QString& text) {
  if (const InformationFunction& display = CurrentInformationDisplay()) {
    display(text);
    return;
  }
  QMessageBox box(QMessageBox::Information, AppTitle(), text,
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

InformationFunction SetInformationDisplay(InformationFunction display) {
  InformationFunction old = std::move(CurrentInformationDisplay());
  CurrentInformationDisplay() = std::move(display);
  return old;
}

}  // namespace o5
