// Blit and fill throughput on editor-sized surfaces (the nominal 720 x 420 and
// the images' full 2160 x 1260), reported in pixels per second.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "raster/BlitMode.h"
#include "raster/BlitRegion.h"
#include "raster/FillRegion.h"
#include "raster/MemBitmap.h"
#include "raster/SysBitmap.h"

namespace torvane {

namespace {

// An image like the editor's artwork: opaque, transparent and partly covered pixels.
void Paint(IRasterBitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    uint32_t* row = b.PixelBuffer() + static_cast<ptrdiff_t>(y) * b.RowPitch();
    for (int x = 0; x < b.Width(); ++x) {
      const uint32_t alpha = (x / 7 + y / 5) % 3 == 0 ? 0 : ((x * 13 + y * 7) % 5 == 0 ? 0x80 : 0xFF);
      row[x] = alpha << 24 | static_cast<uint32_t>(x * 2654435761u >> 8 & 0xFFFFFF);
    }
  }
}

// Shown as pixels per second (M: millions, G: thousands of millions).
void ReportPixels(benchmark::State& state, int64_t pixelsPerIteration) {
  state.counters["pixels"] = benchmark::Counter(
      static_cast<double>(pixelsPerIteration) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void BlitBench(benchmark::State& state, float alpha, int mode) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  SysBitmap surface(width, height);
  MemBitmap image(width, height);
  Paint(surface);
  Paint(image);
  for (auto _ : state) {
    BlitRegion(&surface, &image, 0, 0, nullptr, alpha, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{width} * height);
}

void BM_BlitOpaqueCopy(benchmark::State& state) { BlitBench(state, 1.0f, BlitCopy); }
void BM_BlitSourceAlphaCopy(benchmark::State& state) {
  BlitBench(state, 1.0f, BlitCopy | BlitUseSourceAlpha);
}
void BM_BlitSourceAlphaCopyAt70Percent(benchmark::State& state) {
  BlitBench(state, 0.7f, BlitCopy | BlitUseSourceAlpha);
}

void FillBench(benchmark::State& state, uint32_t colour, float alpha, int mode) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  SysBitmap surface(width, height);
  Paint(surface);
  for (auto _ : state) {
    FillRegion(&surface, 0, 0, width, height, colour, alpha, mode);
    benchmark::ClobberMemory();
  }
  ReportPixels(state, int64_t{width} * height);
}

void BM_FillOpaque(benchmark::State& state) { FillBench(state, 0xFF191919, 1.0f, BlitUseSourceAlpha); }
void BM_FillHalf(benchmark::State& state) { FillBench(state, 0xFF191919, 0.5f, BlitCopy); }
void BM_FillWeighted(benchmark::State& state) { FillBench(state, 0xFF191919, 0.3f, BlitCopy); }

// The editor's nominal size and the artwork's full size.
void EditorSizes(benchmark::internal::Benchmark* b) {
  b->Args({720, 420})->Args({2160, 1260})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_BlitOpaqueCopy)->Apply(EditorSizes);
BENCHMARK(BM_BlitSourceAlphaCopy)->Apply(EditorSizes);
BENCHMARK(BM_BlitSourceAlphaCopyAt70Percent)->Apply(EditorSizes);
BENCHMARK(BM_FillOpaque)->Apply(EditorSizes);
BENCHMARK(BM_FillHalf)->Apply(EditorSizes);
BENCHMARK(BM_FillWeighted)->Apply(EditorSizes);

}  // namespace

}  // namespace torvane
