// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's other windows and dialogs, each with real content, and the
// documents it makes for a person, in another language than the one their
// texts are written in. With the English catalog none keeps a Russian word
// but the heater's own data and what the tool writes for itself, and every
// caption has room for its English text; under the pseudo-language every
// Russian text carries the mark: none bypasses translation.

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTreeWidget>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/ErrorDisplay.h"
#include "app/ToolTranslation.h"
#include "archive/ArchiveNames.h"
#include "archive/JournalRuns.h"
#include "archive/DataFolder.h"
#include "archive/ReadoutArchive.h"
#include "archive/VisitAct.h"
#include "archive/VisitRuns.h"
#include "chart/ChartModel.h"
#include "chart/ChartReadout.h"
#include "chart/NumberText.h"
#include "heater/BlackBoxExport.h"
#include "heater/BlackBoxReport.h"
#include "heater/CsvText.h"
#include "heater/FaultLegend.h"
#include "heater/ModeNames.h"
#include "heater/RecordLog.h"
#include "heater/RunSummary.h"
#include "heater/SessionEvents.h"
#include "link/ComSetupFrm.h"
#include "remote/RemoteFormat.h"
#include "settings/SettingsFile.h"
#include "settings/UserFile.h"
#include "tests/support/ReportFiles.h"
#include "tests/support/VisitJournals.h"
#include "tests/texts/CaptionChecks.h"
#include "tests/texts/PseudoTranslator.h"
#include "tests/texts/SessionNotes.h"
#include "tests/texts/ShownTexts.h"
#include "tests/texts/TextsFixture.h"
#include "ui/blackbox/TfBB.h"
#include "ui/graph/GraphSeries.h"
#include "ui/graph/RunListDialog.h"
#include "ui/graph/TfGraph.h"
#include "ui/graph/TfRunSummary.h"
#include "ui/help/HelpWindow.h"
#include "ui/history/TfHistory.h"
#include "ui/remote/TRemoteSetupDlg.h"
#include "ui/remote/TfWorkshop.h"
#include "ui/visit/VisitActDialog.h"
#include "ui/visit/VisitActPrint.h"

namespace o5::test {
namespace {

constexpr uint32_t kSerial = 658188;
const LocalTime kMorning{2026, 12, 8, 9, 58, 27};
// What the workshop writes into the act: its own words, in any language.
const VisitActFields kFields{"Service North, bay 2", "J. Smith", "Transit AB123", "Heater in order."};

void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}


VisitActBlackBox BlackBox() {
  return {LivedBlackBox(3), "08.12.2026 12:10:00", BlackBoxEarlier{LivedBlackBox(), "07.11.2026 10:00"}};
}

// The texts of `window` ShownTexts leaves out: the header and the rows of
// every list with a model (a tree view, a list widget) and the text of a
// rich text pane.
std::vector<ShownText> ViewTexts(QWidget* window) {
  std::vector<ShownText> texts;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* w : widgets) {
    const std::string name = w->objectName().toStdString();
    if (auto* e = qobject_cast<QTextEdit*>(w); e && !e->document()->isEmpty())
      texts.push_back({name + " document", e->toPlainText()});
    // A header is a view of its list's model too: the list gives its texts.
    auto* view = qobject_cast<QAbstractItemView*>(w);
    if (!view || !view->model() || qobject_cast<QHeaderView*>(w)) continue;
    const QAbstractItemModel* model = view->model();
    for (int column = 0; column < model->columnCount(); ++column)
      texts.push_back({name + " column", model->headerData(column, Qt::Horizontal).toString()});
    for (int row = 0; row < model->rowCount(); ++row)
      for (int column = 0; column < model->columnCount(); ++column) {
        const QModelIndex index = model->index(row, column);
        const std::string where = name + " cell " + std::to_string(row) + "," + std::to_string(column);
        texts.push_back({where, index.data(Qt::DisplayRole).toString()});
        texts.push_back({where + " tooltip", index.data(Qt::ToolTipRole).toString()});
      }
  }
  std::erase_if(texts, [](const ShownText& t) { return t.text.isEmpty(); });
  return texts;
}

enum class Language { kEnglish, kPseudo };
struct DialogCase {
  Language language;
  const char* window;
};

std::string DialogCaseName(const ::testing::TestParamInfo<DialogCase>& info) {
  return std::string(info.param.language == Language::kEnglish ? "English_" : "Pseudo_") + info.param.window;
}

// The windows built with the tool's catalog or the pseudo-language installed
// first, as start-up installs the catalog before it builds them, over a data
// folder with a heater's readout and the sessions of its visit.
class DialogLanguageFixture : public TextsFixture {
 protected:
  void InstallLanguage(Language language) {
    language_ = language;
    if (language == Language::kEnglish) {
      // As start-up has the C library speak the tool's language: the
      // reasons it gives for a failed file or connection are English too.
      SetEnvironment({{"LANGUAGE", "en"}});
      ASSERT_TRUE(InstallToolTranslation(O5_TEST_CATALOG_DIR, "en"));
    } else {
      // The cores' texts go through the application's translators too.
      InstallToolTranslation(std::string(), "none");
      QCoreApplication::installTranslator(&pseudo_);
    }
  }
  void SetUp() override {
    ASSERT_TRUE(data_.isValid());
    TextsFixture::SetUp();
    std::ofstream(SettingsDir().toStdString() + "/config.ini")
        << "[Options]\nDataDir=" << data_.path().toStdString() << "\n";
    ReadoutArchive(DataFolder{data_.path().toStdString()}).Keep(LivedBlackBox(3), {2026, 12, 8, 12, 10, 0});
    QDir().mkpath(data_.filePath("sessions"));
    journal_ = Keep(kMorning, kSerial, {{300}, {400, 13, 60, 45}});
    Keep({2026, 12, 8, 11, 0, 0}, kSerial, {{500}});
    Keep({2026, 12, 7, 15, 0, 0}, std::nullopt, {{200}});
  }
  void TearDown() override {
    // The last change first: a variable set twice gets its first value back.
    for (auto it = savedEnvironment_.rbegin(); it != savedEnvironment_.rend(); ++it)
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    SetRunChooser({});
    windows_.clear();
    TextsFixture::TearDown();
    QCoreApplication::removeTranslator(&pseudo_);
    // Back to the texts as written for the tests that follow.
    InstallToolTranslation(std::string(), "none");
  }

  std::string Sessions() const { return data_.filePath("sessions").toStdString(); }
  // Writes a session's journal and timeline as the tool names them.
  std::string Keep(const LocalTime& opened, std::optional<uint32_t> serial, const std::vector<PlannedRun>& runs) {
    const WrittenSession s = WriteSession(opened, runs);
    const JournalName name{opened, serial};
    const std::string path = Sessions() + "/" + JournalFileName(name);
    Write(path, s.journal);
    Write(Sessions() + "/" + TimelineFileName(name), s.timeline);
    return path;
  }
  std::string JournalText() const { return LoadUserFile(journal_, 1u << 26); }

  // The graph window with the visit's faulty run charted again from its
  // journal.
  void ChartTheFaultyRun() {
    SetRunChooser([](QWidget*, const RecordLog& log) -> std::optional<std::size_t> { return log.RunCount() - 1; });
    fGraph->OpenRecordLog(QString::fromStdString(journal_));
    ASSERT_NE(fGraph->ChartedRun(), nullptr);
  }

  // A window the test owns, deleted before the tool's windows.
  template <typename Window>
  Window* Own(Window* window) {
    windows_.emplace_back(window);
    return window;
  }

  // The window or dialog of the case, built with its content.
  QWidget* Build(const std::string& name) {
    if (name == "history") {
      auto* history = Own(new TfHistory([](const QString&) {}, [](const QString&) {}));
      history->Open();
      // The visit's first session, its timeline listed.
      if (QTreeWidgetItem* session = history->tvSessions->topLevelItem(history->tvSessions->topLevelItemCount() - 1))
        history->tvSessions->setCurrentItem(session);
      return history;
    }
    if (name == "runs") {
      log_ = std::make_unique<RecordLog>(JournalText());
      GiveRunClocks(journal_, *log_);
      return Own(new RunListDialog(*log_));
    }
    if (name == "summary") {
      ChartTheFaultyRun();
      fGraph->aRunSummaryExecute();
      return fGraph->fRunSummary;
    }
    if (name == "workshop") {
      BrokerSettings broker;
      broker.address = {false, "127.0.0.1", 1};
      broker.workshop = "w1";
      auto* workshop = Own(new TfWorkshop(broker));
      workshop->TakeMessage(QByteArray::fromStdString(BenchTopic("w1", "b1", kStatusLeaf)),
                            QByteArray::fromStdString(StatusOnlinePayload("s1", kSerial, "tool")));
      // A record of the faulty run's warm-up, in fault 13.
      const QStringList lines = QString::fromStdString(JournalText()).split("\r\n");
      const std::string line = lines.value(5 + 301 + 20 + 70).toStdString();
      workshop->TakeMessage(QByteArray::fromStdString(BenchTopic("w1", "b1", kRecordsLeaf)),
                            QByteArray::fromStdString(RecordPayload("s1", 1, line)));
      EXPECT_EQ(workshop->sgBenches->rowCount(), 1);
      return workshop;
    }
    if (name == "remote") {
      auto* dialog = Own(new TRemoteSetupDlg(SettingsFile()));
      // An address the dialog cannot use: its test says why.
      dialog->edBroker->setText("broker");
      dialog->bTestClick();
      EXPECT_FALSE(dialog->lTest->text().isEmpty());
      return dialog;
    }
    if (name == "act") {
      VisitActSource source{GatherVisit(Sessions(), kSerial, kMorning), BlackBox(), kSerial, kMorning};
      auto* dialog = Own(new TfVisitAct(std::move(source)));
      dialog->edWorkshop->setText(QString::fromStdString(kFields.workshop));
      return dialog;
    }
    if (name == "port") return Own(new TComSetupFrm);
    if (name == "help") {
      // The manual in the tool's language: the desktop's language decides,
      // as it decides the catalog.
      if (language_ == Language::kEnglish) SetEnvironment({{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "en"}});
      help_ = std::make_unique<THelpWindow>();
      help_->ShowSection({});
      if (language_ == Language::kEnglish) {
        EXPECT_EQ(help_->Text->source().fileName(), "manual.en.html");
      }
      return help_.get();
    }
    if (name == "about") {
      help_ = std::make_unique<THelpWindow>();
      help_->bAboutClick();
      return help_->AboutBox;
    }
    ADD_FAILURE() << "no window " << name;
    return nullptr;
  }

  // Sets the variables until the test ends.
  void SetEnvironment(std::initializer_list<std::pair<std::string, std::string>> variables) {
    for (const auto& [name, value] : variables) {
      const char* old = std::getenv(name.c_str());
      savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      setenv(name.c_str(), value.c_str(), 1);
    }
  }

  Language language_ = Language::kEnglish;
  std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
  QTemporaryDir data_;
  std::string journal_;
  std::unique_ptr<RecordLog> log_;
  std::unique_ptr<THelpWindow> help_;
  std::vector<std::unique_ptr<QWidget>> windows_;
  PseudoTranslator pseudo_;
};

// `text` without the C library's reasons for a failed file or connection.
// Start-up has the library speak the tool's language before it looks any
// reason up; a test process may have had it look one up in the desktop's
// Russian before, and the library keeps what it looked up.
QString WithoutSystemReasons(QString text) {
  for (int error : {ENOENT, ENOTDIR, EACCES, EISDIR, ECONNREFUSED}) {
    text.remove(QString::fromStdString(SystemReason(error)));
    text.remove(QString::fromLocal8Bit(std::strerror(error)));
  }
  return text;
}

// The texts a window shows that are no text of the tool's: the heater's own
// data and what the tool writes for itself, shown as written.
bool ShownAsWritten(Language language, const std::string& window, const ShownText& t) {
  // The events of a session's timeline are written into its file as they
  // happen, in the language they are written in: the history lists them as
  // read.
  if (window == "history" && t.where.starts_with("tvEvents cell") && t.where.ends_with(",1")) return true;
  // The manual is a document of its own in each language, not a text of the
  // catalog: the pseudo-language has none, and the Russian one is shown.
  if (language == Language::kPseudo && window == "help" && t.where.ends_with(" document")) return true;
  return false;
}

class DialogLanguageTest : public DialogLanguageFixture, public ::testing::WithParamInterface<DialogCase> {
 protected:
  void SetUp() override {
    InstallLanguage(GetParam().language);
    DialogLanguageFixture::SetUp();
  }
};

TEST_P(DialogLanguageTest, EveryTextIsInTheLanguage) {
  const std::string name = GetParam().window;
  QWidget* window = Build(name);
  ASSERT_NE(window, nullptr);
  ShowAndSettle(window);
  std::vector<ShownText> texts = ShownTexts(window);
  for (ShownText& t : ViewTexts(window)) texts.push_back(std::move(t));
  int russian = 0;
  for (const ShownText& t : texts) {
    if (ShownAsWritten(GetParam().language, name, t)) continue;
    if (GetParam().language == Language::kEnglish) {
      EXPECT_FALSE(HasRussian(WithoutSystemReasons(t.text))) << t.where << ": \"" << t.text.toStdString() << "\"";
    } else if (HasRussian(t.text)) {
      EXPECT_TRUE(t.text.contains(kPseudoOpen))
          << t.where << " bypasses translation: \"" << t.text.toStdString() << "\"";
    }
    russian += HasRussian(t.text);
  }
  EXPECT_GE(texts.size(), 3u);
  if (GetParam().language == Language::kPseudo) {
    // The port's dialog speaks the port layer's English, which its own
    // catalogs translate.
    if (name != "port") {
      EXPECT_GE(russian, 1);
    }
  }
  // Each caption has room for its text, in English and in a language a
  // third longer than Russian.
  EXPECT_GE(CheckWindow(window), 1);
  window->close();
}

#define O5_DIALOGS(language)                                                                              \
  DialogCase{language, "history"}, DialogCase{language, "runs"}, DialogCase{language, "summary"},         \
      DialogCase{language, "workshop"}, DialogCase{language, "remote"}, DialogCase{language, "act"},      \
      DialogCase{language, "port"}, DialogCase{language, "help"}, DialogCase{language, "about"}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogLanguageTest,
                         ::testing::Values(O5_DIALOGS(Language::kEnglish), O5_DIALOGS(Language::kPseudo)),
                         DialogCaseName);

class EnglishDocumentsTest : public DialogLanguageFixture {
 protected:
  void SetUp() override {
    InstallLanguage(Language::kEnglish);
    DialogLanguageFixture::SetUp();
  }
};

// Lines with a Russian word, for the failure message.
std::string RussianLines(const QString& text) {
  std::string found;
  for (const QString& line : text.split('\n'))
    if (HasRussian(line)) found += line.toStdString() + "\n";
  return found;
}

// The act of the visit as its page says it, read back from the PDF as a
// customer would read it.
TEST_F(EnglishDocumentsTest, VisitActPageHasNoRussianWord) {
  const Visit visit = GatherVisit(Sessions(), kSerial, kMorning);
  ASSERT_EQ(visit.runs.size(), 3u);
  std::vector<const VisitRun*> runs;
  for (const VisitRun& run : visit.runs) runs.push_back(&run);
  const VisitActContent act =
      MakeVisitAct(kFields, kMorning, runs, {1, 2, 3}, DefaultChartRun(visit.runs), BlackBox(), visit.firmware, kSerial);
  const QString pdf = data_.filePath("act.pdf");
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(VisitActPdf(act, &visit.runs[1]));
  file.close();
  const QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains("Service North")) << text.toStdString();
  EXPECT_TRUE(text.contains("Ortan 5")) << text.toStdString();
  EXPECT_EQ(RussianLines(text), "");
}

// The run summary, the graph's CSV header, the picture's title and the line
// above the chart, for the run charted again from its journal.
TEST_F(EnglishDocumentsTest, RunSummaryAndGraphFilesHaveNoRussianWord) {
  ChartTheFaultyRun();
  const SessionRun* run = fGraph->ChartedRun();
  ASSERT_NE(run, nullptr);
  SeriesCaptions captions{};
  std::vector<std::string> names;
  for (int i = 0; i < series::kCount; ++i) names.push_back(GraphSeriesCaption(i).toStdString());
  for (int i = 0; i < series::kCount; ++i) captions[static_cast<std::size_t>(i)] = names[static_cast<std::size_t>(i)];
  QString summary;
  for (const std::string& line : RunSummaryLines(*run, captions)) summary += QString::fromStdString(line) + '\n';
  EXPECT_TRUE(summary.contains("13")) << summary.toStdString();
  EXPECT_EQ(RussianLines(summary), "");
  const QString csv = QString::fromStdString(fGraph->SeriesCsvText());
  const QString header = csv.section('\n', 0, 0);
  EXPECT_FALSE(header.isEmpty());
  EXPECT_EQ(RussianLines(header), "");
  EXPECT_EQ(RussianLines(fGraph->PictureTitle()), "");
  EXPECT_EQ(RussianLines(fGraph->ShownCaption()), "");
}

// Numbers a person reads take the decimal separator of the tool's language,
// whatever the desktop's C locale: a point in English (the readout, the
// summary, the act), the comma of the Russian texts without a catalog; the
// saved tables keep theirs.
TEST_F(EnglishDocumentsTest, NumbersTakeTheLanguagesDecimalSeparator) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  // An English desktop's locale where the system has it; the C locale else.
  std::setlocale(LC_ALL, "en_US.UTF-8");
  ChartModel m;
  m.SetName(0, GraphSeriesCaption(0).toStdString());
  m.AddPoint(0, 90, 45.1);
  for (int s = 0; s < ChartModel::kSeriesCount; ++s) m.SetVisible(s, s == 0);
  const std::vector<std::string> lines = ReadoutLines(m, ReadAt(m, 94.3), 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "t = 94.3 s");
  EXPECT_EQ(lines[1], GraphSeriesCaption(0).toStdString() + ": 45.1");
  EXPECT_FALSE(HasRussian(QString::fromStdString(lines[0] + lines[1])));
  const struct {
    std::string text;
    const char* english;
  } numbers[] = {
      {NumberText(-3.14159, 2), "-3.14"},
      {FixedNumberText(12, 1), "12.0"},
      {ShortestNumberText(0.1), "0.1"},
      {CsvNumber(12.5), "12,5"},
  };
  for (const auto& n : numbers) EXPECT_EQ(n.text, n.english);
  std::setlocale(LC_ALL, saved.c_str());
  InstallToolTranslation(std::string(), "none");
  EXPECT_EQ(NumberText(45.1, 1), "45,1");
  EXPECT_EQ(ReadoutLines(m, ReadAt(m, 94.3), 1)[0], "t = 94,3 с");
}

// The error display's messages of commands that fail, the C library's
// reasons in them included.
TEST_F(EnglishDocumentsTest, ErrorMessagesHaveNoRussianWord) {
  const std::string missing = data_.filePath("none/log.txt").toStdString();
  const std::string garbage = data_.filePath("garbage.txt").toStdString();
  Write(garbage, "not a record\r\n");
  const std::string broken = data_.filePath("BB_1.bin").toStdString();
  Write(broken, "broken");
  TfHistory history([](const QString&) {}, [](const QString&) {});
  const std::function<void()> failing[] = {
      [&] { fGraph->OpenRecordLog(QString::fromStdString(missing)); },
      [&] { fGraph->OpenRecordLog(QString::fromStdString(garbage)); },
      [&] { fGraph->SaveData(QString::fromStdString(missing)); },
      [&] { fBB->OpenImage(QString::fromStdString(broken)); },
      [&] { fBB->OpenImage(QString::fromStdString(missing)); },
      [&] {
        // A data folder that cannot be made: a file stands in its way.
        std::ofstream(SettingsDir().toStdString() + "/config.ini") << "[Options]\nDataDir=" << garbage << "/data\n";
        history.bOpenFolderClick();
      },
  };
  int shown = 0;
  for (const auto& command : failing) {
    try {
      command();
    } catch (const std::exception& e) {
      const QString text = ErrorDisplayText(e);
      EXPECT_FALSE(HasRussian(WithoutSystemReasons(text))) << text.toStdString();
      ++shown;
    }
  }
  for (const QString& text : TakeErrors()) {
    EXPECT_FALSE(HasRussian(WithoutSystemReasons(text))) << text.toStdString();
    ++shown;
  }
  EXPECT_EQ(shown, static_cast<int>(std::size(failing)));
}

// A line a person reads is one text of the catalog, so that a translator
// has the whole sentence and orders its words as the language needs. Under
// the pseudo-language such a line is one mark from its first character to
// its last, its numbers inside. Marks inside it are whole values filled into
// its placeholders: a name of the heater's tables (a fault's, each of a code
// that names several; a mode's, the ignition's, a counter's caption of the
// black box, a series' caption) or a
// quantity with its unit, which begins with its number ("45 с", "+9000 сек.").
// A list (the summary of a black box's changes) is its items, each one text,
// joined by ", " and ended by ".".
class WholeSentenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallToolTranslation(std::string(), "none");
    QCoreApplication::installTranslator(&pseudo_);
  }
  void TearDown() override {
    QCoreApplication::removeTranslator(&pseudo_);
    InstallToolTranslation(std::string(), "none");
  }

  // The marks directly inside the line's one outer mark; nothing when the
  // line is not one mark from its first character to its last.
  static std::optional<QStringList> InnerMarks(const QString& line) {
    if (!line.startsWith(kPseudoOpen) || !line.endsWith(kPseudoClose)) return std::nullopt;
    QStringList inner;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
      if (line.mid(i, 1) == kPseudoOpen) {
        if (depth == 1) start = i;
        ++depth;
      } else if (line.mid(i, 1) == kPseudoClose) {
        if (--depth == 1) inner.push_back(line.mid(start, i - start + 1));
        if (depth == 0 && i != line.size() - 1) return std::nullopt;
      }
    }
    if (depth != 0) return std::nullopt;
    return inner;
  }

  // The names a sentence may hold whole, as the pseudo-language gives them.
  QStringList Names(const SeriesCaptions& captions) const {
    QStringList names;
    // A code of several kinds names each: "9 свеча КЗ, 9 свеча обрыв".
    static const QRegularExpression mark(QStringLiteral("⟦[^⟦⟧]*⟧"));
    for (int code = 0; code < 256; ++code)
      for (const QRegularExpressionMatch& m : mark.globalMatch(QString::fromStdString(FaultCodeText(code))))
        names.push_back(m.captured());
    for (int mode = 0; mode < 256; ++mode) names.push_back(QString::fromStdString(ModeNameText(mode)));
    names.push_back(QString::fromStdString(Translate("SessionRuns", kIgnitionName.data())));
    for (int label = 0; label < BlackBoxReport::kLabelCount; ++label) {
      names.push_back(QString::fromStdString(HeaderPrefix(label)));
      names.push_back(QString::fromStdString(HeaderCaption(label)));
    }
    for (std::string_view caption : captions) names.push_back(QString::fromUtf8(caption.data(), caption.size()));
    return names;
  }

  // Why `line` is not one sentence; empty when it is.
  static QString Fault(const QString& line, const QStringList& names) {
    const std::optional<QStringList> inner = InnerMarks(line);
    if (!inner) return QStringLiteral("not one text");
    static const QRegularExpression quantity(QStringLiteral("^⟦[0-9+-]"));
    for (const QString& mark : *inner)
      if (!names.contains(mark) && !quantity.match(mark).hasMatch()) return QStringLiteral("pieces: ") + mark;
    return {};
  }

  test::PseudoTranslator pseudo_;
};

TEST_F(WholeSentenceTest, EachLineOfTheSummaryTheActAndTheSessionIsOneText) {
  std::vector<std::string> captionTexts;
  SeriesCaptions captions{};
  for (int i = 0; i < series::kCount; ++i)
    captionTexts.push_back(
        pseudo_.translate("GraphSeries", ("Ряд " + std::to_string(i)).c_str(), nullptr, -1).toStdString());
  for (int i = 0; i < series::kCount; ++i)
    captions[static_cast<std::size_t>(i)] = captionTexts[static_cast<std::size_t>(i)];
  const QStringList names = Names(captions);

  // Runs with every kind of line: seen from its start with faults of each
  // kind, found going on after its warm-up, and one without a start.
  const WallSeconds morning = WallSecondsOf(2026, 12, 8, 10, 0, 0);
  SessionRun seen;
  seen.start = morning;
  seen.length = 3725;
  seen.modes = {{1, 10, 1}, {3, 20, 1}, {4, 16, 1}, {21, 30, 1}, {22, 3600, 1}, {26, 49, 1}};
  seen.ignitionAttempts = 3;
  seen.warmUpAt = 46;
  seen.warmUpSeen = true;
  seen.lastMode = 26;
  seen.faults = {{13, 4, 60, morning + 60, 45},
                 {8, 22, 613, std::nullopt, 150},
                 {9, 22, 700, morning + 700, std::nullopt},
                 {5, 22, 800, std::nullopt, std::nullopt}};
  seen.ranges[series::kLiquidIn] = {true, 20, 81.5};
  seen.ranges[series::kVoltage] = {true, 118, 127};
  SessionRun found;
  found.start = morning;
  found.foundGoingOn = true;
  found.firstMode = 22;
  found.length = 99;
  found.modes = {{22, 99, 0}};
  found.lastMode = 22;
  SessionRun unclocked;
  unclocked.length = 40;
  unclocked.modes = {{1, 40, 1}};

  struct Text {
    std::string what;
    std::vector<std::string> lines;
  };
  std::vector<Text> texts;
  for (const SessionRun* run : {&seen, &found, &unclocked})
    texts.push_back({"summary", RunSummaryLines(*run, captions)});

  std::vector<VisitRun> visitRuns;
  for (const SessionRun* run : {&seen, &found, &unclocked}) visitRuns.push_back({"journal", 1, 1, *run, {}});
  const std::vector<const VisitRun*> runs{&visitRuns[0], &visitRuns[1], &visitRuns[2]};
  // An earlier readout with fewer starts, fewer hours and a record less:
  // every kind of change.
  VisitActBlackBox changed = BlackBox();
  changed.earlier->image[13] = 0;
  changed.earlier->image[48 + 16 * 2 + 1] = 0;
  for (const auto& [blackBox, firmware] :
       {std::pair{std::optional<VisitActBlackBox>(changed), std::string("4.2.7 - 1, 12.05.2025")},
        std::pair{std::optional<VisitActBlackBox>(), std::string()}}) {
    const VisitActContent act = MakeVisitAct(kFields, kMorning, runs, {1, 2, 3}, 0, blackBox, firmware, kSerial);
    std::vector<std::string> lines{act.title,       act.date,         act.heaterHeading,
                                   act.runsHeading, act.chartHeading, act.conclusionHeading};
    for (const auto* part : {&act.heater, &act.blackBox, &act.records, &act.modes})
      lines.insert(lines.end(), part->begin(), part->end());
    if (blackBox) {
      for (const std::string* heading : {&act.blackBoxHeading, &act.recordsHeading, &act.changesHeading})
        lines.push_back(*heading);
      // The changes: a list first, then a line for each.
      ASSERT_GE(act.changes.size(), 3u);
      EXPECT_TRUE(act.changes[0].ends_with("."));
      for (const QString& item : QString::fromStdString(act.changes[0]).chopped(1).split(", "))
        lines.push_back(item.toStdString());
      lines.insert(lines.end(), act.changes.begin() + 1, act.changes.end());
    }
    for (const VisitActRunText& run : act.runs) {
      lines.push_back(run.heading);
      lines.insert(lines.end(), run.lines.begin(), run.lines.end());
    }
    texts.push_back({blackBox ? "act" : "act without a black box", lines});
  }

  // Where a black box report came from, as its window and page say it.
  std::vector<std::string> sources;
  for (const BlackBoxSource::Kind kind :
       {BlackBoxSource::Kind::kHeater, BlackBoxSource::Kind::kArchive, BlackBoxSource::Kind::kFile}) {
    const BlackBoxSource source{kind, "08.12.2026 15:20:03", "BB_658188.bin"};
    sources.push_back(source.Line());
    sources.push_back(source.Text());
  }
  texts.push_back({"black box source", sources});

  // A session's notes as the main window has them kept.
  // Its console's version lines are a caption and the heater's own value.
  texts.push_back({"session", WholeSessionNotes(false)});

  ChartModel model;
  model.SetName(0, captionTexts[0]);
  model.AddPoint(0, 90, 45.1);
  model.AddPoint(0, 95, 46.1);
  for (int s = 0; s < ChartModel::kSeriesCount; ++s) model.SetVisible(s, s == 0);
  Readout readout = ReadAt(model, 94.3);
  readout.dt = 4.2;
  texts.push_back({"readout", {ReadoutLines(model, readout, 1)[0], ReadoutLines(model, readout, 1)[1]}});

  for (const Text& text : texts) {
    EXPECT_GE(text.lines.size(), 3u - (text.what == "readout" ? 1u : 0u)) << text.what;
    for (const std::string& line : text.lines) {
      if (line.empty()) continue;
      const QString shown = QString::fromStdString(line);
      EXPECT_EQ(Fault(shown, names).toStdString(), "") << text.what << ": " << line;
    }
  }
}

}  // namespace
}  // namespace o5::test
