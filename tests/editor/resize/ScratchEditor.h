#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/resize/IEditorResize.h"
#include "effect/Torvane.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "system/ProfileFile.h"

namespace torvane {

// The headless editor the effect builds in these tests: its settings live in
// the documents folder the test chose, it remembers the last pointer shape,
// and it keeps a screen: what the presented areas of the surface showed.
class ScratchGraphics : public IGraphicsHeadless {
 public:
  using IGraphicsHeadless::IGraphicsHeadless;

  void SetCursorShape(SystemCursor cursor) override { this->cursor = cursor; }
  bool PresentArea(const IBounds& area) override {
    const int width = Surface()->Width();
    const int height = Surface()->Height();
    screen.resize(static_cast<size_t>(width) * height);
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height); ++y) {
      for (int x = std::max(area.left, 0); x < std::min(area.right, width); ++x) {
        screen[static_cast<size_t>(y) * width + x] = RowStart(*Surface(), y)[x];
      }
    }
    return true;
  }

  SystemCursor cursor = SystemCursor::Arrow;
  std::vector<uint32_t> screen;
};

// The documents folder the next effect's editor gets.
inline std::string& NextDocumentsFolder() {
  static std::string folder;
  return folder;
}

inline uint32_t Pixel(const IGraphics& graphics, int x, int y) { return RowStart(*graphics.Surface(), y)[x]; }

// A fresh documents folder per test, and effects whose editors live in it.
class ScratchEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    NextDocumentsFolder() = ::testing::TempDir() + "resize-" + test->name();
    CreateFolder(NextDocumentsFolder().c_str());
    std::remove(SettingsPath().c_str());
  }

  std::string SettingsPath() const { return NextDocumentsFolder() + "/Quillfen/Torvane/Settings.ini"; }
  void StoreScale(const char* text) {
    CreateFolder((NextDocumentsFolder() + "/Quillfen").c_str());
    CreateFolder((NextDocumentsFolder() + "/Quillfen/Torvane").c_str());
    ASSERT_TRUE(WriteProfileValue(SettingsPath().c_str(), "gui", "guiscale", text));
  }
  std::string StoredScaleText() const {
    char text[128] = "";
    ReadProfileValue(SettingsPath().c_str(), "gui", "guiscale", "", text, sizeof text);
    return text;
  }

  static ScratchGraphics& Graphics(Torvane& effect) { return *static_cast<ScratchGraphics*>(effect.Editor()); }
  static IEditorResize& Resize(Torvane& effect) {
    IGraphics& graphics = Graphics(effect);
    return *static_cast<IEditorResize*>(graphics.GetControl(graphics.ControlCount() - 1));
  }
  // What the host's editor-open request does after the window is made.
  static void Open(Torvane& effect) { effect.ResizeState()->ApplyStoredSizeOnOpen(); }
  // One tick of the window's timer.
  static void Tick(Torvane& effect) {
    IBounds area;
    if (Graphics(effect).CollectDirtyArea(area)) Graphics(effect).PaintArea(area);
  }
};

}  // namespace torvane
