#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
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
  if (r.save)
    return QFileDialog::getSaveFileName(r.parent, r.caption, r.path, r.filter, &r.selectedFilter);
  return QFileDialog::getOpenFileName(r.parent, r.caption, r.path, r.filter, &r.selectedFilter);
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

QString LastDialogFolder() {
  return LastFolder().isEmpty() ? QDir::currentPath() : LastFolder();
}

QString FileNameTimeStamp(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  return QString("%1-%2-%3_%4-%5-%6")
      .arg(d.year())
      .arg(d.month())
      .arg(d.day())
      .arg(t.hour())
      .arg(t.minute())
      .arg(t.second());
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
  FileDialogRequest request{parent, false, caption, LastDialogFolder(), filter, QString()};
  return Ask(request);
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& proposedName,
                        const QString& filter, QString* selectedFilter) {
  FileDialogRequest request{parent, true, caption, QDir(LastDialogFolder()).filePath(proposedName),
                            filter, selectedFilter ? *selectedFilter : QString()};
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
  QMessageBox box(QMessageBox::Information, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

InformationFunction SetInformationDisplay(InformationFunction display) {
  InformationFunction old = std::move(CurrentInformationDisplay());
  CurrentInformationDisplay() = std::move(display);
  return old;
}

}  // namespace o5
