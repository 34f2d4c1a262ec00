#include "platform/win/EditorWindowClass.h"

#include <mutex>

namespace torvane {

namespace {

std::mutex usersLock;
int users = 0;
// No user is left, but the class is still registered.
bool unregisterPending = false;

}  // namespace

bool EditorWindowClass::AddUser(HINSTANCE module, WNDPROC procedure) noexcept {
  std::lock_guard<std::mutex> lock(usersLock);
  if (users == 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kName;
    // A window the host destroyed behind our back can keep the class alive
    // after its count went to 0; the registration it left is as good as ours.
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  ++users;
  unregisterPending = false;
  return true;
}

void EditorWindowClass::RemoveUser(HINSTANCE module) noexcept {
  std::lock_guard<std::mutex> lock(usersLock);
  if (users == 0) return;
  if (--users == 0) unregisterPending = !UnregisterClassA(kName, module);
}

void EditorWindowClass::UnregisterUnused(HINSTANCE module) noexcept {
  std::lock_guard<std::mutex> lock(usersLock);
  if (users == 0 && unregisterPending) unregisterPending = !UnregisterClassA(kName, module);
}

}  // namespace torvane
