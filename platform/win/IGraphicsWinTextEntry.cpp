// The typed-entry box: a system "EDIT" box over a control, whose own window
// procedure is wrapped to commit on Return and cancel on Escape; the repaint
// timer hands the text to the control and closes the box.
#include "editor/IControl.h"
#include "editor/TypedEntryRules.h"
#include "framework/IParameter.h"
#include "platform/win/IGraphicsWin.h"
#include "system/ModuleHandle.h"

namespace torvane {

namespace {

// The box's text is read back up to this many bytes, the terminator included.
constexpr int kEntryTextBytes = 32;

COLORREF ToColorRef(const IArgb& colour) noexcept {
  return RGB(colour.red, colour.green, colour.blue);
}

}  // namespace

void IGraphicsWin::OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                                 IParameter* parameter) {
  if (!control || entryBox_ || !window_) return;
  DWORD alignment = ES_LEFT;
  if (style.alignment == TextAlignCentre) alignment = ES_CENTER;
  if (style.alignment == TextAlignRight) alignment = ES_RIGHT;
  HWND box = CreateWindowExA(0, "EDIT", text ? text : "",
                             WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL | alignment, rect.left, rect.top,
                             rect.Width() + 1, rect.Height() + 1, window_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryBoxId)),
                             static_cast<HINSTANCE>(ThisModule()), nullptr);
  if (!box) return;
  entryFont_ = CreateFontA(style.size, 0, 0, 0, style.style == TextStyleBold ? FW_BOLD : 0,
                           style.style == TextStyleItalic ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0, style.fontName);
  if (entryFont_) SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont_), FALSE);
  SendMessageA(box, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLength()), 0);
  SendMessageA(box, EM_SETSEL, 0, -1);
  SetFocus(box);
  entryBox_ = box;
  entryControl_ = control;
  entryParameter_ = parameter;
  savedEntryProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EntryProcedure)));
  SetWindowLongPtrA(box, GWLP_USERDATA, kEntryBoxMarker);
}

LRESULT CALLBACK IGraphicsWin::EntryProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(box), GWLP_USERDATA));
  if (!graphics || graphics->entryBox_ != box) return DefWindowProcA(box, message, wParam, lParam);
  return graphics->HandleEntryMessage(message, wParam, lParam);
}

LRESULT IGraphicsWin::HandleEntryMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      entryState_ = EntryState::kFocused;
      break;
    case WM_KILLFOCUS:
      entryState_ = EntryState::kCommit;
      break;
    case WM_GETDLGCODE: {
      if (entryParameter_) break;
      LRESULT code = CallWindowProcA(savedEntryProcedure_, entryBox_, message, wParam, lParam);
      const MSG* queried = reinterpret_cast<const MSG*>(lParam);
      if (queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        entryState_ = EntryState::kCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        entryState_ = EntryState::kCancel;
        return 0;
      }
      break;
    case WM_CHAR:
      // Return and Escape already did their work as keys; as characters they
      // would put a line break into the box or make it beep.
      if (wParam == '\r' || wParam == '\n' || wParam == 0x1b) return 0;
      if (entryParameter_ && wParam != '\b' &&
          (wParam > 0x7f || !TypedEntryAccepts(entryParameter_, static_cast<char>(wParam)))) {
        return 0;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        entryState_ = EntryState::kCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(savedEntryProcedure_, entryBox_, message, wParam, lParam);
}

LRESULT IGraphicsWin::ColourEntryBox(HDC context) {
  const ITextStyle& style = entryControl_->TextStyle();
  SetBkColor(context, ToColorRef(style.entryBackground));
  SetTextColor(context, ToColorRef(style.entryText));
  SetBkMode(context, OPAQUE);
  // The box paints the space around its text with this brush.
  SetDCBrushColor(context, ToColorRef(style.entryBackground));
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void IGraphicsWin::CommitTextEntry() {
  char text[kEntryTextBytes] = "";
  SendMessageA(entryBox_, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  if (entryParameter_) {
    entryControl_->SetValueFromUser(entryParameter_->PositionOf(TypedParameterValue(*entryParameter_, text)));
  } else {
    entryControl_->AcceptText(text);
  }
}

void IGraphicsWin::CloseTextEntry() {
  if (entryBox_) {
    HWND box = entryBox_;
    const bool focused = GetFocus() == box;
    SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedEntryProcedure_));
    entryBox_ = nullptr;
    DestroyWindow(box);
    // Keys go back to the editor, which passes those it does not use on to the host.
    if (focused && window_) SetFocus(window_);
  }
  entryControl_ = nullptr;
  entryParameter_ = nullptr;
  savedEntryProcedure_ = nullptr;
  if (entryFont_) {
    DeleteObject(entryFont_);
    entryFont_ = nullptr;
  }
}

}  // namespace torvane
