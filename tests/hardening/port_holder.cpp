// SPDX-License-Identifier: GPL-3.0-or-later
// Another program holding a serial port: opens the device named on its command
// line with the tool's own port component, says "held", and keeps it until its
// standard input ends. Exit status 0, or 1 when the port cannot be opened.

#include <QCoreApplication>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "link/ComPort.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DEVICE\n", argv[0]);
    return 2;
  }
  o5::TComPort port;
  port.SetPort(argv[1]);
  port.SetEvents(o5::TComEvents());
  try {
    port.OpenPort();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  port.ClosePort();
  return 0;
}
