#include "platform/win/IGraphicsWin.h"

#include <cstring>

#include "framework/HostId.h"
#include "framework/IEffectBase.h"
#include "platform/win/EditorWindowClass.h"
#include "raster/PngLoader.h"
#include "system/FolderTexts.h"
#include "system/ModuleHandle.h"

namespace torvane {

namespace {

HINSTANCE Module() noexcept { return static_cast<HINSTANCE>(ThisModule()); }

// A child window that is not an MDI child: the kind whose parent a resize
// carries along.
bool IsPlainChild(HWND window) noexcept {
  return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) && !(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
}

// Sizes window so that its client area holds content, of the given outer
// size, where it stands now: the new size comes from window's own frame,
// not from adding the change, so a window that once could not follow (held
// to the screen) does not stay off by that amount. Returns the outer size.
SIZE FitAround(HWND window, HWND content, SIZE contentSize) noexcept {
  RECT outer;
  RECT client;
  RECT inner;
  if (!window || !GetWindowRect(window, &outer) || !GetClientRect(window, &client) || !GetWindowRect(content, &inner)) {
    return {0, 0};
  }
  POINT origin = {inner.left, inner.top};
  ScreenToClient(window, &origin);
  const SIZE size = {outer.right - outer.left - client.right + origin.x + contentSize.cx,
                     outer.bottom - outer.top - client.bottom + origin.y + contentSize.cy};
  SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return size;
}

struct ClassSearch {
  const char* className;
  HWND found;
};

BOOL CALLBACK FindProcessWindowOfClass(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ClassSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[128] = "";
  if (process != GetCurrentProcessId() || !GetClassNameA(window, className, sizeof(className))) return TRUE;
  if (std::strcmp(className, search->className) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

IGraphicsWin::IGraphicsWin(IEffectBase& effect) noexcept : IGraphics(effect) {}

IGraphicsWin::~IGraphicsWin() {
  // The editor goes with its effect, which can no longer hear about a
  // gesture the window leaves unfinished.
  CancelCapture();
  CloseEditorWindow();
}

bool IGraphicsWin::PresentArea(const IBounds& area) {
  if (!window_ || !Surface()) return false;
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(window_, &paint);
  if (!screen) return false;
  BitBlt(screen, area.left, area.top, area.Width(), area.Height(), static_cast<HDC>(Surface()->DeviceContext()),
         area.left, area.top, SRCCOPY);
  EndPaint(window_, &paint);
  return true;
}

void IGraphicsWin::CancelTextEntry() { entryState_ = EntryState::kCancel; }

void IGraphicsWin::ResizeSurface(int width, int height) {
  if (width == Width() && height == Height()) return;
  IGraphics::ResizeSurface(width, height);
  if (!window_) return;
  HWND parent = nullptr;
  HWND grandparent = nullptr;
  if (IsPlainChild(window_)) {
    parent = GetParent(window_);
    if (parent && IsPlainChild(parent)) grandparent = GetParent(parent);
  }
  // Some hosts size the editor window themselves, others its frame, from the
  // editor rectangle they are told about; growing it here as well would
  // count the change twice.
  const int host = Effect().IdentifyHost();
  if (host != kHostNuendo) {
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (host != kHostReaper && host != kHostCubase && parent) {
    const SIZE parentSize = FitAround(parent, window_, {width, height});
    if (grandparent) FitAround(grandparent, parent, parentSize);
  }
  const RECT whole = {0, 0, width, height};
  InvalidateRect(window_, &whole, FALSE);
  UpdateWindow(window_);
}

int IGraphicsWin::ShowMessage(const char* text, const char* caption, int type) {
  return MessageBoxA(TopLevelWindow(), text, caption, static_cast<UINT>(type));
}

HWND IGraphicsWin::TopLevelWindow() {
  if (topLevelWindow_ && IsWindow(topLevelWindow_)) return topLevelWindow_;
  topLevelWindow_ = nullptr;
  if (window_) {
    HWND ancestor = window_;
    while (HWND parent = GetParent(ancestor)) ancestor = parent;
    topLevelWindow_ = ancestor;
    if (!GetClassNameA(ancestor, topLevelClass_, sizeof(topLevelClass_))) topLevelClass_[0] = '\0';
  } else if (topLevelClass_[0]) {
    // The editor is closed: the host's main window is the first of this
    // process with the class remembered while it was open.
    ClassSearch search = {topLevelClass_, nullptr};
    EnumWindows(FindProcessWindowOfClass, reinterpret_cast<LPARAM>(&search));
    topLevelWindow_ = search.found;
  }
  return topLevelWindow_;
}

void IGraphicsWin::HostExecutablePath(GrowableText& out) { ProgramFolderText(out); }

void IGraphicsWin::ModulePath(GrowableText& out) { ModuleFolderText(out); }

void IGraphicsWin::DesktopFolder(GrowableText& out) { UserFolderText(UserFolder::Desktop, out); }

void IGraphicsWin::DocumentsFolder(GrowableText& out) { DocumentsFolderText(out); }

void IGraphicsWin::AppDataFolder(GrowableText& out, bool common) {
  UserFolderText(common ? UserFolder::CommonAppData : UserFolder::LocalAppData, out);
}

bool IGraphicsWin::OpenEditorWindow(void* parentWindow) {
  HWND parent = static_cast<HWND>(parentWindow);
  int x = 0;
  int y = 0;
  int width = Width();
  int height = Height();
  if (window_) {
    // Reopening moves the window: it keeps its place and size in its parent.
    RECT own;
    RECT parentRect;
    if (GetWindowRect(window_, &own) && GetWindowRect(GetParent(window_), &parentRect)) {
      x = own.left - parentRect.left;
      y = own.top - parentRect.top;
      width = own.right - own.left;
      height = own.bottom - own.top;
    }
    CloseEditorWindow();
  }
  if (!EditorWindowClass::AddUser(Module(), WindowProcedure)) return false;
  // Painting leaves the typed-entry box alone, whenever the editor repaints.
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  // The window's WM_CREATE stores it in window_ already, so that the messages
  // of its creation are handled.
  HWND created =
      CreateWindowExA(0, EditorWindowClass::kName, "Torvane", kStyle, x, y, width, height, parent, nullptr, Module(), this);
  if (!created) {
    window_ = nullptr;
    EditorWindowClass::RemoveUser(Module());
    return false;
  }
  window_ = created;
  // The host may give another top-level window at each opening.
  topLevelWindow_ = nullptr;
  MarkAllControlsDirty();
  return true;
}

void IGraphicsWin::CloseEditorWindow() {
  // A window the host destroyed is gone by now.
  EditorWindowClass::UnregisterUnused(Module());
  if (!window_) return;
  EndWindowSession();
  HWND closing = window_;
  // Cleared first: the window's own destruction messages then leave it alone,
  // and so does every later message should the window outlive this call.
  window_ = nullptr;
  SetWindowLongPtrA(closing, GWLP_USERDATA, 0);
  KillTimer(closing, kTimerId);
  // Only the window's own thread can destroy it; a host that closes the
  // editor from another thread gets it closed there.
  if (!DestroyWindow(closing)) PostMessageA(closing, WM_CLOSE, 0, 0);
  EditorWindowClass::RemoveUser(Module());
}

void IGraphicsWin::ForgetDestroyedWindow() {
  window_ = nullptr;
  // The box died with its parent.
  entryBox_ = nullptr;
  EndWindowSession();
  EditorWindowClass::RemoveUser(Module());
}

void IGraphicsWin::EndWindowSession() {
  CloseTextEntry();
  entryState_ = EntryState::kIdle;
  wheelRemainder_ = 0;
  cursorShape_ = SystemCursor::Arrow;
  RestoreCursor();
  AbandonGesture();
}

void IGraphicsWin::HideCursor() {
  if (cursorHidden_) return;
  GetCursorPos(&savedCursor_);
  ShowCursor(FALSE);
  cursorHidden_ = true;
}

void IGraphicsWin::RestoreCursor() {
  if (!cursorHidden_) return;
  SetCursorPos(savedCursor_.x, savedCursor_.y);
  ShowCursor(TRUE);
  cursorHidden_ = false;
}

void IGraphicsWin::SetCursorShape(SystemCursor cursor) {
  cursorShape_ = cursor;
  ShowSystemCursor(cursor);
}

std::unique_ptr<IRasterBitmap> IGraphicsWin::LoadPlatformImage(int resourceId, const char* resourceName) {
  if (!NamesPngImage(resourceName)) return nullptr;
  return LoadPngResource(ThisModule(), resourceId);
}

}  // namespace torvane
