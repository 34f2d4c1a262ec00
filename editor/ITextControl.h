#pragma once

#include "core/GrowableText.h"
#include "editor/IControl.h"

namespace torvane {

// A fixed text (the version label) in its own style, rescaled with the
// editor. Owned by IGraphics; window thread.
class ITextControl : public IControl {
 public:
  ITextControl(IEffectBase* effect, const IBounds& rect, const ITextStyle& style, const char* text) noexcept;

  bool Paint(IGraphics& graphics) override;
  IBounds InkBeyondRect(IGraphics& graphics) override;
  void Rescale(double factor) override;

  const char* Text() const noexcept { return text_.Get(); }

 private:
  GrowableText text_;
  ITextStyle unscaledStyle_;
};

}  // namespace torvane
