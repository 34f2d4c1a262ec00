// libFuzzer target for the state chunk reader: every byte string a host could
// hand to effSetChunk, as a program or a bank, with and without the editor's
// size values in front. Parameters must stay finite and within their ranges.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "effect/Torvane.h"
#include "framework/IParameter.h"
#include "framework/IResizeState.h"

namespace torvane {
namespace {
class SizeValues : public IResizeState {
 public:
  SizeValues() {
    for (IParameter& p : values_) p.DefineDouble("", -1.0, -1.0, 1000000.0, 1.0);
  }
  int StateParameterCount() const override { return 3; }
  IParameter* StateParameter(int i) override { return &values_[i]; }
  void AttachToEditor() override {}
  void ApplyStoredSizeOnOpen() override {}

 private:
  IParameter values_[3];
};

void Check(const IParameter& p) {
  if (!std::isfinite(p.Value()) || p.Value() < p.Min() || p.Value() > p.Max()) std::abort();
}
}  // namespace
}  // namespace torvane

using namespace torvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Torvane* effect = new Torvane(nullptr);
  static SizeValues sizeValues;
  if (size == 0) return 0;
  effect->SetResizeState(data[0] & 2 ? &sizeValues : nullptr);
  AEffect* record = effect->EffectRecord();
  record->dispatcher(record, effSetChunk, data[0] & 1, static_cast<VstIntPtr>(size - 1),
                     const_cast<uint8_t*>(data + 1), 0.0f);
  for (int i = 0; i < effect->NumParameters(); ++i) Check(*effect->GetParameter(i));
  for (int i = 0; i < 3; ++i) Check(*sizeValues.StateParameter(i));
  if (!std::isfinite(effect->OutputFactor())) std::abort();
  return 0;
}
