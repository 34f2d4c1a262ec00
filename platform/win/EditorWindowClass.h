#pragma once

#include "system/win/WindowsApi.h"

namespace torvane {

// The window class of the editor windows, registered while at least one
// editor window of the process exists: the first window to open registers it,
// the last one to close unregisters it, so a library that the host unloads
// leaves no class behind that points into its code. Process-wide; editor
// windows open and close on the host's user-interface threads, so the user
// count has a lock of its own.
class EditorWindowClass {
 public:
  static constexpr const char* kName = "TorvaneWndClass";

  // Counts one more user, registering the class for module first when it has
  // none; false (nothing counted) when the class cannot be registered.
  static bool AddUser(HINSTANCE module, WNDPROC procedure) noexcept;
  // Counts one user less and unregisters the class when none remains. A
  // window the host destroys counts itself out while it still exists, so
  // the class cannot go then; UnregisterUnused does it later.
  static void RemoveUser(HINSTANCE module) noexcept;
  // Unregisters a class that no window uses any more but could not be
  // unregistered when the last one went.
  static void UnregisterUnused(HINSTANCE module) noexcept;
};

}  // namespace torvane
