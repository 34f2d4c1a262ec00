#include "editor/ITextControl.h"

#include "editor/IGraphics.h"

namespace torvane {

ITextControl::ITextControl(IEffectBase* effect, const IBounds& rect, const ITextStyle& style,
                           const char* text) noexcept
    : IControl(effect, rect, -1, {BlendAlpha, 1.0f}), text_(text), unscaledStyle_(style) {
  textStyle_ = style;
  ITextControl::Rescale(1.0);
}

bool ITextControl::Paint(IGraphics& graphics) {
  if (text_.Length() == 0) return true;
  IBounds rect = DrawRect();
  return graphics.RenderText(textStyle_, text_.Get(), rect, false);
}

IBounds ITextControl::InkBeyondRect(IGraphics& graphics) {
  return graphics.TextInk(textStyle_, text_.Get(), DrawRect());
}

void ITextControl::Rescale(double factor) { textStyle_ = unscaledStyle_.Scaled(factor); }

}  // namespace torvane
