// SPDX-License-Identifier: GPL-3.0-or-later
// F1 in each window of the tool opens the manual at that window's section,
// wherever the focus is, also over a modal dialog; the manual is Russian,
// covers what a technician meets, its links lead somewhere and its pictures
// load; "О программе" names the version, the licence and the files in use.

#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "app/Forms.h"
#include "archive/DataFolder.h"
#include "link/ComSetupFrm.h"
#include "tests/app/AppFixture.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/help/HelpKey.h"
#include "ui/help/HelpWindow.h"
#include "ui/help/ManualLocation.h"
#include "ui/history/TfHistory.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

class Help : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    help_ = std::make_unique<HelpKey>();
  }
  void TearDown() override {
    help_.reset();
    AppFixture::TearDown();
  }
  // F1 as the user presses it, on the widget that has the focus.
  THelpWindow* PressF1(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_F1);
    return help_->Window();
  }
  static QString Section(const THelpWindow* w) { return w ? w->Text->source().fragment() : "<none>"; }

  std::unique_ptr<HelpKey> help_;
};

TEST_F(Help, F1InEachWindowOpensTheManualAtThatWindowsSection) {
  ASSERT_FALSE(ManualPath().isEmpty()) << ManualFolders().join(", ").toStdString();
  struct Case {
    QWidget* window;
    QWidget* focus;
    const char* anchor;
  };
  ShowHistory();
  const Case cases[] = {{fMain, fMain->MR, "main"}, {frmModes, frmModes, "modes"}, {fGraph, fGraph, "graph"},
                        {fBB, fBB, "blackbox"},     {fHistory, fHistory, "history"}};
  for (const Case& c : cases) {
    c.window->show();
    THelpWindow* w = PressF1(c.focus);
    ASSERT_NE(w, nullptr) << c.anchor;
    EXPECT_TRUE(w->isVisible()) << c.anchor;
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Справка — Ортан5 Диагностика"));
    EXPECT_EQ(Section(w), c.anchor);
    w->hide();
  }
  // The setup dialog, a file dialog's or message box's kind, and a window the
  // tool shows over another (its section is its owner's).
  TComSetupFrm setup(fMain);
  EXPECT_EQ(HelpSectionFor(&setup), "port");
  QMessageBox box(QMessageBox::Warning, "x", "y", QMessageBox::Ok, fGraph);
  EXPECT_EQ(HelpSectionFor(&box), "errors");
  QWidget summary(fGraph, Qt::Dialog);
  summary.setWindowTitle(QString::fromUtf8("Итоги пуска"));
  EXPECT_EQ(HelpSectionFor(&summary), "summary");
  QWidget other(fGraph, Qt::Dialog);
  EXPECT_EQ(HelpSectionFor(&other), "graph");
}

TEST_F(Help, F1InAModalDialogShowsTheManualAboveIt) {
  fMain->show();
  bool helpShown = false;
  QString section;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    THelpWindow* w = PressF1(box);
    ASSERT_NE(w, nullptr);
    helpShown = w->isVisible() && w->windowModality() == Qt::ApplicationModal;
    section = Section(w);
    w->close();
    box->close();
  });
  QMessageBox box(QMessageBox::Critical, "x", "y", QMessageBox::Ok, fMain);
  box.exec();
  EXPECT_TRUE(helpShown);
  EXPECT_EQ(section, "errors");
  // Pressed in a plain window afterwards, it is an ordinary window again.
  EXPECT_EQ(PressF1(fMain->MR)->windowModality(), Qt::NonModal);
}

TEST_F(Help, TheManualIsRussianAndCoversWhatATechnicianMeets) {
  THelpWindow* w = PressF1(fMain->MR);
  ASSERT_NE(w, nullptr);
  const QString text = w->Text->toPlainText();
  int cyrillic = 0, latin = 0;
  for (QChar c : text) {
    if (c.script() == QChar::Script_Cyrillic) ++cyrillic;
    if (c.script() == QChar::Script_Latin) ++latin;
  }
  EXPECT_GT(cyrillic, 3 * latin) << cyrillic << " Cyrillic, " << latin << " Latin";
  for (const char* topic : {"Откр/закр", "Графики", "Черный ящик", "История отопителей", "dialout", "Настр",
                            "Следовать за данными", "Пуски в журнале", "Итоги пуска", "ortan5-heatersim",
                            "Не удалось открыть порт", "ORTAN5_EXTRA_PORTS", "config.ini", "Копировать",
                            "Shift+F10", "События сеанса", "Сравнить с…", "окна показать негде"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;

  // Every link inside leads to an anchor that is there; every picture loads.
  QFile file(ManualPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(file.readAll());
  QStringList names;
  for (const auto& m : QRegularExpression(R"re(name="([^"]+)")re").globalMatch(html)) names << m.captured(1);
  int links = 0;
  for (const auto& m : QRegularExpression(R"re(href="#([^"]+)")re").globalMatch(html)) {
    ++links;
    EXPECT_TRUE(names.contains(m.captured(1))) << m.captured(1).toStdString();
  }
  EXPECT_GT(links, 10);
  int pictures = 0;
  for (const auto& m : QRegularExpression(R"re(<img src="([^"]+)")re").globalMatch(html)) {
    ++pictures;
    const QVariant picture = w->Text->loadResource(QTextDocument::ImageResource, QUrl(m.captured(1)));
    EXPECT_TRUE(picture.isValid() && !picture.toByteArray().isEmpty()) << m.captured(1).toStdString();
  }
  EXPECT_GE(pictures, 4);

  // A link inside moves to its section, and "Назад" comes back.
  QTest::qWait(50);
  const int top = w->Text->verticalScrollBar()->value();
  w->Text->setSource(QUrl("#history"));
  QTest::qWait(50);
  EXPECT_GT(w->Text->verticalScrollBar()->value(), top);
  ASSERT_TRUE(w->bBack->isEnabled());
  QTest::mouseClick(w->bBack, Qt::LeftButton);
  EXPECT_EQ(w->Text->verticalScrollBar()->value(), top);
}

TEST_F(Help, AboutNamesTheVersionTheLicenceAndTheFilesInUse) {
  THelpWindow* w = PressF1(fMain->MR);
  ASSERT_NE(w, nullptr);
  QTest::mouseClick(w->bAbout, Qt::LeftButton);
  ASSERT_NE(w->AboutBox, nullptr);
  EXPECT_TRUE(w->AboutBox->isVisible());
  EXPECT_EQ(w->AboutBox->windowTitle(), QString::fromUtf8("О программе — Ортан5 Диагностика"));
  const QString text = w->AboutBox->text();
  EXPECT_TRUE(text.contains(QRegularExpression(R"(версия 1\.\d+\.\d+)"))) << text.toStdString();
  EXPECT_TRUE(text.contains("GPL"));
  EXPECT_TRUE(text.contains(QString::fromStdString(ChooseDataFolder().path))) << text.toStdString();
  EXPECT_TRUE(text.contains(SettingsDir() + "/config.ini")) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromLatin1(qVersion())));
}

}  // namespace
}  // namespace o5::test
