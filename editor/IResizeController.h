#pragma once

#include "editor/IBounds.h"

namespace torvane {

class IGraphics;

// What the graphics core needs of the editor's resize controller: the scale
// that turns the controls' unscaled rectangles into pixels, and the plain
// backdrop painted instead of the controls while the editor is being dragged
// to a new size. The controller registers itself with IGraphics and, being an
// editor control, belongs to the control list; everything runs on the editor
// window's thread.
class IResizeController {
 public:
  virtual double GuiScale() const noexcept = 0;
  // True while a drag resizes the window and the images are not re-rendered yet.
  virtual bool LiveDrag() const noexcept = 0;
  virtual void FillBackground(IGraphics& graphics, const IBounds& area) = 0;

 protected:
  ~IResizeController() = default;
};

}  // namespace torvane
