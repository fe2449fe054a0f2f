// SPDX-License-Identifier: GPL-3.0-or-later
// No caption is cut off: with the fonts a Debian desktop has (the Liberation
// and DejaVu faces stand in for the fonts the windows name), every label,
// button, check box and grid cell of the four windows and the setup dialog is
// wide and tall enough for its text and lies inside the widgets that hold it.

#include <QFile>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "app/ToolTranslation.h"
#include "link/ComComboBox.h"
#include "link/ComSetupFrm.h"
#include "tests/comui/QStringPrinter.h"
#include "tests/support/PtyLine.h"
#include "tests/texts/CaptionChecks.h"
#include "tests/texts/PseudoTranslator.h"
#include "tests/texts/TextsFixture.h"
#include "heater/BlackBoxImage.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

class CaptionFitTest : public TextsFixture {};

enum class Language { kRussian, kEnglish, kPseudo };

// The windows built in a language, as start-up builds them once it has
// installed the tool's catalog.
class LanguageWindows : public TextsFixture {
 protected:
  void SetUpIn(Language language) {
    if (language == Language::kEnglish) {
      ASSERT_TRUE(InstallToolTranslation(O5_TEST_CATALOG_DIR, "en"));
    } else {
      InstallToolTranslation(std::string(), "none");
      // The cores' texts go through the application's translators too.
      if (language == Language::kPseudo) QCoreApplication::installTranslator(&pseudo_);
    }
    TextsFixture::SetUp();
  }
  void TearDown() override {
    TextsFixture::TearDown();
    QCoreApplication::removeTranslator(&pseudo_);
    InstallToolTranslation(std::string(), "none");
  }

 private:
  PseudoTranslator pseudo_;
};

// The windows in English and in the pseudo-language, whose texts are a third
// longer: each caption still has room for its text.
struct LanguageWindow {
  Language language;
  const char* window;
};

class LanguageFitTest : public LanguageWindows, public ::testing::WithParamInterface<LanguageWindow> {
 protected:
  void SetUp() override { SetUpIn(GetParam().language); }
  QWidget* Window() const {
    const std::string name = GetParam().window;
    if (name == "main") return fMain;
    if (name == "modes") return frmModes;
    if (name == "graph") return fGraph;
    return fBB;
  }
};

std::string LanguageWindowName(const ::testing::TestParamInfo<LanguageWindow>& info) {
  return std::string(info.param.language == Language::kEnglish ? "English_" : "Pseudo_") + info.param.window;
}

TEST_P(LanguageFitTest, EveryCaptionFits) {
  QWidget* window = Window();
  if (window == fGraph) fGraph->resize(fGraph->minimumSize());
  ShowAndSettle(window);
  EXPECT_GE(CheckWindow(window), 10);
  if (window == frmModes) {
    // The list of modes shows each of its lines without scrolling.
    EXPECT_FALSE(frmModes->Memo1->verticalScrollBar()->isVisible());
    // Every fault marked: the bold captions fit as well.
    frmModes->SetActiveFaults({0xFF, 0xFF, 0xFF, 0xFF});
    QApplication::processEvents();
    SCOPED_TRACE("every fault marked");
    EXPECT_GE(CheckWindow(window), 10);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, LanguageFitTest,
                         ::testing::Values(LanguageWindow{Language::kEnglish, "main"},
                                           LanguageWindow{Language::kEnglish, "modes"},
                                           LanguageWindow{Language::kEnglish, "graph"},
                                           LanguageWindow{Language::kEnglish, "blackbox"},
                                           LanguageWindow{Language::kPseudo, "main"},
                                           LanguageWindow{Language::kPseudo, "modes"},
                                           LanguageWindow{Language::kPseudo, "graph"},
                                           LanguageWindow{Language::kPseudo, "blackbox"}),
                         LanguageWindowName);

// The fixed widths (the modes window, the graph window's panel of series, the
// black-box window as built, before its first show fits it to the frame) are
// the ones laid out for the Russian texts, to the pixel; only a longer
// language widens them, each to what its texts need.
class FixedWidthTest : public LanguageWindows, public ::testing::WithParamInterface<Language> {
 protected:
  void SetUp() override { SetUpIn(GetParam()); }
};

TEST_P(FixedWidthTest, AreTheRussianOnesUnlessTheTextsNeedMore) {
  const struct {
    const char* what;
    std::function<int()> width;
    int laidOut;
  } widths[] = {
      {"modes window", [] { return frmModes->width(); }, 190},
      {"series panel", [] { return fGraph->pRight->width(); }, 202},
      {"black-box window", [] { return fBB->width(); }, 928},
  };
  for (const auto& w : widths) {
    if (GetParam() == Language::kRussian)
      EXPECT_EQ(w.width(), w.laidOut) << w.what;
    else
      EXPECT_GT(w.width(), w.laidOut) << w.what;
  }
  // The series' captions span the panel but for its margins.
  for (const QCheckBox* box : fGraph->cb)
    EXPECT_EQ(box->geometry().right(), fGraph->pRight->width() - 3) << box->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, FixedWidthTest, ::testing::Values(Language::kRussian, Language::kPseudo),
                         [](const ::testing::TestParamInfo<Language>& info) {
                           return std::string(info.param == Language::kRussian ? "Russian" : "Pseudo");
                         });

TEST_F(CaptionFitTest, MainWindow) {
  ShowAndSettle(fMain);
  EXPECT_GE(CheckWindow(fMain), 11);
}

TEST_F(CaptionFitTest, MainWindowWithTheRunTimeShown) {
  ShowAndSettle(fMain);
  // The widest run time a heater's 16-bit timer gives.
  fMain->lTime->setText("1092:15");
  QApplication::processEvents();
  EXPECT_GE(CheckWindow(fMain), 12);
}

TEST_F(CaptionFitTest, ModesWindow) {
  ShowAndSettle(frmModes);
  EXPECT_GE(CheckWindow(frmModes), 32);
}

TEST_F(CaptionFitTest, ModesWindowWithTheLongestModeName) {
  ShowAndSettle(frmModes);
  frmModes->SetModeCaption(QString::fromUtf8("1 - Проверка перед пуском"));
  QApplication::processEvents();
  CheckLabel(frmModes->Panel1);
}

// A marked fault's caption is bold, narrowed where bold is too wide.
TEST_F(CaptionFitTest, ModesWindowWithEveryFaultMarked) {
  ShowAndSettle(frmModes);
  frmModes->SetActiveFaults({0xFF, 0xFF, 0xFF, 0xFF});
  QApplication::processEvents();
  EXPECT_GE(CheckWindow(frmModes), 32);
}

TEST_F(CaptionFitTest, GraphWindowAtItsSmallestSize) {
  fGraph->resize(fGraph->minimumSize());
  ShowAndSettle(fGraph);
  EXPECT_GE(CheckWindow(fGraph), 14);
}

TEST_F(CaptionFitTest, BlackBoxWindowBeforeAReport) {
  ShowAndSettle(fBB);
  EXPECT_GE(CheckWindow(fBB), 16);
}

// The widest values every field can take: all bytes 0xFF, then the run times
// at their widest signed value.
TEST_F(CaptionFitTest, BlackBoxWindowWithTheWidestReports) {
  const BlackBoxBytes saved = BlackBoxImage;
  ShowAndSettle(fBB);
  BlackBoxImage.fill(0xFF);
  fBB->ShowReport();
  QApplication::processEvents();
  {
    SCOPED_TRACE("all bytes 0xFF");
    EXPECT_GE(CheckWindow(fBB), 16);
  }
  for (int address : {13, 17, 21, 25}) {
    BlackBoxImage[address] = 0x00;
    BlackBoxImage[address + 1] = 0x00;
    BlackBoxImage[address + 2] = 0x00;
    BlackBoxImage[address + 3] = 0x80;
  }
  fBB->ShowReport();
  QApplication::processEvents();
  {
    SCOPED_TRACE("run times -2147483648");
    EXPECT_GE(CheckWindow(fBB), 16);
  }
  BlackBoxImage = saved;
}

TEST_F(CaptionFitTest, BlackBoxProgressPanel) {
  ShowAndSettle(fBB);
  fBB->pRead->show();
  QApplication::processEvents();
  EXPECT_EQ(CheckWindow(fBB->pRead), 1);
  fBB->pRead->hide();
}

TEST_F(CaptionFitTest, SetupDialog) {
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TComSetupFrm*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll.stop();
    seen = true;
    QApplication::processEvents();
    EXPECT_GE(CheckWindow(dialog), 9);
    dialog->reject();
  });
  poll.start(10);
  fMain->BSetClick(fMain->BSet);
  EXPECT_TRUE(seen);
}

// Port names on Linux are device paths: the selector shows a long one whole.
class PortNameFitTest : public TextsFixture {
 protected:
  void SetUp() override {
    // A port is listed while its path leads to a terminal.
    ASSERT_EQ(symlink(line_.Path().c_str(), longName_.toUtf8().constData()), 0);
    setenv("ORTAN5_EXTRA_PORTS", longName_.toUtf8().constData(), 1);
    TextsFixture::SetUp();
  }
  void TearDown() override {
    TextsFixture::TearDown();
    unsetenv("ORTAN5_EXTRA_PORTS");
    QFile::remove(longName_);
  }
  PtyLine line_;
  // As long as a port in the user's runtime folder; one per test process.
  const QString longName_ =
      QString("/tmp/o5-%1-ortan5-heater").arg(QCoreApplication::applicationPid(), 7, 10, QChar('0'));
};

TEST_F(PortNameFitTest, ChosenPortNameIsShownWhole) {
  fMain->cbPort->SetText(longName_);
  ASSERT_EQ(fMain->cbPort->currentText(), longName_);
  ShowAndSettle(fMain);
  QStyleOptionComboBox option;
  option.initFrom(fMain->cbPort);
  option.currentText = fMain->cbPort->currentText();
  const QRect field = fMain->cbPort->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, fMain->cbPort);
  EXPECT_GE(field.width(), TextWidth(fMain->cbPort, option.currentText));
  ExpectInsideParents(fMain->cbPort, option.currentText);
}

}  // namespace
}  // namespace o5::test

