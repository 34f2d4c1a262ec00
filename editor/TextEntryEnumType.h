#pragma once

#include "editor/TextEntry.h"

namespace torvane {

// The read-out of an enumerated parameter whose choices stand for numbers (the
// cut-off frequencies): a typed number selects the last choice not above it.
// The table belongs to the effect. Owned by IGraphics; window thread.
class TextEntryEnumType : public TextEntry {
 public:
  // table holds the choices' numbers in ascending order, entry i for choice i.
  TextEntryEnumType(IEffectBase* effect, const IBounds& rect, const ITextStyle& style, int parameterIndex,
                    const double* table, int tableLength) noexcept;

  void AcceptText(const char* text) override;

 private:
  const double* table_;
  int tableLength_;
};

}  // namespace torvane
