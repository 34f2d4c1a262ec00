#pragma once

#include "core/GrowableArray.h"

namespace torvane {

class IControl;

// A rectangle at scale 1 that keeps positions between pixels, so that moving
// a control at one scale and showing it at another loses nothing.
struct UnscaledRect {
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

// Where the editor's controls sit in one view, at scale 1: each control's
// drawing and target rectangles and whether the view hides it, plus the order
// the view wants the controls painted in. Owned by the resize controller, one
// per view; used on the editor window's thread.
class ViewLayout {
 public:
  struct Entry {
    IControl* control;
    UnscaledRect drawRect;
    UnscaledRect targetRect;
    bool hidden;
  };

  // Appends a control, last in the drawing order too; false when out of memory.
  bool Add(const Entry& entry) noexcept;
  // Makes this layout a copy of other; false when out of memory.
  bool CopyFrom(const ViewLayout& other) noexcept;

  int Count() const noexcept { return entries_.Count(); }
  Entry& operator[](int k) noexcept { return entries_[k]; }
  const Entry& operator[](int k) const noexcept { return entries_[k]; }
  // The control's position in the layout, or -1 when it is not in it.
  int Find(const IControl* control) const noexcept;
  // The control the view paints at position i.
  IControl* DrawingOrder(int i) const noexcept { return drawingOrder_[i]; }

 private:
  GrowableArray<Entry> entries_;
  GrowableArray<IControl*> drawingOrder_;
};

}  // namespace torvane
