// SPDX-License-Identifier: GPL-3.0-or-later
// The port layer's texts with the catalogs the tool comes with (compiled into
// the "locale" folder beside the executables): Russian and plain for a Russian
// LANG, the system's error number kept; exactly as written for any other
// language. Each language runs in a child process of this program that starts
// as the tool does (the catalogs set up first, then the windows) and meets the
// simulator: a device that cannot be opened, then one that goes away.

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "link/ComSetupFrm.h"
#include "link/ComTypes.h"
#include "link/Translation.h"
#include "tests/app/AppFixture.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/RealTool.h"
#include "tests/support/Simulator.h"

namespace o5::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kChildVariable = "O5_PORT_TEXTS_CHILD";

struct Texts {
  QString caption, group, labels, ok, cancel, cannotOpen, lost;
};

const Texts kRussian = {
    QString::fromUtf8("Настройка порта"),
    QString::fromUtf8(" Параметры "),
    QString::fromUtf8("Порт|Скорость|Биты данных|Стоповые биты|Чётность|Управление потоком|"),
    QString::fromUtf8("ОК"),
    QString::fromUtf8("Отмена"),
    QString::fromUtf8("Не удалось открыть порт (код ошибки: 2)"),
    QString::fromUtf8("Устройство отключено или не отвечает (код ошибки: 5)"),
};

const Texts kAsWritten = {
    "Setup",  " Settings ", "Port|Baud rate|Data bits|Stop bits|Parity|Flow control|",
    "OK",     "Cancel",     "Unable to open com port (win error code: 2)",
    "ReadFile function failed (win error code: 5)",
};

// Runs this program's PortTextsChild test with LANG = `lang`, LANGUAGE =
// `language` where given, and nothing else that chooses a language.
void RunChild(const char* lang, const char* expected, const char* language = nullptr) {
  QProcess child;
  QProcessEnvironment env = WithoutTestShares(QProcessEnvironment::systemEnvironment());
  env.insert("LANG", lang);
  for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(variable);
  if (language) env.insert("LANGUAGE", language);
  env.insert(kChildVariable, expected);
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PortTextsChild.*"});
  ASSERT_TRUE(child.waitForFinished(240000)) << lang;
  const QString output = QString::fromUtf8(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << lang << "\n" << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << lang << "\n" << output.toStdString();
}

TEST(PortTexts, RussianForARussianLanguageAndAsWrittenForAnyOther) {
  RunChild("ru_RU.UTF-8", "ru");
  RunChild("C.UTF-8", "as-written");
  // As the C library has it (`ls` then speaks Russian too).
  RunChild("C.UTF-8", "ru", "ru");
  RunChild("de_DE.UTF-8", "as-written");
}

class PortTextsChild : public AppFixture {
 protected:
  void SetUp() override {
    const char* expected = std::getenv(kChildVariable);
    if (!expected) GTEST_SKIP() << "run by the PortTexts tests";
    russian_ = std::string(expected) == "ru";
    texts_ = russian_ ? kRussian : kAsWritten;
    // As start-up does, before the windows.
    SetUpTranslation();
    AppFixture::SetUp();
  }
  void TearDown() override {
    if (!texts_.caption.isEmpty()) {
      if (fMain->Port->Connected()) fMain->Port->ClosePort();
      AppFixture::TearDown();
    }
  }
  Texts texts_;
  bool russian_ = false;
};

TEST_F(PortTextsChild, TheSetupDialogAndThePortsErrors) {
  {
    TComSetupFrm form;
    EXPECT_EQ(form.windowTitle(), texts_.caption);
    EXPECT_EQ(form.GroupBox1->title(), texts_.group);
    QString labels;
    for (QLabel* l : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5, form.Label6}) {
      labels += l->text() + "|";
      // Each label ends before its selector; everything stays inside the dialog.
      const QWidget* combo = form.Combos()[static_cast<size_t>(labels.count('|') - 1)];
      EXPECT_LT(l->geometry().right(), combo->x()) << l->text().toStdString();
      EXPECT_TRUE(form.GroupBox1->rect().contains(combo->geometry())) << l->text().toStdString();
    }
    EXPECT_EQ(labels, texts_.labels);
    EXPECT_EQ(form.Button1->text(), texts_.ok);
    EXPECT_EQ(form.Button2->text(), texts_.cancel);
    for (const QWidget* w : std::initializer_list<const QWidget*>{form.GroupBox1, form.Button1, form.Button2})
      EXPECT_TRUE(form.rect().contains(w->geometry())) << w->objectName().toStdString();
    // The port's values are not words of a language.
    EXPECT_EQ(form.Combo5->itemText(0), "None");
  }
  // Every error of the port's table, not only the two met below.
  for (int code = 1; code <= 23; ++code) {
    const QString text = QString::fromStdString(ComErrorText(code));
    EXPECT_EQ(text.contains(QRegularExpression(QString::fromUtf8("[А-Яа-яЁё]"))), russian_)
        << code << " " << text.toStdString();
  }

  QTemporaryDir dir;
  fMain->Port->SetPort(dir.filePath("no-such-device").toStdString());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  EXPECT_EQ(TakeErrors(), QStringList{texts_.cannotOpen});

  Simulator sim({"--no-pacing", "--cycle", "100", "--running", "--quiet"});
  fMain->Port->SetPort(sim.DevicePath());
  QTest::mouseClick(fMain->BSR, Qt::LeftButton);
  ASSERT_TRUE(fMain->Port->Connected()) << TakeErrors().join("|").toStdString();
  ASSERT_TRUE(QTest::qWaitFor([] { return fMain->Receiver().counters().frames >= 7; }, 20000));
  sim.SendLine("hangup");
  ASSERT_TRUE(QTest::qWaitFor([] { return !fMain->Port->Connected(); }, 20000));
  QTest::qWait(500);
  EXPECT_EQ(TakeErrors(), QStringList{texts_.lost});
}

}  // namespace
}  // namespace o5::test
