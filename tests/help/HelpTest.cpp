// SPDX-License-Identifier: GPL-3.0-or-later
// F1 in each window of the tool opens the manual at that window's section,
// wherever the focus is, also over a modal dialog; the manual is Russian,
// or English on an English desktop, covers what a technician meets, both
// have the same sections, their links lead somewhere and their pictures load;
// "О программе" names the version, the licence and the files in use.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>

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

// The variables that choose the desktop's language, set for one test and as
// they were afterwards.
class LanguageVariables {
 public:
  LanguageVariables() {
    for (const char* name : kNames)
      if (const char* value = std::getenv(name)) saved_[name] = value;
  }
  ~LanguageVariables() {
    for (const char* name : kNames) {
      const auto saved = saved_.find(name);
      if (saved == saved_.end())
        unsetenv(name);
      else
        setenv(name, saved->second.c_str(), 1);
    }
  }
  // Sets the four variables: an empty value leaves a variable unset.
  void Set(const char* language, const char* all, const char* messages, const char* lang) {
    const char* values[] = {language, all, messages, lang};
    for (int i = 0; i < 4; ++i) {
      if (*values[i])
        setenv(kNames[i], values[i], 1);
      else
        unsetenv(kNames[i]);
    }
  }

 private:
  static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::map<std::string, std::string> saved_;
};

class Help : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    // A Russian desktop unless a test chooses another.
    language_.Set("", "", "", "ru_RU.UTF-8");
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

  LanguageVariables language_;
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

// The anchors of a manual, in order, and the targets of its links.
struct ManualLinks {
  QStringList anchors, targets, pictures;
};
ManualLinks LinksOf(const QString& html) {
  ManualLinks links;
  for (const auto& m : QRegularExpression(R"re(name="([^"]+)")re").globalMatch(html)) links.anchors << m.captured(1);
  for (const auto& m : QRegularExpression(R"re(href="#([^"]+)")re").globalMatch(html)) links.targets << m.captured(1);
  for (const auto& m : QRegularExpression(R"re(<img src="([^"]+)")re").globalMatch(html))
    links.pictures << m.captured(1);
  return links;
}

TEST_F(Help, BothManualsHaveTheSameSectionsAndTheirLinksAndPicturesHold) {
  THelpWindow* w = PressF1(fMain->MR);
  ASSERT_NE(w, nullptr);
  const QString folder = QFileInfo(ManualPath()).absolutePath();
  std::optional<ManualLinks> russian;
  for (const char* name : {kManualFileName, kEnglishManualFileName}) {
    SCOPED_TRACE(name);
    QFile file(QDir(folder).filePath(QString::fromUtf8(name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const ManualLinks links = LinksOf(QString::fromUtf8(file.readAll()));
    // Every link inside leads to an anchor that is there; every picture loads
    // (from the same folder, as the help window shows either manual).
    for (const QString& target : links.targets) EXPECT_TRUE(links.anchors.contains(target)) << target.toStdString();
    EXPECT_GT(links.targets.size(), 10);
    for (const QString& picture : links.pictures) {
      const QVariant image = w->Text->loadResource(QTextDocument::ImageResource, QUrl(picture));
      EXPECT_TRUE(image.isValid() && !image.toByteArray().isEmpty()) << picture.toStdString();
    }
    EXPECT_GE(links.pictures.size(), 4);
    if (!russian) {
      russian = links;
      continue;
    }
    // F1 opens either manual at the same anchor: the same sections, links
    // and pictures in the same order.
    EXPECT_EQ(links.anchors, russian->anchors);
    EXPECT_EQ(links.targets, russian->targets);
    EXPECT_EQ(links.pictures, russian->pictures);
  }
}

TEST_F(Help, TheManualFollowsTheDesktopsLanguage) {
  struct Case {
    const char *language, *all, *messages, *lang;
    const char* manual;
  };
  const Case cases[] = {
      {"", "", "", "en_US.UTF-8", kEnglishManualFileName},
      {"", "", "", "en_GB", kEnglishManualFileName},
      {"", "en_US.UTF-8", "", "ru_RU.UTF-8", kEnglishManualFileName},
      {"", "", "en_US.UTF-8", "ru_RU.UTF-8", kEnglishManualFileName},
      {"en", "", "", "C.UTF-8", kEnglishManualFileName},
      {"de:en:ru", "", "", "de_DE.UTF-8", kEnglishManualFileName},
      {"", "", "", "ru_RU.UTF-8", kManualFileName},
      {"", "ru_RU.UTF-8", "", "en_US.UTF-8", kManualFileName},
      {"ru", "", "", "en_US.UTF-8", kManualFileName},
      {"", "", "", "C.UTF-8", kManualFileName},
      {"en", "", "", "C", kManualFileName},
      {"", "", "", "de_DE.UTF-8", kManualFileName},
      {"", "", "", "", kManualFileName},
  };
  for (const Case& c : cases) {
    const std::string where = std::string("LANGUAGE=") + c.language + " LC_ALL=" + c.all +
                              " LC_MESSAGES=" + c.messages + " LANG=" + c.lang;
    language_.Set(c.language, c.all, c.messages, c.lang);
    EXPECT_EQ(ManualFileName(), QString::fromUtf8(c.manual)) << where;
    EXPECT_EQ(QFileInfo(ManualPath()).fileName(), QString::fromUtf8(c.manual)) << where;
  }
  // On an English desktop F1 shows the English manual at the window's section.
  language_.Set("", "", "", "en_US.UTF-8");
  fGraph->show();
  THelpWindow* w = PressF1(fGraph);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Text->source().fileName(), QString::fromUtf8(kEnglishManualFileName));
  EXPECT_EQ(Section(w), "graph");
  const QString text = w->Text->toPlainText();
  EXPECT_TRUE(text.contains("Charts"));
  const auto cyrillic = std::count_if(text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
  EXPECT_EQ(cyrillic, 0);
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
