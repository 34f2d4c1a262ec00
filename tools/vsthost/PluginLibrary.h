#pragma once

#include <string>

#include "vst/VstInterface.h"

namespace torvane {

// A VST 2.4 plug-in library loaded the way a host loads it: by path, through
// its exported entry point (VSTPluginMain, or the older main). Owns the loaded
// module and unloads it on destruction; close every effect first.
class PluginLibrary {
 public:
  using EntryPoint = AEffect* (*)(audioMasterCallback);

  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library and finds its entry: VSTPluginMain, or main where a
  // plug-in exports only that older name. On failure Error() says why.
  bool Load(const std::string& path);
  // The same with one given entry name only.
  bool Load(const std::string& path, const char* entryName);
  EntryPoint Entry() const { return entry_; }
  // The loaded module (an HMODULE on Windows, a dlopen handle elsewhere).
  void* Module() const { return module_; }
  const std::string& Error() const { return error_; }

  // Calls the entry and checks that what comes back is an effect record.
  AEffect* CreateEffect(audioMasterCallback host);

 private:
  EntryPoint FindEntry(const char* name) const;

  void* module_ = nullptr;
  EntryPoint entry_ = nullptr;
  std::string error_;
};

}  // namespace torvane
