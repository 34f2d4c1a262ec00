#pragma once

#include <algorithm>

namespace torvane {

// A rectangle of editor pixels; right and bottom are exclusive. All four
// fields 0 is the empty rectangle, which never hits, intersects or adds to a
// union. A plain value; any thread may hold one.
struct IBounds {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Empty() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  int Width() const noexcept { return right - left; }
  int Height() const noexcept { return bottom - top; }

  bool Contains(int x, int y) const noexcept {
    return !Empty() && x >= left && x < right && y >= top && y < bottom;
  }

  // The paint pass's overlap test. The right and bottom comparisons include
  // their edge, so a rectangle that only touches the area on its left or top
  // side still counts (and then draws nothing, being clipped to zero width).
  bool Overlaps(const IBounds& other) const noexcept {
    return !Empty() && !other.Empty() && right >= other.left && left < other.right && bottom >= other.top &&
           top < other.bottom;
  }

  // The common part under the overlap rule; empty when they do not overlap.
  IBounds Intersection(const IBounds& other) const noexcept {
    if (!Overlaps(other)) return {};
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  }

  // Grows this rectangle to take in other.
  void Include(const IBounds& other) noexcept {
    if (other.Empty()) return;
    if (Empty()) {
      *this = other;
      return;
    }
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
  }

  bool operator==(const IBounds& other) const noexcept {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
  bool operator!=(const IBounds& other) const noexcept { return !(*this == other); }
};

}  // namespace torvane
