#pragma once

#include <cmath>

namespace torvane {

// A tone control's value v acts as 2 v decibels: the linear gain 10^(2 v / 20)
// before the band's fixed weight.
inline double ToneGain(double v) noexcept { return std::pow(10.0, (2.0 * v) / 20.0); }

}  // namespace torvane
