#include "support/IEffectStandalone.h"

namespace torvane {

void IEffectStandalone::HostTimeSignature(int& numerator, int& denominator) {
  numerator = 0;
  denominator = 0;
}

}  // namespace torvane
