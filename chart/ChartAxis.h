// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One manually scaled axis: the chart never fits it to the data. Bounds set one
// at a time are checked against the other bound; gestures set both at once.

#include <functional>
#include <string>

namespace o5 {

class ChartAxis {
 public:
  ChartAxis(double minimum, double maximum, double increment);

  double Minimum() const { return minimum_; }
  double Maximum() const { return maximum_; }
  // Distance between labels; 0 lets the chart choose.
  double Increment() const { return increment_; }

  // AxisError when the value would invert the range (or is not a number); the
  // axis then keeps its values.
  void SetMinimum(double value);
  void SetMaximum(double value);
  // AxisError for a negative increment.
  void SetIncrement(double value);
  // Both bounds in one step, as zoom, pan and undo need; never refused. Bounds
  // given the wrong way round are swapped, values that are not finite ignored.
  void SetMinMax(double minimum, double maximum);

  const std::string& Title() const { return title_; }  // UTF-8
  void SetTitle(std::string title);

  // Called after every change of a value, so the owner can schedule a redraw.
  void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 private:
  void Changed();

  double minimum_;
  double maximum_;
  double increment_;
  std::string title_;
  std::function<void()> changed_;
};

}  // namespace o5
