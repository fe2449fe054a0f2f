// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialog adds the extension of the chosen filter to a name typed
// without one before it looks for an existing file, so that it asks before
// replacing the file the name is saved under.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "tests/comui/QStringPrinter.h"
#include "ui/UserDialogs.h"

namespace o5 {
namespace {

constexpr const char* kReportFilter = "Отчёт PDF (*.pdf);;Таблица CSV (*.csv)";
constexpr int kDeadlineMs = 60000;

TEST(FilterSuffixTest, OneExtensionOrNone) {
  EXPECT_EQ(FilterSuffix("Отчёт PDF (*.pdf)"), "pdf");
  EXPECT_EQ(FilterSuffix("CSV (*.csv)"), "csv");
  EXPECT_EQ(FilterSuffix("*.png"), "png");
  EXPECT_EQ(FilterSuffix("Все файлы (*)"), "");
  EXPECT_EQ(FilterSuffix("Рисунки (*.png *.jpg)"), "");
}

// Plays the user in the real dialogs: the test's answering dialog is set
// aside, and a timer acts on each modal window as it comes up.
class RealSaveDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    answering_ = SetFileDialog({});
  }
  void TearDown() override { SetFileDialog(answering_); }

  // Asks for a report's name; `inDialog` acts once in the file dialog, and
  // every question of a message box is answered "Yes" and kept.
  QString Ask(const std::function<void(QFileDialog&)>& inDialog, QString* filter) {
    bool acted = false;
    QElapsedTimer clock;
    clock.start();
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (clock.elapsed() > kDeadlineMs) {
        if (modal) modal->close();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        questions_ << box->text();
        box->button(QMessageBox::Yes)->click();
      } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !acted) {
        acted = true;
        // Outside the timer's own call: the question the dialog may ask runs
        // a loop of its own, in which this timer must go on.
        QMetaObject::invokeMethod(dialog, [&inDialog, dialog] { inDialog(*dialog); }, Qt::QueuedConnection);
      }
    });
    user.start(50);
    return AskSaveFileName(nullptr, "Сохранить отчёт", dir_.filePath("BB_1_2026-1-1_0-0-0.pdf"), kReportFilter,
                           filter);
  }
  static void Type(QFileDialog& dialog, const QString& name) {
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  QTemporaryDir dir_;
  QStringList questions_;

 private:
  FileDialogFunction answering_;
};

TEST_F(RealSaveDialog, ANameTypedWithoutExtensionAsksBeforeReplacingTheFileWithIt) {
  QFile old(dir_.filePath("report.pdf"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.close();
  QString filter;
  const QString path = Ask([](QFileDialog& d) { Type(d, "report"); }, &filter);
  EXPECT_EQ(path, dir_.filePath("report.pdf"));
  ASSERT_EQ(questions_.size(), 1);
  EXPECT_TRUE(questions_[0].contains("report.pdf")) << questions_[0].toStdString();
}

TEST_F(RealSaveDialog, TheExtensionFollowsTheChosenFilter) {
  QString filter;
  const QString path = Ask(
      [](QFileDialog& d) {
        auto* types = d.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        QTest::keyClick(types, Qt::Key_Down);
        Type(d, "report");
      },
      &filter);
  EXPECT_EQ(path, dir_.filePath("report.csv"));
  EXPECT_EQ(filter, "Таблица CSV (*.csv)");
  EXPECT_TRUE(questions_.isEmpty());
}

}  // namespace
}  // namespace o5
