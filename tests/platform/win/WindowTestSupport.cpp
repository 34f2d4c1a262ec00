#include "WindowTestSupport.h"

#include <winternl.h>

#include <cstdio>
#include <cstring>

#include "core/GrowableBuffer.h"
#include "raster/MemBitmap.h"
#include "raster/PngWriter.h"

namespace torvane {

namespace {

constexpr char kHostClass[] = "TorvaneTestHost";

HINSTANCE ProgramModule() { return GetModuleHandleA(nullptr); }

}  // namespace

HostWindow::HostWindow(int width, int height, HWND parent) {
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ProgramModule();
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kHostClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  if (!registered) return;
  const DWORD style = (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | WS_VISIBLE;
  window_ = CreateWindowExA(0, kHostClass, "Test host", style, parent ? 10 : 0, parent ? 10 : 0, width, height, parent,
                            nullptr, ProgramModule(), this);
  Pump(10);
}

HostWindow::~HostWindow() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK HostWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host && message == WM_KEYDOWN) host->keysReceived.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

void Pump(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= static_cast<DWORD>(milliseconds)) return done();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  }
  return true;
}

HWND EditorWindowIn(HWND parent) { return FindWindowExA(parent, nullptr, "TorvaneWndClass", nullptr); }

void PostPointer(HWND window, UINT message, WPARAM keys, int x, int y) {
  PostMessageA(window, message, keys, MAKELPARAM(x, y));
}

void PostWheel(HWND window, int delta, int x, int y) {
  POINT screen = {x, y};
  ClientToScreen(window, &screen);
  PostMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
               MAKELPARAM(screen.x, screen.y));
}

void PostClick(HWND window, int x, int y) {
  PostPointer(window, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  PostPointer(window, WM_LBUTTONUP, 0, x, y);
}

void PostKey(HWND window, WPARAM virtualKey) { PostMessageA(window, WM_KEYDOWN, virtualKey, 1); }

void PostText(HWND window, const char* text) {
  for (; *text; ++text) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(*text), 1);
}

HWND WaitForEntryBox(HWND editor) {
  HWND box = nullptr;
  PumpUntil([&] { return (box = FindWindowExA(editor, nullptr, "EDIT", nullptr)) != nullptr; }, 500);
  return box;
}

bool WaitForEntryBoxToClose(HWND editor) {
  return PumpUntil([&] { return !FindWindowExA(editor, nullptr, "EDIT", nullptr); }, 500);
}

Screenshot ReadBack(HWND window) {
  Screenshot image;
  RECT client;
  if (!GetClientRect(window, &client)) return image;
  image.width = client.right;
  image.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, section);
  BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  image.pixels.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height);
  for (uint32_t& pixel : image.pixels) pixel &= 0xffffff;
  SelectObject(memory, previous);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return image;
}

bool WritePng(const Screenshot& image, const std::string& fileName) {
  MemBitmap bitmap(image.width, image.height);
  if (bitmap.Width() != image.width || bitmap.Height() != image.height) return false;
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(RowStart(bitmap, y), &image.pixels[static_cast<size_t>(y) * image.width], image.width * sizeof(uint32_t));
  }
  GrowableBuffer png;
  if (!EncodePng(bitmap, png)) return false;
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(png.Data(), 1, png.Size(), file) == static_cast<size_t>(png.Size());
  return std::fclose(file) == 0 && written;
}

int GdiObjectCount() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted > 0) return static_cast<int>(counted);
  // Wine does not count them; its per-process handle table, which the process
  // environment block points to as Windows' does, marks every live object
  // with its type.
  struct HandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
  };
  constexpr size_t kTableOffset = 0xf8;
  constexpr int kHandles = 0x10000;
  PROCESS_BASIC_INFORMATION process = {};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof(process), nullptr) != 0) {
    return -1;
  }
  const auto* environment = reinterpret_cast<const char*>(process.PebBaseAddress);
  const auto* table = *reinterpret_cast<const HandleEntry* const*>(environment + kTableOffset);
  int live = 0;
  for (int i = 0; table && i < kHandles; ++i) live += table[i].type != 0;
  return live;
}

}  // namespace torvane
