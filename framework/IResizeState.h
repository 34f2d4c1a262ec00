#pragma once

namespace torvane {

class IParameter;

// The editor-resizing controller as the plug-in base sees it: its own parameter
// records (view, width, height) that travel at the front of every state chunk,
// and the two moments the base hands control to it. The controller is an
// editor control and belongs to the editor once attached.
class IResizeState {
 public:
  virtual ~IResizeState() = default;

  virtual int StateParameterCount() const = 0;
  virtual IParameter* StateParameter(int index) = 0;

  // Adds the resize handles and then the controller itself as the editor's last control.
  virtual void AttachToEditor() = 0;
  // Runs when the host has opened the editor window.
  virtual void ApplyStoredSizeOnOpen() = 0;
};

}  // namespace torvane
