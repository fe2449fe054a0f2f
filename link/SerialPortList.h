// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's serial devices as the port selectors list them: read from sysfs
// and /dev, each with a line that tells the technician which device it is (the
// adapter's maker, product, serial number and USB id, an on-board port, a
// pseudo-terminal). Plain C++: both roots are parameters, so that fake trees
// in a temporary folder stand in for the system's.

#include <string>
#include <vector>

namespace o5 {

struct SerialPortEntry {
  std::string path;         // the item: a device path, or a name from the extra list
  std::string description;  // the item's tooltip; empty when nothing is known
};

struct SerialPortRoots {
  std::string sys = "/sys";
  std::string dev = "/dev";
};

// The environment variable with further port paths (colons or blanks between
// them): links such as /dev/serial/by-id/..., the simulator's link.
inline constexpr const char* kExtraPortsVariable = "ORTAN5_EXTRA_PORTS";

// The serial devices of <sys>/class/tty that have a node under <dev>, then the
// names of `extra` that lead to a terminal right now (a link is followed): a
// pseudo-terminal, or the node of a serial device the tty class has. Each
// device once: under the first link of `extra` that leads to it, otherwise
// under the first path found for it. Unsorted. Returns 0, or the errno of a
// tty class folder that cannot be read.
int ListSerialDevices(const SerialPortRoots& roots, const char* extra,
                      std::vector<SerialPortEntry>& out);

// The tooltip line of one device path (a link is followed):
//   USB adapter:  "FTDI FT232R USB UART · A1B2C3 · 0403:6001", and on a second
//                 line its <dev>/serial/by-id/ link when there is one;
//   on-board port: "Встроенный последовательный порт";
//   pseudo-terminal: "Псевдотерминал";
//   Bluetooth serial link: "Последовательный порт Bluetooth".
std::string DescribeSerialDevice(const SerialPortRoots& roots, const std::string& path);

}  // namespace o5
