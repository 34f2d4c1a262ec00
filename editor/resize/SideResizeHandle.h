#pragma once

#include "editor/IControl.h"

namespace torvane {

class IEditorResize;
class IGraphics;

// A handle along the right or the bottom edge of the editor: dragging it sets
// the editor's unscaled width or height from the pointer through the resize
// controller. It draws nothing; an effect that keeps only the corner handle
// hides both. Created by the resize controller when the editor is attached
// and owned by the editor; window thread.
class SideResizeHandle : public IControl {
 public:
  enum class Edge { Right, Bottom };

  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) override;
  void MouseOver(int x, int y, const IMouseKeys& keys) override;
  void MouseOut() override;
  bool Paint(IGraphics& graphics) override;

 protected:
  // Along the whole edge of an editor of the graphics' size, thickness pixels deep.
  SideResizeHandle(IEditorResize& controller, IGraphics& graphics, Edge edge, int thickness) noexcept;

 private:
  IEditorResize& controller_;
  IGraphics& graphics_;
  Edge edge_;
};

// The right edge's handle: changes the width.
class HorisontalResizing final : public SideResizeHandle {
 public:
  HorisontalResizing(IEditorResize& controller, IGraphics& graphics, int thickness) noexcept
      : SideResizeHandle(controller, graphics, Edge::Right, thickness) {}
};

// The bottom edge's handle: changes the height.
class VerticalResizing final : public SideResizeHandle {
 public:
  VerticalResizing(IEditorResize& controller, IGraphics& graphics, int thickness) noexcept
      : SideResizeHandle(controller, graphics, Edge::Bottom, thickness) {}
};

}  // namespace torvane
