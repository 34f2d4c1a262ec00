#include "editor/resize/SideResizeHandle.h"

#include "editor/IGraphics.h"
#include "editor/resize/IEditorResize.h"

namespace torvane {

namespace {
IBounds EdgeRect(const IGraphics& graphics, SideResizeHandle::Edge edge, int thickness) noexcept {
  const int w = graphics.Width();
  const int h = graphics.Height();
  if (edge == SideResizeHandle::Edge::Right) return {w - thickness, 0, w, h};
  return {0, h - thickness, w, h};
}

SystemCursor CursorFor(SideResizeHandle::Edge edge) noexcept {
  return edge == SideResizeHandle::Edge::Right ? SystemCursor::SizeHorizontal : SystemCursor::SizeVertical;
}
}  // namespace

SideResizeHandle::SideResizeHandle(IEditorResize& controller, IGraphics& graphics, Edge edge, int thickness) noexcept
    : IControl(controller.Effect(), EdgeRect(graphics, edge, thickness), -1, {BlendAlpha, 1.0f}),
      controller_(controller),
      graphics_(graphics),
      edge_(edge) {
  graphics.SetHoverTracking(true);
}

void SideResizeHandle::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  graphics_.SetCursorShape(CursorFor(edge_));
}

void SideResizeHandle::MouseDrag(int x, int y, int /*dx*/, int /*dy*/, const IMouseKeys& /*keys*/) {
  graphics_.SetCursorShape(CursorFor(edge_));
  if (edge_ == Edge::Right) {
    controller_.DragWidthTo(x);
  } else {
    controller_.DragHeightTo(y);
  }
}

void SideResizeHandle::MouseOver(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  graphics_.SetCursorShape(CursorFor(edge_));
}

void SideResizeHandle::MouseOut() { graphics_.SetCursorShape(SystemCursor::Arrow); }

bool SideResizeHandle::Paint(IGraphics& /*graphics*/) { return true; }

}  // namespace torvane
