// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ToolTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include "heater/TextTranslation.h"

namespace o5 {

namespace {

std::string TranslateThroughCatalogs(const char* context, const char* source, int n) {
  return QCoreApplication::translate(context, source, nullptr, n).toStdString();
}

}  // namespace

bool InstallToolTranslation(const std::string& catalogDirectory, const std::string& language) {
  // Lives as long as the process: the translator must outlive every text it serves.
  static QTranslator* translator = nullptr;
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  gTranslateFunction = TranslateThroughCatalogs;
  auto* loaded = new QTranslator;
  const QString name = QStringLiteral("ortan5_") + QString::fromStdString(language);
  if (!loaded->load(name, QString::fromStdString(catalogDirectory))) {
    delete loaded;
    return false;
  }
  translator = loaded;
  return QCoreApplication::installTranslator(translator);
}

}  // namespace o5
