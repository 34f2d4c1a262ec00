#include "lv2/PortLayout.h"

#include "framework/IEffectBase.h"
#include "core/RecursiveLock.h"

namespace torvane {

PortLayout::PortLayout(IEffectBase& effect) noexcept
    : inputs_(effect.NumInputChannels()), outputs_(effect.NumOutputChannels()), parameters_(effect.NumParameters()) {
  ScopedLock lock(effect.Lock());
  meters_ = effect.ReadMeters(nullptr, 0);
}

int PortLayout::ParameterOf(uint32_t port) const noexcept {
  return port >= Parameter(0) && port < Parameter(parameters_) ? static_cast<int>(port - Parameter(0)) : -1;
}

int PortLayout::MeterOf(uint32_t port) const noexcept {
  return port >= Meter(0) && port < Meter(meters_) ? static_cast<int>(port - Meter(0)) : -1;
}

int PortLayout::EditorSizeOf(uint32_t port) const noexcept {
  return port >= EditorSize(0) && port < Count() ? static_cast<int>(port - EditorSize(0)) : -1;
}

}  // namespace torvane
