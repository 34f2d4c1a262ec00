#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editor/IFaderControl.h"
#include "editor/IHBiDirMeterControl.h"
#include "editor/TextEntry.h"
#include "framework/IEffectBase.h"
#include "platform/win/IGraphicsWin.h"

namespace torvane {

// A small effect for the window tests: what the editor tells the host goes
// into a log, and, as the real effect does, every new value goes back to the
// editor. Parameter 0 runs from 0 to 1 (the fader), 1 from -10 to 10 dB (the
// read-out), 2 takes whole numbers 0 to 10, and 3 chooses "Soft", "Hard" or
// "Off".
class WindowTestEffect : public IEffectBase {
 public:
  WindowTestEffect() : IEffectBase(4, "1-1 2-2", 1, "Test", "", "Maker", 1, 1) {
    GetParameter(0)->DefineDouble("Level", 0.5, 0.0, 1.0, 0.001);
    GetParameter(1)->DefineDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
    GetParameter(2)->DefineInt("Steps", 0, 0, 10);
    GetParameter(3)->DefineEnum("Mode", 0, 3);
    GetParameter(3)->AddDisplayText(0, "Soft");
    GetParameter(3)->AddDisplayText(1, "Hard");
    GetParameter(3)->AddDisplayText(2, "Off");
  }

  void BeginParameterEdit(int index) override { Log("begin %d", index); }
  void NotifyHostOfParameter(int index, double position) override { Log("automate %d %g", index, position); }
  void EndParameterEdit(int index) override { Log("end %d", index); }
  int IdentifyHost() override { return hostId; }
  void OnParameterChange(int index) override {
    if (Editor()) Editor()->PushParameterToControls(index, GetParameter(index)->Value(), false);
  }

  std::vector<std::string> log;
  int hostId = 0;

 private:
  void Log(const char* format, int index, double value = 0.0) {
    char line[64];
    std::snprintf(line, sizeof(line), format, index, value);
    log.push_back(line);
  }
};

// The window layer with a record of the areas it presented.
class RecordingGraphics : public IGraphicsWin {
 public:
  using IGraphicsWin::IGraphicsWin;
  bool PresentArea(const IBounds& area) override {
    presented.push_back(area);
    return IGraphicsWin::PresentArea(area);
  }
  std::vector<IBounds> presented;
};

// The test editor: the real panel image and fader handle, a fader for
// parameter 0, a read-out for parameter 1 and a meter, attached to its effect.
struct TestEditor {
  static constexpr IBounds kFader = {49, 70, 71, 310};
  static constexpr IBounds kReadOut = {91, 305, 131, 319};
  static constexpr IBounds kMeter = {261, 72, 460, 78};

  TestEditor() {
    auto owned = std::make_unique<RecordingGraphics>(effect);
    graphics = owned.get();
    graphics->SetImageFactor(3);
    graphics->AttachBackdrop(100, "resources/img/bg.png");
    IImageStrip& handle = graphics->LoadImageStrip(101, "resources/img/vsliderhandle.png", 1);
    graphics->AddControl(std::make_unique<IFaderControl>(&effect, kFader.left, kFader.top, 240, 0, handle));
    ITextStyle style;
    style.SetFontName("Arial");
    style.size = 13;
    style.style = TextStyleBold;
    style.colour = {255, 255, 255, 255};
    style.entryBackground = {255, 20, 40, 200};
    style.entryText = {255, 255, 255, 0};
    graphics->AddControl(std::make_unique<TextEntry>(&effect, kReadOut, style, 1));
    auto meter = std::make_unique<IHBiDirMeterControl>(&effect, kMeter);
    meter->SetColours({150, 50, 255, 50}, {150, 255, 50, 50});
    this->meter = meter.get();
    graphics->AddControl(std::move(meter));
    graphics->RescaleImages(1.0);
    effect.AttachEditor(std::move(owned));
  }

  WindowTestEffect effect;
  RecordingGraphics* graphics = nullptr;
  IHBiDirMeterControl* meter = nullptr;
};

}  // namespace torvane
