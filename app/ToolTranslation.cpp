// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ToolTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include <memory>
#include <mutex>
#include <vector>

#include "heater/TextTranslation.h"

namespace o5 {

namespace {

std::string TranslateThroughCatalogs(const char* context, const char* source, int n) {
  return QCoreApplication::translate(context, source, nullptr, n).toStdString();
}

// Every catalog of the tool's texts in the catalog folder, whatever the
// language chosen: what the tool wrote in another language is read back
// through them. Loaded when first asked, once for a folder.
struct ShippedCatalogs {
  std::mutex mutex;
  std::string directory;
  bool loaded = false;
  std::vector<std::unique_ptr<QTranslator>> catalogs;

  void SetDirectory(const std::string& catalogDirectory) {
    const std::lock_guard lock(mutex);
    if (catalogDirectory == directory) return;
    directory = catalogDirectory;
    loaded = false;
    catalogs.clear();
  }

  std::vector<std::string> Translations(const char* context, const char* source) {
    const std::lock_guard lock(mutex);
    if (!loaded) {
      loaded = true;
      if (!directory.empty()) {
        const QDir folder(QString::fromStdString(directory));
        for (const QString& name : folder.entryList({QStringLiteral("ortan5_*.qm")}, QDir::Files, QDir::Name)) {
          auto catalog = std::make_unique<QTranslator>();
          if (catalog->load(folder.filePath(name))) catalogs.push_back(std::move(catalog));
        }
      }
    }
    std::vector<std::string> texts;
    for (const auto& catalog : catalogs)
      if (const QString text = catalog->translate(context, source); !text.isEmpty())
        texts.push_back(text.toStdString());
    return texts;
  }
};

ShippedCatalogs& Shipped() {
  static ShippedCatalogs shipped;
  return shipped;
}

std::vector<std::string> TranslationsInShippedCatalogs(const char* context, const char* source) {
  return Shipped().Translations(context, source);
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
  Shipped().SetDirectory(catalogDirectory);
  gTranslationsFunction = TranslationsInShippedCatalogs;
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
