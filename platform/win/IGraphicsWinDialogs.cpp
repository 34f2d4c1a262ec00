// The modal parts of the editor window: popup menus, the file and colour
// dialogs, web links, and reading the clipboard. Torvane itself uses none of
// them.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include "platform/win/IGraphicsWin.h"
#include "platform/win/NativeMenu.h"
// After windows.h, which they need.
#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

namespace torvane {

namespace {

// The file dialog's filter and default extension for a list of extensions
// such as "png jpg": "*.png;*.jpg" as both the description and the pattern.
// Extensions that would not fit whole are left out.
class FileFilter {
 public:
  explicit FileFilter(const char* extensions) noexcept {
    char pattern[kPatternBytes] = "";
    size_t length = 0;
    const char* next = extensions ? extensions : "";
    while (*next) {
      while (*next == ' ') ++next;
      const char* end = next;
      while (*end && *end != ' ') ++end;
      const size_t extension = static_cast<size_t>(end - next);
      if (extension == 0) break;
      if (defaultExtension_[0] == '\0' && extension < sizeof(defaultExtension_)) {
        std::memcpy(defaultExtension_, next, extension);
      }
      const size_t needed = (length > 0 ? 1 : 0) + 2 + extension;
      if (length + needed < sizeof(pattern)) {
        if (length > 0) pattern[length++] = ';';
        pattern[length++] = '*';
        pattern[length++] = '.';
        std::memcpy(pattern + length, next, extension);
        length += extension;
        pattern[length] = '\0';
      }
      next = end;
    }
    if (length == 0) return;
    // Description and pattern, each with its terminator, and one more to end the list.
    std::memcpy(filter_, pattern, length + 1);
    std::memcpy(filter_ + length + 1, pattern, length + 1);
    filter_[2 * length + 2] = '\0';
    hasFilter_ = true;
  }

  const char* Filter() const noexcept { return hasFilter_ ? filter_ : nullptr; }
  const char* DefaultExtension() const noexcept { return defaultExtension_[0] ? defaultExtension_ : nullptr; }

 private:
  static constexpr size_t kPatternBytes = 256;
  char filter_[2 * kPatternBytes + 1] = {};
  char defaultExtension_[16] = {};
  bool hasFilter_ = false;
};

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* request = reinterpret_cast<const CHOOSECOLORA*>(lParam);
    const char* prompt = reinterpret_cast<const char*>(request->lCustData);
    if (prompt && *prompt) SetWindowTextA(dialog, prompt);
  }
  return 0;
}

}  // namespace

IPopupMenu* IGraphicsWin::ShowPopupMenu(IPopupMenu& menu, const IBounds& rect) {
  // The menu takes the pointer: no control keeps it.
  CancelCapture();
  if (!window_) return nullptr;
  NativeMenu native(menu);
  if (!native.Handle()) return nullptr;
  POINT corner = {rect.left, rect.bottom};
  ClientToScreen(window_, &corner);
  IPopupMenu* chosen = nullptr;
  // Item 0 has command id 0 as well, so the choice is read from the command
  // the menu posts rather than from the return value.
  if (TrackPopupMenu(native.Handle(), TPM_LEFTBUTTON, corner.x, corner.y, 0, window_, nullptr)) {
    MSG command;
    if (PeekMessageA(&command, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(command.wParam) == 0) {
      chosen = native.Choose(LOWORD(command.wParam));
    }
  }
  const RECT whole = {0, 0, Width(), Height()};
  InvalidateRect(window_, &whole, FALSE);
  return chosen;
}

void IGraphicsWin::AskForFile(GrowableText& fileName, int action, GrowableText& folder, const char* extensions) {
  if (!window_) {
    fileName.Set("");
    return;
  }
  char path[MAX_PATH] = "";
  std::strncpy(path, fileName.Get(), sizeof(path) - 1);
  if (!*folder.Get()) DesktopFolder(folder);
  const FileFilter filter(extensions);
  OPENFILENAMEA request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = window_;
  request.lpstrFilter = filter.Filter();
  request.lpstrFile = path;
  request.nMaxFile = sizeof(path);
  request.lpstrInitialDir = folder.Get();
  request.lpstrDefExt = filter.DefaultExtension();
  BOOL chosen;
  if (action == kFileSave) {
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    chosen = GetSaveFileNameA(&request);
  } else {
    request.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    chosen = GetOpenFileNameA(&request);
  }
  if (!chosen) {
    fileName.Set("");
    return;
  }
  // The folder is the chosen path up to its file name: drive and directory.
  folder.Set(path, request.nFileOffset);
  fileName.Set(path);
}

bool IGraphicsWin::AskForColour(IArgb& colour, const char* prompt) {
  if (!window_) return false;
  CHOOSECOLORA request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = window_;
  request.rgbResult = RGB(colour.red, colour.green, colour.blue);
  request.lpCustColors = customColours_;
  request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
  request.lCustData = reinterpret_cast<LPARAM>(prompt);
  request.lpfnHook = ColourDialogHook;
  if (!ChooseColorA(&request)) return false;
  colour.red = GetRValue(request.rgbResult);
  colour.green = GetGValue(request.rgbResult);
  colour.blue = GetBValue(request.rgbResult);
  return true;
}

bool IGraphicsWin::OpenAddress(const char* address, const char* caption, const char* confirmText,
                               const char* errorText) {
  if (confirmText && MessageBoxA(TopLevelWindow(), confirmText, caption, MB_YESNO) != IDYES) return false;
  DWORD connection = 0;
  if (address && InternetGetConnectedState(&connection, 0)) {
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteA(window_, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
    // Values up to 32 are the shell's error codes.
    if (result > 32) return true;
  }
  if (errorText) MessageBoxA(TopLevelWindow(), errorText, caption, MB_OK);
  return false;
}

bool IGraphicsWin::ReadClipboardText(GrowableText& out) {
  out.Set("");
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(window_)) return false;
  bool read = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Another program wrote the block: its text ends at the first NUL or at
      // the end of the block, whichever comes first.
      const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
      const int length = static_cast<int>(std::min<size_t>(wcsnlen(text, capacity), 0x7fffffff / 4));
      const int bytes = length > 0 ? WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr) : 0;
      if (length == 0) {
        read = true;
      } else if (bytes > 0) {
        std::unique_ptr<char[]> utf8(new (std::nothrow) char[static_cast<size_t>(bytes) + 1]);
        if (utf8 && WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.get(), bytes, nullptr, nullptr) == bytes) {
          utf8[bytes] = '\0';
          read = out.Set(utf8.get());
        }
      }
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return read;
}

}  // namespace torvane
