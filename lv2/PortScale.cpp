#include "lv2/PortScale.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "core/LeadingNumber.h"

namespace torvane {

namespace {
// What follows a choice's number, or null when the text does not start with one.
const char* UnitAfterNumber(const char* text, double& number) noexcept {
  const char* unit = ReadLeadingNumber(text, number);
  while (unit && std::isspace(static_cast<unsigned char>(*unit))) ++unit;
  return unit;
}
}  // namespace

PortScale::PortScale(const IParameter& parameter) noexcept : parameter_(&parameter) {
  const int count = parameter.DisplayTextCount();
  if (parameter.Type() != TypeEnum || count == 0) return;
  double number;
  const char* unit = UnitAfterNumber(parameter.DisplayTextAt(0).text, number);
  for (int i = 1; unit && i < count; ++i) {
    const char* other = UnitAfterNumber(parameter.DisplayTextAt(i).text, number);
    if (!other || std::strcmp(other, unit) != 0) return;
    // Two choices of one number would leave a port value two meanings.
    for (int j = 0; j < i; ++j) {
      if (Number(j) == number) return;
    }
  }
  numbered_ = unit != nullptr;
}

const char* PortScale::Unit() const noexcept {
  if (!numbered_) return parameter_->Label();
  double number;
  return UnitAfterNumber(parameter_->DisplayTextAt(0).text, number);
}

double PortScale::Number(int choice) const noexcept {
  return ParseLeadingNumber(parameter_->DisplayTextAt(choice).text);
}

const DisplayText& PortScale::Nearest(double value, bool byNumber) const noexcept {
  int nearest = 0;
  double distance = INFINITY;
  for (int i = 0; i < parameter_->DisplayTextCount(); ++i) {
    const double d = std::fabs((byNumber ? Number(i) : parameter_->DisplayTextAt(i).value) - value);
    if (d < distance) nearest = i, distance = d;
  }
  return parameter_->DisplayTextAt(nearest);
}

double PortScale::PortValue(double parameterValue) const noexcept {
  return numbered_ ? ParseLeadingNumber(Nearest(parameterValue, false).text) : parameterValue;
}

double PortScale::ParameterValue(double portValue) const noexcept {
  return numbered_ ? Nearest(portValue, true).value : portValue;
}

double PortScale::Bound(bool upper) const noexcept {
  double bound = Number(0);
  for (int i = 1; i < parameter_->DisplayTextCount(); ++i) {
    bound = upper ? std::fmax(bound, Number(i)) : std::fmin(bound, Number(i));
  }
  return bound;
}

}  // namespace torvane
