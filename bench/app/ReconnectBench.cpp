// SPDX-License-Identifier: GPL-3.0-or-later
// The port coming back by itself, measured from outside: the whole tool (four
// windows on the offscreen platform) holds a port by a stable name, a
// symbolic link like /dev/serial/by-id/...; a thread of this program plays the
// adapter: it pulls the device out (the pseudo-terminal hangs up, the link
// goes), waits a random while, plugs a new one in under the same name, and
// times how long it takes until the tool has the device open again, seen from
// the device's side (its master end stops reporting a hang-up).
// Prints the median and spread of that time over the returns, and the
// processor time the tool takes while it waits for a device that stays away.
//
// Usage: bench_reconnect [returns]   (default 25)

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QMetaObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/ErrorDisplay.h"
#include "app/Forms.h"
#include "app/TfMain.h"
#include "link/ComPort.h"
#include "settings/SettingsFile.h"
#include "tests/support/ProcessStats.h"

using namespace o5;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr auto kCpuWindow = 10s;

// One plugged-in adapter: a pseudo-terminal and the link that names it.
class Adapter {
 public:
  explicit Adapter(const std::string& link) : link_(link) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
      std::perror("pseudo-terminal");
      std::exit(1);
    }
    // Opened and closed once, so that the master end reports a hang-up while
    // nobody holds the device.
    const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (slave >= 0 && tcgetattr(slave, &t) == 0) {
      cfmakeraw(&t);
      tcsetattr(slave, TCSANOW, &t);
    }
    if (slave >= 0) close(slave);
    const std::string temporary = link_ + ".new";
    unlink(temporary.c_str());
    if (symlink(name, temporary.c_str()) != 0 || rename(temporary.c_str(), link_.c_str()) != 0) {
      std::perror("link");
      std::exit(1);
    }
  }
  // Pulled out: the link goes, the line hangs up.
  ~Adapter() {
    unlink(link_.c_str());
    close(master_);
  }
  bool HeldByAProgram() const {
    pollfd p{master_, POLLOUT, 0};
    return poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
  }
  // Returns the time until a program holds the device, or -1 after `limit`.
  double MsUntilHeld(Clock::time_point since, std::chrono::milliseconds limit) const {
    while (Clock::now() - since < limit) {
      if (HeldByAProgram())
        return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
      std::this_thread::sleep_for(1ms);
    }
    return -1;
  }

 private:
  std::string link_;
  int master_ = -1;
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
  return v[i];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const int returns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 25;
  TApplication app(argc, argv);
  QTemporaryDir settings;
  QTemporaryDir links;
  SetSettingsDirectory(settings.path().toStdString());
  // The session journals and readouts of the run go with the settings.
  setenv("XDG_DATA_HOME", settings.path().toLocal8Bit().constData(), 1);
  std::atomic<int> errorsShown{0};
  SetErrorDisplay([&](const QString&) { ++errorsShown; });
  CreateForms();
  const std::string link = links.filePath("heater").toStdString();

  std::vector<double> latencies;
  int missed = 0;
  double cpuPercent = -1;
  std::thread adapterSide([&] {
    std::mt19937 random(5);
    auto adapter = std::make_unique<Adapter>(link);
    // The user opens the port once, by its stable name.
    QMetaObject::invokeMethod(fMain, [&] {
      fMain->Port->SetPort(link);
      fMain->BSRClick(fMain->BSR);
    });
    if (adapter->MsUntilHeld(Clock::now(), 10s) < 0) {
      std::fprintf(stderr, "the tool did not open the port\n");
      std::exit(1);
    }
    for (int i = 0; i < returns; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 300));
      adapter.reset();
      // Away for a while that has nothing to do with the tool's rhythm.
      std::this_thread::sleep_for(std::chrono::milliseconds(300 + random() % 1700));
      adapter = std::make_unique<Adapter>(link);
      const double ms = adapter->MsUntilHeld(Clock::now(), 20s);
      if (ms < 0)
        ++missed;
      else
        latencies.push_back(ms);
    }
    // Pulled out for good: what does the waiting cost?
    adapter.reset();
    std::this_thread::sleep_for(1s);
    const double before = test::ProcessCpuSeconds();
    std::this_thread::sleep_for(kCpuWindow);
    const double cpu = test::ProcessCpuSeconds() - before;
    cpuPercent = 100.0 * cpu / std::chrono::duration<double>(kCpuWindow).count();
    QMetaObject::invokeMethod(&app, [] { QCoreApplication::quit(); });
  });
  app.exec();
  adapterSide.join();
  const bool stillWaiting = !fMain->Port->Connected();
  DestroyForms();

  std::printf("device returns: %d (interval of the tool's attempts: about 1000 ms)\n", returns);
  if (!latencies.empty()) {
    std::printf("return -> port open again: median %.0f ms, p10 %.0f ms, p90 %.0f ms, max %.0f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.1), Percentile(latencies, 0.9),
                Percentile(latencies, 1.0));
  }
  std::printf("returns not taken up within 20 s: %d\n", missed);
  std::printf("errors shown: %d (one per loss expected: %d)\n", errorsShown.load(), returns + 1);
  std::printf("processor while waiting for a device that stays away: %.3f %% of a core over %lld s%s\n",
              cpuPercent, static_cast<long long>(kCpuWindow.count()), stillWaiting ? "" : " (port open?)");
  return missed == 0 ? 0 : 1;
}
