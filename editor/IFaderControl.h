#pragma once

#include "editor/IControl.h"

namespace torvane {

// A vertical fader: a handle image that travels along a track, at the top for
// value 1. A press anywhere on the track jumps the handle there, a drag
// follows the pointer, the wheel nudges it. Owned by IGraphics; window thread
// (values also from the effect, see IControl).
class IFaderControl : public IControl {
 public:
  // The track runs travelLength pixels down from (x, y) and is as wide as the handle.
  IFaderControl(IEffectBase* effect, int x, int y, int travelLength, int parameterIndex,
                IImageStrip& handle) noexcept;

  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  void MouseDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) override;
  // One notch moves 0.01, or 0.001 with shift or control held.
  void Wheel(int x, int y, const IMouseKeys& keys, int notches) override;
  bool Paint(IGraphics& graphics) override;
  void Rescale(double factor) override;
  // Puts the handle's centre under the pointer.
  virtual void SnapToPointer(int x, int y);

  int TravelLength() const noexcept { return travelLength_; }
  int HandleSize() const noexcept { return handleSize_; }

 private:
  int travelLength_;
  int handleSize_;
  int unscaledTravelLength_;
  int unscaledHandleSize_;
  IImageStrip& handle_;
};

}  // namespace torvane
