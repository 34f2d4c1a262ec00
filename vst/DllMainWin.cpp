// The Windows library entry: remembers the DLL's own module handle, in which
// the editor's images are found (a lookup without it would search the host's
// executable instead).
#include "system/ModuleHandle.h"
#include "system/win/WindowsApi.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) torvane::RememberModule(instance);
  return TRUE;
}
