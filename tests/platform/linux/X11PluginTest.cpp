// The built Linux library's editor as a host meets it: announced, sized and
// opened through the effect record inside the host's window, driven by the
// idle request, a fader dragged and the corner handle pulled through XTest.
// Needs an X server with XTest; scripts/test.sh runs these under Xvfb.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <atomic>

#include "support/RecordingHost.h"
#include "tools/vsthost/PluginLibrary.h"

// After the plug-in's headers: Xlib defines names such as KeyPress as macros.
#include "TestDisplay.h"

namespace torvane {

namespace {

// The first fader ("Process", 0 to 10) at scale 1: travel 240 from y = 70 with
// a handle 40 high (the 120-pixel image drawn at a third), so a press at y
// gives 1 - (y - 20 - 70) / 200 and the handle stands int(200 * (1 - value))
// below the top.
constexpr int kFaderCentreX = 49 + 11;
constexpr int kFaderTop = 70;

// The test program's own documents folder (tests/support/TestDocuments.cpp).
std::string SettingsPath() {
  const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
  return std::string(documents ? documents : "") + "/Quillfen/Torvane/Settings.ini";
}

std::string SettingsText() {
  std::ifstream file(SettingsPath());
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

class X11Plugin : public ::testing::Test, protected TestDisplay {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestDisplay::Open(720, 420)) << "no X display with XTest; scripts/test.sh runs these under Xvfb";
    // Every run starts at scale 1.
    std::remove(SettingsPath().c_str());
    ASSERT_TRUE(library.Load(TORVANE_PLUGIN_PATH)) << library.Error();
    effect = library.CreateEffect(RecordingHost::Callback);
    ASSERT_NE(effect, nullptr) << library.Error();
    // The Linux library offers its editor wherever a display can be opened.
    ASSERT_TRUE(effect->flags & effFlagsHasEditor) << "the effect offers no editor";
    Dispatch(effOpen);
  }

  void TearDown() override {
    if (!effect) return;
    Dispatch(effEditClose);
    Dispatch(effClose);
  }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
  }

  // Idle requests, as a host's user-interface thread sends them, until done.
  bool IdleUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 400; ++i) {
      Dispatch(effEditIdle);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  bool OpenEditor() {
    ERect* rect = nullptr;
    if (Dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect) return false;
    XResizeWindow(display, parent, rect->right - rect->left, rect->bottom - rect->top);
    XSync(display, False);
    return Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) == 1 &&
           IdleUntil([&] { return ShownPixel(kFaderCentreX, 30) != 0; });
  }

  RecordingHost host;
  PluginLibrary library;
  AEffect* effect = nullptr;
};

TEST_F(X11Plugin, HostOpensTheEditorInItsWindowAndADragMovesAFader) {
  ASSERT_TRUE(OpenEditor());
  const Window editorWindow = EditorWindow();
  ASSERT_NE(editorWindow, 0u);
  unsigned width = 0, height = 0;
  Size(editorWindow, width, height);
  EXPECT_EQ(width, 720u);
  EXPECT_EQ(height, 420u);

  // Process stands at 0, its handle at the bottom of the track.
  const uint32_t trackBefore = ShownPixel(kFaderCentreX, kFaderTop + 60);
  const uint32_t handleBefore = ShownPixel(kFaderCentreX, kFaderTop + 220);
  const uint32_t elsewhereBefore = ShownPixel(660, 20);
  host.Clear();
  PointerTo(kFaderCentreX, 190);  // 1 - 100 / 200 = 0.5
  Button(1, true);
  PointerTo(kFaderCentreX, 130);  // 1 - 40 / 200 = 0.8
  Button(1, false);
  ASSERT_TRUE(IdleUntil([&] { return host.CountOf(audioMasterEndEdit) == 1; }));
  EXPECT_EQ(effect->getParameter(effect, 0), 0.8f);
  std::vector<float> automated;
  for (const RecordingHost::Call& call : host.Calls()) {
    if (call.opcode == audioMasterAutomate && call.index == 0) automated.push_back(call.opt);
  }
  EXPECT_EQ(automated, (std::vector<float>{0.5f, 0.8f}));

  // The handle now stands 40 pixels down the track; where it stood before
  // shows the track again, and nothing else changed.
  ASSERT_TRUE(IdleUntil([&] { return ShownPixel(kFaderCentreX, kFaderTop + 220) != handleBefore; }));
  EXPECT_NE(ShownPixel(kFaderCentreX, kFaderTop + 60), trackBefore);
  EXPECT_EQ(ShownPixel(kFaderCentreX, kFaderTop + 220), ShownPixel(kFaderCentreX, kFaderTop + 180));
  EXPECT_EQ(ShownPixel(660, 20), elsewhereBefore);
}

TEST_F(X11Plugin, CornerHandleScalesTheWindowAndTheHostIsAskedForRoom) {
  ASSERT_TRUE(OpenEditor());
  host.Clear();
  PointerTo(712, 412);
  Button(1, true);
  // (1440 + 840) / (720 + 420): scale 2, beyond the window while dragging.
  PointerTo(1440, 840);
  ASSERT_TRUE(IdleUntil([&] {
    unsigned width = 0, height = 0;
    Size(EditorWindow(), width, height);
    return width == 1440u && height == 840u;
  }));
  Button(1, false);
  ASSERT_TRUE(IdleUntil([&] { return host.CountOf(audioMasterSizeWindow) >= 1; }));

  ERect* rect = nullptr;
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, 1440);
  EXPECT_EQ(rect->bottom, 840);
  const auto calls = host.Calls();
  bool asked = false;
  for (const RecordingHost::Call& call : calls) asked |= call.opcode == audioMasterSizeWindow && call.index == 1440 && call.value == 840;
  EXPECT_TRUE(asked);
  // The recording host does not resize its window, so the editor did.
  unsigned width = 0, height = 0;
  Size(parent, width, height);
  EXPECT_EQ(width, 1440u);
  EXPECT_EQ(height, 840u);
  EXPECT_NE(SettingsText().find("guiscale=2.000000000000000"), std::string::npos) << SettingsText();

  // Re-rendered at scale 2 after the release: the panel again, not the plain
  // backdrop shown while dragging.
  ASSERT_TRUE(IdleUntil([&] {
    std::set<uint32_t> colours;
    for (int x = 0; x < 1440; x += 16) colours.insert(ShownPixel(x, 300));
    return colours.size() > 8;
  }));
}

// Two instances' editors share the process's images and fonts. One is
// dragged to scale 2 and back (re-rendering the images) while the other,
// which the host never sends an idle request, repaints on its own thread
// the read-outs a host thread automates. Run under ThreadSanitizer too.
TEST_F(X11Plugin, AnEditorRepaintsWhileAnotherIsDraggedToScaleTwoAndBack) {
  ASSERT_TRUE(OpenEditor());
  AEffect* other = library.CreateEffect(RecordingHost::Callback);
  ASSERT_NE(other, nullptr);
  other->dispatcher(other, effOpen, 0, 0, nullptr, 0.0f);
  const Window otherParent = XCreateSimpleWindow(display, DefaultRootWindow(display), 1500, 0, 720, 420, 0, 0, 0);
  XMapWindow(display, otherParent);
  XSync(display, False);
  ASSERT_EQ(other->dispatcher(other, effEditOpen, 0, 0, reinterpret_cast<void*>(otherParent), 0.0f), 1);
  std::atomic<bool> dragging{true};
  std::thread automation([&] {
    for (int i = 0; dragging; ++i) {
      other->setParameter(other, i % 11, static_cast<float>(i % 100) / 100.0f);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const auto windowIs = [&](unsigned expectedWidth) {
    return IdleUntil([&] {
      unsigned width = 0, height = 0;
      Size(EditorWindow(), width, height);
      return width == expectedWidth;
    });
  };
  // Long enough for the release to re-render the images and the other
  // editor to repaint meanwhile.
  const auto idleAWhile = [&] {
    int rounds = 0;
    IdleUntil([&] { return ++rounds >= 60; });
  };
  for (int round = 0; round < 2; ++round) {
    PointerTo(712, 412);
    Button(1, true);
    PointerTo(1440, 840);
    EXPECT_TRUE(windowIs(1440u));
    Button(1, false);
    idleAWhile();
    PointerTo(1432, 832);
    Button(1, true);
    PointerTo(720, 420);
    EXPECT_TRUE(windowIs(720u));
    Button(1, false);
    idleAWhile();
  }
  dragging = false;
  automation.join();
  EXPECT_EQ(other->dispatcher(other, effEditClose, 0, 0, nullptr, 0.0f), 1);
  other->dispatcher(other, effClose, 0, 0, nullptr, 0.0f);
  XDestroyWindow(display, otherParent);
}

TEST_F(X11Plugin, ClosingLeavesNoWindowAndReopeningShowsTheEditorAgain) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(OpenEditor());
    EXPECT_EQ(EditorWindows().size(), 1u);
    EXPECT_EQ(Dispatch(effEditClose), 1);
    XSync(display, False);
    EXPECT_EQ(EditorWindows().size(), 0u);
  }
}

}  // namespace torvane
