// The editor window's procedure: window messages become IGraphics calls, and
// the repaint timer paints what changed.
#include "platform/win/IGraphicsWin.h"

namespace torvane {

namespace {

// One notch of a mouse wheel in raw units.
constexpr int kWheelNotch = 120;

int PointerX(LPARAM lParam) noexcept { return static_cast<short>(LOWORD(lParam)); }
int PointerY(LPARAM lParam) noexcept { return static_cast<short>(HIWORD(lParam)); }

IMouseKeys KeysOf(WPARAM wParam) noexcept {
  IMouseKeys keys;
  keys.left = (wParam & MK_LBUTTON) != 0;
  keys.right = (wParam & MK_RBUTTON) != 0;
  keys.shift = (wParam & MK_SHIFT) != 0;
  keys.control = (wParam & MK_CONTROL) != 0;
  keys.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
  return keys;
}

// The editor's number for a virtual key; false for a key that stays with the
// host. Virtual-key codes name letters by their capitals only: the codes of
// the small letters' characters belong to the number pad and the function
// keys, which the editor does not take.
bool KeyCodeFor(WPARAM virtualKey, KeyCode& key) noexcept {
  switch (virtualKey) {
    case VK_SPACE: key = KeySpace; return true;
    case VK_UP: key = KeyUp; return true;
    case VK_DOWN: key = KeyDown; return true;
    case VK_LEFT: key = KeyLeft; return true;
    case VK_RIGHT: key = KeyRight; return true;
    default: break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') {
    key = static_cast<KeyCode>(KeyDigit0 + static_cast<int>(virtualKey - '0'));
    return true;
  }
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    key = static_cast<KeyCode>(KeyLetterA + static_cast<int>(virtualKey - 'A'));
    return true;
  }
  return false;
}

RECT ToRect(const IBounds& bounds) noexcept { return {bounds.left, bounds.top, bounds.right, bounds.bottom}; }

}  // namespace

LRESULT CALLBACK IGraphicsWin::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* graphics = static_cast<IGraphicsWin*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
    graphics->window_ = window;
    const int frameRate = graphics->FrameRate() > 0 ? graphics->FrameRate() : kDefaultFrameRate;
    SetTimer(window, kTimerId, static_cast<UINT>(1000 / frameRate), nullptr);
    return 0;
  }
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!graphics || graphics->window_ != window) return DefWindowProcA(window, message, wParam, lParam);
  return graphics->HandleMessage(window, message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;
    case WM_PAINT: {
      RECT update;
      if (GetUpdateRect(window_, &update, FALSE)) {
        PaintArea({update.left, update.top, update.right, update.bottom});
        // An editor without controls presents nothing; the area is done anyway.
        ValidateRect(window_, &update);
      }
      return 0;
    }
    case WM_CLOSE:
      CloseEditorWindow();
      return 0;
    case WM_SETCURSOR:
      // The system asks before every pointer move; its answer, the class's
      // arrow, would undo the shape a control chose (over a resize handle).
      // The entry box shows its own.
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != window) break;
      ShowSystemCursor(cursorShape_);
      return TRUE;
    case WM_CTLCOLOREDIT:
      if (entryControl_) return ColourEntryBox(reinterpret_cast<HDC>(wParam));
      break;
    case WM_NCDESTROY:
      ForgetDestroyedWindow();
      break;
    default:
      // While the typed-entry box has the focus the editor takes no input: a
      // press on it cancels the entry.
      if (entryBox_ && entryState_ == EntryState::kFocused) {
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
          entryState_ = EntryState::kCancel;
          return 0;
        }
        break;
      }
      if (HandleInput(message, wParam, lParam)) return 0;
      if (message == WM_KEYDOWN || message == WM_KEYUP) HandleKey(message, wParam, lParam);
      break;
  }
  // The handling may have closed the window: window_ is null then.
  return DefWindowProcA(window, message, wParam, lParam);
}

bool IGraphicsWin::HandleInput(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = PointerX(lParam);
  const int y = PointerY(lParam);
  switch (message) {
    case WM_TIMER:
      if (wParam != kTimerId) return false;
      OnTimerTick();
      return true;
    case WM_MOUSEMOVE:
      if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
        if (GetCapture() == window_ && !entryBox_) HandleMouseDrag(x, y, KeysOf(wParam));
      } else if (HandleMouseMove(x, y, KeysOf(wParam))) {
        TRACKMOUSEEVENT tracking = {sizeof(tracking), TME_LEAVE, window_, HOVER_DEFAULT};
        TrackMouseEvent(&tracking);
      }
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (entryBox_) {
        entryState_ = EntryState::kCommit;
      } else {
        SetFocus(window_);
        SetCapture(window_);
        HandleMouseDown(x, y, KeysOf(wParam));
      }
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      ReleaseCapture();
      HandleMouseUp(x, y, KeysOf(wParam));
      return true;
    case WM_LBUTTONDBLCLK:
      if (HandleDoubleClick(x, y, KeysOf(wParam))) SetCapture(window_);
      return true;
    case WM_MOUSEWHEEL: {
      if (entryBox_) {
        entryState_ = EntryState::kCancel;
        return true;
      }
      // The wheel's position is on the screen; the editor takes it relative
      // to the window's outer corner.
      RECT frame = {};
      GetWindowRect(window_, &frame);
      // High-resolution wheels and touch pads send parts of a notch, which
      // add up until they make whole ones.
      wheelRemainder_ += static_cast<short>(HIWORD(wParam));
      const int notches = wheelRemainder_ / kWheelNotch;
      wheelRemainder_ -= notches * kWheelNotch;
      if (notches != 0) HandleWheel(x - frame.left, y - frame.top, KeysOf(LOWORD(wParam)), notches);
      return true;
    }
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      return true;
    case WM_KEYDOWN: {
      KeyCode key;
      if (!KeyCodeFor(wParam, key)) return false;
      POINT pointer = {};
      GetCursorPos(&pointer);
      ScreenToClient(window_, &pointer);
      return HandleKeyDown(pointer.x, pointer.y, key);
    }
    default:
      return false;
  }
}

void IGraphicsWin::HandleKey(UINT message, WPARAM wParam, LPARAM lParam) {
  // Keys the editor does not use go to the host's main window, where its
  // shortcuts (start and stop, for example) live.
  HWND root = GetAncestor(window_, GA_ROOT);
  if (root && root != window_) SendMessageA(root, message, wParam, lParam);
}

void IGraphicsWin::OnTimerTick() {
  if (entryBox_ && entryState_ != EntryState::kIdle) {
    if (entryState_ == EntryState::kCommit) CommitTextEntry();
    if (entryState_ == EntryState::kCommit || entryState_ == EntryState::kCancel) CloseTextEntry();
    entryState_ = EntryState::kIdle;
    return;
  }
  IBounds dirty;
  if (!CollectDirtyArea(dirty)) return;
  if (!dirty.Empty()) {
    const RECT area = ToRect(dirty);
    InvalidateRect(window_, &area, FALSE);
  }
  if (entryBox_) {
    // The control under the box stays as it is; the box covers it.
    const RECT covered = ToRect(entryControl_->DrawRect());
    ValidateRect(window_, &covered);
    UpdateWindow(window_);
    entryState_ = EntryState::kShown;
  } else {
    UpdateWindow(window_);
  }
}

}  // namespace torvane
