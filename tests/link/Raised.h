// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs `f` and returns the EComPort it raised; fails the test if none.

#include <gtest/gtest.h>

#include "link/ComTypes.h"

namespace o5 {

template <class F>
EComPort Raised(F&& f) {
  try {
    f();
  } catch (const EComPort& e) {
    return e;
  }
  ADD_FAILURE() << "no EComPort raised";
  return EComPort(0);
}

}  // namespace o5
