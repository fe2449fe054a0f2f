// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the serial port's receive path, measured against a
// pseudo-terminal whose master side plays the heater:
//   1. reply turnaround: from the peer writing the last byte of a reply to the
//      reply wait returning true (target: median under 0.3 ms);
//   2. processor use with the port open, idle and during reply waits that end
//      in a time-out (target: under 1% of a core);
//   3. receive throughput at the pseudo-terminal's full speed (target: at
//      least 1 MB/s), with the bytes reported per hand-over.
//
// Usage: bench_comport [exchanges] [megabytes]

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/ComPort.h"
#include "link/Frame.h"
#include "link/FrameReceiver.h"
#include "link/ReplyWait.h"
#include "tests/support/ProcessStats.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

using o5::test::ProcessCpuSeconds;

constexpr uint8_t kVersionCode = 104;

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
      .count();
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 100);
    } else {
      return false;
    }
  }
  return true;
}

bool ReadExactly(int fd, uint8_t* data, size_t size, const std::atomic<bool>& stop) {
  while (size > 0) {
    if (stop.load()) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = read(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    }
  }
  return true;
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())));
  return v[i];
}

// The port as the main window sets it up: the receive handler reads what is
// reported and feeds the frame receiver; a 100 ms timer drives the watchdog
// and bounds the reply wait.
struct Station {
  o5::TComPort port;
  o5::FrameReceiver receiver;
  QTimer timer;
  std::string rx;
  uint64_t bytes = 0;
  uint64_t events = 0;
  int maxCount = 0;

  explicit Station(const std::string& path) {
    port.SetPort(path);
    port.SetBaudRate(o5::br1200);
    port.OnRxChar = [this](QObject*, int count) {
      ++events;
      maxCount = std::max(maxCount, count);
      port.ReadText(rx, count);
      bytes += rx.size();
      receiver.Feed(reinterpret_cast<const uint8_t*>(rx.data()), rx.size(),
                    [](const o5::Frame&) {});
    };
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [this] { receiver.Tick(); });
    timer.start();
    port.OpenPort();
  }
};

void Turnaround(int exchanges) {
  int master = -1, slave = -1;
  char name[256] = {};
  openpty(&master, &slave, name, nullptr, nullptr);
  Station station(name);

  std::atomic<long long> lastByteAt{0};
  std::atomic<bool> stop{false};
  std::thread peer([&] {
    const o5::Frame reply = o5::BuildRequest(0x09 | o5::kReplyFlag, 0, 0, kVersionCode, 1, 2, 3, 4);
    uint8_t request[o5::kFrameSize];
    while (ReadExactly(master, request, sizeof request, stop)) {
      WriteAll(master, reply.data(), o5::kFrameSize - 1);
      std::this_thread::sleep_for(2ms);
      lastByteAt.store(NowNs());
      WriteAll(master, reply.data() + o5::kFrameSize - 1, 1);
    }
  });

  const o5::Frame request = o5::BuildRequest(0x09, 0, 0, kVersionCode, 0, 0, 0, 0);
  const std::string requestBytes(request.begin(), request.end());
  std::vector<double> ms;
  int timeouts = 0;
  for (int i = 0; i < exchanges; ++i) {
    station.port.WriteText(requestBytes);
    const bool ok = o5::ServeUntilReply(station.receiver, 0, kVersionCode);
    const long long doneAt = NowNs();
    if (!ok) {
      ++timeouts;
      continue;
    }
    ms.push_back(static_cast<double>(doneAt - lastByteAt.load()) / 1e6);
  }
  stop = true;
  peer.join();
  station.port.ClosePort();
  close(slave);
  close(master);

  std::printf("1. Reply turnaround, last reply byte written -> reply wait returns true\n");
  std::printf("   exchanges %zu (time-outs %d)\n", ms.size(), timeouts);
  if (!ms.empty())
    std::printf(
        "   median %.3f ms   p90 %.3f ms   p99 %.3f ms   max %.3f ms   (target: median < 0.3 ms)\n",
        Percentile(ms, 0.5), Percentile(ms, 0.9), Percentile(ms, 0.99), Percentile(ms, 1.0));
}

void ProcessorUse(double seconds) {
  int master = -1, slave = -1;
  char name[256] = {};
  openpty(&master, &slave, name, nullptr, nullptr);
  Station station(name);

  QEventLoop loop;
  double wall0 = static_cast<double>(NowNs());
  double cpu0 = ProcessCpuSeconds();
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
  const double idle = (ProcessCpuSeconds() - cpu0) / ((static_cast<double>(NowNs()) - wall0) / 1e9);

  // Reply waits with no heater answering: each lasts its ten timer ticks.
  wall0 = static_cast<double>(NowNs());
  cpu0 = ProcessCpuSeconds();
  int waits = 0;
  while ((static_cast<double>(NowNs()) - wall0) / 1e9 < seconds) {
    o5::ServeUntilReply(station.receiver, 0, kVersionCode);
    ++waits;
  }
  const double waiting = (ProcessCpuSeconds() - cpu0) / ((static_cast<double>(NowNs()) - wall0) / 1e9);
  station.port.ClosePort();
  close(slave);
  close(master);

  std::printf("2. Processor use with the port open (whole process, 100 ms timer running)\n");
  std::printf(
      "   idle %.2f%% of a core   during %d reply waits %.2f%% of a core   (target: < 1%%)\n",
      idle * 100, waits, waiting * 100);
}

void Throughput(int megabytes) {
  int master = -1, slave = -1;
  char name[256] = {};
  openpty(&master, &slave, name, nullptr, nullptr);
  Station station(name);

  // Telemetry-like frames, so that the receiver assembles and checks them.
  std::vector<uint8_t> block;
  for (int i = 0; i < 4096; ++i) {
    const o5::Frame f = o5::BuildRequest(0x01, 0, 0, static_cast<uint8_t>('e' + i % 7),
                                         static_cast<uint8_t>(i), 0, 0, 0);
    block.insert(block.end(), f.begin(), f.end());
  }
  const uint64_t total = static_cast<uint64_t>(megabytes) * 1000 * 1000;
  std::atomic<long long> startAt{0};
  std::thread peer([&] {
    startAt.store(NowNs());
    uint64_t sent = 0;
    while (sent < total) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), total - sent));
      if (!WriteAll(master, block.data(), n)) break;
      sent += n;
    }
  });

  const double cpu0 = ProcessCpuSeconds();
  const auto limit = Clock::now() + 120s;
  while (station.bytes < total && Clock::now() < limit)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
  const long long endAt = NowNs();
  const double cpu = ProcessCpuSeconds() - cpu0;
  peer.join();
  const double seconds = static_cast<double>(endAt - startAt.load()) / 1e9;
  station.port.ClosePort();
  close(slave);
  close(master);

  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  std::printf("3. Receive throughput from a pseudo-terminal at full speed\n");
  std::printf("   %.1f MB in %.2f s: %.1f MB/s   (target: >= 1 MB/s)\n",
              static_cast<double>(station.bytes) / 1e6, seconds,
              static_cast<double>(station.bytes) / 1e6 / seconds);
  std::printf("   receive events %llu, %.0f bytes per event on average, largest count %d\n",
              static_cast<unsigned long long>(station.events),
              static_cast<double>(station.bytes) /
                  static_cast<double>(std::max<uint64_t>(1, station.events)),
              station.maxCount);
  std::printf("   frames completed %llu, bad checksums %llu; processor %.2f s; peak RSS %ld kB\n",
              static_cast<unsigned long long>(station.receiver.counters().frames),
              static_cast<unsigned long long>(station.receiver.counters().badChecksum), cpu,
              u.ru_maxrss);
  std::printf(
      "   backlog: one hand-over at a time (the monitor blocks until it is handled);\n"
      "   the bytes of one event are bounded by the tty's input queue\n");
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int exchanges = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int megabytes = argc > 2 ? std::atoi(argv[2]) : 50;
  Turnaround(exchanges);
  ProcessorUse(3.0);
  Throughput(megabytes);
  return 0;
}
