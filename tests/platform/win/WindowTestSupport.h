#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "system/win/WindowsApi.h"

namespace torvane {

// A top-level window standing in for the host's: the editor opens inside it.
// It records the keys that reach it. Pumps messages on the test's thread.
class HostWindow {
 public:
  explicit HostWindow(int width = 900, int height = 560, HWND parent = nullptr);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return window_; }
  // Forgets the window without destroying it (the test destroyed it).
  void Release() { window_ = nullptr; }

  std::vector<WPARAM> keysReceived;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

// Dispatches this thread's messages for the given time.
void Pump(int milliseconds);
// Dispatches messages until done() holds or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 2000);

// The editor window inside parent, found by its class.
HWND EditorWindowIn(HWND parent);

// Posts a pointer message at client position (x, y) of window.
void PostPointer(HWND window, UINT message, WPARAM keys, int x, int y);
// Posts a wheel message of delta raw units over client position (x, y).
void PostWheel(HWND window, int delta, int x, int y);
// A press and release of the left button.
void PostClick(HWND window, int x, int y);
void PostKey(HWND window, WPARAM virtualKey);
void PostText(HWND window, const char* text);

// The editor's typed-entry box once it has opened, null when it does not
// within half a second; whether it has closed within that time.
HWND WaitForEntryBox(HWND editor);
bool WaitForEntryBoxToClose(HWND editor);

// Pixels 0x00RRGGBB read back from the screen, rows top to bottom.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Screenshot ReadBack(HWND window);
// Writes the screenshot as a PNG file into the working folder (the build folder).
bool WritePng(const Screenshot& image, const std::string& fileName);

// The GDI objects this process holds.
int GdiObjectCount();

}  // namespace torvane
