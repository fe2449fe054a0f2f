// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the application, the translation catalogs, the four windows, then
// the message loop until the main window closes.

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#include "app/Emblem.h"
#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/Platform.h"
#include "app/TfMain.h"
#include "app/ToolTranslation.h"
#include "archive/JournalRetention.h"
#include "link/Translation.h"
#include "remote/BrokerSettings.h"
#include "settings/SettingsFile.h"
#include "ui/remote/TfWorkshop.h"
#include "ui/UserDialogs.h"
#include "ui/WindowGeometry.h"
#include "ui/help/HelpKey.h"

int main(int argc, char** argv) {
  // The tool's language, chosen from the environment as the port's is, before
  // that set-up rewrites LANGUAGE.
  const std::string language = o5::ToolLanguage(o5::LocaleVariablesOfEnvironment());
  // First of all, while the process has no other thread that could read the
  // environment as LANGUAGE is set, and before any text of the port is made.
  o5::SetUpTranslation();
  // Before the application object: it picks the platform when it is built.
  const char* display = std::getenv("DISPLAY");
  const auto platform = o5::DesktopPlatform(std::getenv("QT_QPA_PLATFORM"), display);
  if (platform) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
  o5::TApplication app(argc, argv);
  // The tool's own catalog, before any of its texts is made.
  o5::InstallToolTranslation(o5::CatalogDirectory(o5::ExecutableDirectory()), language);
  // Run unseen, the tool would hold the port and write a journal that nobody
  // asked for: it says why it cannot show itself and ends.
  if (platform && QGuiApplication::platformName() == QLatin1String(o5::kNoScreenPlatform)) {
    std::fprintf(stderr, "%s\n",
                 QCoreApplication::translate("main", "ortan5: дисплей %1 недоступен, окна показать негде")
                     .arg(QString::fromLocal8Bit(display))
                     .toLocal8Bit()
                     .constData());
    return 1;
  }
  app.setApplicationName("ortan5");
  app.setDesktopFileName("ortan5");
  app.setWindowIcon(o5::MakeAppIcon());
  // Whatever size the fonts make them, windows open wholly on the screen.
  app.installEventFilter(new o5::OnScreenKeeper(&app));
  o5::TranslateToolkitDialogs(QLocale::system());
  // F1 in any window opens the manual at that window's section.
  o5::HelpKey help;

  // Journals past their keeping go before the first new one is written.
  o5::KeepJournals();
  try {
    o5::CreateForms();
  } catch (const std::exception& e) {
    // The windows cannot be built (the system's port list cannot be read):
    // say why and end without showing anything.
    QMessageBox::critical(nullptr, o5::AppTitle(),
                          o5::ErrorDisplayText(e));
    return 1;
  }
  // --watch <workshop>/<bench>: this copy watches that bench through the
  // broker instead of a port; otherwise a bench with a broker publishes.
  const QStringList arguments = app.arguments();
  const qsizetype watchAt = arguments.indexOf(QStringLiteral("--watch"));
  if (watchAt < 0) {
    o5::fMain->StartPublishing();
  } else {
    const std::string watch = watchAt + 1 < arguments.size() ? arguments[watchAt + 1].toStdString() : std::string();
    const auto read = o5::ReadBrokerSettings(o5::SettingsFile(), watch);
    if (!read.settings) {
      QMessageBox::critical(nullptr, o5::AppTitle(),
                            QString::fromStdString(read.error));
      o5::DestroyForms();
      return 1;
    }
    if (read.settings->bench.empty()) {
      // A whole workshop: its window alone; a bench is opened from it.
      o5::TfWorkshop workshop(*read.settings);
      workshop.show();
      const int rc = app.exec();
      o5::DestroyForms();
      return rc;
    }
    o5::fMain->WatchBench(*read.settings);
  }
  o5::fMain->show();
  const int rc = app.exec();
  o5::DestroyForms();
  return rc;
}
