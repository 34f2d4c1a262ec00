#include "editor/IPopupMenu.h"

#include <cstdio>
#include <new>

namespace torvane {

bool IPopupMenu::AddItem(const char* text, int flags, std::unique_ptr<IPopupMenu> submenu) noexcept {
  Item* item = new (std::nothrow) Item;
  if (!item) return false;
  item->text.Set(text ? text : "");
  item->flags = flags;
  item->submenu = std::move(submenu);
  return items_.Add(item) != nullptr;
}

bool IPopupMenu::AddSeparator() noexcept {
  Item* item = new (std::nothrow) Item;
  if (!item) return false;
  item->separator = true;
  return items_.Add(item) != nullptr;
}

void IPopupMenu::ItemLabel(int index, GrowableText& out) const noexcept {
  const Item* item = ItemAt(index);
  if (!item) {
    out.Set("");
    return;
  }
  static const char* const kNumberFormats[] = {"%1d: ", "%02d: ", "%03d: "};
  if (prefix_ < kPrefixOneDigit || prefix_ > kPrefixThreeDigits) {
    out.Set(item->text.Get());
    return;
  }
  char number[24];
  std::snprintf(number, sizeof(number), kNumberFormats[prefix_ - 1], index + 1);
  out.Set(number);
  out.Append(item->text.Get());
}

}  // namespace torvane
