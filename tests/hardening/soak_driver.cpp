// SPDX-License-Identifier: GPL-3.0-or-later
// The soak driver: the whole tool (the four windows, offscreen) on a heater's
// line for a long session, doing what a technician does now and then, and
// reporting its own resident memory and processor time as it goes.
//
//   o5_soak --port PATH [--minutes N] [--sample-seconds S] [--version-every MIN]
//           [--blackbox-every MIN] [--data DIR] [--records]
//
// It opens PATH (normally the simulator's stable link) and, whenever the port
// has closed because the device went away, opens it again every two seconds
// once the name is back. Every S seconds (default 60) it prints one line:
//   SAMPLE <minutes> rss_kib=<n> cpu_s=<x> frames=<n> telemetry=<n> bad=<n>
//          partial=<n> records=<n> errors=<n> opens=<n> connected=<0|1>
// and at the end, after closing the main window as the user does (which sends
// the exit request), one SUMMARY line with the same fields and the command
// counts. Errors the tool shows are printed as ERROR lines, and each complete
// readout as a line READOUT <serial number>. With --records every line the
// record log shows is printed too, as RECORD <line>, once it is on screen.
// The session journals and readouts go to DIR (--data), by default to a
// temporary folder that goes with the driver.

#include <sys/resource.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "archive/DataFolder.h"
#include "heater/BlackBoxExport.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/support/ProcessStats.h"
#include "ui/blackbox/TfBB.h"

namespace {

using namespace o5;

struct Options {
  std::string port;
  double minutes = 240;
  int sampleSeconds = 60;
  double versionEvery = 5;
  double blackBoxEvery = 30;
  std::string data;
  bool records = false;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const auto value = [&](double& v) {
      if (i + 1 >= argc) return false;
      v = std::atof(argv[++i]);
      return true;
    };
    double seconds = 0;
    if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
      o.port = argv[++i];
    } else if (std::strcmp(argv[i], "--minutes") == 0) {
      if (!value(o.minutes)) return false;
    } else if (std::strcmp(argv[i], "--sample-seconds") == 0) {
      if (!value(seconds)) return false;
      o.sampleSeconds = static_cast<int>(seconds);
    } else if (std::strcmp(argv[i], "--version-every") == 0) {
      if (!value(o.versionEvery)) return false;
    } else if (std::strcmp(argv[i], "--blackbox-every") == 0) {
      if (!value(o.blackBoxEvery)) return false;
    } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
      o.data = argv[++i];
    } else if (std::strcmp(argv[i], "--records") == 0) {
      o.records = true;
    } else {
      return false;
    }
  }
  return !o.port.empty() && o.minutes > 0 && o.sampleSeconds > 0;
}

int MinutesToMs(double minutes) { return static_cast<int>(minutes * 60000); }

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s --port PATH [--minutes N] [--sample-seconds S] [--version-every MIN] "
                 "[--blackbox-every MIN] [--data DIR] [--records]\n",
                 argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TApplication app(argc, argv);
  // The application object took the desktop's locale; the lines printed here
  // are read by scripts/soak.sh, which wants a decimal point.
  std::setlocale(LC_NUMERIC, "C");
  QTemporaryDir settings;
  SetSettingsDirectory(settings.path().toStdString());
  {
    std::ofstream config(settings.filePath("config.ini").toStdString());
    config << "[Options]\n" << kDataDirKey << "=" << (options.data.empty() ? settings.path().toStdString() : options.data)
           << "\n";
  }

  QElapsedTimer clock;
  clock.start();
  const auto minutes = [&] { return clock.elapsed() / 60000.0; };
  int errors = 0;
  SetErrorDisplay([&](const QString& text) {
    ++errors;
    std::printf("ERROR %.2f %s\n", minutes(), text.toUtf8().constData());
    std::fflush(stdout);
  });

  CreateForms();
  fMain->show();
  fMain->Port->SetPort(options.port);

  // Lines of the record log once it shows them; F8 starts it afresh.
  int shownRecords = 0;
  if (options.records) {
    QObject::connect(fMain->MR, &QPlainTextEdit::textChanged, [&] {
      const QTextDocument* log = fMain->MR->document();
      const int count = log->isEmpty() ? 0 : log->blockCount();
      if (count < shownRecords) shownRecords = 0;
      for (; shownRecords < count; ++shownRecords)
        std::printf("RECORD %s\n", log->findBlockByNumber(shownRecords).text().toUtf8().constData());
      std::fflush(stdout);
    });
  }

  int opens = 0, versions = 0, readouts = 0;
  bool busy = false;  // a command is running; the next one waits for its turn
  const auto line = [&](const char* tag) {
    const FrameReceiver::Counters& c = fMain->Receiver().counters();
    const int records = fMain->MR->toPlainText().isEmpty() ? 0 : fMain->MR->document()->blockCount();
    std::printf("%s %.2f rss_kib=%ld cpu_s=%.2f frames=%llu telemetry=%llu bad=%llu partial=%llu "
                "records=%d errors=%d opens=%d connected=%d versions=%d readouts=%d\n",
                tag, minutes(), test::ResidentKiB(), test::ProcessCpuSeconds(), static_cast<unsigned long long>(c.frames),
                static_cast<unsigned long long>(c.frames - c.replies),
                static_cast<unsigned long long>(c.badChecksum),
                static_cast<unsigned long long>(c.partialDropped), records, errors, opens,
                fMain->Port->Connected() ? 1 : 0, versions, readouts);
    std::fflush(stdout);
  };

  const auto open = [&] {
    if (fMain->Port->Connected() || busy || ::access(options.port.c_str(), F_OK) != 0) return;
    try {
      fMain->Port->OpenPort();
      ++opens;
    } catch (const std::exception& e) {
      ShowError(e);
    }
  };
  // At once, then whenever the port has closed.
  QTimer::singleShot(0, open);
  QTimer reopen;
  QObject::connect(&reopen, &QTimer::timeout, open);
  reopen.start(2000);

  QTimer sample;
  QObject::connect(&sample, &QTimer::timeout, [&] { line("SAMPLE"); });
  sample.start(options.sampleSeconds * 1000);

  const auto command = [&](int& count, void (TfMain::*click)(QObject*)) {
    if (busy || !fMain->Port->Connected()) return;
    busy = true;
    ++count;
    struct Done {
      bool& busy;
      ~Done() { busy = false; }
    } done{busy};
    (fMain->*click)(nullptr);
  };
  QTimer version;
  QObject::connect(&version, &QTimer::timeout, [&] { command(versions, &TfMain::bVerClick); });
  if (options.versionEvery > 0) version.start(MinutesToMs(options.versionEvery));
  QTimer blackBox;
  QObject::connect(&blackBox, &QTimer::timeout, [&] {
    const int before = readouts;
    command(readouts, &TfMain::bBlackBoxClick);
    if (readouts != before && fBB->HasReport() && !fBB->isHidden()) {
      std::printf("READOUT %u\n", BlackBoxSerialNumber(fBB->ReportImage()));
      std::fflush(stdout);
    }
  });
  if (options.blackBoxEvery > 0) blackBox.start(MinutesToMs(options.blackBoxEvery));

  QTimer::singleShot(MinutesToMs(options.minutes), [&] {
    reopen.stop();
    version.stop();
    blackBox.stop();
    fMain->close();
  });
  line("SAMPLE");
  app.exec();
  line("SUMMARY");
  DestroyForms();
  SetSettingsDirectory("");
  return 0;
}
