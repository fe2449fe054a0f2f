// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the port list, as each opening of a port selector does: a fake
// system with a few dozen tty entries (virtual consoles, 8250 slots with and
// without a UART, five USB adapters with by-id links, a Bluetooth link), and
// this machine's own sysfs and /dev. Target: well under 10 ms.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <vector>

#include "link/ComPort.h"
#include "link/SerialPortList.h"
#include "tests/support/FakeSysfs.h"

namespace {

using o5::test::FakeSystem;
using o5::test::UsbAdapter;

const FakeSystem& BusySystem() {
  static FakeSystem* sys = [] {
    auto* s = new FakeSystem;
    for (int i = 2; i < 64; ++i) s->AddConsole("tty" + std::to_string(i));
    for (int i = 0; i < 32; ++i) s->AddOnBoard("ttyS" + std::to_string(i), i < 2);
    const UsbAdapter adapters[] = {
        {"ttyUSB0", "ftdi_sio", "1-1", "0403", "6001", "FTDI", "FT232R USB UART", "A1B2C3",
         "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"},
        {"ttyUSB1", "ch341", "1-2", "1a86", "7523", "", "USB Serial", "", "usb-1a86_USB_Serial-if00-port0"},
        {"ttyUSB2", "pl2303", "1-3", "067b", "2303", "Prolific Technology Inc.", "USB-Serial Controller", "",
         "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0"},
        {"ttyUSB3", "cp210x", "1-4", "10c4", "ea60", "Silicon Labs", "CP2102 USB to UART Bridge Controller",
         "0001", "usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0"},
        {"ttyACM0", "cdc_acm", "1-5", "2341", "0043", "Arduino (www.arduino.cc)", "Arduino Uno", "75735323",
         "usb-Arduino__www.arduino.cc__0043_75735323-if00"},
    };
    for (const UsbAdapter& a : adapters) s->AddUsb(a);
    s->AddRfcomm("rfcomm0");
    return s;
  }();
  return *sys;
}

void BM_PortListOfABusySystem(benchmark::State& state) {
  const FakeSystem& sys = BusySystem();
  std::vector<o5::SerialPortEntry> entries;
  for (auto _ : state) {
    o5::ListSerialDevices(sys.Roots(), nullptr, entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.counters["ports"] = static_cast<double>(entries.size());
}
BENCHMARK(BM_PortListOfABusySystem)->Unit(benchmark::kMillisecond);

// The selectors' own call on this machine: listing, describing and sorting.
void BM_PortListOfThisMachine(benchmark::State& state) {
  std::vector<o5::SerialPortEntry> entries;
  for (auto _ : state) {
    o5::TCustomComPort::ListSerialPorts(entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.counters["ports"] = static_cast<double>(entries.size());
}
BENCHMARK(BM_PortListOfThisMachine)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
