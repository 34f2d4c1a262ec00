// The editor window under real window messages: painting, pointer gestures,
// keys, typed entry, menus, resizing and the window's life cycle. Runs under
// Wine on a virtual display.
#include <gtest/gtest.h>

#include <cstring>

#include "TestEditor.h"
#include "WindowTestSupport.h"
#include "editor/IPopupMenu.h"
#include "framework/IParameter.h"
#include "platform/win/NativeMenu.h"

namespace torvane {

inline void PrintTo(const IBounds& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

class EditorWindow : public ::testing::Test {
 protected:
  HWND Open(HostWindow& in) {
    EXPECT_TRUE(editor.graphics->OpenEditorWindow(in.Handle()));
    return EditorWindowIn(in.Handle());
  }

  // Pumps until the window was painted and shows exactly what the surface
  // holds in area. (Text that overlaps a painted area is drawn whole, so
  // outside it the surface may differ until that part is painted itself.)
  bool ShowsSurface(HWND window, const IBounds& area = {0, 0, 720, 420}) {
    return PumpUntil([&] {
      if (editor.graphics->presented.empty()) return false;
      const Screenshot screen = ReadBack(window);
      const IRasterBitmap* surface = editor.graphics->Surface();
      if (screen.width != surface->Width() || screen.height != surface->Height()) return false;
      for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
          if (screen.At(x, y) != (RowStart(*surface, y)[x] & 0xffffff)) return false;
        }
      }
      return true;
    });
  }

  double Value(int parameter) { return editor.effect.GetParameter(parameter)->Value(); }

  TestEditor editor;
  HostWindow host;
  const HINSTANCE program = GetModuleHandleA(nullptr);
};

// Takes the letters and digits; everything else stays with the host.
class KeyCatcher : public IControl {
 public:
  KeyCatcher() : IControl(nullptr, {}) {}
  bool KeyPress(int, int, KeyCode key) override {
    keys.push_back(key);
    return key >= KeyDigit0;
  }
  bool Paint(IGraphics&) override { return true; }
  std::vector<int> keys;
};

// A control bound to a parameter that opens the entry box for it.
class ParameterControl : public IControl {
 public:
  ParameterControl(IEffectBase& effect, int parameter) : IControl(&effect, {500, 300, 560, 316}, parameter) {}
  bool Paint(IGraphics&) override { return true; }
};

}  // namespace

TEST_F(EditorWindow, OpensInTheHostWindowAndShowsWhatChangedOnTheNextTick) {
  HWND window = Open(host);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), host.Handle());
  char title[32] = "";
  GetWindowTextA(window, title, sizeof(title));
  EXPECT_STREQ(title, "Torvane");
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN);
  EXPECT_STREQ(editor.graphics->BackendName(), "Windows GDI");
  ASSERT_TRUE(ShowsSurface(window));
  EXPECT_TRUE(WritePng(ReadBack(window), "window-test-editor.png"));

  // The meter repaints on every tick, alone; a value from the host adds the fader.
  editor.meter->SetValueFromEffect(0.9);
  editor.graphics->presented.clear();
  Pump(100);
  ASSERT_GE(editor.graphics->presented.size(), 5u);
  for (const IBounds& area : editor.graphics->presented) EXPECT_EQ(area, TestEditor::kMeter);
  {
    ScopedLock lock(editor.effect.Lock());
    editor.effect.GetParameter(0)->SetClamped(0.25);
    editor.effect.OnParameterChange(0);
  }
  editor.graphics->presented.clear();
  Pump(30);
  ASSERT_FALSE(editor.graphics->presented.empty());
  const IBounds faderAndMeter = {49, 70, 460, 310};
  const IBounds shown = editor.graphics->presented.front();
  EXPECT_EQ((IBounds{shown.left, shown.top, shown.right, faderAndMeter.bottom}), faderAndMeter);
  // The read-out the area touches is painted whole: its text reaches below.
  EXPECT_GT(shown.bottom, TestEditor::kReadOut.bottom);
  EXPECT_TRUE(ShowsSurface(window, faderAndMeter));
}

TEST_F(EditorWindow, KeysTheEditorDoesNotUseGoToTheHostWindow) {
  auto owned = std::make_unique<KeyCatcher>();
  KeyCatcher* catcher = owned.get();
  editor.graphics->SetKeyCatcher(std::move(owned));
  HWND window = Open(host);
  SetCursorPos(1500, 1000);  // over no control
  for (WPARAM key : {WPARAM('A'), WPARAM('7'), WPARAM(VK_SPACE), WPARAM(VK_F5), WPARAM(VK_NUMPAD1), WPARAM(VK_LEFT)}) {
    PostKey(window, key);
  }
  Pump(50);
  EXPECT_EQ(catcher->keys, (std::vector<int>{KeyLetterA, KeyDigit0 + 7, KeySpace, KeyLeft}));
  EXPECT_EQ(host.keysReceived, (std::vector<WPARAM>{VK_SPACE, VK_F5, VK_NUMPAD1, VK_LEFT}));
}

TEST_F(EditorWindow, EntryForAParameterTakesTheCharactersOfItsType) {
  HWND window = Open(host);
  struct Case {
    int parameter;
    const char* initial;
    const char* typed;
    const char* shown;
    double committed;
  };
  // Whole numbers take no decimal point, a choice is committed by its text.
  const Case cases[] = {{2, "", "1.5", "15", 10.0},    {1, "", "1.5", "1.5", 1.5},  {1, "", "-a3", "-3", -3.0},
                        {3, "Hard", "", "Hard", 1.0}, {3, "Hard", "2", "2", 0.0}};
  for (const Case& c : cases) {
    auto owned = std::make_unique<ParameterControl>(editor.effect, c.parameter);
    IControl* control = owned.get();
    control->TextStyle().entryBackground = {255, 20, 40, 200};
    editor.graphics->AddControl(std::move(owned));
    control->SetValueFromEffect(editor.effect.GetParameter(c.parameter)->GetPosition());
    editor.graphics->OpenTextEntry(control, control->TextStyle(), control->DrawRect(), c.initial,
                                   editor.effect.GetParameter(c.parameter));
    HWND box = WaitForEntryBox(window);
    ASSERT_NE(box, nullptr);
    PostText(box, c.typed);
    Pump(20);
    EXPECT_EQ(ReadBack(box).At(1, 1), 0x1428c8u) << "the entry background";
    char text[32] = "";
    GetWindowTextA(box, text, sizeof(text));
    EXPECT_STREQ(text, c.shown) << c.parameter << " " << c.typed;
    PostKey(box, VK_RETURN);
    ASSERT_TRUE(WaitForEntryBoxToClose(window));
    EXPECT_DOUBLE_EQ(Value(c.parameter), c.committed) << c.parameter << " " << c.typed;
  }
}

TEST_F(EditorWindow, MenuIdsRunDepthFirstAndTheChoiceNamesItsMenu) {
  IPopupMenu menu;
  menu.SetPrefix(IPopupMenu::kPrefixTwoDigits);
  menu.AddItem("Small");
  auto owned = std::make_unique<IPopupMenu>();
  IPopupMenu* submenu = owned.get();
  submenu->AddItem("A");
  submenu->AddItem("B", IPopupMenu::kItemChecked);
  submenu->AddItem("C", IPopupMenu::kItemGrayed);
  menu.AddItem("Scale", 0, std::move(owned));
  {
    NativeMenu native(menu);
    HMENU top = native.Handle();
    ASSERT_NE(top, nullptr);
    char label[32] = "";
    GetMenuStringA(top, 1, label, sizeof(label), MF_BYPOSITION);
    EXPECT_STREQ(label, "02: Scale");
    EXPECT_EQ(GetMenuItemID(top, 0), 0u);
    EXPECT_EQ(GetMenuItemID(top, 1), static_cast<UINT>(-1));
    HMENU sub = GetSubMenu(top, 1);
    EXPECT_EQ(GetMenuItemID(sub, 0), 2u);
    EXPECT_EQ(GetMenuItemID(sub, 2), 4u);
    EXPECT_TRUE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(sub, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(native.Choose(3), submenu);
    EXPECT_EQ(submenu->ChosenItemIndex(), 1);
    EXPECT_EQ(native.Choose(1), nullptr);  // the item that opens the submenu
    EXPECT_EQ(native.Choose(5), nullptr);
  }
  HWND window = Open(host);
  PostKey(window, VK_DOWN);
  PostKey(window, VK_RETURN);
  EXPECT_EQ(editor.graphics->ShowPopupMenu(menu, {0, 0, 10, 10}), &menu);
  EXPECT_EQ(menu.ChosenItemIndex(), 0);
}

// The host's windows are sized to hold the editor, each from its own frame:
// a host window that once could not follow (held to the screen) is not left
// off by what it missed.
TEST_F(EditorWindow, ResizingFitsTheHostFramesAroundTheEditorAsEachHostExpects) {
  HostWindow top(1200, 800);
  HostWindow frame(1000, 600, top.Handle());  // a child 10 pixels in
  const auto clientSize = [](HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return std::pair{static_cast<int>(client.right), static_cast<int>(client.bottom)};
  };
  const auto outerSize = [](HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    return std::pair{static_cast<int>(outer.right - outer.left), static_cast<int>(outer.bottom - outer.top)};
  };
  struct Case {
    int hostId;
    bool editorGrows;
    bool framesFit;
  };
  // Unknown host, REAPER, Nuendo.
  for (const Case& c : {Case{0, true, true}, Case{1, true, false}, Case{4, false, true}}) {
    editor.effect.hostId = c.hostId;
    HWND window = Open(frame);
    const auto editorBefore = outerSize(window);
    const auto frameBefore = outerSize(frame.Handle());
    const auto topBefore = outerSize(top.Handle());
    // The frame could not follow the last resize.
    if (c.framesFit) SetWindowPos(frame.Handle(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    const int width = editor.graphics->Width() + 30;
    const int height = editor.graphics->Height() + 20;
    editor.graphics->ResizeSurface(width, height);
    EXPECT_EQ(outerSize(window), (c.editorGrows ? std::pair{width, height} : editorBefore)) << c.hostId;
    if (c.framesFit) {
      EXPECT_EQ(clientSize(frame.Handle()), (std::pair{width, height})) << c.hostId;
      const auto frameOuter = outerSize(frame.Handle());
      EXPECT_EQ(clientSize(top.Handle()), (std::pair{10 + frameOuter.first, 10 + frameOuter.second})) << c.hostId;
    } else {
      EXPECT_EQ(outerSize(frame.Handle()), frameBefore) << c.hostId;
      EXPECT_EQ(outerSize(top.Handle()), topBefore) << c.hostId;
    }
    editor.graphics->CloseEditorWindow();
  }
  EXPECT_EQ(editor.graphics->Surface()->Width(), 720 + 90);
}

TEST_F(EditorWindow, AHostDestroyingItsWindowMidGestureEndsTheEditAndTheEditorReopens) {
  HostWindow doomed;
  HWND window = Open(doomed);
  PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, 60, 190);
  Pump(20);
  DestroyWindow(doomed.Handle());
  doomed.Release();
  EXPECT_FALSE(editor.graphics->EditorWindowOpen());
  EXPECT_EQ(editor.effect.log.back(), "end 0");
  editor.graphics->CloseEditorWindow();
  // No window of the class is left: it is not left registered either.
  WNDCLASSEXA info = {sizeof(info)};
  EXPECT_FALSE(GetClassInfoExA(program, "TorvaneWndClass", &info));
  ASSERT_NE(Open(host), nullptr);
  EXPECT_TRUE(ShowsSurface(EditorWindowIn(host.Handle())));
  editor.graphics->CloseEditorWindow();
  EXPECT_FALSE(GetClassInfoExA(program, "TorvaneWndClass", &info));
}

TEST_F(EditorWindow, AnEffectDestroyedWithItsEditorOpenMidGestureTakesTheWindowAlong) {
  HWND window = nullptr;
  {
    TestEditor doomed;
    ASSERT_TRUE(doomed.graphics->OpenEditorWindow(host.Handle()));
    window = EditorWindowIn(host.Handle());
    PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, 60, 190);
    Pump(20);
    doomed.effect.log.clear();
  }
  EXPECT_FALSE(IsWindow(window));
  Pump(20);
}

TEST_F(EditorWindow, ClipboardTextArrivesAsUtf8) {
  Open(host);
  const wchar_t kText[] = L"Gain \u00e9\u20ac";
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(kText));
  std::memcpy(GlobalLock(block), kText, sizeof(kText));
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(host.Handle()));
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  GrowableText text;
  EXPECT_TRUE(editor.graphics->ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "Gain \xc3\xa9\xe2\x82\xac");
  ASSERT_TRUE(OpenClipboard(host.Handle()));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(editor.graphics->ReadClipboardText(text));
  EXPECT_STREQ(text.Get(), "");
}

}  // namespace torvane
