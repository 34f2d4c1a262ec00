// One repaint tick of the editor while audio plays: the eight meters take new
// values (as the audio thread pushes them), the window thread collects the
// dirty area and paints it. The editor holds the effect's controls at their
// places, with the module's own images rendered for the scale. Reported per
// tick and as the share of one core at the editor's 120 ticks per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "editor/GraphicsFactory.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/ISwitchControl.h"
#include "editor/ITextControl.h"
#include "editor/TextEntry.h"
#include "editor/TextEntryEnumType.h"
#include "effect/Torvane.h"

namespace torvane {

namespace {

constexpr int kImageFactor = 3;
constexpr int kTicksPerSecond = 120;
constexpr int kMeters = 8;
const double kCutoffs[] = {20, 30, 40, 50, 60, 70, 80, 90, 100};

// Places a control laid out at scale 1 at the given scale, as the resize
// controller does.
void PlaceAt(IControl& control, double scale) {
  const auto scaled = [scale](const IBounds& r) {
    return IBounds{static_cast<int>(r.left * scale), static_cast<int>(r.top * scale),
                   static_cast<int>(r.right * scale), static_cast<int>(r.bottom * scale)};
  };
  control.SetUnscaledRect(control.DrawRect());
  control.SetDrawRect(scaled(control.DrawRect()));
  control.SetTargetRect(scaled(control.TargetRect()));
  control.Rescale(scale);
}

struct Editor {
  Torvane effect{nullptr};
  IGraphics* graphics = nullptr;
  IHBiDirMeterControl* meters[kMeters] = {};
};

std::unique_ptr<Editor> BuildEditor(double scale) {
  auto editor = std::make_unique<Editor>();
  std::unique_ptr<IGraphics> owned = CreateGraphics(editor->effect);
  IGraphics& g = *owned;
  editor->graphics = owned.get();
  g.SetImageFactor(kImageFactor);
  g.AttachBackdrop(100, "resources/img/bg.png");
  const struct {
    int id, x, y, parameter, frames;
    const char* name;
  } switches[] = {{102, 95, 335, Torvane::kInputTrim, 3, "resources/img/trim.png"},
                  {103, 95, 359, Torvane::kTransients, 2, "resources/img/onoff.png"},
                  {104, 94, 383, Torvane::kChannel, 2, "resources/img/ms.png"}};
  for (const auto& s : switches) {
    g.AddControl(std::make_unique<ISwitchControl>(&editor->effect, s.x, s.y, s.parameter,
                                                  g.LoadImageStrip(s.id, s.name, s.frames)));
  }
  IImageStrip& handle = g.LoadImageStrip(101, "resources/img/vsliderhandle.png", 1);
  const int faderX[] = {49, 99, 169, 229, 289, 349, 409, 469, 529, 599, 649};
  ITextStyle readOut;
  readOut.SetFontName("Arial");
  readOut.size = 13;
  readOut.colour = {100, 255, 255, 255};
  readOut.style = TextStyleBold;
  for (int p = 0; p <= Torvane::kOutput; ++p) {
    const bool tall = p <= Torvane::kDirt || p >= Torvane::kLfCut;
    g.AddControl(std::make_unique<IFaderControl>(&editor->effect, faderX[p], tall ? 70 : 220, tall ? 240 : 170, p,
                                                 handle));
  }
  for (int p = 0; p <= Torvane::kOutput; ++p) {
    const bool tall = p <= Torvane::kDirt || p >= Torvane::kLfCut;
    const IBounds rect{faderX[p] - 8, tall ? 305 : 385, faderX[p] + 32, tall ? 319 : 399};
    if (p == Torvane::kLfCut) {
      g.AddControl(std::make_unique<TextEntryEnumType>(&editor->effect, rect, readOut, p, kCutoffs, 9));
    } else {
      g.AddControl(std::make_unique<TextEntry>(&editor->effect, rect, readOut, p));
    }
  }
  const int meterTop[kMeters] = {72, 81, 90, 99, 108, 117, 126, 145};
  for (int k = 0; k < kMeters; ++k) {
    auto meter = std::make_unique<IHBiDirMeterControl>(&editor->effect, IBounds{261, meterTop[k], 460, meterTop[k] + 6});
    meter->SetColours({150, 50, 255, 50}, {150, 255, 50, 50});
    editor->meters[k] = meter.get();
    editor->effect.SetMeterControl(k, &g.AddControl(std::move(meter)));
  }
  ITextStyle version = readOut;
  version.size = 9;
  version.colour = {80, 255, 255, 255};
  g.AddControl(std::make_unique<ITextControl>(&editor->effect, IBounds{666, 13, 700, 23}, version, "Build 170704"));

  for (int i = 1; i < g.ControlCount(); ++i) PlaceAt(*g.GetControl(i), scale);
  g.GetControl(0)->SetUnscaledRect({0, 0, 720, 420});
  g.GetControl(0)->SetDrawRect({0, 0, static_cast<int>(720 * scale), static_cast<int>(420 * scale)});
  g.RescaleImages(scale);
  g.ResizeSurface(static_cast<int>(720 * scale), static_cast<int>(420 * scale));
  editor->effect.AttachEditor(std::move(owned));
  return editor;
}

void RepaintTick(benchmark::State& state) {
  const double scale = static_cast<double>(state.range(0));
  std::unique_ptr<Editor> editor = BuildEditor(scale);
  IGraphics& g = *editor->graphics;
  // The first pass paints everything; the ticks measured repaint the meters.
  IBounds whole;
  g.CollectDirtyArea(whole);
  g.PaintArea(whole);
  int tick = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < kMeters; ++k) {
      editor->meters[k]->SetValueFromEffect(0.5 + 0.45 * std::sin(0.05 * tick + k));
    }
    IBounds area;
    g.CollectDirtyArea(area);
    g.PaintArea(area);
    benchmark::DoNotOptimize(g.Surface()->PixelBuffer());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++tick;
  }
  // Seconds per tick x 120 ticks x 100 %.
  state.counters["core_percent_at_120_ticks"] = seconds / static_cast<double>(state.iterations()) * kTicksPerSecond * 100.0;
}

}  // namespace

BENCHMARK(RepaintTick)->ArgName("scale")->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace torvane
