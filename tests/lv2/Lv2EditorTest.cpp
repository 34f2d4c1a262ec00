// The bundle's editor as an LV2 host meets it: the UI binary loaded through
// its exported descriptor, embedded in the host's X11 window (ui:parent),
// driven by the idle interface and talking to the host through ports only:
// a drag writes the parameter port between touch notices, port events move
// a fader and a meter, and the corner handle asks for room through ui:resize.
// Registered with CTest under its own virtual display: without one, or
// without XTest, it fails.
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// After the plug-in's headers: Xlib defines names such as KeyPress as macros.
#include "platform/linux/TestDisplay.h"

namespace torvane {

namespace {

constexpr char kPluginUri[] = "urn:quillfen:torvane";
constexpr uint32_t kProcessPort = 4;
constexpr uint32_t kInputTrimPort = 15;
constexpr uint32_t kFirstMeterPort = 18;
constexpr uint32_t kFirstEditorSizePort = 27;
// The "Process" fader at scale 1 (as the VST editor test has it): a press at
// y gives 1 - (y - 20 - 70) / 200, and the handle of 40 stands at the bottom
// of the track for 0.
constexpr int kFaderCentreX = 49 + 11;
constexpr int kFaderTop = 70;
// Inside the Input Trim switch (34 by 12 at scale 1); presses 5 pixels apart
// are no double click.
constexpr int kTrimX = 100, kTrimY = 341, kTrimPressStep = 5;
// The first meter's bar, deflecting right of its centre for gains above 0 dB.
constexpr int kMeterRightX = 450, kMeterY = 75;

// The host's side: what the editor wrote, touched and asked for.
struct HostRecord {
  std::vector<std::pair<uint32_t, float>> writes;
  std::vector<std::pair<uint32_t, bool>> touches;
  std::vector<std::pair<int, int>> sizes;
  // The window the editor is embedded in, which the host resizes when asked.
  Display* display = nullptr;
  Window parent = 0;
};

void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
  if (protocol == 0 && size == sizeof(float)) {
    static_cast<HostRecord*>(controller)->writes.emplace_back(port, *static_cast<const float*>(buffer));
  }
}
void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
  static_cast<HostRecord*>(handle)->touches.emplace_back(port, grabbed);
}
int Resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto* host = static_cast<HostRecord*>(handle);
  host->sizes.emplace_back(width, height);
  XResizeWindow(host->display, host->parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(host->display, False);
  return 0;
}

std::string SettingsPath() {
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  return std::string(documents ? documents : "") + "/Quillfen/Torvane/Settings.ini";
}

}  // namespace

class Lv2Editor : public ::testing::Test, protected TestDisplay {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestDisplay::Open(720, 420)) << "an X display with XTest is part of this test";
    host_.display = display;
    host_.parent = parent;
    std::remove(SettingsPath().c_str());
    module_ = dlopen(TORVANE_LV2_UI_BINARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module_, nullptr) << dlerror();
    auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(module_, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor_ = entry(0);
    ASSERT_NE(descriptor_, nullptr);
    EXPECT_EQ(entry(1), nullptr);
    idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle_, nullptr);
  }

  void TearDown() override {
    if (ui_) descriptor_->cleanup(ui_);
    if (ui_) XSync(display, False);
    if (module_) dlclose(module_);
  }

  void Instantiate() {
    const LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature resizeFeature = {LV2_UI__resize, &resize_};
    const LV2_Feature touchFeature = {LV2_UI__touch, &touch_};
    const LV2_Feature idleFeature = {LV2_UI__idleInterface, nullptr};
    const LV2_Feature* features[] = {&parentFeature, &resizeFeature, &touchFeature, &idleFeature, nullptr};
    ui_ = descriptor_->instantiate(descriptor_, kPluginUri, TORVANE_LV2_BUNDLE, Write, &host_, &widget_, features);
  }

  // The host's idle calls, until done.
  bool IdleUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
      if (idle_->idle(ui_) != 0) return false;
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  void PortEvent(uint32_t port, float value) { descriptor_->port_event(ui_, port, sizeof value, 0, &value); }

  HostRecord host_;
  LV2UI_Resize resize_ = {&host_, Resize};
  LV2UI_Touch touch_ = {&host_, Touch};
  void* module_ = nullptr;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  const LV2UI_Idle_Interface* idle_ = nullptr;
  LV2UI_Handle ui_ = nullptr;
  LV2UI_Widget widget_ = nullptr;
};

TEST_F(Lv2Editor, OpensInTheHostWindowAndTalksThroughPortsOnly) {
  Instantiate();
  ASSERT_NE(ui_, nullptr);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kFaderCentreX, 30) != 0; }));
  const Window editorWindow = EditorWindow();
  ASSERT_NE(editorWindow, 0u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(widget_), editorWindow);
  unsigned width = 0, height = 0;
  Size(editorWindow, width, height);
  EXPECT_EQ(width, 720u);
  EXPECT_EQ(height, 420u);
  ASSERT_FALSE(host_.sizes.empty());
  EXPECT_EQ(host_.sizes.front(), std::make_pair(720, 420));

  // A drag writes "Process" in its own units (0 to 10), between touch notices.
  const uint32_t handleAtZero = ShownPixel(kFaderCentreX, kFaderTop + 220);
  const uint32_t track = ShownPixel(kFaderCentreX, kFaderTop + 180);
  host_.writes.clear();
  PointerTo(kFaderCentreX, 190);  // 0.5
  Button(1, true);
  PointerTo(kFaderCentreX, 130);  // 0.8
  Button(1, false);
  ASSERT_TRUE(IdleUntil([&] { return host_.touches.size() == 2; }));
  EXPECT_EQ(host_.touches, (std::vector<std::pair<uint32_t, bool>>{{kProcessPort, true}, {kProcessPort, false}}));
  EXPECT_EQ(host_.writes, (std::vector<std::pair<uint32_t, float>>{{kProcessPort, 5.0f}, {kProcessPort, 8.0f}}));

  // The host moves the port back to 0 (an automation lane, say): the fader
  // follows, and nothing is written back.
  host_.writes.clear();
  PortEvent(kProcessPort, 0.0f);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kFaderCentreX, kFaderTop + 220) == handleAtZero; }));
  EXPECT_EQ(ShownPixel(kFaderCentreX, kFaderTop + 180), track);
  PortEvent(kProcessPort, 8.0f);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kFaderCentreX, kFaderTop + 220) != handleAtZero; }));
  EXPECT_EQ(ShownPixel(kFaderCentreX, kFaderTop + 220), track);
  EXPECT_TRUE(host_.writes.empty());

  // A meter port at +20 dB fills the first meter to its right end.
  const uint32_t meterIdle = ShownPixel(kMeterRightX, kMeterY);
  PortEvent(kFirstMeterPort, 20.0f);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kMeterRightX, kMeterY) != meterIdle; }));
  PortEvent(kFirstMeterPort, 0.0f);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kMeterRightX, kMeterY) == meterIdle; }));

  // The host hands back the editor size a session kept (view, width,
  // height): the editor takes it, asks for room, and writes nothing back.
  host_.sizes.clear();
  PortEvent(kFirstEditorSizePort, 0.0f);
  PortEvent(kFirstEditorSizePort + 1, 1000.0f);
  PortEvent(kFirstEditorSizePort + 2, 600.0f);
  ASSERT_TRUE(IdleUntil([&] { return !host_.sizes.empty() && host_.sizes.back() == std::make_pair(1000, 600); }));
  Size(EditorWindow(), width, height);
  EXPECT_EQ(width, 1000u);
  EXPECT_EQ(height, 600u);
  EXPECT_TRUE(host_.writes.empty());

  // The corner handle scales it and asks the host for room through ui:resize.
  host_.sizes.clear();
  PointerTo(992, 592);
  Button(1, true);
  PointerTo(1500, 900);  // (1500 + 900) / (1000 + 600): scale 1.5
  Button(1, false);
  ASSERT_TRUE(IdleUntil([&] { return !host_.sizes.empty() && host_.sizes.back() == std::make_pair(1500, 900); }));
  Size(EditorWindow(), width, height);
  EXPECT_EQ(width, 1500u);
  EXPECT_EQ(height, 900u);
}

// Choices that read as numbers in one unit travel as those numbers: each
// press on the Input Trim switch steps on from the choice shown and writes its
// decibels; a host's value shows the choice nearest it.
TEST_F(Lv2Editor, NumberedChoicesTravelAsTheirNumbers) {
  Instantiate();
  ASSERT_NE(ui_, nullptr);
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kFaderCentreX, 30) != 0; }));
  int press = 0;
  const auto stepWrites = [&](float decibels) {
    host_.writes.clear();
    PointerTo(kTrimX + kTrimPressStep * press++, kTrimY);
    Button(1, true);
    Button(1, false);
    ASSERT_TRUE(IdleUntil([&] { return !host_.writes.empty(); })) << press;
    EXPECT_EQ(host_.writes, (std::vector<std::pair<uint32_t, float>>{{kInputTrimPort, decibels}}));
  };
  stepWrites(6.0f);  // from the default 0 dB
  PortEvent(kInputTrimPort, -2.0f);
  stepWrites(6.0f);  // from 0 dB, the nearest
  PortEvent(kInputTrimPort, -4.0f);
  stepWrites(0.0f);  // from -6 dB
  PortEvent(kInputTrimPort, 6.0f);
  stepWrites(-6.0f);  // round from +6 dB
}

TEST_F(Lv2Editor, RefusesAnotherPluginAndAHostWithoutAWindow) {
  LV2UI_Widget widget = nullptr;
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(descriptor_->instantiate(descriptor_, "urn:other:plugin", TORVANE_LV2_BUNDLE, Write, &host_, &widget,
                                     none),
            nullptr);
  EXPECT_EQ(descriptor_->instantiate(descriptor_, kPluginUri, TORVANE_LV2_BUNDLE, Write, &host_, &widget, none),
            nullptr);
  EXPECT_TRUE(EditorWindows().empty());
}

}  // namespace torvane
