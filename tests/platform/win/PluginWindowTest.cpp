// The built plug-in library as a host meets its editor: loaded through its
// entry point, the editor opened in a window of the host's through the effect
// record and driven with window messages on a virtual display.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cmath>
#include <string>

#include "WindowTestSupport.h"
#include "vst/LoadedPlugin.h"

namespace torvane {

namespace {

// Where the editor draws its first fader ("Process", 0 to 10) and the read-outs
// of "Process" and "Dirt", at scale 1.
constexpr int kFaderX = 60;
constexpr POINT kProcessReadOut = {61, 312};
constexpr POINT kDirtReadOut = {111, 312};

class PluginWindow : public LoadedPlugin {
 protected:
  void SetUp() override {
    // The editor opens at the scale remembered for the user (the test prefix's).
    char documents[MAX_PATH] = "";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    const std::string folder = std::string(documents) + "\\Quillfen";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\Torvane").c_str(), nullptr);
    WritePrivateProfileStringA("gui", "guiscale", "1.000000000000000", (folder + "\\Torvane\\Settings.ini").c_str());
    LoadedPlugin::SetUp();
  }

  HWND Open(AEffect* plugin, HostWindow& in) {
    EXPECT_EQ(plugin->dispatcher(plugin, effEditOpen, 0, 0, in.Handle(), 0.0f), 1);
    HWND window = EditorWindowIn(in.Handle());
    Settled(window);
    return window;
  }

  // The window's picture once it stops changing.
  Screenshot Settled(HWND window) {
    Screenshot last;
    PumpUntil([&] {
      Screenshot now = ReadBack(window);
      const bool settled = now.pixels == last.pixels && now.pixels != std::vector<uint32_t>(now.pixels.size(), 0);
      last = std::move(now);
      Pump(20);
      return settled;
    });
    return last;
  }

  // The host's view of the edits: begin, automate (with the position in
  // thousandths) and end.
  std::vector<std::string> Edits() {
    std::vector<std::string> edits;
    for (const RecordingHost::Call& call : host.Calls()) {
      if (call.opcode == audioMasterBeginEdit) edits.push_back("begin " + std::to_string(call.index));
      if (call.opcode == audioMasterEndEdit) edits.push_back("end " + std::to_string(call.index));
      if (call.opcode == audioMasterAutomate) {
        edits.push_back("automate " + std::to_string(call.index) + " " + std::to_string(std::lround(call.opt * 1000)));
      }
    }
    return edits;
  }

  bool ClassRegistered() {
    WNDCLASSEXA info = {sizeof(info)};
    return GetClassInfoExA(static_cast<HINSTANCE>(library.Module()), "TorvaneWndClass", &info) != 0;
  }

  HostWindow parent;
};

}  // namespace

TEST_F(PluginWindow, OpensInTheHostWindowAtTheEditorRectangle) {
  Start();
  EXPECT_TRUE(effect->flags & effFlagsHasEditor);
  ERect* rect = nullptr;
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 720);
  EXPECT_EQ(rect->bottom - rect->top, 420);
  HWND window = Open(effect, parent);
  ASSERT_NE(window, nullptr);
  const Screenshot screen = ReadBack(window);
  EXPECT_EQ(screen.width, 720);
  EXPECT_EQ(screen.height, 420);
  // The artifact of the run: the editor as the user sees it.
  EXPECT_TRUE(WritePng(screen, "torvane-editor-window.png"));
}

TEST_F(PluginWindow, FaderDragAndWheelReachTheHostAndKeysGoToItsWindow) {
  Start();
  HWND window = Open(effect, parent);
  // Travel 240 from y 70 with a 40-pixel handle: y 190 is the middle, y 140 three quarters up.
  PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, kFaderX, 190);
  PostPointer(window, WM_MOUSEMOVE, MK_LBUTTON, kFaderX, 140);
  PostPointer(window, WM_LBUTTONUP, 0, kFaderX, 140);
  PostWheel(window, 120, kFaderX, 200);
  PostWheel(window, 60, kFaderX, 200);  // half notches, as fine wheels send them
  PostWheel(window, 60, kFaderX, 200);
  PostKey(window, 'A');
  Pump(100);
  EXPECT_EQ(Edits(), (std::vector<std::string>{"begin 0", "automate 0 500", "automate 0 750", "end 0", "automate 0 760",
                                               "automate 0 770"}));
  EXPECT_EQ(Text(effGetParamDisplay, 0), "7.7");
  EXPECT_EQ(parent.keysReceived, std::vector<WPARAM>{'A'});
}

TEST_F(PluginWindow, TypedValueCommitsOnReturnOrAPressAndCancelsOnEscapeOrTheWheel) {
  Start();
  HWND window = Open(effect, parent);
  PostClick(window, kProcessReadOut.x, kProcessReadOut.y);
  HWND box = WaitForEntryBox(window);
  ASSERT_NE(box, nullptr);
  char shown[32] = "";
  GetWindowTextA(box, shown, sizeof(shown));
  EXPECT_STREQ(shown, "0.0 ");
  EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 7);
  EXPECT_EQ(GetDlgCtrlID(box), 99);
  EXPECT_EQ(GetFocus(), box);
  RECT placed;
  GetWindowRect(box, &placed);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 41);
  EXPECT_EQ(placed.top, 305);
  EXPECT_EQ(placed.right - placed.left, 41);
  EXPECT_EQ(placed.bottom - placed.top, 15);
  PostText(box, "2.5");
  PostKey(box, VK_RETURN);
  ASSERT_TRUE(WaitForEntryBoxToClose(window));
  EXPECT_EQ(Text(effGetParamDisplay, 0), "2.5");

  for (WPARAM cancel : {WPARAM(VK_ESCAPE), WPARAM(0)}) {
    PostClick(window, kDirtReadOut.x, kDirtReadOut.y);
    PostText(WaitForEntryBox(window), "9");
    if (cancel) PostKey(WaitForEntryBox(window), cancel);
    else PostWheel(window, 120, kFaderX, 200);
    ASSERT_TRUE(WaitForEntryBoxToClose(window));
  }
  EXPECT_EQ(Text(effGetParamDisplay, 1), "0.0");

  PostClick(window, kDirtReadOut.x, kDirtReadOut.y);
  PostText(WaitForEntryBox(window), "4x");
  PostClick(window, 400, 200);  // on the panel: the entry is done
  ASSERT_TRUE(WaitForEntryBoxToClose(window));
  EXPECT_EQ(Text(effGetParamDisplay, 1), "4.0");
  EXPECT_EQ(GetFocus(), window);
  EXPECT_EQ(Edits(), (std::vector<std::string>{"begin 0", "end 0", "automate 0 250", "begin 1", "end 1", "begin 1",
                                               "end 1", "begin 1", "end 1", "automate 1 400"}));
}

TEST_F(PluginWindow, ReopeningShowsTheSameEditor) {
  Start();
  HWND window = Open(effect, parent);
  PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, kFaderX, 120);
  PostPointer(window, WM_LBUTTONUP, 0, kFaderX, 120);
  Pump(50);
  const Screenshot before = Settled(window);
  EXPECT_EQ(Dispatch(effEditClose), 1);
  EXPECT_EQ(EditorWindowIn(parent.Handle()), nullptr);
  EXPECT_FALSE(IsWindow(window));
  const Screenshot after = ReadBack(Open(effect, parent));
  EXPECT_TRUE(after.pixels == before.pixels);
  EXPECT_EQ(Text(effGetParamDisplay, 0), "8.5");
}

TEST_F(PluginWindow, CornerDragScalesTheWindowWithItsFrameAndTheNextEditorOpensAtThatScale) {
  Start();
  HWND window = Open(effect, parent);
  // Over the corner handle the pointer shows the diagonal arrows, and keeps
  // them when the system asks the window for its shape.
  PostPointer(window, WM_MOUSEMOVE, 0, 712, 412);
  Pump(20);
  SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZENWSE)));
  // The corner follows the pointer: x + y twice the sum of the sides at scale 1 is scale 2.
  PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, 712, 412);
  PostPointer(window, WM_MOUSEMOVE, MK_LBUTTON, 1440, 840);
  PostPointer(window, WM_LBUTTONUP, 0, 1440, 840);
  const Screenshot scaled = Settled(window);
  EXPECT_EQ(scaled.width, 1440);
  EXPECT_EQ(scaled.height, 840);
  EXPECT_TRUE(WritePng(scaled, "torvane-editor-window-2x.png"));
  ERect* rect = nullptr;
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, 1440);
  // The host's window holds the editor, within its own frame.
  RECT client;
  GetClientRect(parent.Handle(), &client);
  EXPECT_EQ(client.right, 1440);
  EXPECT_EQ(client.bottom, 840);

  AEffect* second = library.CreateEffect(RecordingHost::Callback);
  ASSERT_NE(second, nullptr);
  HostWindow secondParent(1500, 900);
  const Screenshot secondScreen = ReadBack(Open(second, secondParent));
  EXPECT_EQ(secondScreen.width, 1440);
  second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
  second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(PluginWindow, TwoEditorsRegisterTheWindowClassOnceAndFiftyOpeningsLeaveNothingBehind) {
  Start();
  AEffect* second = library.CreateEffect(RecordingHost::Callback);
  ASSERT_NE(second, nullptr);
  HostWindow secondParent;
  EXPECT_FALSE(ClassRegistered());
  Open(effect, parent);
  Open(second, secondParent);
  Dispatch(effEditClose);
  EXPECT_TRUE(ClassRegistered());
  second->dispatcher(second, effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_FALSE(ClassRegistered());
  second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);

  const int objects = GdiObjectCount();
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(Dispatch(effEditOpen, 0, 0, parent.Handle()), 1);
    Pump(10);  // a few ticks of the repaint timer
    Dispatch(effEditClose);
  }
  EXPECT_EQ(EditorWindowIn(parent.Handle()), nullptr);
  EXPECT_FALSE(ClassRegistered());
  EXPECT_EQ(GdiObjectCount(), objects);
}

}  // namespace torvane
