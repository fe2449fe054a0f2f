// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping a black-box report: the context menu and shortcuts, the report saved
// as PDF and CSV and printed, the image saved and opened again, dropped files,
// and files that are not what they should be.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/ErrorDisplay.h"
#include "archive/ArchiveNames.h"
#include "heater/BlackBoxImage.h"
#include "settings/UserFile.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/ReportFiles.h"
#include "ui/AppTitle.h"
#include "ui/UserDialogs.h"
#include "ui/blackbox/BlackBoxPrint.h"
#include "ui/blackbox/TfBB.h"

namespace o5 {
namespace {

using test::AnswerFileDialogs;
using test::CsvRows;
using test::FileBytes;
using test::FileDialogRequests;
using test::PdfText;
using test::TakeErrors;

// Permission bits count only for an unprivileged user: a root test drops its
// effective identity for the block (for every thread of the process).
class AsUnprivileged {
 public:
  AsUnprivileged() : root_(::geteuid() == 0) {
    if (root_) {
      EXPECT_TRUE(::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
  }
  ~AsUnprivileged() {
    if (root_) {
      EXPECT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
    }
  }

 private:
  bool root_;
};

// Writes beyond `bytes` fail for the block as they do on a full disk (the
// process's file size limit, its signal ignored).
class FullDisk {
 public:
  explicit FullDisk(rlim_t bytes) {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &oldAction_), 0);
    EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old_), 0);
    struct rlimit limit = old_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FullDisk() {
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &old_), 0);
    EXPECT_EQ(::sigaction(SIGXFSZ, &oldAction_, nullptr), 0);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;

 private:
  struct rlimit old_ = {};
  struct sigaction oldAction_ = {};
};

// Runs `f` from the event loop, so that what it throws reaches the
// application's catch point and its error display, as a user's command does.
void Dispatch(std::function<void()> f) {
  QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
  QCoreApplication::processEvents();
}

BlackBoxBytes Pattern() {
  BlackBoxBytes image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 37 + 11);
  image[3] = 0x55;
  image[4] = 0x37;
  image[32] = 0x0C, image[33] = 0x0B, image[34] = 0x0A;  // serial number 658188
  return image;
}

QByteArray Bytes(const BlackBoxBytes& image) {
  return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
}

class KeepReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = BlackBoxImage;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(dir_.isValid());
    ::chmod(dir_.path().toLocal8Bit().constData(), 0777);
    test::ClearFileDialogs();
    TakeErrors();
  }
  void TearDown() override {
    BlackBoxImage = saved_;
    QLocale::setDefault(QLocale::c());
    test::ClearFileDialogs();
    SetPrintDialog({});
  }
  QString At(const QString& name) const { return dir_.filePath(name); }
  QStringList Labels(const TfBB& w) const {
    QStringList texts;
    for (const QLabel* l : {w.lDP, w.l1, w.l2, w.l3, w.l4, w.l5, w.l6, w.l7, w.l8, w.l9, w.l10, w.l11,
                            w.l12, w.l13, w.l14})
      texts << l->text();
    return texts;
  }
  static QStringList Cells(const TfBB& w) {
    QStringList texts;
    for (int r = 0; r < w.sgBB->rowCount(); ++r)
      for (int c = 0; c < w.sgBB->columnCount(); ++c) texts << w.sgBB->item(r, c)->text();
    return texts;
  }
  void ShowPattern(TfBB& w) {
    BlackBoxImage = Pattern();
    w.ShowReport();
  }
  void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  QTemporaryDir dir_;

 private:
  BlackBoxBytes saved_;
};

TEST_F(KeepReportTest, MenuHoldsTheCommandsInOrderAndThoseOfTheReportWaitForOne) {
  TfBB w;
  QStringList texts, keys;
  for (QAction* a : w.pmBB->actions())
    if (!a->isSeparator()) texts << a->text(), keys << a->shortcut().toString();
  EXPECT_EQ(texts,
            QStringList({"Сохранить отчёт…", "Печать…", "Сохранить образ…", "Открыть образ…", "Сравнить с…",
                         "История…", "Акт диагностики…"}));
  EXPECT_EQ(keys, QStringList({"Ctrl+S", "Ctrl+P", "Ctrl+Shift+S", "Ctrl+O", "Ctrl+D", "Ctrl+H", "Ctrl+Shift+A"}));
  // The same commands stand as buttons above the grid, in the same order,
  // each with its shortcut in its tooltip.
  QList<QAction*> buttons;
  for (const QToolButton* b : w.pCommands->findChildren<QToolButton*>()) {
    buttons << b->defaultAction();
    EXPECT_EQ(b->text(), b->defaultAction()->text());
    EXPECT_TRUE(b->toolTip().endsWith(" (" + b->defaultAction()->shortcut().toString() + ")"))
        << b->toolTip().toStdString();
  }
  QList<QAction*> menu = w.pmBB->actions();
  menu.removeIf([](const QAction* a) { return a->isSeparator(); });
  EXPECT_EQ(buttons, menu);
  EXPECT_LT(w.pCommands->geometry().bottom(), w.sgBB->geometry().top());
  for (QAction* a : w.pmBB->actions()) {
    if (a->isSeparator()) continue;
    EXPECT_TRUE(w.actions().contains(a));
    EXPECT_EQ(a->shortcutContext(), Qt::WindowShortcut);
  }
  EXPECT_FALSE(w.aSaveReport->isEnabled());
  EXPECT_FALSE(w.aPrint->isEnabled());
  EXPECT_FALSE(w.aSaveImage->isEnabled());
  EXPECT_FALSE(w.aCompare->isEnabled());
  EXPECT_FALSE(w.aVisitAct->isEnabled());
  EXPECT_TRUE(w.aOpenImage->isEnabled());
  ShowPattern(w);
  EXPECT_TRUE(w.aSaveReport->isEnabled() && w.aPrint->isEnabled() && w.aSaveImage->isEnabled() &&
              w.aCompare->isEnabled());

  // A right click on the grid or on the panel's labels brings up the menu.
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  for (QWidget* target : std::initializer_list<QWidget*>{w.sgBB->viewport(), w.l3, w.Panel1}) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(target, &event);
    EXPECT_TRUE(w.pmBB->isVisible()) << target->objectName().toStdString();
    w.pmBB->hide();
  }
}

TEST_F(KeepReportTest, ShortcutsAskForNamesOfTheReportInTheWorkingDirectoryThenInTheLastFolder) {
  // The dialogs start in the working directory until a file is chosen
  // elsewhere; an earlier test of this process may have chosen one.
  AnswerFileDialogs({QDir::current().filePath("any.bin")});
  AskOpenFileName(nullptr, "", "");
  test::ClearFileDialogs();
  TfBB w;
  ShowPattern(w);
  w.show();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  QTest::keyClick(w.sgBB, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(w.sgBB, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  AnswerFileDialogs({At("missing.bin")});
  QTest::keyClick(w.sgBB, Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(w.sgBB, Qt::Key_S, Qt::ControlModifier);
  const auto& asked = FileDialogRequests();
  ASSERT_EQ(asked.size(), 4);
  const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd");
  const QRegularExpression pdf("^BB_658188_" + stamp + "_\\d\\d-\\d\\d-\\d\\d\\.pdf$");
  EXPECT_TRUE(asked[0].save);
  EXPECT_EQ(QFileInfo(asked[0].path).absolutePath(), QDir::currentPath());
  EXPECT_TRUE(pdf.match(QFileInfo(asked[0].path).fileName()).hasMatch()) << asked[0].path.toStdString();
  EXPECT_TRUE(asked[1].save);
  EXPECT_EQ(QFileInfo(asked[1].path).completeBaseName(), QFileInfo(asked[0].path).completeBaseName());
  EXPECT_EQ(QFileInfo(asked[1].path).suffix(), "bin");
  EXPECT_FALSE(asked[2].save);
  EXPECT_EQ(asked[2].path, QDir::currentPath());
  // The folder of the file chosen last is where the next dialog starts.
  EXPECT_EQ(QFileInfo(asked[3].path).absolutePath(), dir_.path());
  // The missing file was reported once.
  EXPECT_EQ(TakeErrors().size(), 1);
}

TEST_F(KeepReportTest, ReportSavedAsPdfHoldsEveryTextOnOneLandscapePage) {
  TfBB w;
  ShowPattern(w);
  AnswerFileDialogs({At("report.pdf")});
  Dispatch([&] { w.aSaveReportExecute(); });
  EXPECT_TRUE(TakeErrors().isEmpty());
  const QString text = PdfText(At("report.pdf"));
  ASSERT_FALSE(text.isEmpty()) << "pdftotext could not read the file";
  // Words stay whole; cells are compared as the sequence of a row's fields.
  QString flat = text.simplified();
  EXPECT_TRUE(flat.contains("Черный ящик Ортан 5"));
  EXPECT_TRUE(flat.contains("Прочитан из отопителя " + QDate::currentDate().toString("dd.MM.yyyy")));
  EXPECT_TRUE(flat.contains("Серийный номер: 658188."));
  for (const QString& label : Labels(w)) EXPECT_TRUE(flat.contains(label)) << label.toStdString();
  EXPECT_EQ(test::RowsMissingFromPdf(text, *w.sgBB), QStringList());
  const QString info = test::PdfInfo(At("report.pdf"));
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts \\(A4\\)")))
      << info.toStdString();
}

// Compared with an earlier image, with thirteen codes and thirteen modes to
// explain: still one page, its words at least 8 pt (a word's box is about a
// seventh taller than its font's size), the text across most of its width.
TEST_F(KeepReportTest, ThePdfOfAReportWithChangesUsesItsPageAndKeepsToOne) {
  TfBB w;
  ShowPattern(w);
  BlackBoxBytes earlier = Pattern();
  for (int address : {6, 7, 8, 10, 12, 14, 18, 22, 26, 30}) earlier[static_cast<size_t>(address)] -= 3;
  earlier[48 + 16 * 3 + 2] ^= 0x0F;
  Write(At("earlier.bin"), Bytes(earlier));
  Dispatch([&] { w.CompareWith(At("earlier.bin")); });
  ASSERT_TRUE(w.Changes());
  ASSERT_GE(w.ReportPage().changes.size(), 10u);
  ASSERT_EQ(w.ReportPage().explanation.size(), 26u);
  AnswerFileDialogs({At("changes.pdf")});
  Dispatch([&] { w.aSaveReportExecute(); });
  EXPECT_TRUE(TakeErrors().isEmpty());

  const test::PdfWords words = test::PdfWordBoxes(At("changes.pdf"));
  ASSERT_FALSE(words.boxes.empty()) << "pdftotext could not read the file";
  EXPECT_EQ(words.pages, 1);
  EXPECT_GE(words.MedianHeight(), 8.8);
  EXPECT_GE(words.Span(), 0.8);
  const QString flat = PdfText(At("changes.pdf")).simplified();
  for (const std::string& line : w.ReportPage().changes)
    EXPECT_TRUE(flat.contains(QString::fromStdString(line))) << line;
}

TEST_F(KeepReportTest, ReportSavedAsCsvReadsBackAsTheLabelsAndTheGrid) {
  TfBB w;
  ShowPattern(w);
  // Once by the name's extension, once by the chosen filter (the name as it
  // stands).
  AnswerFileDialogs({At("report.csv")});
  Dispatch([&] { w.aSaveReportExecute(); });
  auto answer = SetFileDialog([&](FileDialogRequest& r) {
    r.selectedFilter = r.filter.split(";;").back();
    return At("table");
  });
  Dispatch([&] { w.aSaveReportExecute(); });
  SetFileDialog(answer);
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_EQ(FileBytes(At("report.csv")), FileBytes(At("table")));

  const QByteArray bytes = FileBytes(At("report.csv"));
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  const auto rows = CsvRows(bytes.mid(3).toStdString());
  // Where it came from and what made it, a row per label, the grid, then the
  // explanation of its codes and modes.
  ASSERT_GT(rows.size(), 32u);
  ASSERT_EQ(rows[0].size(), 2u);
  EXPECT_EQ(rows[0][0], "Прочитан из отопителя");
  EXPECT_EQ(rows[0][1], w.Source().time);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"Программа", kAppTitle}));
  EXPECT_EQ(rows[32], std::vector<std::string>{"Расшифровка"});
  // Each label is its row's caption and numbers: "Серийный номер: 658188."
  // is "Серийный номер;658188", a run time's seconds are its label's.
  QStringList labels;
  for (size_t i = 2; i < 17; ++i) {
    ASSERT_GE(rows[i].size(), 2u);
    const bool runTime = rows[i].size() == 5;
    if (runTime) {
      EXPECT_EQ(rows[i][2], "с");
      EXPECT_TRUE(QRegularExpression("^-?\\d+,\\d$").match(QString::fromStdString(rows[i][3])).hasMatch());
      EXPECT_EQ(rows[i][4], "ч");
    }
    QString label = QString::fromStdString(rows[i][0]) + (runTime ? " : " : ": ");
    for (size_t f = 1; f < (runTime ? 2 : rows[i].size()); ++f)
      label += (f > 1 ? ", " : "") + QString::fromStdString(rows[i][f]);
    labels << label;
  }
  for (const QString& shown : Labels(w))
    EXPECT_EQ(std::count_if(labels.begin(), labels.end(), [&](const QString& l) { return shown.startsWith(l); }), 1)
        << shown.toStdString();
  QStringList grid;
  for (size_t i = 17; i < 32; ++i) {
    ASSERT_EQ(rows[i].size(), 14u);
    for (const std::string& field : rows[i]) grid << QString::fromStdString(field);
  }
  EXPECT_EQ(grid, Cells(w));
}

TEST_F(KeepReportTest, PrintingDrawsThePdfsPage) {
  TfBB w;
  ShowPattern(w);
  SetPrintDialog([&](QPrinter& printer, QWidget* parent) {
    EXPECT_EQ(parent, &w);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(printer.docName().startsWith("BB_658188_")) << printer.docName().toStdString();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(At("printed.pdf"));
    return true;
  });
  Dispatch([&] { w.aPrintExecute(); });
  AnswerFileDialogs({At("saved.pdf")});
  Dispatch([&] { w.aSaveReportExecute(); });
  EXPECT_TRUE(TakeErrors().isEmpty());
  const QString printed = PdfText(At("printed.pdf"));
  EXPECT_TRUE(printed.contains("Серийный номер: 658188."));
  EXPECT_EQ(printed, PdfText(At("saved.pdf")));

  // Cancelled: nothing printed.
  SetPrintDialog([](QPrinter&, QWidget*) { return false; });
  QFile::remove(At("printed.pdf"));
  Dispatch([&] { w.aPrintExecute(); });
  EXPECT_FALSE(QFile::exists(At("printed.pdf")));
}

// The save dialogs add the extension themselves, before they ask whether to
// replace a file: a name given back without one is saved as it stands.
TEST_F(KeepReportTest, DialogsAddTheExtensionAndTheirAnswerIsUsedAsItStands) {
  TfBB w;
  ShowPattern(w);
  Write(At("report.pdf"), "old");
  Write(At("image.bin"), "old");
  AnswerFileDialogs({At("report"), At("image")});
  Dispatch([&] { w.aSaveReportExecute(); });
  Dispatch([&] { w.aSaveImageExecute(); });
  EXPECT_TRUE(TakeErrors().isEmpty());
  ASSERT_EQ(FileDialogRequests().size(), 2);
  EXPECT_EQ(FileDialogRequests()[0].defaultSuffix, "pdf");
  EXPECT_EQ(FileDialogRequests()[1].defaultSuffix, "bin");
  EXPECT_TRUE(FileBytes(At("report")).startsWith("%PDF-"));
  EXPECT_EQ(FileBytes(At("image")), Bytes(Pattern()));
  EXPECT_EQ(FileBytes(At("report.pdf")), "old");
  EXPECT_EQ(FileBytes(At("image.bin")), "old");

  // With the table's filter chosen, the next report's dialog adds ".csv".
  auto answer = SetFileDialog([&](FileDialogRequest& r) {
    r.selectedFilter = r.filter.split(";;").back();
    return At("table");
  });
  Dispatch([&] { w.aSaveReportExecute(); });
  SetFileDialog(answer);
  Dispatch([&] { w.aSaveReportExecute(); });
  ASSERT_EQ(FileDialogRequests().size(), 3);
  EXPECT_EQ(FileDialogRequests()[2].defaultSuffix, "csv");
}

TEST_F(KeepReportTest, SavedImageIsTheReportsImageAndOpensToTheSameReport) {
  TfBB w;
  ShowPattern(w);
  // A readout that fails later changes the heater's copy, not the report.
  BlackBoxImage[100] ^= 0xFF;
  AnswerFileDialogs({At("image.bin")});
  Dispatch([&] { w.aSaveImageExecute(); });
  EXPECT_EQ(FileBytes(At("image.bin")), Bytes(Pattern()));

  TfBB other;
  BlackBoxImage.fill(0);
  const BlackBoxBytes heaterCopy = BlackBoxImage;
  AnswerFileDialogs({At("image.bin")});
  Dispatch([&] { other.aOpenImageExecute(&other); });
  EXPECT_TRUE(TakeErrors().isEmpty());
  EXPECT_TRUE(other.isVisible());
  EXPECT_EQ(Labels(other), Labels(w));
  EXPECT_EQ(Cells(other), Cells(w));
  EXPECT_EQ(other.ReportImage(), Pattern());
  EXPECT_EQ(BlackBoxImage, heaterCopy);
  // The window tells where the report came from, the file's name and when it
  // was written.
  const QString changed = QFileInfo(At("image.bin")).lastModified().toString("dd.MM.yyyy HH:mm");
  EXPECT_EQ(other.lSource->text(), "Файл image.bin, изменён " + changed);
  EXPECT_TRUE(other.ReportPage().source.starts_with(("Файл image.bin, изменён " + changed).toStdString()));
  EXPECT_EQ(other.Panel1->toolTip(), QString::fromStdString(other.ReportPage().source));
  EXPECT_TRUE(other.aSaveImage->isEnabled());
}

TEST_F(KeepReportTest, FilesThatAreNoImageChangeNothingAndSayWhy) {
  TfBB w;
  ShowPattern(w);
  w.hide();
  const QStringList labels = Labels(w);
  const QStringList cells = Cells(w);

  QByteArray good = Bytes(Pattern());
  Write(At("long.bin"), good + "x");
  Write(At("empty.bin"), {});
  QByteArray unsigned_ = good;
  unsigned_[4] = 0x38;
  Write(At("nosig.bin"), unsigned_);
  Write(At("secret.bin"), good);
  ::chmod(At("secret.bin").toLocal8Bit().constData(), 0);
  QDir(dir_.path()).mkdir("folder.bin");

  const struct {
    const char* name;
    QString reason;
  } cases[] = {
      {"long.bin", "в файле 257 байт, а образ черного ящика занимает 256 байт"},
      {"empty.bin", "в файле 0 байт, а образ черного ящика занимает 256 байт"},
      {"nosig.bin", "это не образ черного ящика: по адресам 3 и 4 нет подписи 55 37"},
      {"missing.bin", QString::fromStdString(SystemReason(ENOENT))},
      {"folder.bin", QString::fromStdString(SystemReason(EISDIR))},
      {"secret.bin", QString::fromStdString(SystemReason(EACCES))},
  };
  for (const auto& c : cases) {
    {
      AsUnprivileged nobody;
      Dispatch([&] { w.OpenImage(At(c.name)); });
    }
    EXPECT_EQ(TakeErrors(), QStringList("Не удалось открыть файл \"" + At(c.name) + "\": " + c.reason + "."))
        << c.name;
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Labels(w), labels);
    EXPECT_EQ(Cells(w), cells);
  }
}

// An opened image's report was read at some other time: its files are
// proposed under the opened file's own name, not the time it was opened.
TEST_F(KeepReportTest, AnOpenedImagesFilesAreProposedUnderItsOwnName) {
  Write(At("печь 17.bin"), Bytes(Pattern()));
  TfBB w;
  Dispatch([&] { w.OpenImage(At("печь 17.bin")); });
  ASSERT_TRUE(w.HasReport()) << TakeErrors().join("|").toStdString();
  QString printed;
  SetPrintDialog([&](QPrinter& printer, QWidget*) {
    printed = printer.docName();
    return false;
  });
  Dispatch([&] { w.aSaveReportExecute(); });
  Dispatch([&] { w.aSaveImageExecute(); });
  Dispatch([&] { w.aPrintExecute(); });
  ASSERT_EQ(FileDialogRequests().size(), 2);
  EXPECT_EQ(QFileInfo(FileDialogRequests()[0].path).fileName(), "печь 17.pdf");
  EXPECT_EQ(QFileInfo(FileDialogRequests()[1].path).fileName(), "печь 17.bin");
  EXPECT_EQ(printed, "печь 17");
}

// The CSV is made for a spreadsheet in a Russian locale, whatever the
// program's locale shows in the window.
TEST_F(KeepReportTest, TheCsvHasADecimalCommaUnderEveryLocale) {
  TfBB w;
  const int voltageRow = 5;
  QLocale::setDefault(QLocale::c());
  ShowPattern(w);
  ASSERT_TRUE(w.sgBB->item(voltageRow, 1)->text().contains('.'));
  AnswerFileDialogs({At("c.csv")});
  Dispatch([&] { w.aSaveReportExecute(); });
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  ShowPattern(w);
  ASSERT_TRUE(w.sgBB->item(voltageRow, 1)->text().contains(','));
  AnswerFileDialogs({At("ru.csv")});
  Dispatch([&] { w.aSaveReportExecute(); });
  EXPECT_TRUE(TakeErrors().isEmpty());

  // The same but for the readout's time, which is the second report's.
  const QByteArray csv = FileBytes(At("c.csv"));
  const QByteArray ru = FileBytes(At("ru.csv"));
  EXPECT_EQ(csv.mid(csv.indexOf("\r\n")), ru.mid(ru.indexOf("\r\n")));
  const auto rows = CsvRows(csv.mid(3).toStdString());
  ASSERT_GT(rows.size(), 17u + voltageRow);
  const std::vector<std::string>& voltages = rows[17 + voltageRow];
  ASSERT_EQ(voltages.size(), 14u);
  for (size_t column = 1; column < voltages.size(); ++column)
    EXPECT_TRUE(QRegularExpression("^\\d+,\\d$").match(QString::fromStdString(voltages[column])).hasMatch())
        << voltages[column];
}

// A disk that fills up while the report is printed to a file: the old file
// stays as it was, and the one file error says so.
TEST_F(KeepReportTest, APrintToAFileThatFailsLeavesTheOldFileAndSaysWhy) {
  TfBB w;
  ShowPattern(w);
  Write(At("printed.pdf"), "old");
  SetPrintDialog([&](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(At("printed.pdf"));
    return true;
  });
  {
    FullDisk full(4096);
    Dispatch([&] { w.aPrintExecute(); });
  }
  EXPECT_EQ(FileBytes(At("printed.pdf")), "old");
  EXPECT_EQ(TakeErrors(), QStringList("Не удалось сохранить файл \"" + At("printed.pdf") +
                                      "\": печать в файл не завершилась, файл не записан целиком."));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList("printed.pdf"));
}

// The page's source line names the file a report was opened from; a long
// name is shortened in its middle, and the page keeps its size.
TEST(BlackBoxPageTest, ALongFileNameIsShortenedInsteadOfShrinkingThePage) {
  const BlackBoxReport report = MakeBlackBoxReport(Pattern(), ",");
  const std::string longName = "BB_" + std::string(300, 'x') + "_end.bin";
  const QSize size(1040, 700);
  auto render = [&](const std::string& file) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    DrawBlackBoxPage(painter, size, 96, MakeBlackBoxPage(report, "Файл " + file + ", изменён 01.12.2026 10:00:00"));
    return page;
  };
  const QImage shortPage = render("a.bin");
  const QImage longPage = render(longName);
  // Below the title and the source line.
  const QRect rest(0, size.height() / 8, size.width(), size.height() - size.height() / 8);
  EXPECT_TRUE(shortPage.copy(rest) == longPage.copy(rest));

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile pdf(dir.filePath("long.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
  pdf.write(BlackBoxPdf(MakeBlackBoxPage(report, "Файл " + longName + ", изменён 01.12.2026 10:00:00")));
  pdf.close();
  const QString text = PdfText(pdf.fileName());
  EXPECT_TRUE(text.contains("Файл BB_xxx")) << text.toStdString();
  EXPECT_TRUE(text.contains("…")) << text.toStdString();
  EXPECT_TRUE(text.contains("x_end.bin, изменён 01.12.2026 10:00:00")) << text.toStdString();
}

TEST_F(KeepReportTest, WritesThatFailNameTheFileAndLeaveNothingUnderTheName) {
  TfBB w;
  ShowPattern(w);
  QDir(dir_.path()).mkdir("locked");
  const QString locked = At("locked");
  ::chmod(locked.toLocal8Bit().constData(), 0555);
  const QString permission = QString::fromStdString(SystemReason(EACCES));
  const struct {
    std::function<void()> command;
    QString path;
  } cases[] = {
      {[&] { w.aSaveReportExecute(); }, locked + "/r.pdf"},
      {[&] { w.aSaveReportExecute(); }, locked + "/r.csv"},
      {[&] { w.aSaveImageExecute(); }, locked + "/i.bin"},
  };
  for (const auto& c : cases) {
    AnswerFileDialogs({c.path});
    {
      AsUnprivileged nobody;
      Dispatch(c.command);
    }
    EXPECT_EQ(TakeErrors(), QStringList("Не удалось сохранить файл \"" + c.path + "\": " + permission + "."));
  }
  EXPECT_TRUE(QDir(locked).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
  // A folder that does not exist fails for anyone.
  AnswerFileDialogs({At("gone/r.pdf")});
  Dispatch([&] { w.aSaveReportExecute(); });
  EXPECT_EQ(TakeErrors().size(), 1);
  EXPECT_FALSE(QDir(At("gone")).exists());
}

TEST_F(KeepReportTest, AFileDroppedOnTheWindowOpensAsAnImage) {
  Write(At("dropped.bin"), Bytes(Pattern()));
  TfBB w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(At("dropped.bin"))});
  QWidget* target = w.sgBB->viewport();
  const QPoint at(10, 10);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  EXPECT_TRUE(drop.isAccepted());
  ASSERT_TRUE(QTest::qWaitFor([&] { return w.HasReport(); }, 10000));
  EXPECT_EQ(w.ReportImage(), Pattern());
  EXPECT_EQ(w.l13->text(), "Серийный номер: 658188.");

  // Two files are not an image: the drag is refused.
  QMimeData two;
  two.setUrls({QUrl::fromLocalFile(At("dropped.bin")), QUrl::fromLocalFile(At("dropped.bin"))});
  QDragEnterEvent refused(at, Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
  refused.ignore();
  QApplication::sendEvent(target, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// Spelt as the archive spells it, so that "Сравнить с…" reads the time back.
TEST(ReportFileName, CarriesTheSerialNumberAndTheTimeAsTheArchiveSpellsIt) {
  EXPECT_EQ(TfBB::ReportFileName(658188, QDateTime(QDate(2026, 12, 7), QTime(15, 20, 3)), ".pdf"),
            "BB_658188_2026-12-07_15-20-03.pdf");
  EXPECT_EQ(TfBB::ReportFileName(0, QDateTime(QDate(2027, 1, 2), QTime(8, 5, 0)), ".bin"),
            "BB_0_2027-01-02_08-05-00.bin");
  const auto back = ParseReadoutFileName(TfBB::ReportFileName(5, QDateTime(QDate(2027, 1, 2), QTime(8, 5, 0)), ".bin").toStdString());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->when, (LocalTime{2027, 1, 2, 8, 5, 0}));
}

// A report too long for its sizes is shrunk evenly to fit its page, all but
// its footer: nothing on the page is smaller than 8 pt, and the footer is 8 pt
// to begin with.
TEST(BlackBoxPageTest, TheFooterOfAShrunkPageKeepsItsEightPoints) {
  BlackBoxPage usual = MakeBlackBoxPage(MakeBlackBoxReport(Pattern(), ","), "Файл a.bin");
  usual.footer = "Ортан5 Диагностика 1.0";
  BlackBoxPage crowded = usual;
  crowded.changesHeading = "Изменения с чтения 07.12.2026 15:20";
  for (int i = 0; i < 90; ++i) crowded.changes.push_back("Изменение " + std::to_string(i) + ": было 1, стало 2");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // The median height of the page's words and of those of its last line.
  const auto heights = [&](const BlackBoxPage& page, const QString& name) {
    QFile pdf(dir.filePath(name));
    EXPECT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write(BlackBoxPdf(page));
    pdf.close();
    test::PdfWords words = test::PdfWordBoxes(pdf.fileName());
    EXPECT_EQ(words.pages, 1) << name.toStdString();
    double bottom = 0;
    for (const QRectF& box : words.boxes) bottom = std::max(bottom, box.top());
    test::PdfWords footer;
    for (const QRectF& box : words.boxes)
      if (box.top() > bottom - 0.5) footer.boxes.push_back(box);
    return std::make_pair(words.MedianHeight(), footer.MedianHeight());
  };
  const auto [usualWords, usualFooter] = heights(usual, "usual.pdf");
  const auto [crowdedWords, crowdedFooter] = heights(crowded, "crowded.pdf");
  ASSERT_GT(usualFooter, 0);
  EXPECT_LT(crowdedWords, usualWords - 0.5);  // shrunk indeed
  EXPECT_NEAR(crowdedFooter, usualFooter, 0.05);
}

}  // namespace
}  // namespace o5
