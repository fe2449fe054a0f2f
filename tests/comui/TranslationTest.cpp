// SPDX-License-Identifier: GPL-3.0-or-later
// Translation catalogs: built with msgfmt at test time into a temporary
// "locale" folder. The setup dialog's texts come from the domain "cport" when
// it is created, the port's error texts from "default" at start; the
// selectors' items are never translated, and without a catalog every text
// stays as written. The C library's own catalog gives the system's reasons in
// file errors.

#include <gtest/gtest.h>
#include <libintl.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/ComSetupFrm.h"
#include "link/ComTypes.h"
#include "link/Translation.h"
#include "settings/SettingsFile.h"
#include "settings/UserFile.h"
#include "tests/comui/QStringPrinter.h"

namespace o5 {
namespace {

using Entries = std::map<std::string, std::string>;

const Entries kGermanDialog = {
    {"Setup", "Einstellungen"},
    {" Settings ", " Parameter "},
    {"Port", "Schnittstelle"},
    {"Baud rate", "Baudrate"},
    {"Data bits", "Datenbits"},
    {"Stop bits", "Stoppbits"},
    {"Parity", "Parität"},
    {"Flow control", "Flusssteuerung"},
    {"OK", "Übernehmen"},
    {"Cancel", "Abbrechen"},
    // Items of the selectors, which must stay as they are.
    {"None", "Keine"},
    {"Even", "Gerade"},
};
const Entries kGermanErrors = {
    {"Unable to open com port", "Schnittstelle lässt sich nicht öffnen"},
    {" (win error code: %d)", " (Systemfehler: %d)"},
    {"Registry error", "Fehler der Geräteliste"},
};

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Compiles `entries` into <localeDir>/<language>/LC_MESSAGES/<domain>.mo.
::testing::AssertionResult WriteCatalog(const QString& localeDir, const QString& language,
                                        const char* domain, const Entries& entries) {
  const QString dir = localeDir + "/" + language + "/LC_MESSAGES";
  if (!QDir().mkpath(dir))
    return ::testing::AssertionFailure() << "cannot make " << dir.toStdString();
  std::string po = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  for (const auto& [id, text] : entries)
    po += "msgid " + Quoted(id) + "\nmsgstr " + Quoted(text) + "\n\n";
  const QString poPath = dir + "/" + domain + ".po";
  QFile file(poPath);
  if (!file.open(QIODevice::WriteOnly)) return ::testing::AssertionFailure() << "cannot write .po";
  file.write(po.data(), static_cast<qint64>(po.size()));
  file.close();
  QProcess msgfmt;
  msgfmt.start(O5_MSGFMT, {"-o", dir + "/" + domain + ".mo", poPath});
  if (!msgfmt.waitForFinished(60000) || msgfmt.exitCode() != 0) {
    return ::testing::AssertionFailure()
           << "msgfmt failed: " << msgfmt.readAllStandardError().toStdString();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult WriteGermanCatalogs(const QString& localeDir, const QString& language) {
  if (auto r = WriteCatalog(localeDir, language, kPortDialogTextDomain, kGermanDialog); !r)
    return r;
  return WriteCatalog(localeDir, language, kDefaultTextDomain, kGermanErrors);
}

// Keeps an environment variable as it was before the test.
class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) value_ = v;
  }
  ~SavedVariable() {
    if (value_) {
      setenv(name_, value_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> value_;
};

struct DialogTexts {
  QString caption, group, labels, ok, cancel, parityItems;
};

DialogTexts TextsOfANewDialog() {
  TComSetupFrm form;
  DialogTexts t;
  t.caption = form.windowTitle();
  t.group = form.GroupBox1->title();
  for (QLabel* l : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5, form.Label6}) {
    t.labels += l->text() + "|";
  }
  t.ok = form.Button1->text();
  t.cancel = form.Button2->text();
  for (int i = 0; i < form.Combo5->count(); ++i) t.parityItems += form.Combo5->itemText(i) + "|";
  return t;
}

const QString kEnglishLabels = "Port|Baud rate|Data bits|Stop bits|Parity|Flow control|";
const QString kGermanLabels = "Schnittstelle|Baudrate|Datenbits|Stoppbits|Parität|Flusssteuerung|";
const QString kParityItems = "None|Odd|Even|Mark|Space|";

class TranslationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(O5_MSGFMT).empty()) GTEST_SKIP() << "msgfmt not found";
    ASSERT_TRUE(temp.isValid());
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
  }
  void TearDown() override {
    // Later tests of this process start from the folder beside the executable.
    SetUpTranslation(temp.path().toStdString() + "/nothing");
  }

  SavedVariable lang{"LANG"};
  SavedVariable language{"LANGUAGE"};
  SavedVariable all{"LC_ALL"};
  SavedVariable messages{"LC_MESSAGES"};
  QTemporaryDir temp;
};

TEST(LanguageListTest, FullLanguageThenItsFirstTwoLetters) {
  EXPECT_EQ(LanguageListOfLocale("de_AT.UTF-8"), "de_AT.UTF-8:de");
  EXPECT_EQ(LanguageListOfLocale("ru_RU"), "ru_RU:ru");
  EXPECT_EQ(LanguageListOfLocale("de"), "de");
  for (const char* none : {"", "C", "POSIX", "C.UTF-8", "C.utf8"}) {
    EXPECT_EQ(LanguageListOfLocale(none), "") << none;
  }
}

// As the C library chooses: LANGUAGE, then LC_ALL, LC_MESSAGES and LANG,
// LANGUAGE counting wherever the locale of messages is not the plain C
// locale; its C.UTF-8 is not.
TEST(LanguageListTest, TheLocaleVariablesInGettextsOrder) {
  const auto list = [](const char* language, const char* all, const char* messages, const char* lang) {
    return LanguageList({language, all, messages, lang});
  };
  EXPECT_EQ(list("", "", "", "ru_RU.UTF-8"), "ru_RU.UTF-8:ru");
  EXPECT_EQ(list("", "ru_RU.UTF-8", "", "en_US.UTF-8"), "ru_RU.UTF-8:ru");
  EXPECT_EQ(list("", "", "ru_RU.UTF-8", "en_US.UTF-8"), "ru_RU.UTF-8:ru");
  EXPECT_EQ(list("", "en_US.UTF-8", "ru_RU.UTF-8", "ru_RU.UTF-8"), "en_US.UTF-8:en");
  EXPECT_EQ(list("", "C", "", "ru_RU.UTF-8"), "");
  EXPECT_EQ(list("", "", "C.UTF-8", "ru_RU.UTF-8"), "");
  EXPECT_EQ(list("de:ru", "", "", "ru_RU.UTF-8"), "de:ru");
  EXPECT_EQ(list("ru", "en_US.UTF-8", "", ""), "ru");
  // The plain C locale of messages ignores LANGUAGE, C.UTF-8 does not.
  EXPECT_EQ(list("ru", "", "", ""), "");
  EXPECT_EQ(list("ru", "POSIX", "", "ru_RU.UTF-8"), "");
  EXPECT_EQ(list("ru", "C", "", "C.UTF-8"), "");
  EXPECT_EQ(list("ru", "", "", "C.ISO-8859-1"), "");
  EXPECT_EQ(list("ru", "", "", "C@euro"), "");
  EXPECT_EQ(list("ru", "", "", "C.UTF-8"), "ru");
  EXPECT_EQ(list("ru", "", "C.utf8", "de_DE.UTF-8"), "ru");
  EXPECT_EQ(list("", "", "", "C.UTF-8"), "");
  EXPECT_EQ(MessagesLocale({"", "", "de_DE", "ru_RU"}), "de_DE");
}

// The tool's own texts: the first of English and Russian in the same list,
// Russian, the language they are written in, when it names neither.
TEST(ToolLanguageTest, EnglishWhereTheListSaysEnglishRussianElsewhere) {
  const struct {
    LocaleVariables variables;
    const char* language;
  } cases[] = {
      {{"", "", "", "en_US.UTF-8"}, "en"},
      {{"", "", "", "en_GB"}, "en"},
      {{"", "", "", "ru_RU.UTF-8"}, "ru"},
      {{"", "", "", "C.UTF-8"}, "ru"},
      {{"", "", "", ""}, "ru"},
      {{"", "", "", "de_DE.UTF-8"}, "ru"},
      {{"de:en", "", "", "de_DE.UTF-8"}, "en"},
      {{"ru:en", "", "", "en_US.UTF-8"}, "ru"},
      {{"en", "", "", "C"}, "ru"},
      {{"en", "", "", "C.UTF-8"}, "en"},
      {{"", "en_US.UTF-8", "", "ru_RU.UTF-8"}, "en"},
      {{"", "", "ru_RU.UTF-8", "en_US.UTF-8"}, "ru"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ToolLanguage(c.variables), c.language)
        << c.variables.language << "|" << c.variables.lcAll << "|" << c.variables.lcMessages << "|"
        << c.variables.lang;
}

TEST(DomainTextTest, EmptyTextIsNotLookedUp) {
  // gettext answers "" with the catalog's header.
  EXPECT_EQ(DomainText(kDefaultTextDomain, ""), "");
}

TEST_F(TranslationTest, WithoutACatalogTextsStayAsWritten) {
  setenv("LANG", "de_DE.UTF-8", 1);
  SetUpTranslation(temp.path().toStdString() + "/locale");
  const DialogTexts t = TextsOfANewDialog();
  EXPECT_EQ(t.caption, "Setup");
  EXPECT_EQ(t.group, " Settings ");
  EXPECT_EQ(t.labels, kEnglishLabels);
  EXPECT_EQ(t.ok, "OK");
  EXPECT_EQ(t.cancel, "Cancel");
  EXPECT_EQ(ComErrorText(1), "Unable to open com port");
  EXPECT_STREQ(EComPort(1, 2).what(), "Unable to open com port (win error code: 2)");
}

// The catalogs the tool comes with are compiled beside the executables.
TEST_F(TranslationTest, DefaultFolderIsBesideTheExecutable) {
  SetUpTranslation();
  const std::string expected = ExecutableDirectory() + "/locale";
  for (const char* domain : {kDefaultTextDomain, kPortDialogTextDomain})
    EXPECT_TRUE(QFile::exists(QString::fromStdString(expected + "/ru/LC_MESSAGES/" + domain + ".mo"))) << domain;
  EXPECT_EQ(std::string(bindtextdomain(kDefaultTextDomain, nullptr)), expected);
  EXPECT_EQ(std::string(bindtextdomain(kPortDialogTextDomain, nullptr)), expected);
  EXPECT_STREQ(textdomain(nullptr), "default");
}

TEST_F(TranslationTest, CatalogTranslatesTheDialogAndTheErrorTexts) {
  const QString locale = temp.path() + "/locale";
  ASSERT_TRUE(WriteGermanCatalogs(locale, "de_DE"));
  setenv("LANG", "de_DE.UTF-8", 1);
  SetUpTranslation(locale.toStdString());

  const DialogTexts t = TextsOfANewDialog();
  EXPECT_EQ(t.caption, "Einstellungen");
  EXPECT_EQ(t.group, " Parameter ");
  EXPECT_EQ(t.labels, kGermanLabels);
  EXPECT_EQ(t.ok, "Übernehmen");
  EXPECT_EQ(t.cancel, "Abbrechen");
  EXPECT_EQ(t.parityItems, kParityItems);
  EXPECT_EQ(ComErrorText(1), "Schnittstelle lässt sich nicht öffnen");
  EXPECT_STREQ(EComPort(1, 2).what(), "Schnittstelle lässt sich nicht öffnen (Systemfehler: 2)");
  EXPECT_STREQ(EComPort(23).what(), "Fehler der Geräteliste");
}

TEST_F(TranslationTest, FirstTwoLettersWhenTheFullLanguageHasNoCatalog) {
  const QString locale = temp.path() + "/locale";
  ASSERT_TRUE(WriteGermanCatalogs(locale, "de"));
  setenv("LANG", "de_AT.UTF-8", 1);
  SetUpTranslation(locale.toStdString());
  EXPECT_EQ(TextsOfANewDialog().caption, "Einstellungen");
}

TEST_F(TranslationTest, FullLanguageComesFirst) {
  const QString locale = temp.path() + "/locale";
  ASSERT_TRUE(WriteGermanCatalogs(locale, "de"));
  ASSERT_TRUE(WriteCatalog(locale, "de_CH", kPortDialogTextDomain, {{"Setup", "Einrichtung"}}));
  setenv("LANG", "de_CH.UTF-8", 1);
  SetUpTranslation(locale.toStdString());
  EXPECT_EQ(TextsOfANewDialog().caption, "Einrichtung");
}

TEST_F(TranslationTest, DialogIsTranslatedEachTimeItIsCreated) {
  const QString german = temp.path() + "/german";
  ASSERT_TRUE(WriteGermanCatalogs(german, "de"));
  setenv("LANG", "de_DE.UTF-8", 1);
  SetUpTranslation(temp.path().toStdString() + "/empty");
  EXPECT_EQ(TextsOfANewDialog().ok, "OK");
  bindtextdomain(kPortDialogTextDomain, german.toStdString().c_str());
  EXPECT_EQ(TextsOfANewDialog().ok, "Übernehmen");
}

using Variables = std::map<QString, QString>;
const Variables kGermanLang = {{"LANG", "de_DE.UTF-8"}};

// The real start-up: a copy of this program in `folder`, run with these
// locale variables (the others unset) for a language whose locale is not
// installed (the messages category is then "C", which would make gettext
// ignore every catalog); it checks that it translates into German, or that
// it leaves every text as written. `output` gets what it printed.
void RunTranslatingCopyIn(const QString& folder, const Variables& variables = kGermanLang,
                          bool german = true, QString* output = nullptr) {
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString copy = folder + "/comui_translation_child";
  if (!QFile::exists(copy)) {
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
  }

  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) env.remove(name);
  std::string described;
  for (const auto& [name, value] : variables) {
    env.insert(name, value);
    described += (name + "=" + value + " ").toStdString();
  }
  env.insert("O5_TRANSLATION_CHILD", german ? "de" : "as-written");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(copy, {"--gtest_filter=TranslationChild.*"});
  ASSERT_TRUE(child.waitForFinished(120000));
  const QString printed = QString::fromUtf8(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << described << "\n" << printed.toStdString();
  EXPECT_TRUE(printed.contains("[  PASSED  ] 1 test")) << described << "\n" << printed.toStdString();
  if (output) *output = printed;
}

TEST_F(TranslationTest, CatalogBesideTheExecutable) {
  const QString bin = temp.path() + "/bin";
  ASSERT_TRUE(WriteGermanCatalogs(bin + "/locale", "de"));
  RunTranslatingCopyIn(bin);
}

// The language follows gettext's order of the locale variables, the same
// whether or not the locale is installed: LC_ALL before LANG, LANGUAGE first,
// also with the C library's C.UTF-8, though not with the plain C locale.
TEST_F(TranslationTest, TheLanguageOfLcAllOrLanguageBeforeLang) {
  const QString bin = temp.path() + "/bin";
  ASSERT_TRUE(WriteGermanCatalogs(bin + "/locale", "de"));
  RunTranslatingCopyIn(bin, {{"LANG", "en_US.UTF-8"}, {"LC_ALL", "de_DE.UTF-8"}});
  RunTranslatingCopyIn(bin, {{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}});
  RunTranslatingCopyIn(bin, {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de"}});
  RunTranslatingCopyIn(bin, {{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}});
  RunTranslatingCopyIn(bin, {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "en_US.UTF-8"}}, false);
  RunTranslatingCopyIn(bin, {{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C"}, {"LANGUAGE", "de"}}, false);
}

// A catalog that gettext passes over (here cut short, as a build writing it
// in place would leave it for a moment) is named on standard error, instead
// of the texts staying English without a word.
TEST_F(TranslationTest, ACatalogThatCannotBeReadIsReported) {
  const QString bin = temp.path() + "/bin";
  ASSERT_TRUE(WriteGermanCatalogs(bin + "/locale", "de"));
  for (const char* domain : {kDefaultTextDomain, kPortDialogTextDomain})
    ASSERT_TRUE(QFile::resize(bin + "/locale/de/LC_MESSAGES/" + domain + ".mo", 12));
  QString output;
  RunTranslatingCopyIn(bin, kGermanLang, false, &output);
  for (const char* domain : {kDefaultTextDomain, kPortDialogTextDomain}) {
    EXPECT_TRUE(output.contains(QString::fromUtf8("ortan5: каталог перевода ") + bin + "/locale/de/LC_MESSAGES/" +
                                domain + QString::fromUtf8(".mo не читается")))
        << output.toStdString();
  }
}

// Installed, the tool lives in <prefix>/lib/ortan5 and its catalogs in its
// own data folder <prefix>/share/ortan5/locale.
TEST_F(TranslationTest, CatalogOfAnInstalledToolInItsOwnDataFolder) {
  ASSERT_TRUE(WriteGermanCatalogs(temp.path() + "/usr/share/ortan5/locale", "de"));
  RunTranslatingCopyIn(temp.path() + "/usr/lib/ortan5");
}

// Catalogs of the same generic domains in the system's locale folder belong
// to other programs: the tool never reads them.
TEST_F(TranslationTest, NeverTheSystemsLocaleFolder) {
  ASSERT_TRUE(WriteGermanCatalogs(temp.path() + "/usr/share/locale", "de"));
  RunTranslatingCopyIn(temp.path() + "/usr/lib/ortan5", kGermanLang, false);
}

TEST_F(TranslationTest, CatalogFolderBesideTheToolFirstThenItsOwnDataFolder) {
  const QString tool = temp.path() + "/usr/lib/ortan5";
  ASSERT_TRUE(QDir().mkpath(tool));
  ASSERT_TRUE(QDir().mkpath(temp.path() + "/usr/share/locale"));
  // Neither beside it nor in its own data folder: beside it all the same.
  EXPECT_EQ(CatalogDirectory(tool.toStdString()), (tool + "/locale").toStdString());
  ASSERT_TRUE(QDir().mkpath(temp.path() + "/usr/share/ortan5/locale"));
  EXPECT_EQ(CatalogDirectory(tool.toStdString()), (temp.path() + "/usr/share/ortan5/locale").toStdString());
  ASSERT_TRUE(QDir().mkpath(tool + "/locale"));
  EXPECT_EQ(CatalogDirectory(tool.toStdString()), (tool + "/locale").toStdString());
}

// The system's reason in a file error speaks the user's language, in UTF-8,
// chosen by the same variables as the port's texts. Run where that locale is
// not installed, the tool's start leaves the process's character set plain
// ASCII, which would spell the C library's Russian text in Latin letters. A
// locale folder of its own (empty) makes the C library pass over the locales
// generated into its archive, so that the locale is missing there too.
TEST(SystemReasonTest, FileErrorsGiveTheReasonInTheUsersLanguage) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QString locales = temp.path() + "/locales";
  ASSERT_TRUE(QDir().mkpath(locales));

  const std::vector<std::vector<std::pair<QString, QString>>> runs = {
      {{"LANG", "ru_RU.UTF-8"}, {"LOCPATH", locales}},
      {{"LANG", "en_US.UTF-8"}, {"LC_ALL", "ru_RU.UTF-8"}, {"LOCPATH", locales}},
      {{"LANG", "en_US.UTF-8"}, {"LC_ALL", "ru_RU.UTF-8"}},
      {{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}},
      // English where the variables choose it.
      {{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "C"}, {"O5_REASON_ENGLISH", "1"}},
      {{"LANG", "ru_RU.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}, {"O5_REASON_ENGLISH", "1"}},
  };
  for (const auto& variables : runs) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG", "LOCPATH", "O5_REASON_ENGLISH"})
      env.remove(name);
    QString described;
    for (const auto& [name, value] : variables) {
      env.insert(name, value);
      described += name + "=" + value + " ";
    }
    env.insert("O5_REASON_CHILD", temp.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SystemReasonChild.*"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << described.toStdString() << "\n" << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << described.toStdString() << "\n" << output.toStdString();
  }
}

TEST(SystemReasonChild, ReasonsInTheChosenLanguage) {
  const char* folder = std::getenv("O5_REASON_CHILD");
  if (!folder) GTEST_SKIP() << "run by FileErrorsGiveTheReasonInTheUsersLanguage";
  const bool english = std::getenv("O5_REASON_ENGLISH") != nullptr;
  SetUpTranslation();
  EXPECT_EQ(SystemReason(EACCES), english ? "Permission denied" : "Отказано в доступе");
  const std::string path = std::string(folder) + "/нет/журнал.csv";
  try {
    SaveUserFile(path, "x");
    ADD_FAILURE() << "saved";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Не удалось сохранить файл \"" + path + "\": " +
                                         (english ? "No such file or directory" : "Нет такого файла или каталога"));
  }
}

TEST(TranslationChild, TranslatesFromTheFolderBesideItself) {
  const char* expected = std::getenv("O5_TRANSLATION_CHILD");
  if (!expected) GTEST_SKIP() << "run by RunTranslatingCopyIn";
  SetUpTranslation();
  const DialogTexts t = TextsOfANewDialog();
  if (std::string(expected) == "de") {
    EXPECT_EQ(t.caption, "Einstellungen");
    EXPECT_EQ(t.labels, kGermanLabels);
    EXPECT_STREQ(EComPort(1, 13).what(), "Schnittstelle lässt sich nicht öffnen (Systemfehler: 13)");
  } else {
    EXPECT_EQ(t.caption, "Setup");
    EXPECT_EQ(t.labels, kEnglishLabels);
    EXPECT_STREQ(EComPort(1, 13).what(), "Unable to open com port (win error code: 13)");
  }
  EXPECT_EQ(t.parityItems, kParityItems);
}

}  // namespace
}  // namespace o5
