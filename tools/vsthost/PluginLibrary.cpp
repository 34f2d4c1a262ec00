#include "tools/vsthost/PluginLibrary.h"

#ifdef _WIN32
#include "system/win/WindowsApi.h"
#else
#include <dlfcn.h>
#endif

namespace torvane {

namespace {
constexpr const char* kEntryName = "VSTPluginMain";
constexpr const char* kOlderEntryName = "main";

#ifdef _WIN32
// Wine and Windows both take a drive path; a Linux-style absolute path is
// reached through Wine's Z: drive.
std::string NativePath(const std::string& path) {
  std::string native = !path.empty() && path[0] == '/' ? "Z:" + path : path;
  for (char& c : native) {
    if (c == '/') c = '\\';
  }
  return native;
}

std::string LastErrorText() { return "error " + std::to_string(GetLastError()); }
#endif
}  // namespace

PluginLibrary::~PluginLibrary() {
  if (!module_) return;
#ifdef _WIN32
  FreeLibrary(static_cast<HMODULE>(module_));
#else
  dlclose(module_);
#endif
}

bool PluginLibrary::Load(const std::string& path) { return Load(path, nullptr); }

bool PluginLibrary::Load(const std::string& path, const char* entryName) {
  error_.clear();
#ifdef _WIN32
  module_ = LoadLibraryA(NativePath(path).c_str());
  if (!module_) {
    error_ = "cannot load " + path + ": " + LastErrorText();
    return false;
  }
#else
  module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module_) {
    const char* why = dlerror();
    error_ = "cannot load " + path + ": " + (why ? why : "unknown error");
    return false;
  }
#endif
  if (entryName) {
    entry_ = FindEntry(entryName);
  } else {
    // The current name first, then the older one that plug-ins built for
    // early hosts export alone.
    entry_ = FindEntry(kEntryName);
    if (!entry_) entry_ = FindEntry(kOlderEntryName);
  }
  if (!entry_) {
    error_ = path + " is not a VST 2.4 plug-in: it exports " +
             (entryName ? std::string("no ") + entryName
                        : std::string("neither ") + kEntryName + " nor " + kOlderEntryName);
    return false;
  }
  return true;
}

PluginLibrary::EntryPoint PluginLibrary::FindEntry(const char* name) const {
#ifdef _WIN32
  return reinterpret_cast<EntryPoint>(
      reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name)));
#else
  return reinterpret_cast<EntryPoint>(dlsym(module_, name));
#endif
}

AEffect* PluginLibrary::CreateEffect(audioMasterCallback host) {
  if (!entry_) {
    error_ = "no plug-in loaded";
    return nullptr;
  }
  AEffect* effect = entry_(host);
  if (!effect) {
    error_ = "the plug-in returned no effect record";
    return nullptr;
  }
  if (effect->magic != kEffectMagic) {
    error_ = "the plug-in returned something that is not a VST 2.4 effect record";
    return nullptr;
  }
  return effect;
}

}  // namespace torvane
