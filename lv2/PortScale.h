#pragma once

#include "framework/IParameter.h"

namespace torvane {

// What a parameter's port carries. A choice parameter whose every text starts
// with a number in one unit ("20 Hz" ... "100 Hz") carries that number, so
// that hosts show and automate hertz rather than a choice's place; any other
// parameter carries its own value. The one mapping the description, the
// plug-in and the editor share: a value type borrowing the parameter record
// from its effect, of which it reads the range, default and choice texts,
// fixed once the effect has defined them, so any thread may ask it.
class PortScale {
 public:
  explicit PortScale(const IParameter& parameter) noexcept;

  // The choices' unit as their texts show it, else the parameter's label.
  const char* Unit() const noexcept;
  double PortValue(double parameterValue) const noexcept;
  // A port value between choices takes the choice whose number is nearest.
  double ParameterValue(double portValue) const noexcept;
  double Minimum() const noexcept { return numbered_ ? Bound(false) : parameter_->Min(); }
  double Maximum() const noexcept { return numbered_ ? Bound(true) : parameter_->Max(); }
  double Default() const noexcept { return PortValue(parameter_->DefaultValue()); }

 private:
  // The choice nearest value: by its number, or by its own value.
  const DisplayText& Nearest(double value, bool byNumber) const noexcept;
  double Number(int choice) const noexcept;
  // The choices' largest or smallest number.
  double Bound(bool upper) const noexcept;

  const IParameter* parameter_;
  bool numbered_ = false;
};

}  // namespace torvane
