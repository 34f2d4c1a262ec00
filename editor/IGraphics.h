#pragma once

#include <atomic>
#include <memory>

#include "core/GrowableArray.h"
#include "core/GrowableText.h"
#include "editor/DrawRecords.h"
#include "editor/IBounds.h"
#include "editor/IControl.h"
#include "editor/ITextStyle.h"
#include "editor/InputRecords.h"
#include "framework/IEditor.h"
#include "raster/IRasterBitmap.h"
#include "system/SystemCursor.h"

namespace torvane {

class IEffectBase;
class IParameter;
class IPopupMenu;
class IResizeController;

// The platform-neutral editor: the ordered control list, the drawing surface,
// pointer and key dispatch, parameter values in both directions, incremental
// painting, and the images and text controls draw with. One per effect
// instance, created by the effect (through CreateGraphics) and owned by the
// plug-in base once attached. A platform layer derives from it and supplies
// the window operations.
//
// Threads: everything runs on the editor window's thread (the effect's
// constructing thread until the editor is attached), except
// PushParameterToControls, ControlCount and SetControlValueFromEffect, which
// the audio and host threads call under the plug-in lock. Those only store
// values and paint flags in the controls, all atomics, so painting sees old
// or new values, never torn ones; painting takes the plug-in lock only to
// read a parameter's value, and the host is never called with it held. The
// control list and the controls' index fields change only on the window
// thread and under the plug-in lock, so lock holders see a consistent list
// and the index references the effect keeps are safe to read there. The
// process-wide image and font stores are shared with the editors of other
// instances, which may paint on threads of their own: every blit, text
// drawing or measuring, strip load and re-render holds SharedStoresLock (not
// a whole paint pass, whose read-outs take the plug-in lock), and controls
// read a strip's rendered size only through these operations.
class IGraphics : public IEditor {
 public:
  static constexpr int kDefaultWidth = 720;
  static constexpr int kDefaultHeight = 420;
  static constexpr int kDefaultFrameRate = 120;
  // AskForFile actions.
  static constexpr int kFileOpen = 0;
  static constexpr int kFileSave = 1;

  explicit IGraphics(IEffectBase& effect) noexcept;
  // Destroys the key catcher, then the controls from the last to the first,
  // then the surface. Images and fonts stay in the process-wide stores.
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // --- Window operations (the platform layer) ---------------------------------

  // Copies that part of the surface to the screen.
  virtual bool PresentArea(const IBounds& area) = 0;
  // Measures text as RenderText would draw it; rect receives the extent.
  virtual bool MeasureText(ITextStyle& style, const char* text, IBounds& rect);
  // Closes an open typed-entry box without committing it.
  virtual void CancelTextEntry() = 0;
  // Recreates the surface at the new size and tells the effect; a window layer
  // also resizes its window.
  virtual void ResizeSurface(int width, int height);
  virtual bool EditorWindowOpen() const { return WindowHandle() != nullptr; }
  virtual const char* BackendName() const { return ""; }
  // Torvane itself shows no message box, popup menu, file or colour dialog,
  // opens no web link and reads no clipboard.
  virtual int ShowMessage(const char* text, const char* caption, int type) = 0;
  // The menu (or submenu) an item was chosen from, or null.
  virtual IPopupMenu* ShowPopupMenu(IPopupMenu& menu, const IBounds& rect) = 0;
  // Opens the typed-entry box over rect. The committed text goes to the
  // control's AcceptText, or, with a parameter, to its SetValueFromUser.
  virtual void OpenTextEntry(IControl* control, const ITextStyle& style, const IBounds& rect, const char* text,
                             IParameter* parameter) = 0;
  // Folders end with a separator where they name a file's folder.
  virtual void HostExecutablePath(GrowableText& out) = 0;
  virtual void ModulePath(GrowableText& out) = 0;
  virtual void DesktopFolder(GrowableText& out) = 0;
  virtual void DocumentsFolder(GrowableText& out) = 0;
  // The all-users folder with common, else the user's local one.
  virtual void AppDataFolder(GrowableText& out, bool common = false) = 0;
  // A file dialog (kFileOpen or kFileSave); an empty name when cancelled.
  virtual void AskForFile(GrowableText& fileName, int action, GrowableText& folder, const char* extensions) = 0;
  virtual bool AskForColour(IArgb& colour, const char* prompt) = 0;
  virtual bool OpenAddress(const char* address, const char* caption, const char* confirmText,
                           const char* errorText) = 0;
  bool OpenEditorWindow(void* parentWindow) override = 0;
  void CloseEditorWindow() override = 0;
  virtual void* WindowHandle() const = 0;
  virtual bool ReadClipboardText(GrowableText& out) = 0;
  virtual void HideCursor() {}
  virtual void RestoreCursor() {}
  // The pointer's shape over the editor: the system's, unless a window layer
  // sets shapes on its own window.
  virtual void SetCursorShape(SystemCursor cursor) { ShowSystemCursor(cursor); }
  // The full-resolution image of a PNG resource, or null.
  virtual std::unique_ptr<IRasterBitmap> LoadPlatformImage(int resourceId, const char* resourceName) = 0;
  // The size of that image; false when there is none. Here by decoding it; a
  // platform that can read the size alone overrides this.
  virtual bool PlatformImageSize(int resourceId, const char* resourceName, int& width, int& height);

  // --- The control list ------------------------------------------------------

  // Puts the background image under everything, as control 0.
  void AttachBackdrop(int resourceId, const char* resourceName);
  // Appends a control and returns a live reference to its list index, which
  // follows later renumbering. A control that cannot be added is destroyed
  // and the reference reads -1.
  const std::atomic<int>& AddControl(std::unique_ptr<IControl> control);
  // Moves the control at from to position to, shifting the others.
  void MoveControl(int from, int to);
  int ControlCount() const override { return controls_.Count(); }
  IControl* GetControl(int index) const noexcept;
  // Receives keys that hit no control, or only the background.
  void SetKeyCatcher(std::unique_ptr<IControl> catcher) noexcept { keyCatcher_ = std::move(catcher); }

  // --- Images and text (IGraphicsImages.cpp) ----------------------------------

  // A strip of frames stacked top to bottom. The reference stays valid for the
  // life of the process.
  IImageStrip& LoadImageStrip(int resourceId, const char* resourceName, int frameCount);
  // Re-renders every strip of the process for the display scale.
  void RescaleImages(double scale);
  // Draws text (or measures it) in rect with the style's font, colour and
  // alignment; false when no font can be made for the style.
  bool RenderText(ITextStyle& style, const char* text, IBounds& rect, bool measureOnly);
  // Where RenderText would draw text in rect, with a margin for glyphs that
  // reach past their advance; empty for no text or no font.
  IBounds TextInk(ITextStyle& style, const char* text, const IBounds& rect);

  // --- Values from the effect -------------------------------------------------

  void PushParameterToControls(int parameterIndex, double value, bool isNormalised) override;
  void SetControlValueFromEffect(int controlIndex, double value) override;
  void MarkAllControlsDirty();

  // --- Painting ---------------------------------------------------------------

  // Adds the rectangles of the controls that need painting to area (empty on
  // entry); true when any control needed painting.
  bool CollectDirtyArea(IBounds& area);
  // Paints the controls that overlap area, in list order, and presents it.
  // The area first takes in the whole of every text it touches, so that an
  // incremental paint always equals a full repaint of the same state.
  bool PaintArea(const IBounds& area);
  void PrepareSurface() override;
  IRasterBitmap* Surface() const noexcept { return surface_.get(); }
  // Draws part of a strip at dest, starting at (sourceX, sourceY) in the
  // strip, clipped to the area being painted. A null blend is BlendAlpha at 1.
  bool BlitImage(const IImageStrip& strip, const IBounds& dest, int sourceX, int sourceY, const IBlendSpec* blend);
  // Draws frame (1-based) of a strip.
  bool BlitFrame(const IImageStrip& strip, const IBounds& dest, int frame, const IBlendSpec* blend);
  // Draws the whole strip, at the size it is rendered at, from (x, y).
  bool BlitStripAt(const IImageStrip& strip, int x, int y, const IBlendSpec* blend);
  // Fills rect with colour, weighted by its alpha; not clipped to the paint area.
  bool FillArea(const IArgb& colour, const IBounds& rect);

  // --- Pointer and keys (from the window layer) -------------------------------

  void HandleMouseDown(int x, int y, const IMouseKeys& keys);
  // Goes to the control that took the press; a release without one (the
  // press went elsewhere, or only closed the entry box) is dropped.
  void HandleMouseUp(int x, int y, const IMouseKeys& keys);
  // True when the window should capture the pointer.
  bool HandleDoubleClick(int x, int y, const IMouseKeys& keys);
  void HandleMouseDrag(int x, int y, const IMouseKeys& keys);
  // True when the window should keep tracking hover and leave.
  bool HandleMouseMove(int x, int y, const IMouseKeys& keys);
  void HandleMouseLeave();
  // notches > 0 away from the user.
  void HandleWheel(int x, int y, const IMouseKeys& keys, int notches);
  // True when a control used the key.
  bool HandleKeyDown(int x, int y, KeyCode key);

  // --- State -------------------------------------------------------------------

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int FrameRate() const noexcept { return frameRate_; }
  int CapturedControl() const noexcept { return captured_; }
  int HoveredControl() const noexcept { return hovered_; }
  // Forgets the captured control and the last pointer position (a popup menu
  // takes the pointer away, for example).
  void CancelCapture() noexcept;
  // The window goes away mid-gesture: the capture is dropped, and the host
  // hears the end of an edit it was told had begun.
  void AbandonGesture();
  void SetHoverTracking(bool on) noexcept { hoverTracking_ = on; }
  // The PNG images are drawn at this many times the editor's size; set before
  // any image is loaded.
  void SetImageFactor(int factor) noexcept { imageFactor_ = factor > 1 ? factor : 1; }
  double Scale() const noexcept { return scale_; }
  void SetScale(double scale) noexcept { scale_ = scale; }
  // Not owned: the controller is one of the controls.
  void SetResizeController(IResizeController* controller) noexcept { resizeController_ = controller; }
  IEffectBase& Effect() const noexcept { return effect_; }

 protected:
  // The drawing surface of a new size: a SysBitmap unless the platform keeps
  // its surface in memory of another kind.
  virtual std::unique_ptr<IRasterBitmap> MakeSurface(int width, int height);
  // True for a resource name whose extension is "png" in any letter case:
  // the only images LoadPlatformImage decodes.
  static bool NamesPngImage(const char* resourceName) noexcept;

 private:
  const std::atomic<int>& InsertControl(std::unique_ptr<IControl> control, int position);
  void Renumber() noexcept;
  // The topmost control that is visible, enabled (or hovers while disabled,
  // for hover) and hit by (x, y); -1 when none is.
  int FindControlAt(int x, int y, bool forHover) const;
  // The captured control, else the one under the pointer; -1 when none.
  int EventTarget(int x, int y) const;
  // The area grown to take in the whole ink of every text it touches.
  IBounds WithWholeTexts(const IBounds& area) const;

  GrowableArray<IControl*> controls_;
  IEffectBase& effect_;
  IBounds paintArea_;
  std::unique_ptr<IRasterBitmap> surface_;
  int width_ = kDefaultWidth;
  int height_ = kDefaultHeight;
  int frameRate_ = kDefaultFrameRate;
  int captured_ = -1;
  int hovered_ = -1;
  int lastX_ = 0;
  int lastY_ = 0;
  bool hoverTracking_ = false;
  std::unique_ptr<IControl> keyCatcher_;
  int imageFactor_ = 1;
  double scale_ = 1.0;
  IResizeController* resizeController_ = nullptr;
  // The paint pass's record of each control's ink beyond its rectangle.
  GrowableArray<IBounds> inks_;
};

}  // namespace torvane
