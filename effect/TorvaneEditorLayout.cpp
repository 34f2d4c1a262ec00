// The effect's editor: the panel, three switches, eleven faders with their
// read-outs, eight meters and the version text, all placed at scale 1 on a
// 720 x 420 panel whose images are drawn at three times that size, and the
// resize controller that scales the whole between 1 and 3.
#include <memory>

#include "editor/GraphicsFactory.h"
#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/ISwitchControl.h"
#include "editor/ITextControl.h"
#include "editor/TextEntry.h"
#include "editor/TextEntryEnumType.h"
#include "editor/resize/IEditorResize.h"
#include "effect/Torvane.h"

namespace torvane {

namespace {

// The panel's images are drawn at this many times its size.
constexpr int kImageFactor = 3;
constexpr double kMinScale = 1.0;
constexpr double kMaxScale = 3.0;
// The unscaled size a state may bring: from the panel's own up to that at the largest scale.
constexpr double kMinBaseWidth = 720, kMinBaseHeight = 420, kMaxBaseWidth = 2160, kMaxBaseHeight = 1260;

struct Image {
  int id;
  const char* name;
};
constexpr Image kPanel = {100, "resources/img/bg.png"};
constexpr Image kFaderHandle = {101, "resources/img/vsliderhandle.png"};

struct Switch {
  Image image;
  int frames;
  int x, y;
  int parameter;
};
// Frames top to bottom in the parameter's order: -6, 0, +6 dB; off, on; mono, stereo.
constexpr Switch kSwitches[] = {
    {{102, "resources/img/trim.png"}, 3, 95, 335, Torvane::kInputTrim},
    {{103, "resources/img/onoff.png"}, 2, 95, 359, Torvane::kTransients},
    {{104, "resources/img/ms.png"}, 2, 94, 383, Torvane::kChannel},
};

struct Fader {
  int x, y, travel;
  IBounds readOut;  // under the fader
};
// Indexed by parameter, "Process" to "Output". The outer four are long, the
// seven tone faders short.
constexpr Fader kFaders[] = {
    {49, 70, 240, {41, 305, 81, 319}},    {99, 70, 240, {91, 305, 131, 319}},
    {169, 220, 170, {161, 385, 201, 399}}, {229, 220, 170, {221, 385, 261, 399}},
    {289, 220, 170, {281, 385, 321, 399}}, {349, 220, 170, {341, 385, 381, 399}},
    {409, 220, 170, {401, 385, 441, 399}}, {469, 220, 170, {461, 385, 501, 399}},
    {529, 220, 170, {521, 385, 561, 399}}, {599, 70, 240, {591, 305, 631, 319}},
    {649, 70, 240, {641, 305, 681, 319}},
};
static_assert(sizeof kFaders / sizeof kFaders[0] == Torvane::kOutput + 1, "one fader per parameter up to Output");

// The meter display: the seven bands' grid, and the limiter's meter on its own below.
constexpr int kMeterTops[Torvane::kNumMeters] = {72, 81, 90, 99, 108, 117, 126, 145};
constexpr int kMeterLeft = 261, kMeterRight = 460, kMeterHeight = 6;
constexpr IArgb kMeterCentreColour = {150, 50, 255, 50};
constexpr IArgb kMeterExtremeColour = {150, 255, 50, 50};

constexpr IBounds kVersionRect = {666, 13, 700, 23};
constexpr char kVersionText[] = "Build 170704";

ITextStyle TextStyle(int size, const IArgb& colour) {
  ITextStyle style;
  style.SetFontName("Arial");
  style.size = size;
  style.colour = colour;
  style.entryBackground = {255, 255, 255, 255};
  style.entryText = {255, 0, 0, 0};
  style.style = TextStyleBold;
  style.alignment = TextAlignCentre;
  return style;
}

}  // namespace

void Torvane::BuildEditor() {
  std::unique_ptr<IGraphics> graphics = CreateGraphics(*this);
  if (!graphics) return;
  IGraphics& g = *graphics;

  auto resize = std::make_unique<IEditorResize>(*this, g);
  resize->SetRescaleBitmaps(true);
  resize->SelectDefaultView();
  resize->SetScaleLimits(kMinScale, kMaxScale);
  resize->SetProportionalDrag(true);
  resize->SetViewLimits(0, kMinBaseWidth, kMinBaseHeight, kMaxBaseWidth, kMaxBaseHeight);

  g.SetImageFactor(kImageFactor);
  g.AttachBackdrop(kPanel.id, kPanel.name);
  for (const Switch& s : kSwitches) {
    IImageStrip& strip = g.LoadImageStrip(s.image.id, s.image.name, s.frames);
    g.AddControl(std::make_unique<ISwitchControl>(this, s.x, s.y, s.parameter, strip, BlendAlpha));
  }
  IImageStrip& handle = g.LoadImageStrip(kFaderHandle.id, kFaderHandle.name, 1);
  for (int p = kProcess; p <= kOutput; ++p) {
    const Fader& f = kFaders[p];
    g.AddControl(std::make_unique<IFaderControl>(this, f.x, f.y, f.travel, p, handle));
  }
  const ITextStyle readOut = TextStyle(13, {100, 255, 255, 255});
  for (int p = kProcess; p <= kOutput; ++p) {
    const IBounds& rect = kFaders[p].readOut;
    if (p == kLfCut) {
      g.AddControl(std::make_unique<TextEntryEnumType>(this, rect, readOut, p, kLfCutFrequencies, kNumLfCuts));
    } else {
      g.AddControl(std::make_unique<TextEntry>(this, rect, readOut, p));
    }
  }
  for (int k = 0; k < kNumMeters; ++k) {
    const IBounds rect{kMeterLeft, kMeterTops[k], kMeterRight, kMeterTops[k] + kMeterHeight};
    auto meter = std::make_unique<IHBiDirMeterControl>(this, rect);
    meter->SetColours(kMeterCentreColour, kMeterExtremeColour);
    // Until audio runs the meters read what the effect holds (0 dB), not the
    // far left a control's first value would show.
    meter->SetValueFromEffect(MeterValue(k));
    SetMeterControl(k, &g.AddControl(std::move(meter)));
  }
  g.AddControl(std::make_unique<ITextControl>(this, kVersionRect, TextStyle(9, {80, 255, 255, 255}), kVersionText));

  meterEditor_ = &g;
  // The editor takes the controller over as its last control when attached.
  SetResizeState(resize.release());
  AttachEditor(std::move(graphics));
}

}  // namespace torvane
