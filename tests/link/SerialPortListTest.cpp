// SPDX-License-Identifier: GPL-3.0-or-later
// The port list read from fake sysfs and /dev trees in a temporary folder: the
// USB adapters of the common drivers, on-board 8250 ports with and without a
// UART, a Bluetooth serial link, ttys that are no serial ports, by-id links,
// and extra names that come and go.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "link/SerialPortList.h"
#include "tests/support/FakeSysfs.h"

namespace o5 {
namespace {

namespace fs = std::filesystem;
using test::FakeSystem;
using test::UsbAdapter;

const UsbAdapter kFtdi{"ttyUSB0", "ftdi_sio", "1-1", "0403", "6001",
                       "FTDI", "FT232R USB UART", "A1B2C3",
                       "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"};
const UsbAdapter kCh340{"ttyUSB1", "ch341", "1-2", "1a86", "7523", "", "USB Serial", "",
                        "usb-1a86_USB_Serial-if00-port0"};
const UsbAdapter kPl2303{"ttyUSB2", "pl2303", "1-3", "067b", "2303", "Prolific Technology Inc.",
                         "USB-Serial Controller", "", ""};
const UsbAdapter kCp2102{"ttyUSB3", "cp210x", "1-4", "10c4", "ea60", "Silicon Labs",
                         "CP2102 USB to UART Bridge Controller", "0001",
                         "usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0"};
const UsbAdapter kAcm{"ttyACM0", "cdc_acm", "1-5", "2341", "0043", "Arduino (www.arduino.cc)",
                      "Arduino Uno", "75735323", "usb-Arduino__www.arduino.cc__0043_75735323-if00"};

std::map<std::string, std::string> List(const FakeSystem& sys, const char* extra = nullptr) {
  std::vector<SerialPortEntry> entries;
  EXPECT_EQ(ListSerialDevices(sys.Roots(), extra, entries), 0);
  std::map<std::string, std::string> byPath;
  for (const SerialPortEntry& e : entries) {
    EXPECT_EQ(byPath.count(e.path), 0u) << e.path << " listed twice";
    byPath[e.path] = e.description;
  }
  return byPath;
}

TEST(SerialPortList, UsbAdaptersOfEachDriverAreNamedByMakerProductSerialAndId) {
  FakeSystem sys;
  for (const UsbAdapter& a : {kFtdi, kCh340, kPl2303, kCp2102, kAcm}) sys.AddUsb(a);
  const auto list = List(sys);
  const std::string dev = sys.Dev();
  const std::string byId = dev + "/serial/by-id/";
  const std::map<std::string, std::string> expected = {
      {dev + "/ttyUSB0", "FTDI FT232R USB UART · A1B2C3 · 0403:6001\n" + byId + kFtdi.byId},
      {dev + "/ttyUSB1", "USB Serial · 1a86:7523\n" + byId + kCh340.byId},
      {dev + "/ttyUSB2", "Prolific Technology Inc. USB-Serial Controller · 067b:2303"},
      {dev + "/ttyUSB3", "Silicon Labs CP2102 USB to UART Bridge Controller · 0001 · 10c4:ea60\n" +
                             byId + kCp2102.byId},
      {dev + "/ttyACM0",
       "Arduino (www.arduino.cc) Arduino Uno · 75735323 · 2341:0043\n" + byId + kAcm.byId},
  };
  EXPECT_EQ(list, expected);
}

TEST(SerialPortList, OnBoardPortsOnlyWithAUartAndBluetoothLinks) {
  FakeSystem sys;
  sys.AddOnBoard("ttyS0", true);
  sys.AddOnBoard("ttyS1", false);
  sys.AddOnBoard("ttyS2", false);
  sys.AddOnBoard("ttyS3", true);
  sys.AddRfcomm("rfcomm0");
  const std::string dev = sys.Dev();
  const std::map<std::string, std::string> expected = {
      {dev + "/ttyS0", "Встроенный последовательный порт"},
      {dev + "/ttyS3", "Встроенный последовательный порт"},
      {dev + "/rfcomm0", "Последовательный порт Bluetooth"},
  };
  EXPECT_EQ(List(sys), expected);
}

TEST(SerialPortList, ASysfsEntryWithoutANodeIsNotListed) {
  FakeSystem sys;
  sys.AddUsb(kFtdi);
  fs::remove(sys.Dev() + "/ttyUSB0");
  EXPECT_TRUE(List(sys).empty());
}

TEST(SerialPortList, ExtraNamesAreListedWhileTheyExistAndDescribeWhatTheyLeadTo) {
  FakeSystem sys;
  sys.AddUsb(kFtdi);
  QTemporaryDir other;
  const std::string link = other.filePath("heater").toStdString();
  const std::string byIdLink = sys.Dev() + "/serial/by-id/" + kFtdi.byId;
  const std::string extra = link + ":" + byIdLink + " " + sys.Dev() + "/ttyUSB0";

  // The link is not there yet; the by-id link leads to the adapter and takes
  // the place of its path, which the list then does not name a second time.
  auto list = List(sys, extra.c_str());
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(list.count(link), 0u);
  EXPECT_EQ(list[byIdLink], "FTDI FT232R USB UART · A1B2C3 · 0403:6001\n" + byIdLink);

  // The simulator's link to a pseudo-terminal appears...
  fs::create_directories(sys.Dev() + "/pts");
  sys.Node("pts/7");
  fs::create_symlink(sys.Dev() + "/pts/7", link);
  list = List(sys, extra.c_str());
  EXPECT_EQ(list[link], "Псевдотерминал");
  // ...and goes; a link that leads nowhere is not listed either.
  fs::remove(sys.Dev() + "/pts/7");
  list = List(sys, extra.c_str());
  EXPECT_EQ(list.count(link), 0u);
  fs::remove(link);
  list = List(sys, extra.c_str());
  EXPECT_EQ(list.count(link), 0u);
  // The adapter unplugged: its nodes and links go with it.
  fs::remove(sys.Dev() + "/ttyUSB0");
  list = List(sys, extra.c_str());
  EXPECT_TRUE(list.empty());
}

TEST(SerialPortList, ADeviceIsListedOnceWhateverNamesTheExtraListGivesIt) {
  FakeSystem sys;
  sys.AddOnBoard("ttyS0", true);
  const std::string dev = sys.Dev();
  // "ttyS0" is <dev>/ttyS0, and so is "COM1"; the system's scan found it.
  const std::map<std::string, std::string> expected = {
      {dev + "/ttyS0", "Встроенный последовательный порт"}};
  EXPECT_EQ(List(sys, "ttyS0:COM1"), expected);
  // A pseudo-terminal by its path and by two links: under the first link.
  QTemporaryDir other;
  fs::create_directories(dev + "/pts");
  sys.Node("pts/3");
  const std::string first = other.filePath("heater").toStdString();
  const std::string second = other.filePath("heater2").toStdString();
  fs::create_symlink(dev + "/pts/3", first);
  fs::create_symlink(first, second);
  const std::string extra = dev + "/pts/3:" + second + ":" + first;
  const auto list = List(sys, extra.c_str());
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(list.count(second), 1u);
}

TEST(SerialPortList, ExtraNamesAreListedOnlyWhenTheyLeadToATerminal) {
  FakeSystem sys;
  sys.AddOnBoard("ttyS1", false);  // a slot without a UART
  sys.Node("null");                // a character device that is no tty
  fs::create_directories(sys.Dev() + "/pts");
  sys.Node("pts/ptmx");
  sys.Node("pts/4");
  QTemporaryDir other;
  const std::string plain = other.filePath("ttyUSB0").toStdString();
  std::ofstream(plain).put('x');
  const std::string toNull = other.filePath("null-link").toStdString();
  fs::create_symlink(sys.Dev() + "/null", toNull);
  const std::string toPty = other.filePath("heater").toStdString();
  fs::create_symlink(sys.Dev() + "/pts/4", toPty);
  const std::string dev = sys.Dev();
  const std::string extra = dev + "/null:" + toNull + ":" + plain + ":tty0:console:ttyS1:" + dev +
                            "/pts/ptmx:" + dev + "/ptmx:" + toPty;
  const std::map<std::string, std::string> expected = {{toPty, "Псевдотерминал"}};
  EXPECT_EQ(List(sys, extra.c_str()), expected);
}

TEST(SerialPortList, TheSystemsOwnTreesListOnlyRealDevicesAndPseudoTerminalsAreNamed) {
  std::vector<SerialPortEntry> entries;
  ASSERT_EQ(ListSerialDevices(SerialPortRoots{}, nullptr, entries), 0);
  for (const SerialPortEntry& e : entries) {
    EXPECT_EQ(e.path.rfind("/dev/", 0), 0u) << e.path;
    EXPECT_NE(e.path, "/dev/tty0");
    EXPECT_NE(e.path, "/dev/ptmx");
  }
  char name[64] = {};
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(ptsname_r(master, name, sizeof name), 0);
  EXPECT_EQ(DescribeSerialDevice(SerialPortRoots{}, name), "Псевдотерминал");
  close(master);
}

TEST(SerialPortList, AMissingTtyClassIsAnEmptyListAndAnUnreadableOneAnError) {
  QTemporaryDir empty;
  std::vector<SerialPortEntry> entries{{"stale", ""}};
  EXPECT_EQ(ListSerialDevices({empty.path().toStdString(), empty.path().toStdString()}, nullptr,
                              entries),
            0);
  EXPECT_TRUE(entries.empty());
  // A file where the folder should be.
  FakeSystem::Write(empty.path().toStdString() + "/class/tty", "x");
  EXPECT_EQ(ListSerialDevices({empty.path().toStdString(), empty.path().toStdString()}, nullptr,
                              entries),
            ENOTDIR);
}

}  // namespace
}  // namespace o5
