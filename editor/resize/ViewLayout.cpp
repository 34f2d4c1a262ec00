#include "editor/resize/ViewLayout.h"

namespace torvane {

bool ViewLayout::Add(const Entry& entry) noexcept {
  if (!entries_.Add(entry)) return false;
  if (drawingOrder_.Add(entry.control)) return true;
  // Both lists keep one entry per control.
  entries_.ResizeZeroFilled(entries_.Count() - 1);
  return false;
}

bool ViewLayout::CopyFrom(const ViewLayout& other) noexcept {
  const int count = other.Count();
  if (!entries_.ResizeZeroFilled(count) || !drawingOrder_.ResizeZeroFilled(count)) {
    entries_.Clear();
    drawingOrder_.Clear();
    return false;
  }
  for (int k = 0; k < count; ++k) {
    entries_[k] = other.entries_[k];
    drawingOrder_[k] = other.drawingOrder_[k];
  }
  return true;
}

int ViewLayout::Find(const IControl* control) const noexcept {
  for (int k = 0; k < Count(); ++k) {
    if (entries_[k].control == control) return k;
  }
  return -1;
}

}  // namespace torvane
