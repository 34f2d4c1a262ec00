#include "platform/win/NativeMenu.h"

namespace torvane {

NativeMenu::NativeMenu(IPopupMenu& menu) noexcept {
  int counter = 0;
  handle_ = Build(menu, counter);
}

NativeMenu::~NativeMenu() {
  // Takes the submenus with it.
  if (handle_) DestroyMenu(handle_);
}

HMENU NativeMenu::Build(IPopupMenu& menu, int& counter) noexcept {
  HMENU handle = CreatePopupMenu();
  if (!handle) return nullptr;
  const int firstId = counter;
  counter += menu.ItemCount();
  ranges_.Add({&menu, firstId});
  GrowableText label;
  for (int i = 0; i < menu.ItemCount(); ++i) {
    const IPopupMenu::Item* item = menu.ItemAt(i);
    if (item->separator) {
      AppendMenuA(handle, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    menu.ItemLabel(i, label);
    if (item->submenu) {
      HMENU submenu = Build(*item->submenu, counter);
      if (submenu && !AppendMenuA(handle, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), label.Get())) {
        DestroyMenu(submenu);
      }
      continue;
    }
    UINT flags = MF_STRING;
    if (item->flags & IPopupMenu::kItemGrayed) flags |= MF_GRAYED;
    if (item->flags & IPopupMenu::kItemDisabled) flags |= MF_DISABLED;
    if (item->flags & IPopupMenu::kItemChecked) flags |= MF_CHECKED;
    AppendMenuA(handle, flags, static_cast<UINT_PTR>(firstId + i), label.Get());
  }
  return handle;
}

IPopupMenu* NativeMenu::Choose(int commandId) noexcept {
  for (int i = 0; i < ranges_.Count(); ++i) {
    const IdRange& range = ranges_[i];
    const int index = commandId - range.firstId;
    if (index < 0 || index >= range.menu->ItemCount()) continue;
    const IPopupMenu::Item* item = range.menu->ItemAt(index);
    if (item->separator || item->submenu) return nullptr;
    range.menu->SetChosenItemIndex(index);
    return range.menu;
  }
  return nullptr;
}

}  // namespace torvane
