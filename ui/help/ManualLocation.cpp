// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help/ManualLocation.h"

#include <QDir>
#include <QFileInfo>

#include "link/Translation.h"
#include "settings/SettingsFile.h"

namespace o5 {

QStringList ManualFolders() {
  const QDir tool(QString::fromStdString(ExecutableDirectory()));
  // The package's folder last: a tool copied out of a build or installed under
  // another prefix still finds the packaged manual.
  QStringList folders = {tool.filePath("doc"), QDir::cleanPath(tool.filePath(O5_DOC_FROM_TOOL_DIR)),
                         O5_PACKAGE_DOC_DIR};
  folders.removeDuplicates();
  return folders;
}

// The manual in the language of the tool's own texts.
QString ManualFileName() {
  return QString::fromUtf8(ToolLanguage(LocaleVariablesOfEnvironment()) == "en" ? kEnglishManualFileName
                                                                                 : kManualFileName);
}

QString ManualPath() {
  QStringList names = {ManualFileName(), QString::fromUtf8(kManualFileName)};
  names.removeDuplicates();
  for (const QString& name : names) {
    for (const QString& folder : ManualFolders()) {
      const QFileInfo manual(QDir(folder).filePath(name));
      if (manual.isFile()) return manual.absoluteFilePath();
    }
  }
  return {};
}

}  // namespace o5
