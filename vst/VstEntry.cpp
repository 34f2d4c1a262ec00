// The plug-in library's exported entry points: a host calls VSTPluginMain (or
// its older name, main) with its callback and receives the effect record.
#include <mutex>
#include <new>

#include "framework/EffectFactory.h"
#include "vst/IEffectVST.h"

#ifdef _WIN32
#define TORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define TORVANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TORVANE_EXPORT torvane::AEffect* VSTPluginMain(torvane::audioMasterCallback hostCallback) {
  // Hosts may create instances from several threads; one at a time is enough.
  static std::mutex creationLock;
  std::lock_guard<std::mutex> lock(creationLock);
  std::unique_ptr<torvane::IEffectBase> effect = torvane::CreateEffect();
  if (!effect) return nullptr;
  effect->FillDefaultPresets("Empty", effect->NumPresets());
  // Owned by the host through the record from here on (the close request deletes it).
  auto* adapter = new (std::nothrow) torvane::IEffectVST(hostCallback, std::move(effect));
  if (!adapter) return nullptr;
  torvane::AEffect* record = adapter->EffectRecord();
  if (record->numPrograms < 1) record->numPrograms = 1;
  return record;
}

#ifndef _WIN32
// The older entry name. A C++ function cannot be called main and return a
// pointer, so the exported symbol is an alias; on Windows the .def file does it.
TORVANE_EXPORT torvane::AEffect* VSTPluginMainAlias(torvane::audioMasterCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
