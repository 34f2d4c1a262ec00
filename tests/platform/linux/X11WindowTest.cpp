// The editor's X11 window as a host shows it: inside a window of the test's
// own, driven by the idle request (or its own repaint thread), with pointer
// and keys from XTest and the window read back from the server. Needs an X
// server with XTest; scripts/test.sh runs these under Xvfb.
#include <gtest/gtest.h>
#include <unistd.h>

#include <dirent.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/IFaderControl.h"
#include "editor/TextEntry.h"
#include "framework/IEffectBase.h"
#include "platform/linux/IGraphicsX11.h"
#include "raster/MemBitmap.h"

// After the editor's headers: Xlib defines names such as KeyPress as macros.
#include "TestDisplay.h"

#include <X11/keysym.h>

namespace torvane {

namespace {

constexpr uint32_t kBackground = 0x204060;
constexpr uint32_t kHandle = 0xE03020;
constexpr uint32_t kEntryBackground = 0xFFFFFF;
// The fader: travel 200 from y = 50, handle 20 high, so a press at y gives
// the value 1 - (y - 10 - 50) / 180 and the handle stands
// int(180 * (1 - value)) below the top.
constexpr int kFaderX = 100;
constexpr int kFaderTop = 50;
constexpr int kTravel = 200;
constexpr IBounds kReadout{300, 100, 400, 124};

// A plug-in with one value from 0 to 1, recording what its editor tells the
// host and answering the window-size request as the test says.
class WindowTestEffect : public IEffectBase {
 public:
  WindowTestEffect() : IEffectBase(1, "1-1 2-2", 1, "Test", "", "Maker", 1, 1) {
    GetParameter(0)->DefineDouble("Level", 0.5, 0.0, 1.0, 0.001);
  }
  void BeginParameterEdit(int index) override { Record("begin " + std::to_string(index)); }
  void NotifyHostOfParameter(int index, double position) override {
    Record("automate " + std::to_string(index) + " " + std::to_string(position));
  }
  void EndParameterEdit(int index) override { Record("end " + std::to_string(index)); }
  void OnParameterChange(int index) override {
    if (Editor()) Editor()->PushParameterToControls(index, GetParameter(index)->Value(), false);
  }
  bool RequestHostWindowSize(int width, int height) override {
    Record("size");
    sizeRequests.emplace_back(width, height);
    return hostResizes;
  }
  // Host calls come from the host's (the test's) thread only.
  void Record(const std::string& call) {
    if (std::this_thread::get_id() != hostThread) ++callsFromOtherThreads;
    log.push_back(call);
  }
  double Level() {
    ScopedLock lock(Lock());
    return GetParameter(0)->Value();
  }

  std::vector<std::string> log;
  std::vector<std::pair<int, int>> sizeRequests;
  bool hostResizes = false;
  const std::thread::id hostThread = std::this_thread::get_id();
  std::atomic<int> callsFromOtherThreads{0};
};

class FilledControl : public IControl {
 public:
  FilledControl(const IBounds& rect, uint32_t rgb) : IControl(nullptr, rect), colour_{255, int(rgb >> 16), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)} {}
  bool Paint(IGraphics& graphics) override { return graphics.FillArea(colour_, DrawRect()); }

 private:
  IArgb colour_;
};

int OpenFileCount() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder)) ++count;
    closedir(folder);
  }
  return count;
}

}  // namespace

class X11Editor : public ::testing::Test, protected TestDisplay {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestDisplay::Open(720, 420)) << "no X display with XTest; scripts/test.sh runs these under Xvfb";
    handleImage.SetSize(30, 20);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 30; ++x) RowStart(handleImage, y)[x] = 0xFF000000 | kHandle;
    }
    handle = {&handleImage, 30, 20, 1, false, 30, 20};
    auto graphics = std::make_unique<IGraphicsX11>(effect);
    editor = graphics.get();
    editor->AddControl(std::make_unique<FilledControl>(IBounds{0, 0, 720, 420}, kBackground));
    editor->AddControl(std::make_unique<IFaderControl>(&effect, kFaderX, kFaderTop, kTravel, 0, handle));
    ITextStyle style;
    editor->AddControl(std::make_unique<TextEntry>(&effect, kReadout, style, 0));
    effect.AttachEditor(std::move(graphics));
  }

  void TearDown() override {
    if (editor) editor->CloseEditorWindow();
  }

  bool Open() { return editor->OpenEditorWindow(reinterpret_cast<void*>(parent)); }

  bool PumpUntil(const std::function<bool()>& done, bool idle = true) {
    for (int i = 0; i < 400; ++i) {
      if (idle) editor->Idle();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  WindowTestEffect effect;
  MemBitmap handleImage;
  IImageStrip handle;
  IGraphicsX11* editor = nullptr;
};

TEST_F(X11Editor, ShowsItsSurfaceInAChildOfTheHostsWindow) {
  ASSERT_TRUE(Open());
  const Window child = EditorWindow();
  ASSERT_NE(child, 0u);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(editor->WindowHandle()), child);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, child, &attributes);
  EXPECT_EQ(attributes.width, 720);
  EXPECT_EQ(attributes.height, 420);
  EXPECT_EQ(attributes.map_state, IsViewable);

  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }));
  // The handle at the value 0.5 stands 90 pixels down the track.
  EXPECT_EQ(ShownPixel(kFaderX + 15, kFaderTop + 90 + 10), kHandle);
  EXPECT_EQ(ShownPixel(kFaderX + 15, kFaderTop + 90 - 1), kBackground);
  // Every pixel as painted, through memory shared with the (local) server.
  XImage* image = XGetImage(display, child, 0, 0, 720, 420, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  int differing = 0;
  for (int y = 0; y < 420; ++y) {
    for (int x = 0; x < 720; ++x) {
      differing += (XGetPixel(image, x, y) & 0xFFFFFF) != (RowStart(*editor->Surface(), y)[x] & 0xFFFFFF);
    }
  }
  XDestroyImage(image);
  EXPECT_EQ(differing, 0);
  EXPECT_TRUE(editor->PresentsThroughSharedMemory());
  // The screen shows the surface's words as they are: no image of the window's own.
  EXPECT_TRUE(editor->PresentsStraightFromSurface());
}

TEST_F(X11Editor, PointerDragAndWheelMoveTheFaderItsParameterAndItsPicture) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }));
  PointerTo(kFaderX + 15, 150);  // the value 0.5
  Button(1, true);
  PointerTo(kFaderX + 15, 105);  // 1 - 45 / 180 = 0.75
  ASSERT_TRUE(PumpUntil([&] { return effect.Level() == 0.75; }));
  PointerTo(kFaderX + 200, 105);  // sideways, off the fader: still its drag
  Button(1, false);
  ASSERT_TRUE(PumpUntil([&] { return !effect.log.empty() && effect.log.back() == "end 0"; }));
  EXPECT_EQ(effect.log, (std::vector<std::string>{"begin 0", "automate 0 0.500000", "automate 0 0.750000",
                                                  "automate 0 0.750000", "end 0"}));
  EXPECT_EQ(effect.Level(), 0.75);
  // The handle moved up from 90 to int(180 * 0.25) = 45 pixels down the track.
  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(kFaderX + 15, kFaderTop + 45) == kHandle; }));
  EXPECT_EQ(ShownPixel(kFaderX + 15, kFaderTop + 45 - 1), kBackground);
  EXPECT_EQ(ShownPixel(kFaderX + 15, kFaderTop + 100), kBackground);

  PointerTo(kFaderX + 15, 120);
  Button(4, true);  // one notch away from the user: +0.01
  Button(4, false);
  Button(4, true);
  Button(4, false);
  ASSERT_TRUE(PumpUntil([&] { return std::abs(effect.Level() - 0.77) < 1e-9; }));
}

TEST_F(X11Editor, TypedEntryCommitsOnReturnFocusLossOrAPressElsewhereAndEscapeCancels) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }));
  const int x = kReadout.left + 5;
  const int y = kReadout.top + 5;
  const auto boxShown = [&] { return ShownPixel(kReadout.left, kReadout.bottom) == kEntryBackground; };
  const auto boxGone = [&] { return ShownPixel(kReadout.left, kReadout.bottom) == kBackground; };

  Click(x, y);
  ASSERT_TRUE(PumpUntil(boxShown));
  Type({XK_0, XK_period, XK_2, XK_5, XK_Return});
  ASSERT_TRUE(PumpUntil([&] { return effect.Level() == 0.25; }));
  ASSERT_TRUE(PumpUntil(boxGone));

  Click(x, y);
  ASSERT_TRUE(PumpUntil(boxShown));
  Type({XK_9, XK_Escape});
  ASSERT_TRUE(PumpUntil(boxGone));
  EXPECT_EQ(effect.Level(), 0.25);

  Click(x, y);
  ASSERT_TRUE(PumpUntil(boxShown));
  Type({XK_1});
  XSetInputFocus(display, parent, RevertToParent, CurrentTime);
  XSync(display, False);
  ASSERT_TRUE(PumpUntil([&] { return effect.Level() == 1.0; }));

  Click(x, y);
  ASSERT_TRUE(PumpUntil(boxShown));
  Type({XK_period, XK_5});
  Click(20, 300);
  ASSERT_TRUE(PumpUntil([&] { return effect.Level() == 0.5; }));
  ASSERT_TRUE(PumpUntil(boxGone));
}

TEST_F(X11Editor, KeysTheEditorDoesNotUseGoOnToTheHostsWindow) {
  ASSERT_TRUE(Open());
  XSelectInput(display, parent, KeyPressMask);
  editor->Idle();
  XSetInputFocus(display, EditorWindow(), RevertToParent, CurrentTime);
  XSync(display, False);
  Type({XK_space});
  bool forwarded = false;
  EXPECT_TRUE(PumpUntil([&] {
    XEvent event;
    while (XCheckTypedWindowEvent(display, parent, KeyPress, &event)) {
      forwarded |= event.xkey.send_event && XLookupKeysym(&event.xkey, 0) == XK_space;
    }
    return forwarded;
  }));
}

TEST_F(X11Editor, HostDestroyingItsWindowClosesTheEditorWithoutAnError) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }));
  XDestroyWindow(display, parent);
  XSync(display, False);
  ASSERT_TRUE(PumpUntil([&] { return editor->WindowHandle() == nullptr; }));
  editor->CloseEditorWindow();

  // Destroyed between two idle requests: closing sends nothing to a window
  // that is gone, or has its error kept from the process's handler.
  parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 720, 420, 0, 0, 0);
  XSync(display, False);
  ASSERT_TRUE(Open());
  XDestroyWindow(display, parent);
  XSync(display, False);
  parent = 0;
  editor->CloseEditorWindow();
  EXPECT_EQ(editor->WindowHandle(), nullptr);
}

TEST_F(X11Editor, OpeningAndClosingFiftyTimesLeavesNoWindowOrConnectionBehind) {
  const int filesBefore = OpenFileCount();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(Open());
    editor->Idle();
    ASSERT_EQ(EditorWindows().size(), 1u);
    editor->CloseEditorWindow();
    XSync(display, False);
    ASSERT_EQ(EditorWindows().size(), 0u);
  }
  EXPECT_EQ(OpenFileCount(), filesBefore);
}

TEST_F(X11Editor, ResizingSizesTheWindowAndAsksTheHostToMakeRoom) {
  ASSERT_TRUE(Open());
  // The host's window could not follow an earlier resize: it is sized to
  // hold the editor all the same, not off by what it missed.
  XResizeWindow(display, parent, 400, 300);
  XSync(display, False);
  editor->ResizeSurface(1440, 840);
  XSync(display, False);
  unsigned width = 0, height = 0;
  Size(EditorWindow(), width, height);
  EXPECT_EQ(width, 1440u);
  EXPECT_EQ(height, 840u);
  ASSERT_EQ(effect.sizeRequests, (std::vector<std::pair<int, int>>{{1440, 840}}));
  // This host said no, so the editor made room in the host's window itself.
  Size(parent, width, height);
  EXPECT_EQ(width, 1440u);
  EXPECT_EQ(height, 840u);

  effect.hostResizes = true;
  editor->ResizeSurface(720, 420);
  XSync(display, False);
  Size(parent, width, height);
  EXPECT_EQ(width, 1440u);  // left to the host, which said yes
  Size(EditorWindow(), width, height);
  EXPECT_EQ(width, 720u);
  EXPECT_EQ(height, 420u);
}

// The repaint thread paints and presents; the pointer's gestures, which
// call the host, wait for the host's next idle request.
TEST_F(X11Editor, OwnRepaintThreadPaintsWithoutIdleRequestsAndInputWaitsForThem) {
  ASSERT_TRUE(Open());
  // No idle request ever comes: the first repaint is the editor's own.
  ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }, false));
  {
    // A value from the host's side moves the handle to the top.
    ScopedLock lock(effect.Lock());
    effect.GetParameter(0)->SetClamped(1.0);
    effect.OnParameterChange(0);
  }
  EXPECT_TRUE(PumpUntil([&] { return ShownPixel(kFaderX + 15, kFaderTop + 5) == kHandle; }, false));

  Click(kFaderX + 15, 150);  // the value 0.5
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * IGraphicsX11::kIdleSilenceMs));
  EXPECT_TRUE(effect.log.empty());
  EXPECT_EQ(effect.Level(), 1.0);
  editor->Idle();
  EXPECT_EQ(effect.log, (std::vector<std::string>{"begin 0", "automate 0 0.500000", "end 0"}));
  EXPECT_EQ(effect.callsFromOtherThreads.load(), 0);
}

// Hosts with touch automation keep a parameter latched until its end-edit.
TEST_F(X11Editor, ClosingOrLosingTheWindowMidDragEndsTheEdit) {
  for (bool hostDestroys : {false, true}) {
    {
      ScopedLock lock(effect.Lock());
      effect.GetParameter(0)->SetClamped(0.0);
    }
    effect.log.clear();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(PumpUntil([&] { return ShownPixel(5, 5) == kBackground; }));
    PointerTo(kFaderX + 15, 150);
    Button(1, true);
    PointerTo(kFaderX + 15, 105);
    ASSERT_TRUE(PumpUntil([&] { return effect.Level() == 0.75; }));
    if (hostDestroys) {
      XDestroyWindow(display, parent);
      XSync(display, False);
      ASSERT_TRUE(PumpUntil([&] { return editor->WindowHandle() == nullptr; }));
    }
    editor->CloseEditorWindow();
    Button(1, false);
    EXPECT_EQ(effect.log, (std::vector<std::string>{"begin 0", "automate 0 0.500000", "automate 0 0.750000", "end 0"}))
        << hostDestroys;
    if (hostDestroys) parent = 0;
    else editor->Idle();  // the release of a closed window's press goes nowhere
  }
}

}  // namespace torvane
