#include "editor/TextEntry.h"

#include <cstdio>

#include "editor/IGraphics.h"
#include "core/LeadingNumber.h"
#include "framework/IEffectBase.h"
#include "framework/IParameter.h"

namespace torvane {

namespace {
// A value and its unit with a space between.
constexpr size_t kValueTextBytes = 2 * kParameterTextBytes + 2;
}  // namespace

TextEntry::TextEntry(IEffectBase* effect, const IBounds& rect, const ITextStyle& style, int parameterIndex) noexcept
    : IControl(effect, rect, parameterIndex, {BlendAlpha, 1.0f}), unscaledStyle_(style) {
  textStyle_ = style;
}

void TextEntry::MouseDown(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  if (Graphics()) Graphics()->OpenTextEntry(this, textStyle_, DrawRect(), displayText_.Get(), nullptr);
}

void TextEntry::FormatValue(char* text, size_t capacity) const {
  text[0] = '\0';
  const IParameter* parameter = Parameter();
  if (!parameter) return;
  // The host's threads change parameter values under the plug-in lock.
  ScopedLock lock(Effect()->Lock());
  char value[kParameterTextBytes] = "";
  parameter->FormatDisplay(parameter->Value(), false, value, sizeof(value));
  std::snprintf(text, capacity, "%s %s", value, parameter->HostLabel());
}

bool TextEntry::Paint(IGraphics& graphics) {
  char text[kValueTextBytes];
  FormatValue(text, sizeof(text));
  displayText_.Set(text);
  IBounds rect = DrawRect();
  return graphics.RenderText(textStyle_, displayText_.Get(), rect, false);
}

IBounds TextEntry::InkBeyondRect(IGraphics& graphics) {
  char text[kValueTextBytes];
  FormatValue(text, sizeof(text));
  return graphics.TextInk(textStyle_, text, DrawRect());
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
