#pragma once

namespace torvane {

class RecursiveLock;

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
  // The host's idle request, which hosts without a window message loop of
  // their own for plug-ins (Linux hosts) send from their user-interface
  // thread: the editor handles its window's events and repaints. Called
  // without the plug-in lock, since a gesture tells the host about automation.
  virtual void Idle() {}
  // Serialises the host's window requests (open, close, idle) with a repaint
  // thread of the editor's own, where the platform layer runs one; null when
  // it does not. The adapter takes it before the plug-in lock, and the editor
  // calls the host without the plug-in lock while holding it.
  virtual RecursiveLock* WindowLock() noexcept { return nullptr; }
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

}  // namespace torvane
