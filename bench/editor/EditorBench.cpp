// The effect's editor as a user meets it: building an instance (hosts build
// many), one repaint tick while audio plays (the eight meters take new values
// and the window thread paints what changed), and the re-render when the
// corner handle is let go at a new scale (images rendered anew, every control
// moved and rescaled, the whole window painted). The editor is opened at a
// scale as a host's editor open does, from the settings file in the
// benchmark's own documents folder.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "editor/IGraphics.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/resize/SettingsFile.h"
#include "effect/Torvane.h"
#include "framework/IResizeState.h"
#include "system/ProfileFile.h"

namespace torvane {

namespace {

constexpr int kTicksPerSecond = 120;
constexpr int kPathBytes = 4096;
const IMouseKeys kLeft{true};

void StoreScale(double scale) {
  char documents[kPathBytes] = "";
  DocumentsFolder(documents, sizeof documents);
  SettingsFile(documents, "Quillfen", "Torvane").WriteStoredScale(scale);
}

// An effect whose editor is open at the scale.
struct OpenEditor {
  explicit OpenEditor(double scale) {
    StoreScale(scale);
    effect.ResizeState()->ApplyStoredSizeOnOpen();
    for (int i = 0; i < graphics.ControlCount(); ++i) {
      if (auto* meter = dynamic_cast<IHBiDirMeterControl*>(graphics.GetControl(i))) meters.push_back(meter);
    }
  }

  void PaintDirty() {
    IBounds area;
    if (graphics.CollectDirtyArea(area)) graphics.PaintArea(area);
  }

  // Drags the corner handle to where the window is that scale, and lets go.
  void DragTo(double scale) {
    const int w = graphics.Width(), h = graphics.Height();
    graphics.HandleMouseDown(w - 5, h - 5, kLeft);
    graphics.HandleMouseDrag(static_cast<int>(IGraphics::kDefaultWidth * scale),
                             static_cast<int>(IGraphics::kDefaultHeight * scale), kLeft);
    graphics.HandleMouseUp(graphics.Width(), graphics.Height(), kLeft);
  }

  Torvane effect{nullptr};
  IGraphics& graphics = static_cast<IGraphics&>(*effect.Editor());
  std::vector<IHBiDirMeterControl*> meters;
};

void EffectConstruction(benchmark::State& state) {
  for (auto _ : state) {
    Torvane effect(nullptr);
    benchmark::DoNotOptimize(effect.Editor());
  }
}

void RepaintTick(benchmark::State& state) {
  OpenEditor editor(static_cast<double>(state.range(0)));
  // The first pass paints everything; the ticks measured repaint the meters.
  editor.PaintDirty();
  int tick = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (size_t k = 0; k < editor.meters.size(); ++k) {
      editor.meters[k]->SetValueFromEffect(0.5 + 0.45 * std::sin(0.05 * tick + static_cast<double>(k)));
    }
    editor.PaintDirty();
    benchmark::DoNotOptimize(editor.graphics.Surface()->PixelBuffer());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++tick;
  }
  // Seconds per tick x 120 ticks x 100 %.
  state.counters["core_percent_at_120_ticks"] = seconds / static_cast<double>(state.iterations()) * kTicksPerSecond * 100.0;
}

// From scale 1 to the scale (from 3 back to 1): the time from the press on
// the handle to the last pixel of the repainted window.
void RerenderAfterResize(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0));
  const double from = scale == 1.0 ? 3.0 : 1.0;
  OpenEditor editor(from);
  for (auto _ : state) {
    state.PauseTiming();
    editor.DragTo(from);
    editor.PaintDirty();
    state.ResumeTiming();
    editor.DragTo(scale);
    editor.PaintDirty();
    benchmark::DoNotOptimize(editor.graphics.Surface()->PixelBuffer());
  }
}

}  // namespace

BENCHMARK(EffectConstruction)->Unit(benchmark::kMicrosecond);
BENCHMARK(RepaintTick)->ArgName("scale")->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(RerenderAfterResize)->ArgName("scale")->Arg(3)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace torvane
