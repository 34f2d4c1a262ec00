#pragma once

#include "core/GrowableArray.h"

namespace torvane {

// A list of heap objects that it owns and deletes in reverse order. When the
// list cannot grow, the element that was to be added is deleted and Add
// returns null, so nothing leaks.
template <typename T>
class OwnedList {
 public:
  OwnedList() noexcept = default;
  ~OwnedList() { DeleteAll(); }
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;

  T* Add(T* item) noexcept {
    if (!item) return nullptr;
    if (!items_.Add(item)) {
      delete item;
      return nullptr;
    }
    return item;
  }

  int Count() const noexcept { return items_.Count(); }
  T* Get(int i) const noexcept { return i >= 0 && i < Count() ? items_[i] : nullptr; }

  void DeleteAll() noexcept {
    for (int i = Count() - 1; i >= 0; --i) delete items_[i];
    items_.Clear();
  }

 private:
  GrowableArray<T*> items_{256};
};

}  // namespace torvane
