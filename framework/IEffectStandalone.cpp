#include "framework/IEffectStandalone.h"

void IEffectStandalone::HostTimeSignature(int& numerator, int& denominator) {
  numerator = 0;
  denominator = 0;
}
