// libFuzzer target for the state chunk reader: every byte string a host could
// hand to effSetChunk, as a program or a bank, in either layout. Parameters
// must stay finite and within their ranges.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "editor/GraphicsFactory.h"
#include "effect/Torvane.h"
#include "framework/IParameter.h"
#include "fuzz/Require.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "tests/support/VstHosted.h"

namespace torvane {
namespace {
void Check(const IParameter& p) {
  Require(std::isfinite(p.Value()) && p.Value() >= p.Min() && p.Value() <= p.Max());
}
}  // namespace

// The effect's editor without a window and without a settings file.
std::unique_ptr<IGraphics> CreateGraphics(IEffectBase& effect) {
  auto graphics = std::make_unique<IGraphicsHeadless>(effect);
  graphics->UseDocumentsFolder("");
  return graphics;
}
}  // namespace torvane

using namespace torvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Torvane* effect = &(new VstHosted<Torvane>)->effect;
  if (size == 0) return 0;
  AEffect* record = VstRecord(*effect);
  record->dispatcher(record, effSetChunk, data[0] & 1, static_cast<VstIntPtr>(size - 1),
                     const_cast<uint8_t*>(data + 1), 0.0f);
  for (int i = 0; i < effect->NumParameters(); ++i) Check(*effect->GetParameter(i));
  for (int i = 0; i < EditorSizeRecords::kCount; ++i) Check(effect->EditorSize()[i]);
  Require(std::isfinite(effect->OutputFactor()));
  return 0;
}
