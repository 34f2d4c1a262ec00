// The editor's text load: its eleven read-outs drawn once per frame through a
// warm glyph cache, at scale 1 (Arial bold 13 on 720 x 420) and scale 3
// (Arial bold 39 on 2160 x 1260). Time per iteration is one frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "raster/CachedFont.h"
#include "raster/SysBitmap.h"

namespace torvane {

namespace {

// The read-outs' rectangles at scale 1 (40 x 14 under their faders) and
// typical values of the parameters they show.
constexpr RasterRect kReadouts[11] = {
    {41, 305, 81, 319},   {91, 305, 131, 319},  {161, 385, 201, 399}, {221, 385, 261, 399},
    {281, 385, 321, 399}, {341, 385, 381, 399}, {401, 385, 441, 399}, {461, 385, 501, 399},
    {521, 385, 561, 399}, {591, 305, 631, 319}, {641, 305, 681, 319}};
constexpr const char* kTexts[11] = {"5.5 ",    "0.0 ",    "0.0 dB",  "-10.0 dB", "3.5 dB", "12.0 dB",
                                    "-2.5 dB", "0.0 dB",  "-6.0 dB", "30 Hz ",   "-1.5 dB"};
// The read-out style: white at alpha 100, bold, centred; the editor never clips text.
constexpr uint32_t kReadoutColour = 0x64FFFFFF;
constexpr uint32_t kReadoutFlags = kTextNoClip | kTextUseColourAlpha | kTextCentre;

void BM_ElevenReadouts(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  SysBitmap surface(720 * scale, 420 * scale);
  auto font = std::make_unique<CachedFont>();
  font->AdoptSystemFont(CreateSystemFont({"Arial", 13 * scale, 0, 700, false, 2}),
                        kFontOwnsSystemFont | kFontPreferNative);
  if (!font->SystemFontHandle()) {
    state.SkipWithError("no Arial");
    return;
  }
  font->SetTextColour(kReadoutColour);
  auto frame = [&] {
    for (int i = 0; i < 11; ++i) {
      const RasterRect& r = kReadouts[i];
      RasterRect box = {r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
      font->RenderTextInto(&surface, kTexts[i], -1, &box, kReadoutFlags);
    }
  };
  frame();  // warms the cache
  for (auto _ : state) {
    frame();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ElevenReadouts)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace torvane
