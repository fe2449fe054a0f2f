// SPDX-License-Identifier: GPL-3.0-or-later
// The whole tool on a long session: a generated 24-hour run (86,400 telemetry
// cycles, about 6 MB of frames) pushed through a pseudo-terminal as fast as the
// tool takes it, with the four real windows on the offscreen platform.
// Prints the processing time, the longest event-loop stall, the resident
// memory at the end, and the latency from the last byte of a 'k' frame on the
// line to its record in the record log.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ByteTracePane.h"
#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "link/Frame.h"
#include "settings/SettingsFile.h"
#include "tests/support/ProcessStats.h"

using namespace o5;
using Clock = std::chrono::steady_clock;

namespace {

std::string Telemetry(char kind, int b6, int b7, int b8, int b9) {
  const Frame f = BuildRequest(0, 0, 0, static_cast<uint8_t>(kind), static_cast<uint8_t>(b6),
                               static_cast<uint8_t>(b7), static_cast<uint8_t>(b8),
                               static_cast<uint8_t>(b9));
  return std::string(f.begin(), f.end());
}

std::string Cycle(int second) {
  const int t = second % 65536;
  std::string c;
  c += Telemetry('e', t >> 8, t & 0xFF, 22, 0);
  c += Telemetry('f', 30 + second % 7, 60, 58 + second % 3, 1);
  c += Telemetry('g', 1, 0, 126, 22);
  c += Telemetry('h', 60 + second % 20, 70 + second % 15, 0x03, 0x20);
  c += Telemetry('i', 1, 0, 35, 0);
  c += Telemetry('j', 0, 0, 0, 0);
  c += Telemetry('k', 0, 0, 0, 0);
  return c;
}

void WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
    } else {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 100);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TApplication app(argc, argv);
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 86400;
  QTemporaryDir settings;
  SetSettingsDirectory(settings.path().toStdString());
  // The session journals and readouts of the run go with the settings.
  setenv("XDG_DATA_HOME", settings.path().toLocal8Bit().constData(), 1);
  CreateForms();

  int master = -1, slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return 1;
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  tcsetattr(slave, TCSANOW, &t);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  fMain->Port->SetPort(name);
  fMain->Port->OpenPort();

  // --- the 24-hour session -----------------------------------------------------
  std::string session;
  session.reserve(static_cast<size_t>(cycles) * 70);
  for (int s = 0; s < cycles; ++s) session += Cycle(s + 2);
  const long rssBefore = test::ResidentKiB();

  QElapsedTimer stall;
  qint64 longestStallMs = 0;
  QTimer heartbeat;
  heartbeat.setInterval(10);
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    longestStallMs = std::max(longestStallMs, stall.restart());
  });

  std::atomic<bool> written{false};
  const auto start = Clock::now();
  std::thread writer([&] {
    WriteAll(master, session.data(), session.size());
    written = true;
  });
  stall.start();
  heartbeat.start();
  while (fMain->Receiver().counters().frames < static_cast<uint64_t>(cycles) * 7)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  writer.join();
  heartbeat.stop();
  QApplication::processEvents();
  const long rssAfter = test::ResidentKiB();

  std::printf("session: %d cycles, %.1f MB of frames\n", cycles, session.size() / 1e6);
  std::printf("processed in %.2f s (%.2f MB/s through the whole receive path)\n", seconds,
              session.size() / 1e6 / seconds);
  std::printf("records logged: %d, byte trace lines: %zu\n", fMain->MR->document()->blockCount(),
              fMain->MT->LineCount());
  std::printf("longest event-loop stall: %lld ms\n", static_cast<long long>(longestStallMs));
  std::printf("resident memory: %.1f MB before, %.1f MB after\n", rssBefore / 1024.0,
              rssAfter / 1024.0);

  // --- latency of one record ---------------------------------------------------
  std::vector<double> latencies;
  const std::string cycle = Cycle(1000);
  for (int i = 0; i < 300; ++i) {
    const int before = fMain->MR->document()->blockCount();
    WriteAll(master, cycle.data(), cycle.size() - 1);
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto t0 = Clock::now();
    WriteAll(master, cycle.data() + cycle.size() - 1, 1);
    while (fMain->MR->document()->blockCount() == before)
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::sort(latencies.begin(), latencies.end());
  std::printf("last byte of 'k' to its record in the log: median %.3f ms, p99 %.3f ms\n",
              latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100]);

  fMain->Port->ClosePort();
  close(slave);
  close(master);
  DestroyForms();
  return 0;
}
