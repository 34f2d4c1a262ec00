#pragma once

namespace torvane {

// What the plug-in base and the effect need of an attached editor. The editor's
// graphics core implements it; the base owns the attached editor and deletes it
// first when the plug-in is destroyed. Called under the plug-in lock, from the
// host's threads as well as the editor's window thread: value pushes only
// store values and mark controls dirty.
class IEditor {
 public:
  virtual ~IEditor() = default;

  // Creates the drawing surface at the editor's current size.
  virtual void PrepareSurface() = 0;
  // Hands a parameter's value to every control bound to it.
  virtual void PushParameterToControls(int parameterIndex, double value, bool isNormalised) = 0;
  virtual int ControlCount() const = 0;
  // The value a control shows (a meter position, for example); index as in ControlCount.
  virtual void SetControlValueFromEffect(int controlIndex, double value) = 0;

  // Whether this platform's editor has a window to open at all; a host is
  // told of an editor only then, and shows its own parameter view otherwise.
  virtual bool HasWindow() const { return true; }
  virtual bool OpenEditorWindow(void* parentWindow) = 0;
  virtual void CloseEditorWindow() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

}  // namespace torvane
