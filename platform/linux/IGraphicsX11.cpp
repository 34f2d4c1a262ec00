#include "platform/linux/IGraphicsX11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>

#include "core/FixedText.h"
#include "editor/TypedEntryRules.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"
#include "platform/linux/SharedMemoryBitmap.h"
#include "platform/linux/TextEntryBox.h"
#include "platform/linux/X11EditorWindow.h"
#include "platform/linux/X11ErrorTrap.h"
#include "platform/linux/X11KeyMap.h"

namespace torvane {

namespace {

// A second left press this soon after the first and this close to it is a
// double click, as desktops set it by default.
constexpr unsigned long kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 2;
// The caret blinks on and off at this interval.
constexpr int64_t kCaretBlinkMs = 530;
// Committed text is read back up to this many characters.
constexpr int kCommittedCharacters = 31;
constexpr unsigned kButtonMasks = Button1Mask | Button2Mask | Button3Mask;

unsigned MaskOfButton(unsigned button) noexcept {
  switch (button) {
    case Button1: return Button1Mask;
    case Button2: return Button2Mask;
    case Button3: return Button3Mask;
    default: return 0;
  }
}

IMouseKeys KeysFor(unsigned state) noexcept {
  IMouseKeys keys;
  keys.left = (state & Button1Mask) != 0;
  keys.right = (state & Button3Mask) != 0;
  keys.shift = (state & ShiftMask) != 0;
  keys.control = (state & ControlMask) != 0;
  keys.alt = (state & Mod1Mask) != 0;
  return keys;
}

}  // namespace

IGraphicsX11::IGraphicsX11(IEffectBase& effect) noexcept : IGraphicsPortable(effect) {}

IGraphicsX11::~IGraphicsX11() {
  // The editor goes with its effect, which can no longer hear about a
  // gesture the window leaves unfinished.
  CancelCapture();
  CloseEditorWindow();
}

int64_t IGraphicsX11::NowMs() noexcept {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// --- opening and closing ------------------------------------------------------

bool IGraphicsX11::OpenEditorWindow(void* parentWindow) {
  ScopedLock window(windowLock_);
  // An open request from inside one of our own calls to the host.
  if (ticking_) return false;
  CloseEditorWindow();
  auto created = std::make_unique<X11EditorWindow>();
  if (!created->Open(static_cast<Window>(reinterpret_cast<uintptr_t>(parentWindow)), Width(), Height())) return false;
  window_ = std::move(created);
  MarkAllControlsDirty();
  pressDelivered_ = lastPressCounts_ = false;
  lastIdleMs_.store(NowMs(), std::memory_order_relaxed);
  // Without a thread the host's idle requests still drive the window.
  timer_.Start(1000 / FrameRate(), TimerTick, this);
  return true;
}

void IGraphicsX11::CloseEditorWindow() {
  ScopedLock window(windowLock_);
  if (ticking_) {
    // Closed from inside one of our own calls to the host: the tick ends first.
    closeAfterTick_ = true;
    return;
  }
  timer_.Stop();
  ReleaseWindow();
}

void IGraphicsX11::ReleaseWindow() {
  // Typed entry that is still open goes with the window, uncommitted.
  entry_.reset();
  // A fader still held: the host hears the end of the edit it was told had
  // begun, as on every platform.
  AbandonGesture();
  pressDelivered_ = false;
  window_.reset();
  pendingPaint_ = pendingPresent_ = {};
}

void* IGraphicsX11::WindowHandle() const {
  ScopedLock window(windowLock_);
  if (!window_ || window_->Destroyed()) return nullptr;
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window_->Handle()));
}

// --- the clock ------------------------------------------------------------------

void IGraphicsX11::Idle() {
  lastIdleMs_.store(NowMs(), std::memory_order_relaxed);
  ScopedLock window(windowLock_);
  Tick();
}

void IGraphicsX11::TimerTick(void* self) noexcept {
  auto* graphics = static_cast<IGraphicsX11*>(self);
  if (NowMs() - graphics->lastIdleMs_.load(std::memory_order_relaxed) < kIdleSilenceMs) return;
  // Busy with a request of the host's: the next tick comes soon enough.
  if (!graphics->windowLock_.TryLock()) return;
  graphics->RepaintOnly();
  graphics->windowLock_.Unlock();
}

void IGraphicsX11::RepaintOnly() {
  if (!window_ || ticking_ || window_->Destroyed()) return;
  ticking_ = true;
  {
    X11ErrorTrap trap(window_->GetDisplay());
    XEvent event;
    while (window_->NextExposure(event)) HandleEvent(event);
    if (!window_->Destroyed()) Repaint();
  }
  ticking_ = false;
}

void IGraphicsX11::Tick() {
  if (!window_ || ticking_) return;
  ticking_ = true;
  {
    X11ErrorTrap trap(window_->GetDisplay());
    XEvent event;
    while (window_->NextEvent(event)) {
      // Only the latest position of a run of motion counts.
      if (event.type == MotionNotify && window_->MotionQueued()) continue;
      HandleEvent(event);
    }
    if (!window_->Destroyed()) Repaint();
  }
  ticking_ = false;
  // The host destroyed its window (and ours with it), or closed the editor
  // while we were calling it.
  if (!window_ || window_->Destroyed() || closeAfterTick_) {
    closeAfterTick_ = false;
    // From the repaint thread itself this only asks it to end; the next
    // close or open waits for it.
    timer_.Stop();
    ReleaseWindow();
  }
}

void IGraphicsX11::Repaint() {
  if (entry_ && NowMs() - caretToggledMs_ >= kCaretBlinkMs) {
    entry_->SetCaretVisible(!entry_->CaretVisible());
    caretToggledMs_ = NowMs();
    pendingPresent_.Include(entry_->Rect());
  }
  IBounds area;
  const bool dirty = CollectDirtyArea(area);
  area.Include(pendingPaint_);
  pendingPaint_ = {};
  if (dirty || !area.Empty()) PaintArea(area);
  if (!pendingPresent_.Empty()) {
    const IBounds exposed = pendingPresent_;
    pendingPresent_ = {};
    PresentArea(exposed);
  }
}

// --- events ---------------------------------------------------------------------

void IGraphicsX11::HandleEvent(const XEvent& event) {
  switch (event.type) {
    case Expose: {
      const XExposeEvent& expose = event.xexpose;
      pendingPresent_.Include({expose.x, expose.y, expose.x + expose.width, expose.y + expose.height});
      break;
    }
    case ButtonPress: HandleButtonPress(event); break;
    case ButtonRelease: HandleButtonRelease(event); break;
    case MotionNotify: HandleMotion(event); break;
    case KeyPress:
    case KeyRelease: HandleKey(event); break;
    case LeaveNotify:
      // During a drag the pointer still belongs to us; X reports the leave
      // again when the button is released outside.
      if (event.xcrossing.detail != NotifyInferior && !pressDelivered_) HandleMouseLeave();
      break;
    case FocusOut: {
      const XFocusChangeEvent& focus = event.xfocus;
      const bool lost = (focus.mode == NotifyNormal || focus.mode == NotifyWhileGrabbed) &&
                        focus.detail != NotifyInferior && focus.detail != NotifyPointer;
      if (entry_ && lost) FinishTextEntry(true);
      break;
    }
    default: break;
  }
}

void IGraphicsX11::HandleButtonPress(const XEvent& event) {
  const XButtonEvent& press = event.xbutton;
  lastEventTime_ = press.time;
  if (press.button == Button4 || press.button == Button5) {
    if (entry_) {
      FinishTextEntry(false);
    } else {
      HandleWheel(press.x, press.y, KeysFor(press.state), press.button == Button4 ? 1 : -1);
    }
    return;
  }
  if (press.button > Button3) return;  // sideways wheel and extra buttons
  if (entry_) {
    // A press in the box moves its caret; anywhere else it commits the entry
    // and goes no further.
    if (press.button == Button1 && entry_->Rect().Contains(press.x, press.y)) {
      entry_->MoveCaret(entry_->PositionAt(press.x), (press.state & ShiftMask) != 0);
      entry_->SetCaretVisible(true);
      caretToggledMs_ = NowMs();
      pendingPresent_.Include(entry_->Rect());
    } else {
      FinishTextEntry(true);
    }
    lastPressCounts_ = false;
    return;
  }
  const IMouseKeys keys = KeysFor(press.state | MaskOfButton(press.button));
  pressDelivered_ = true;
  const bool doubleClick = press.button == Button1 && lastPressCounts_ &&
                           press.time - lastPressTime_ <= kDoubleClickMs &&
                           std::abs(press.x - lastPressX_) <= kDoubleClickDistance &&
                           std::abs(press.y - lastPressY_) <= kDoubleClickDistance;
  if (doubleClick) {
    // A third press starts counting afresh.
    lastPressCounts_ = false;
    HandleDoubleClick(press.x, press.y, keys);
    return;
  }
  lastPressTime_ = press.time;
  lastPressX_ = press.x;
  lastPressY_ = press.y;
  HandleMouseDown(press.x, press.y, keys);
  // A press that opened typed entry is not the first half of a double click.
  lastPressCounts_ = press.button == Button1 && !entry_;
}

void IGraphicsX11::HandleButtonRelease(const XEvent& event) {
  const XButtonEvent& release = event.xbutton;
  lastEventTime_ = release.time;
  if (release.button > Button3 || !pressDelivered_) return;
  const unsigned stillHeld = release.state & kButtonMasks & ~MaskOfButton(release.button);
  if (!stillHeld) pressDelivered_ = false;
  HandleMouseUp(release.x, release.y, KeysFor(release.state & ~MaskOfButton(release.button)));
}

void IGraphicsX11::HandleMotion(const XEvent& event) {
  const XMotionEvent& motion = event.xmotion;
  const IMouseKeys keys = KeysFor(motion.state);
  if (keys.left || keys.right) {
    if (pressDelivered_ && !entry_) HandleMouseDrag(motion.x, motion.y, keys);
    return;
  }
  HandleMouseMove(motion.x, motion.y, keys);
}

void IGraphicsX11::HandleKey(const XEvent& event) {
  XKeyEvent key = event.xkey;
  lastEventTime_ = key.time;
  // Two presses with typing between them are no double click.
  lastPressCounts_ = false;
  if (entry_) {
    if (event.type == KeyPress) HandleEntryKey(event);
    return;
  }
  KeyCode code = KeySpace;
  if (event.type == KeyPress && EditorKeyFor(XLookupKeysym(&key, 0), code) && HandleKeyDown(key.x, key.y, code)) {
    return;
  }
  window_->ForwardKey(event.xkey);
}

void IGraphicsX11::HandleEntryKey(const XEvent& event) {
  XKeyEvent key = event.xkey;
  char typed[8] = {};
  KeySym symbol = NoSymbol;
  const int count = XLookupString(&key, typed, sizeof(typed), &symbol, nullptr);
  const bool shift = (key.state & ShiftMask) != 0;
  const bool control = (key.state & ControlMask) != 0;
  const bool selection = entry_->SelectionStart() != entry_->SelectionEnd();
  switch (symbol) {
    case XK_Return:
    case XK_KP_Enter: FinishTextEntry(true); return;
    case XK_Escape: FinishTextEntry(false); return;
    case XK_BackSpace: entry_->Backspace(); break;
    case XK_Delete:
    case XK_KP_Delete: entry_->DeleteForward(); break;
    case XK_Left:
    case XK_KP_Left:
      entry_->MoveCaret(selection && !shift ? entry_->SelectionStart() : entry_->Caret() - 1, shift);
      break;
    case XK_Right:
    case XK_KP_Right:
      entry_->MoveCaret(selection && !shift ? entry_->SelectionEnd() : entry_->Caret() + 1, shift);
      break;
    case XK_Home:
    case XK_KP_Home: entry_->MoveCaret(0, shift); break;
    case XK_End:
    case XK_KP_End: entry_->MoveCaret(entry_->Length(), shift); break;
    default:
      if (control && (symbol == XK_a || symbol == XK_A)) {
        entry_->SelectAll();
      } else if (count == 1 && !control) {
        entry_->Type(typed[0]);
      } else {
        return;
      }
  }
  entry_->SetCaretVisible(true);
  caretToggledMs_ = NowMs();
  pendingPresent_.Include(entry_->Rect());
}

// --- typed entry ------------------------------------------------------------------

void IGraphicsX11::OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                                 IParameter* parameter) {
  ScopedLock window(windowLock_);
  if (!control || entry_ || !window_ || window_->Destroyed()) return;
  entry_ = std::make_unique<TextEntryBox>(*control, style, rect, text, parameter);
  window_->TakeFocus(lastEventTime_);
  caretToggledMs_ = NowMs();
  pendingPresent_.Include(entry_->Rect());
  SendOutsideTick();
}

void IGraphicsX11::CancelTextEntry() {
  ScopedLock window(windowLock_);
  FinishTextEntry(false);
  SendOutsideTick();
}

void IGraphicsX11::FinishTextEntry(bool commit) {
  if (!entry_) return;
  // Released before the value goes anywhere: committing calls the host.
  const std::unique_ptr<TextEntryBox> box = std::move(entry_);
  pendingPaint_.Include(box->Rect());
  if (window_) window_->ReturnFocus();
  if (!commit) return;
  char text[kCommittedCharacters + 1] = {};
  CopyFixedText(text, sizeof(text), box->Text());
  if (const IParameter* parameter = box->Parameter()) {
    box->Control().SetValueFromUser(parameter->PositionOf(TypedParameterValue(*parameter, text)));
  } else {
    box->Control().AcceptText(text);
  }
}

// --- the window's contents ----------------------------------------------------------

bool IGraphicsX11::PresentArea(const IBounds& area) {
  ScopedLock window(windowLock_);
  if (!window_ || window_->Destroyed() || !Surface()) return true;
  IBounds shown = area;
  // The box lives in the surface over the control it edits.
  if (entry_ && entry_->Rect().Overlaps(area)) {
    entry_->Draw(*this);
    shown.Include(entry_->Rect());
  }
  window_->Present(*Surface(), shown);
  SendOutsideTick();
  return true;
}

void IGraphicsX11::ResizeSurface(int width, int height) {
  ScopedLock window(windowLock_);
  if (width == Width() && height == Height()) return;
  // The box would stand where the control was before.
  FinishTextEntry(false);
  {
    // The host reads the editor's size under the plug-in lock.
    ScopedLock lock(Effect().Lock());
    IGraphics::ResizeSurface(width, height);
  }
  if (!window_ || window_->Destroyed()) return;
  window_->Resize(width, height);
  // Linux hosts resize the window they embed us in when asked; for one that
  // does not, we resize it ourselves.
  if (!Effect().RequestHostWindowSize(width, height)) window_->FitParentAround(width, height);
  pendingPaint_ = {0, 0, width, height};
  SendOutsideTick();
}

void IGraphicsX11::SetCursorShape(SystemCursor cursor) {
  ScopedLock window(windowLock_);
  if (window_) window_->SetPointerShape(cursor);
  SendOutsideTick();
}

void IGraphicsX11::HideCursor() {
  ScopedLock window(windowLock_);
  if (window_) window_->HidePointer();
  SendOutsideTick();
}

void IGraphicsX11::RestoreCursor() {
  ScopedLock window(windowLock_);
  if (window_) window_->RestorePointer();
  SendOutsideTick();
}

void IGraphicsX11::SendOutsideTick() {
  if (!ticking_ && window_) XFlush(window_->GetDisplay());
}

bool IGraphicsX11::PresentsThroughSharedMemory() const {
  ScopedLock window(windowLock_);
  return window_ && window_->UsesSharedMemory();
}

bool IGraphicsX11::PresentsStraightFromSurface() const {
  ScopedLock window(windowLock_);
  return window_ && window_->PresentsStraightFromSurface();
}

std::unique_ptr<IRasterBitmap> IGraphicsX11::MakeSurface(int width, int height) {
  auto shared = std::make_unique<SharedMemoryBitmap>(width, height);
  if (shared->PixelBuffer()) return shared;
  return IGraphicsPortable::MakeSurface(width, height);
}

}  // namespace torvane
