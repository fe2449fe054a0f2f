// SPDX-License-Identifier: GPL-3.0-or-later
// The windows in another language than the one their texts are written in.
// With the English catalog no window, control, tooltip or accessible name
// keeps a Russian word; under a pseudo-language that marks every text it
// translates and makes it a third longer, every Russian text the windows show
// carries the mark: none bypasses translation.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTranslator>
#include <QTreeWidget>

#include <string>

#include "app/ToolTranslation.h"
#include "heater/BlackBoxExport.h"
#include "heater/RecordColumns.h"
#include "tests/texts/PseudoTranslator.h"
#include "tests/texts/ShownTexts.h"
#include "tests/texts/TextsFixture.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/TfGraph.h"
#include "ui/modes/TfrmModes.h"

namespace o5::test {
namespace {

QList<QWidget*> Windows() { return {fMain, frmModes, fGraph, fBB}; }

// The record log's header is written into the journal above its lines, and
// the tool shows it as it writes it, whatever the language.
bool WrittenForItself(const QString& text) {
  return text == QString::fromUtf8(kRecordLogHeader.data(), static_cast<qsizetype>(kRecordLogHeader.size()));
}

// The windows built with one more catalog installed before them, as start-up
// installs the tool's catalog before it builds them.
class LanguageFixture : public TextsFixture {
 protected:
  void SetUp() override {
    Install();
    TextsFixture::SetUp();
  }
  void TearDown() override {
    TextsFixture::TearDown();
    // Back to the texts as written for the tests that follow.
    InstallToolTranslation(std::string(), "none");
    if (pseudo_) QCoreApplication::removeTranslator(pseudo_.get());
  }
  virtual void Install() = 0;
  std::unique_ptr<QTranslator> pseudo_;
};

class EnglishTest : public LanguageFixture {
  void Install() override { ASSERT_TRUE(InstallToolTranslation(O5_TEST_CATALOG_DIR, "en")); }
};

TEST_F(EnglishTest, NoWindowKeepsARussianWord) {
  int looked = 0;
  for (QWidget* window : Windows()) {
    ShowAndSettle(window);
    for (const ShownText& t : ShownTexts(window)) {
      ++looked;
      if (WrittenForItself(t.text)) continue;
      EXPECT_FALSE(HasRussian(t.text)) << t.where << ": \"" << t.text.toStdString() << "\"";
    }
  }
  EXPECT_GT(looked, 100);
  EXPECT_EQ(fMain->windowTitle(), QStringLiteral("Ortan5 Diagnostics 1.0.2"));
}

// The black-box report's page and table, which a person reads as a document:
// labels, grid, the explanation of codes and modes, the changes since an
// earlier readout.
TEST_F(EnglishTest, BlackBoxDocumentsHaveNoRussianWord) {
  for (const uint8_t fill : {0x00, 0x0D, 0x16, 0xFF}) {
    BlackBoxBytes image{};
    image.fill(fill);
    BlackBoxBytes earlier{};
    earlier.fill(0x01);
    const BlackBoxSource source{BlackBoxSource::Kind::kFile, "08.12.2026 15:20:03", "BB_1.bin"};
    const std::string csv = BlackBoxCsv(image, source, "Ortan5 Diagnostics", BlackBoxEarlier{earlier, "07.12.2026"});
    EXPECT_FALSE(HasRussian(QString::fromStdString(csv))) << csv;
    const BlackBoxPage page = MakeBlackBoxPage(MakeBlackBoxReport(image, "."), source.Line());
    std::string text = page.title + "\n" + page.source;
    for (const auto& l : page.leftLabels) text += "\n" + l;
    for (const auto& l : page.rightLabels) text += "\n" + l;
    for (const auto& row : page.cells)
      for (const auto& cell : row) text += "\n" + cell;
    for (const auto& l : page.explanation) text += "\n" + l;
    EXPECT_FALSE(HasRussian(QString::fromStdString(text))) << text;
  }
}

class PseudoLanguageTest : public LanguageFixture {
  void Install() override {
    // The cores' texts go through the application's translators too.
    InstallToolTranslation(std::string(), "none");
    pseudo_ = std::make_unique<PseudoTranslator>();
    QCoreApplication::installTranslator(pseudo_.get());
  }
};

TEST_F(PseudoLanguageTest, EveryRussianTextIsTranslated) {
  int marked = 0;
  for (QWidget* window : Windows()) {
    ShowAndSettle(window);
    for (const ShownText& t : ShownTexts(window)) {
      if (!HasRussian(t.text) || WrittenForItself(t.text)) continue;
      EXPECT_TRUE(t.text.contains(kPseudoOpen))
          << t.where << " bypasses translation: \"" << t.text.toStdString() << "\"";
      marked += t.text.contains(kPseudoOpen);
    }
  }
  EXPECT_GT(marked, 100);
}

}  // namespace
}  // namespace o5::test
