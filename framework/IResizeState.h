#pragma once

namespace torvane {

// The editor-resizing controller as the plug-in base sees it: the two moments
// the base hands control to it. The controller is an editor control and
// belongs to the editor once attached; the size it keeps per instance lives in
// the base's EditorSizeRecords.
class IResizeState {
 public:
  virtual ~IResizeState() = default;

  // Adds the resize handles and then the controller itself as the editor's last control.
  virtual void AttachToEditor() = 0;
  // Runs when the host has opened the editor window.
  virtual void ApplyStoredSizeOnOpen() = 0;
  // Applies the size stored now (a host has just handed it over) to the open
  // editor; a controller that keeps no size ignores it.
  virtual void ApplyStoredSize() {}
};

}  // namespace torvane
