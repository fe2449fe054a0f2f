// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a device stands in the port selector's list when the tool is given it
// among the system's ports (ORTAN5_EXTRA_PORTS), as a test that picks it with
// the keyboard needs to know.

#include <cstdlib>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "link/ComPort.h"
#include "link/SerialPortList.h"

namespace o5::test {

inline std::optional<std::size_t> ListedPortIndex(const std::string& device) {
  setenv(kExtraPortsVariable, device.c_str(), 1);
  std::vector<std::string> names;
  TCustomComPort::ListSerialPorts(names);
  unsetenv(kExtraPortsVariable);
  const auto at = std::find(names.begin(), names.end(), device);
  if (at == names.end()) return std::nullopt;
  return static_cast<std::size_t>(at - names.begin());
}

}  // namespace o5::test
