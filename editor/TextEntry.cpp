#include "editor/TextEntry.h"

#include <cstdio>

#include "editor/IGraphics.h"
#include "editor/LeadingNumber.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

namespace torvane {

TextEntry::TextEntry(IEffectBase* effect, const IBounds& rect, const ITextStyle& style, int parameterIndex) noexcept
    : IControl(effect, rect, parameterIndex, {BlendAlpha, 1.0f}), unscaledStyle_(style) {
  textStyle_ = style;
}

IParameter* TextEntry::Parameter() const noexcept {
  return Effect() ? Effect()->GetParameter(ParameterIndex()) : nullptr;
}

void TextEntry::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  if (Graphics()) Graphics()->OpenTextEntry(this, textStyle_, DrawRect(), displayText_.Get(), nullptr);
}

bool TextEntry::Paint(IGraphics& graphics) {
  char text[2 * kParameterTextBytes + 2] = "";
  if (const IParameter* parameter = Parameter()) {
    // The host's threads change parameter values under the plug-in lock.
    ScopedLock lock(Effect()->Lock());
    char value[kParameterTextBytes] = "";
    parameter->FormatDisplay(parameter->Value(), false, value, sizeof(value));
    std::snprintf(text, sizeof(text), "%s %s", value, parameter->HostLabel());
  }
  displayText_.Set(text);
  IBounds rect = DrawRect();
  return graphics.RenderText(textStyle_, displayText_.Get(), rect, false);
}

void TextEntry::Rescale(double factor) { textStyle_ = unscaledStyle_.Scaled(factor); }

void TextEntry::AcceptText(const char* text) {
  displayText_.Set(text);
  CommitValue(ParseLeadingNumber(text));
}

void TextEntry::CommitValue(double v) {
  const IParameter* parameter = Parameter();
  if (!parameter) return;
  SetValue(parameter->PositionOf(v));
  MarkDirty(true);
}

}  // namespace torvane
