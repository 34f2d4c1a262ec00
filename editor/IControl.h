#pragma once

#include <atomic>
#include <cstdint>

#include "core/OwnedList.h"
#include "editor/DrawRecords.h"
#include "editor/IBounds.h"
#include "editor/ITextStyle.h"
#include "editor/InputRecords.h"

namespace torvane {

class IEffectBase;
class IGraphics;
class IParameter;

// The base of every editor control: a rectangle that paints itself into the
// editor's surface, reacts to the pointer and keys IGraphics routes to it, and
// may be bound to one effect parameter by a normalised value 0..1. Owned by
// the IGraphics it was added to. Everything runs on the editor window's thread
// except SetValueFromEffect and SetLinkedValueFromEffect, which the audio and
// host threads call under the plug-in lock: they touch only the value, the
// linked values and the paint flags, all atomics, so a paint reads either the
// old or the new value.
class IControl {
 public:
  // Copies rect into the drawing, target and unscaled rectangles. effect may
  // be null for a control that never reaches the effect.
  IControl(IEffectBase* effect, const IBounds& rect, int parameterIndex = -1, IBlendSpec blend = {}) noexcept;
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {}
  virtual void MouseUp(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {}
  virtual void MouseDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const IMouseKeys& /*keys*/) {}
  // Returns to the default value (the value the parameter had when the editor
  // was attached) and sends it to the effect.
  virtual void DoubleClick(int x, int y, const IMouseKeys& keys);
  // notches > 0 away from the user.
  virtual void Wheel(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/, int /*notches*/) {}
  // True when the key was used.
  virtual bool KeyPress(int /*x*/, int /*y*/, KeyCode /*key*/) { return false; }
  virtual void MouseOver(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {}
  virtual void MouseOut() {}
  virtual bool Paint(IGraphics& graphics) = 0;
  // Where painting the present state draws beyond the drawing rectangle
  // (text wider than its box); empty for a control that stays inside it.
  virtual IBounds InkBeyondRect(IGraphics& /*graphics*/) { return {}; }
  // Rebuilds size-dependent state for the display scale factor.
  virtual void Rescale(double /*factor*/) {}
  // A value from the effect (audio or host thread). The first one also becomes
  // the default value.
  virtual void SetValueFromEffect(double value) noexcept;
  // A value the user chose outside the control (typed entry): shown and sent
  // to the effect.
  virtual void SetValueFromUser(double value);
  // Committed typed entry.
  virtual void AcceptText(const char* /*text*/) {}
  virtual void SetHidden(bool hidden);
  // A disabled control ignores the pointer and draws its images at a quarter weight.
  virtual void SetDisabled(bool disabled);
  virtual bool HitTest(int x, int y);
  // Limits the value to the clamp range and asks for a paint; with
  // pushToEffect the value also goes to the bound parameter (and thereby to
  // the host as automation).
  virtual void MarkDirty(bool pushToEffect) noexcept;
  // After a paint pass: a pending redraw request keeps the control dirty for
  // one more pass.
  virtual void MarkClean() noexcept;
  virtual bool NeedsRepaint() noexcept;
  // A value from the effect for the k-th linked parameter.
  virtual void SetLinkedValueFromEffect(int k, double value) noexcept;

  double Value() const noexcept { return value_.load(std::memory_order_relaxed); }
  // Negative until the effect first pushed a value.
  double DefaultValue() const noexcept { return defaultValue_.load(std::memory_order_relaxed); }
  int ParameterIndex() const noexcept { return parameterIndex_; }
  // Position in the editor's control list; kept current by IGraphics.
  int Index() const noexcept { return index_.load(std::memory_order_relaxed); }
  IEffectBase* Effect() const noexcept { return effect_; }
  // The bound parameter; null without one.
  IParameter* Parameter() const noexcept;
  // The editor the control belongs to; null until it is added.
  IGraphics* Graphics() const noexcept { return graphics_; }

  const IBounds& DrawRect() const noexcept { return drawRect_; }
  const IBounds& TargetRect() const noexcept { return targetRect_; }
  // The rectangle at scale 1, kept by the resize controller.
  const IBounds& UnscaledRect() const noexcept { return unscaledRect_; }
  void SetDrawRect(const IBounds& rect) noexcept { drawRect_ = rect; }
  void SetTargetRect(const IBounds& rect) noexcept { targetRect_ = rect; }
  void SetUnscaledRect(const IBounds& rect) noexcept { unscaledRect_ = rect; }

  bool Hidden() const noexcept { return hidden_; }
  bool Disabled() const noexcept { return disabled_; }
  // MarkDirty keeps the value within [lower, upper].
  void SetClampRange(double lower, double upper) noexcept;
  bool DoubleClickActsAsPress() const noexcept { return doubleClickActsAsPress_; }
  void SetDoubleClickActsAsPress(bool on) noexcept { doubleClickActsAsPress_ = on; }
  bool HoverWhileDisabled() const noexcept { return hoverWhileDisabled_; }
  void SetHoverWhileDisabled(bool on) noexcept { hoverWhileDisabled_ = on; }
  const IBlendSpec& Blend() const noexcept { return blend_; }
  ITextStyle& TextStyle() noexcept { return textStyle_; }
  // Characters the typed-entry box accepts for this control.
  int TextEntryLength() const noexcept { return textEntryLength_; }

  // Further parameters the control follows. Added while the editor is built,
  // before it is attached.
  bool AddLinkedParameter(int parameterIndex) noexcept;
  // The position of the first linked entry for this parameter, or -1.
  int FindLinkedParameter(int parameterIndex) const noexcept;
  double LinkedValue(int k) const noexcept;

 protected:
  void SetValue(double value) noexcept { value_.store(value, std::memory_order_relaxed); }
  double Clamped(double value) const noexcept;

  IBlendSpec blend_;
  ITextStyle textStyle_;

 private:
  friend class IGraphics;  // numbers the controls and hands out references to the index

  // Paint flags in one word, so that a paint pass's MarkClean and a value
  // arriving from another thread cannot lose each other's update.
  static constexpr uint8_t kDirty = 1;
  static constexpr uint8_t kRedrawRequest = 2;

  struct LinkedParameter {
    std::atomic<double> value{0.0};
    int parameterIndex = -1;
  };

  int textEntryLength_ = 7;
  IEffectBase* effect_;
  IGraphics* graphics_ = nullptr;
  IBounds drawRect_;
  IBounds targetRect_;
  IBounds unscaledRect_;
  // What the last paint drew beyond the drawing rectangle: the next paint
  // of the control erases it.
  IBounds paintedInk_;
  int parameterIndex_;
  std::atomic<int> index_{0};
  OwnedList<LinkedParameter> linked_;
  std::atomic<double> value_{0.0};
  std::atomic<double> defaultValue_{-1.0};
  double lowerClamp_ = 0.0;
  double upperClamp_ = 1.0;
  std::atomic<uint8_t> paintFlags_{kDirty};
  bool hidden_ = false;
  bool disabled_ = false;
  bool doubleClickActsAsPress_ = false;
  bool hoverWhileDisabled_ = false;
};

}  // namespace torvane
