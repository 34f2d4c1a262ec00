#pragma once

#include <mutex>

#include "core/OwnedList.h"
#include "editor/DrawRecords.h"

namespace torvane {

// Every image strip the editors of the process have loaded, with the resource
// it came from, so that a change of scale can re-render each from its image.
// One entry per load, cached or not; entries live until the module is
// unloaded, so strips handed out stay valid. Any thread may add or read; the
// lock covers only the list.
class StripRegistry {
 public:
  struct Entry {
    int resourceId;
    const char* resourceName;  // the loader's text, which lives as long as the module
    IImageStrip strip;
  };

  static StripRegistry& Instance() noexcept;

  // The registered strip; null when the list cannot grow.
  IImageStrip* Add(int resourceId, const char* resourceName, const IImageStrip& strip) noexcept;
  int Count() const noexcept;
  // The size at scale 1 of the first strip loaded from the resource; false
  // when none is registered.
  bool FindUnscaledSize(int resourceId, int& width, int& height) const noexcept;
  // Entry i, or null.
  Entry* At(int i) const noexcept;

 private:
  StripRegistry() noexcept = default;

  mutable std::mutex mutex_;
  OwnedList<Entry> entries_;
};

}  // namespace torvane
