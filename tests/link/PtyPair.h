// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pseudo-terminal of the port tests: the tty keeps its defaults, so the
// tests see what the port sets; the test plays the far end on the master.

#include "tests/support/PtyLine.h"

namespace o5::test {

class PtyPair : public PtyLine {
 public:
  PtyPair() : PtyLine(Start::AsOpened) {}
  int Master() const { return MasterFd(); }
  int Slave() const { return SlaveFd(); }
};

}  // namespace o5::test
