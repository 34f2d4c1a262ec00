#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "editor/IResizeController.h"
#include "framework/IEffectBase.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "raster/MemBitmap.h"

namespace torvane {

inline void PrintTo(const IBounds& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// One line per event, shared by an effect and its controls, so that tests see
// the order in which the host and the controls were called.
using EventLog = std::vector<std::string>;

inline std::string Event(const char* format, double a = 0, double b = 0, double c = 0) {
  char text[128];
  std::snprintf(text, sizeof(text), format, a, b, c);
  return text;
}

// A stand-alone effect that logs what the editor tells the host, reports the
// host identity it is given and, as the real effect does, hands every new
// parameter value back to the editor. Parameters 0 to 2 run from 0 to 1,
// parameter 3 takes the whole numbers 0 to 10.
class RecordingEffect : public IEffectBase {
 public:
  static constexpr int kSteps = 3;

  explicit RecordingEffect(EventLog* log) : IEffectBase(4, "1-1 2-2", 1, "Test", "", "Maker", 1, 1), log_(log) {
    for (int i = 0; i < kSteps; ++i) GetParameter(i)->DefineDouble("p", 0.0, 0.0, 1.0, 0.001);
    GetParameter(kSteps)->DefineInt("steps", 0, 0, 10);
  }

  void BeginParameterEdit(int index) override { log_->push_back(Event("begin %g", index)); }
  void NotifyHostOfParameter(int index, double position) override {
    log_->push_back(Event("automate %g %g", index, position));
  }
  void EndParameterEdit(int index) override { log_->push_back(Event("end %g", index)); }
  void OnParameterContextMenu(int index, int x, int y) override { log_->push_back(Event("menu %g %g %g", index, x, y)); }
  int IdentifyHost() override { return hostId; }
  void OnParameterChange(int index) override {
    if (Editor()) Editor()->PushParameterToControls(index, GetParameter(index)->Value(), false);
  }

  int hostId = 0;

 private:
  EventLog* log_;
};

// Synthetic images by resource id, for every editor of the test process as
// module resources are. Each test starts with only its own, so that rescaling
// in one test leaves the strips other tests loaded alone.
inline std::map<int, std::function<std::unique_ptr<IRasterBitmap>()>>& TestImages() {
  static std::map<int, std::function<std::unique_ptr<IRasterBitmap>()>> images;
  return images;
}

// An image whose pixel (x, y) is pixel(x, y).
inline void AddTestImage(int id, int width, int height, std::function<uint32_t(int, int)> pixel) {
  TestImages()[id] = [=] {
    auto image = std::make_unique<MemBitmap>(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) RowStart(*image, y)[x] = pixel(x, y);
    }
    return std::unique_ptr<IRasterBitmap>(std::move(image));
  };
}

inline uint32_t SurfacePixel(const IGraphics& graphics, int x, int y) { return RowStart(*graphics.Surface(), y)[x]; }

// The headless editor with the test images only, recording what it presents
// and the typed-entry box it is asked to open.
class TestGraphics : public IGraphicsHeadless {
 public:
  using IGraphicsHeadless::IGraphicsHeadless;

  std::unique_ptr<IRasterBitmap> LoadPlatformImage(int id, const char* name) override {
    auto image = TestImages().find(id);
    return image != TestImages().end() && NamesPngImage(name) ? image->second() : nullptr;
  }
  // The test images' sizes, from the images themselves.
  bool PlatformImageSize(int id, const char* name, int& width, int& height) override {
    return IGraphics::PlatformImageSize(id, name, width, height);
  }
  bool PresentArea(const IBounds& area) override {
    presented.push_back(area);
    return true;
  }
  void OpenTextEntry(IControl* control, const ITextStyle&, const IBounds&, const char* text,
                     IParameter* parameter) override {
    entryControl = control;
    entryText = text;
    entryParameter = parameter;
  }

  std::vector<IBounds> presented;
  IControl* entryControl = nullptr;
  std::string entryText;
  IParameter* entryParameter = nullptr;
};

// A control that logs the events it receives.
class RecordingControl : public IControl {
 public:
  RecordingControl(EventLog* log, const char* name, const IBounds& rect, int parameterIndex = -1)
      : IControl(nullptr, rect, parameterIndex), log_(log), name_(name) {}

  void MouseDown(int x, int y, const IMouseKeys&) override { Log(" down %g %g", x, y); }
  void MouseUp(int x, int y, const IMouseKeys&) override { Log(" up %g %g", x, y); }
  void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys&) override {
    Log(" drag %g %g", x, y);
    log_->back() += Event(" by %g %g", dx, dy);
  }
  void Wheel(int, int, const IMouseKeys&, int notches) override { Log(" wheel %g", notches); }
  bool KeyPress(int, int, KeyCode key) override { return Log(" key %g", key), true; }
  void MouseOver(int x, int y, const IMouseKeys&) override { Log(" over %g %g", x, y); }
  void MouseOut() override { Log(" out"); }
  bool Paint(IGraphics&) override { return Log(" paint"), true; }

 private:
  void Log(const char* format, double a = 0, double b = 0) { log_->push_back(name_ + Event(format, a, b)); }

  EventLog* log_;
  std::string name_;
};

// Stands in for the resize controller: a fixed scale, and a log of the
// backdrop fills it was asked for.
class FakeResizeController : public IResizeController {
 public:
  double GuiScale() const noexcept override { return scale; }
  bool LiveDrag() const noexcept override { return liveDrag; }
  void FillBackground(IGraphics&, const IBounds& area) override { filled.push_back(area); }

  double scale = 1.0;
  bool liveDrag = false;
  std::vector<IBounds> filled;
};

}  // namespace torvane
