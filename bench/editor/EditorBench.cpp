// The effect's editor as a user meets it: building an instance (hosts build
// many), one repaint tick while audio plays (the eight meters take new values
// and the window thread paints what changed), and the re-render when the
// corner handle is let go at a new scale (images rendered anew, every control
// moved and rescaled, the whole window painted). The editor is opened at a
// scale as a host's editor open does, from the settings file in the
// benchmark's own documents folder. With an X display (xvfb-run -s "-screen 0
// 2400x1500x24") the editor also opens its window: what an open editor keeps
// in memory, and the copy of the whole surface to the window.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "editor/IGraphics.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/resize/SettingsFile.h"
#include "effect/Torvane.h"
#include "framework/IResizeState.h"
#include "system/ProfileFile.h"
#include "tests/support/VstHosted.h"

// After the editor's headers: Xlib defines names such as KeyPress as macros.
#include <X11/Xlib.h>

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

  VstHosted<Torvane> effectHosted;
  Torvane& effect = effectHosted.effect;
  IGraphics& graphics = static_cast<IGraphics&>(*effect.Editor());
  std::vector<IHBiDirMeterControl*> meters;
};

void EffectConstruction(benchmark::State& state) {
  for (auto _ : state) {
    VstHosted<Torvane> effectHosted;
    Torvane& effect = effectHosted.effect;
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

// The host's side: a top-level window on a connection of its own, large
// enough for the editor at three times its size. One for the process: a
// server whose last client leaves resets, and refuses connections meanwhile.
struct HostWindow {
  HostWindow() {
    display = XOpenDisplay(nullptr);
    if (!display) return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, IGraphics::kDefaultWidth * 3,
                                 IGraphics::kDefaultHeight * 3, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~HostWindow() {
    if (display) XCloseDisplay(display);
  }
  void* Parent() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

  Display* display = nullptr;
  Window window = 0;
};

const HostWindow& Host() {
  static const HostWindow host;
  return host;
}

// The editor at the scale with its window open and painted whole; the idle
// request ends in a round trip, so the picture is on the server.
struct OpenWindow {
  OpenWindow(double scale, const HostWindow& host) : editor(scale) {
    open = editor.graphics.OpenEditorWindow(host.Parent()) && editor.graphics.WindowHandle();
    editor.graphics.MarkAllControlsDirty();
    editor.graphics.Idle();
  }
  ~OpenWindow() { editor.graphics.CloseEditorWindow(); }

  OpenEditor editor;
  bool open = false;
};

// Heap bytes in use and the shared memory the process touched: what the
// process holds, whether or not the allocator hands out pages it had before.
double HeldBytes() {
  const struct mallinfo2 heap = mallinfo2();
  double sharedKiB = 0.0;
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "RssShmem: %lf", &sharedKiB) == 1) break;
    }
    std::fclose(status);
  }
  return static_cast<double>(heap.uordblks + heap.hblkhd) + sharedKiB * 1024.0;
}

// What one more open editor at the scale keeps, beyond the images every
// editor of the process shares (rendered by the first one).
void WindowMemory(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0));
  const HostWindow& host = Host();
  if (!host.display) return state.SkipWithError("needs an X display");
  OpenWindow first(scale, host);
  if (!first.open) return state.SkipWithError("the editor opened no X11 window");
  double bytes = 0.0;
  for (auto _ : state) {
    const double before = HeldBytes();
    OpenWindow another(scale, host);
    bytes += HeldBytes() - before;
  }
  state.counters["bytes_per_editor"] = bytes / static_cast<double>(state.iterations());
}

// The whole surface to the window and a round trip, which waits for the
// server to have shown it.
void WindowPresent(benchmark::State& state) {
  const HostWindow& host = Host();
  if (!host.display) return state.SkipWithError("needs an X display");
  OpenWindow window(static_cast<double>(state.range(0)), host);
  if (!window.open) return state.SkipWithError("the editor opened no X11 window");
  IGraphics& graphics = window.editor.graphics;
  const IBounds all{0, 0, graphics.Width(), graphics.Height()};
  for (auto _ : state) {
    graphics.PresentArea(all);
    graphics.Idle();
  }
}

}  // namespace

BENCHMARK(EffectConstruction)->Unit(benchmark::kMicrosecond);
BENCHMARK(RepaintTick)->ArgName("scale")->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(RerenderAfterResize)->ArgName("scale")->Arg(3)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowMemory)->ArgName("scale")->Arg(1)->Arg(3)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowPresent)->ArgName("scale")->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace torvane
