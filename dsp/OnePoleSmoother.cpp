#include "dsp/OnePoleSmoother.h"

#include <cmath>

namespace torvane {

void OnePoleSmoother::SetCorner(double hz) noexcept {
  coefficient_ = 1.0 - std::exp(kPi * -2.0 * hz / sampleRate_);
}

}  // namespace torvane
