// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help/HelpWindow.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "archive/DataFolder.h"
#include "settings/SettingsFile.h"
#include "ui/help/ManualLocation.h"
#include "ui/WindowKeys.h"
namespace o5 {

THelpWindow::THelpWindow() {
  setWindowTitle(QCoreApplication::translate("THelpWindow", kCaption));
  setObjectName("fHelp");
  // Closing the main window ends the program, the manual open or not.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(1000, 740);

  Text = new QTextBrowser(this);
  Text->setOpenLinks(true);
  Text->setOpenExternalLinks(false);
  bBack = new QPushButton(QCoreApplication::translate("HelpWindow", "Назад"), this);
  bBack->setToolTip(QCoreApplication::translate("HelpWindow", "К месту, где вы были до перехода по ссылке"));
  bBack->setEnabled(false);
  bContents = new QPushButton(QCoreApplication::translate("HelpWindow", "Содержание"), this);
  bContents->setToolTip(QCoreApplication::translate("HelpWindow", "К началу руководства и его содержанию"));
  bAbout = new QPushButton(QCoreApplication::translate("HelpWindow", "О программе"), this);
  bAbout->setToolTip(
      QCoreApplication::translate("HelpWindow", "Версия, лицензия, папка данных и файл настроек"));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bBack);
  buttons->addWidget(bContents);
  buttons->addStretch(1);
  buttons->addWidget(bAbout);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(Text, 1);

  connect(Text, &QTextBrowser::backwardAvailable, bBack, &QPushButton::setEnabled);
  connect(bBack, &QPushButton::clicked, Text, &QTextBrowser::backward);
  connect(bContents, &QPushButton::clicked, this, [this] { ShowSection({}); });
  connect(bAbout, &QPushButton::clicked, this, &THelpWindow::bAboutClick);
  CloseOnEscape(this);
}

void THelpWindow::ShowSection(const QString& anchor) {
  show();
  raise();
  activateWindow();
  const QString path = ManualPath();
  if (path.isEmpty()) {
    manual_.clear();
    Text->setHtml(QCoreApplication::translate(
                      "HelpWindow",
                      "<h2>Руководство не найдено</h2><p>Файл %1 искали в папках:</p><ul><li>%2</li></ul>"
                      "<p>Оно ставится вместе с пакетом ortan5; переустановите пакет "
                      "или соберите программу заново.</p>")
                      .arg(ManualFileName(),
                           ManualFolders().join(QStringLiteral("</li><li>")).toHtmlEscaped()));
    return;
  }
  if (path != manual_) {
    manual_ = path;
    Text->clearHistory();
  }
  QUrl url = QUrl::fromLocalFile(path);
  if (!anchor.isEmpty()) url.setFragment(anchor);
  Text->setSource(url);
  if (anchor.isEmpty()) {
    Text->verticalScrollBar()->setValue(0);
    return;
  }
  // A window shown just now has not laid out its text at its final width: the
  // anchor's place is taken again once it has.
  QTimer::singleShot(0, Text, [text = Text, anchor] { text->scrollToAnchor(anchor); });
}

void THelpWindow::bAboutClick() {
  if (!AboutBox) {
    AboutBox =
        new QMessageBox(QMessageBox::Information, QCoreApplication::translate("THelpWindow", kAboutCaption),
                        QString(), QMessageBox::Ok, this);
    AboutBox->setModal(false);
    AboutBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    AboutBox->setIconPixmap(windowIcon().pixmap(64, 64));
  }
  // The paths are worked out afresh: config.ini may have named another data
  // folder since.
  AboutBox->setText(AboutText());
  AboutBox->show();
  AboutBox->raise();
  AboutBox->activateWindow();
}

QString AboutText() {
  const QString dataFolder = QString::fromStdString(ChooseDataFolder().path);
  const QString settings = QString::fromStdString(SettingsFilePath());
  return QCoreApplication::translate(
             "HelpWindow",
             "Ортан5 Диагностика, версия %1\n"
             "Программа диагностики жидкостного отопителя Ортан 5.\n\n"
             "Лицензия: GNU GPL версии 3 или любой более поздней (GPL-3.0-or-later). "
             "Программа свободная: её можно копировать, изменять и распространять на условиях "
             "этой лицензии. Гарантий нет.\n\n"
             "Папка данных (журналы сеансов и образы черного ящика):\n%2\n\n"
             "Файл настроек:\n%3\n\n"
             "Qt %4 (программа собрана с Qt %5)")
      .arg(QStringLiteral(O5_VERSION), dataFolder, settings, QString::fromLatin1(qVersion()),
           QStringLiteral(QT_VERSION_STR));
}

}  // namespace o5
