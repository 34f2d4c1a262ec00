#pragma once

#include <memory>

#include "core/GrowableText.h"
#include "core/OwnedList.h"

namespace torvane {

// A popup menu a control or the resize controller asks the window layer to
// show (IGraphics::ShowPopupMenu): item texts with state flags, separators,
// submenus it owns, an optional number before each text, and the index of
// the item chosen from it. Owned by whoever builds it; built, shown and read
// on the editor window's thread. Torvane itself shows no popup menu.
class IPopupMenu {
 public:
  // Item flags, combinable.
  static constexpr int kItemGrayed = 1;
  static constexpr int kItemDisabled = 2;
  static constexpr int kItemChecked = 4;

  // What precedes each item text: nothing, or the item's 1-based number in
  // one, two or three digits followed by ": ".
  enum PrefixStyle : int { kNoPrefix = 0, kPrefixOneDigit = 1, kPrefixTwoDigits = 2, kPrefixThreeDigits = 3 };

  struct Item {
    GrowableText text;
    int flags = 0;
    bool separator = false;
    std::unique_ptr<IPopupMenu> submenu;
  };

  IPopupMenu() noexcept = default;
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Appends an item, which opens submenu when one is given. False when memory
  // runs out; the submenu is then released.
  bool AddItem(const char* text, int flags = 0, std::unique_ptr<IPopupMenu> submenu = nullptr) noexcept;
  bool AddSeparator() noexcept;

  int ItemCount() const noexcept { return items_.Count(); }
  // Null for an index out of range.
  const Item* ItemAt(int index) const noexcept { return items_.Get(index); }
  // The text shown for the item: its text behind the prefix style's number.
  void ItemLabel(int index, GrowableText& out) const noexcept;

  void SetPrefix(PrefixStyle prefix) noexcept { prefix_ = prefix; }

  // The index of the item chosen from this menu, -1 until one is.
  int ChosenItemIndex() const noexcept { return chosen_; }
  void SetChosenItemIndex(int index) noexcept { chosen_ = index; }

 private:
  OwnedList<Item> items_;
  PrefixStyle prefix_ = kNoPrefix;
  int chosen_ = -1;
};

}  // namespace torvane
