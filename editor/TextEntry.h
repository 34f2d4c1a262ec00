#pragma once

#include "core/GrowableText.h"
#include "editor/IControl.h"

namespace torvane {

class IParameter;

// A parameter's value read-out with its unit ("0.0 dB") that also takes typed
// entry: a press opens the window layer's entry box with the text shown, and
// the committed number becomes the parameter's value. Owned by IGraphics;
// window thread (values also from the effect, see IControl).
class TextEntry : public IControl {
 public:
  TextEntry(IEffectBase* effect, const IBounds& rect, const ITextStyle& style, int parameterIndex) noexcept;

  void MouseDown(int x, int y, const IMouseKeys& keys) override;
  bool Paint(IGraphics& graphics) override;
  IBounds InkBeyondRect(IGraphics& graphics) override;
  void Rescale(double factor) override;
  // The leading number of text, limited to the parameter's range.
  void AcceptText(const char* text) override;

  // The text painted last (or committed last).
  const char* DisplayText() const noexcept { return displayText_.Get(); }

 protected:
  // Sets the value for v in the parameter's own units and sends it to the effect.
  void CommitValue(double v);

  GrowableText displayText_;

 private:
  // The value with its unit, as painted.
  void FormatValue(char* text, size_t capacity) const;

  ITextStyle unscaledStyle_;
};

}  // namespace torvane
