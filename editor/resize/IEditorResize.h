#pragma once

#include "core/GrowableArray.h"
#include "core/OwnedList.h"
#include "editor/IControl.h"
#include "editor/IResizeController.h"
#include "editor/resize/SettingsFile.h"
#include "editor/resize/ViewLayout.h"
#include "framework/IResizeState.h"

namespace torvane {

class IEffectBase;
class IGraphics;
class SideResizeHandle;

// One view of the editor: its size when built and the range its unscaled size
// may be dragged through.
struct EditorView {
  int id;
  int width;
  int height;
  double minBaseWidth;
  double minBaseHeight;
  double maxBaseWidth;
  double maxBaseHeight;
};

// The editor's resize controller: the square handle in the bottom-right
// corner whose drag scales the whole editor (double click: back to scale 1),
// two side handles that change its unscaled width and height, and the views
// with the unscaled layout every control is placed from. The scale is kept
// per user in the settings file that every instance shares; the view and the
// unscaled size per instance in the plug-in's state (the base's
// EditorSizeRecords). The images are rendered for one scale at a time for the
// whole process; an open editor whose scale they no longer match shows a
// message asking to reopen it. Created by the effect with its editor and
// configured before the attach, which makes it the editor's last control and
// owned by it. Everything runs on the editor window's thread.
class IEditorResize : public IControl, public IResizeController, public IResizeState {
 public:
  // The corner handle's side at scale 1, and its smallest side in pixels.
  static constexpr int kHandleSize = 20;
  static constexpr int kMinHandleSize = 10;
  // The largest window side an editor open accepts from the settings file:
  // beyond any screen (an 8K one is 7680 pixels wide), still a sane surface.
  static constexpr int kMaxWindowSide = 8192;

  IEditorResize(IEffectBase& effect, IGraphics& graphics) noexcept;

  // --- Configuration, between construction and the attach ---------------------

  // Whether a new scale renders the images anew (else they are only placed).
  void SetRescaleBitmaps(bool on) noexcept { rescaleBitmaps_ = on; }
  // Whether a drag renders them only when the button is let go.
  void SetDeferBitmapRescale(bool on) noexcept { deferBitmapRescale_ = on; }
  // Corner drags scale the editor (else they change its unscaled size),
  // always or while Control is held.
  void SetProportionalDrag(bool on) noexcept { proportionalDrag_ = on; }
  void SetControlKeyProportional(bool on) noexcept { controlKeyProportional_ = on; }
  // Shows the view with id 0 (the first view when none has it) at its size.
  void SelectDefaultView() noexcept;
  // The range of the scale; the current scale is brought into it.
  void SetScaleLimits(double minScale, double maxScale) noexcept;
  // The range of a view's unscaled size; the current size is brought into it
  // when that view is shown.
  void SetViewLimits(int view, double minWidth, double minHeight, double maxWidth, double maxHeight) noexcept;
  // The side handles: choice 0 keeps only the width's, 1 only the height's,
  // any other both; they are thickness pixels wide at scale 1, at least
  // minThickness on screen.
  void SetSideHandles(bool enabled, int choice, int thickness, int minThickness) noexcept;

  // --- The plug-in's two moments ------------------------------------------------

  // Adds the side handles, takes the layout of every control and appends
  // itself last. The images are not rendered here but at the first open:
  // hosts build many instances (to scan, to restore a session) whose editors
  // are never shown.
  void AttachToEditor() override;
  // After the host opened the window: the stored view and size (once), the
  // stored scale, the layout, the images rendered for the scale unless they
  // are already, and the window's size.
  void ApplyStoredSizeOnOpen() override;

  // --- For the graphics core ------------------------------------------------------

  double GuiScale() const noexcept override { return guiScale_; }
  bool LiveDrag() const noexcept override { return liveDrag_; }
  void FillBackground(IGraphics& graphics, const IBounds& area) override;

  // --- The corner handle as a control ---------------------------------------------

  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void MouseUp(int x, int y, const IMouseKeys& keys) override;
  void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) override;
  void DoubleClick(int x, int y, const IMouseKeys& keys) override;
  void MouseOver(int x, int y, const IMouseKeys& keys) override;
  void MouseOut() override;
  bool Paint(IGraphics& graphics) override;
  // Also notices when the process's images stopped matching this editor's
  // scale, and then asks to be reopened.
  bool NeedsRepaint() noexcept override;

  // The side handles' drags: the pointer's x (y) becomes the unscaled width (height).
  void DragWidthTo(int x);
  void DragHeightTo(int y);

  double BaseWidth() const noexcept { return baseWidth_; }
  bool ReopenNeeded() const noexcept { return reopenNeeded_; }

 protected:
  // The message that covers the window while it has to be reopened.
  virtual void DrawReopenMessage(IGraphics& graphics);
  // A white right triangle in the corner, most opaque at the corner.
  virtual void DrawHandle(IGraphics& graphics);
  // A right-button press on the corner handle; nothing here.
  virtual void OnRightClick() {}

 private:
  static SettingsFile OpenSettings(IEffectBase& effect, IGraphics& graphics) noexcept;

  const EditorView& CurrentView() const noexcept { return views_[viewIndex_]; }
  ViewLayout* CurrentLayout() const noexcept { return layouts_.Get(viewIndex_); }
  void ClampBaseSize() noexcept;
  // The scale an open uses for the stored one: as stored, unless the window
  // would be empty or larger than kMaxWindowSide (a damaged or hand-edited
  // settings file); then within the configured range, and never larger.
  double OpenScale(double stored) const noexcept;
  bool WindowFits(double scale) const noexcept;
  void UpdateWindowSize() noexcept;

  // After every change of scale or unscaled size.
  void ApplyResize();
  // Places the handles at the window's edges, in the layout (unscaled).
  void PlaceHandles();
  // Stretches the background (control 0) over the whole window.
  void FitBackground();
  // Every control but the background from the layout, at the current scale.
  void ApplyViewLayout();
  // Puts the controls in the order the current view paints them.
  void ReorderControls();
  void NotifyControlsOfScale();
  void ChangeLayout() noexcept;
  // Renders the process's images for the scale unless they are already.
  void RenderImages(double scale);
  bool ImagesMatch(double scale) const noexcept;

  void MoveControl(IControl& control, double x, double y);
  // Moves one edge of the control's rectangles to a position at scale 1.
  void SetControlEdge(IControl& control, int IBounds::*edge, double UnscaledRect::*unscaledEdge, double position);
  void HideInView(IControl& control);
  // The controller's rectangles on screen become the whole window.
  void CoverWindow() noexcept;
  void SetOwnRects(const IBounds& rect) noexcept;
  void SetMessageSize(int size) noexcept;

  IGraphics& graphics_;
  SettingsFile settings_;
  int viewIndex_ = 0;
  GrowableArray<EditorView> views_;
  OwnedList<ViewLayout> layouts_;
  SideResizeHandle* widthHandle_ = nullptr;   // HorisontalResizing, owned by the editor
  SideResizeHandle* heightHandle_ = nullptr;  // VerticalResizing, owned by the editor
  bool sideHandlesEnabled_ = false;
  bool proportionalDrag_ = false;
  bool controlKeyProportional_ = false;
  bool liveDrag_ = false;
  bool reopenNeeded_ = false;
  bool rescaleBitmaps_ = false;
  bool deferBitmapRescale_ = true;
  bool storedSizeApplied_ = false;
  double guiScale_ = 1.0;
  double minScale_ = 0.0;
  double maxScale_ = 1e9;
  double baseWidth_;
  double baseHeight_;
  int sideHandleThickness_ = 0;
  int sideHandleMinThickness_ = 0;
  int sideHandleChoice_ = 0;
  int constructionWidth_;  // the reopen message's size is set against it
  int windowWidth_;
  int windowHeight_;
  ITextStyle messageStyle_;
};

}  // namespace torvane
