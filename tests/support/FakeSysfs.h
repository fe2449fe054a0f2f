// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A system as sysfs and /dev show it, built in a temporary folder: the tty
// class, USB adapters with their device folders and by-id links, on-board
// 8250 ports with and without a UART, Bluetooth serial links, and the ttys
// that are no serial ports. For the port list's tests and benchmark.

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <string>

#include "link/SerialPortList.h"

namespace o5::test {

struct UsbAdapter {
  std::string tty;     // ttyUSB0, ttyACM0
  std::string driver;  // ftdi_sio, ch341, pl2303, cp210x, cdc_acm
  std::string usbDir;  // the USB device's folder name, 1-1 ...
  std::string vendor, product;
  std::string manufacturer, productName, serial;  // empty: the file is missing
  std::string byId;    // name of the by-id link, empty for none
};

// A system as sysfs and /dev show it: devices, the tty class, nodes.
class FakeSystem {
 public:
  FakeSystem() : root_(dir_.path().toStdString()) {
    std::filesystem::create_directories(Sys() + "/class/tty");
    std::filesystem::create_directories(Dev());
    // ttys that are no serial ports: virtual consoles, the pty multiplexer.
    for (const char* name : {"tty0", "tty1", "console", "ptmx"}) {
      std::filesystem::create_directories(Sys() + "/class/tty/" + name);
      Node(name);
    }
  }

  std::string Sys() const { return root_ + "/sys"; }
  std::string Dev() const { return root_ + "/dev"; }
  SerialPortRoots Roots() const { return {Sys(), Dev()}; }

  // A tty that is no serial port (a virtual console).
  void AddConsole(const std::string& name) {
    std::filesystem::create_directories(Sys() + "/class/tty/" + name);
    Node(name);
  }

  void Node(const std::string& name) { std::ofstream(Dev() + "/" + name).put('\0'); }

  void AddUsb(const UsbAdapter& a) {
    const std::string usb = Sys() + "/devices/pci0000:00/0000:00:14.0/usb1/" + a.usbDir;
    Write(usb + "/idVendor", a.vendor);
    Write(usb + "/idProduct", a.product);
    if (!a.manufacturer.empty()) Write(usb + "/manufacturer", a.manufacturer);
    if (!a.productName.empty()) Write(usb + "/product", a.productName);
    if (!a.serial.empty()) Write(usb + "/serial", a.serial);
    // usb-serial drivers put a port between the interface and the tty;
    // cdc_acm's tty hangs on the interface itself.
    const std::string iface = usb + "/" + a.usbDir + ":1.0";
    const std::string device = a.driver == "cdc_acm" ? iface : iface + "/" + a.tty;
    std::filesystem::create_directories(device);
    Write(iface + "/bInterfaceNumber", "00");
    const std::string driverDir = Sys() + "/bus/usb-serial/drivers/" + a.driver;
    std::filesystem::create_directories(driverDir);
    AddTty(a.tty, device, driverDir);
    Node(a.tty);
    if (!a.byId.empty()) {
      std::filesystem::create_directories(Dev() + "/serial/by-id");
      std::filesystem::create_symlink("../../" + a.tty, Dev() + "/serial/by-id/" + a.byId);
    }
  }

  // An 8250 port: with a UART ("type" not 0) on a PnP device, or an empty
  // slot of the platform device.
  void AddOnBoard(const std::string& tty, bool uart) {
    const std::string device =
        uart ? Sys() + "/devices/pnp0/00:0" + tty.substr(4) : Sys() + "/devices/platform/serial8250";
    std::filesystem::create_directories(device);
    const std::string driverDir = Sys() + "/bus/pnp/drivers/serial";
    std::filesystem::create_directories(driverDir);
    AddTty(tty, device, driverDir);
    Write(Sys() + "/class/tty/" + tty + "/type", uart ? "4" : "0");
    Node(tty);
  }

  void AddRfcomm(const std::string& tty) {
    std::filesystem::create_directories(Sys() + "/class/tty/" + tty);
    Node(tty);
  }

  static void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text << "\n";
  }

 private:
  void AddTty(const std::string& tty, const std::string& device, const std::string& driverDir) {
    const std::string entry = Sys() + "/class/tty/" + tty;
    std::filesystem::create_directories(entry);
    std::filesystem::create_symlink(device, entry + "/device");
    if (!std::filesystem::exists(device + "/driver")) std::filesystem::create_symlink(driverDir, device + "/driver");
  }

  QTemporaryDir dir_;
  std::string root_;
};

}  // namespace o5::test
