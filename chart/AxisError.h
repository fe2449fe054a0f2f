// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The refusals of a chart axis. They are raised, not caught: the handler that
// asked for the change ends there and the message reaches the error display.

#include <stdexcept>

namespace o5 {

inline constexpr const char* kAxisMaximumBelowMinimum = "Axis Maximum Value must be >= Minimum";
inline constexpr const char* kAxisMinimumAboveMaximum = "Axis Minimum Value must be <= Maximum";
inline constexpr const char* kAxisNegativeIncrement = "Axis increment must be >= 0";

class AxisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace o5
