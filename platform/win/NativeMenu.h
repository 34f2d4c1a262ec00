#pragma once

#include "core/GrowableArray.h"
#include "editor/IPopupMenu.h"
#include "system/win/WindowsApi.h"

namespace torvane {

// The Windows menu tree of an IPopupMenu, for TrackPopupMenu. Command ids come
// from one running counter, depth first: a menu takes the ids for all its own
// items first (an item that opens a submenu or is a separator leaves its id
// unused), then each submenu in item order takes its range. Owned by
// ShowPopupMenu for one showing; window thread. Torvane itself shows no popup
// menu.
class NativeMenu {
 public:
  // Builds the tree; Handle() is null when the system refused a menu.
  explicit NativeMenu(IPopupMenu& menu) noexcept;
  ~NativeMenu();
  NativeMenu(const NativeMenu&) = delete;
  NativeMenu& operator=(const NativeMenu&) = delete;

  HMENU Handle() const noexcept { return handle_; }
  // Marks the item with this command id as chosen in its menu and returns
  // that menu; null for an id no item carries.
  IPopupMenu* Choose(int commandId) noexcept;

 private:
  struct IdRange {
    IPopupMenu* menu;
    int firstId;
  };

  HMENU Build(IPopupMenu& menu, int& counter) noexcept;

  GrowableArray<IdRange> ranges_;
  HMENU handle_ = nullptr;
};

}  // namespace torvane
