// SPDX-License-Identifier: GPL-3.0-or-later
// The black-box readout's own cost, apart from the line: decoding the report,
// filling the window, and the 87 exchanges against a heater that answers at
// once. At 1200 baud the line alone needs at least 14.5 s for a readout.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#include "link/Frame.h"
#include "heater/BlackBoxImage.h"
#include "ui/blackbox/BlackBoxReadout.h"
#include "heater/BlackBoxReport.h"
#include "ui/blackbox/TfBB.h"

namespace o5 {
namespace {

class InstantHeater final : public RequestChannel {
 public:
  InstantHeater() {
    for (size_t i = 0; i < memory_.size(); ++i) memory_[i] = static_cast<uint8_t>(i * 13);
    memory_[3] = kBlackBoxSignature1;
    memory_[4] = kBlackBoxSignature2;
  }
  void SendRequest(uint8_t, uint8_t, uint8_t, uint8_t code, uint8_t address, uint8_t, uint8_t,
                   uint8_t) override {
    auto at = [&](int i) { return memory_[static_cast<size_t>((address + i) & 0xFF)]; };
    reply_ = BuildRequest(0x09 | kReplyFlag, 0, 0, code, address, at(0), at(1), at(2));
  }
  bool WaitForReply(uint8_t, uint8_t, int) override { return true; }
  const Frame& FrameBuffer() const override { return reply_; }
  void ConsoleLine(const std::string&) override {}
  void Pause(int) override {}

 private:
  BlackBoxBytes memory_{};
  Frame reply_{};
};

void BM_MakeReport(benchmark::State& st) {
  BlackBoxBytes image;
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31);
  for (auto _ : st) benchmark::DoNotOptimize(MakeBlackBoxReport(image, ","));
}
BENCHMARK(BM_MakeReport)->Unit(benchmark::kMicrosecond);

void BM_ShowReport(benchmark::State& st) {
  TfBB window;
  for (auto _ : st) window.ShowReport();
}
BENCHMARK(BM_ShowReport)->Unit(benchmark::kMicrosecond);

void BM_ReadoutAgainstInstantHeater(benchmark::State& st) {
  TfBB window;
  InstantHeater heater;
  for (auto _ : st) {
    ReadBlackBox(heater, window);
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_ReadoutAgainstInstantHeater)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace o5
