#include "editor/TextEntryEnumType.h"

#include "core/LeadingNumber.h"

namespace torvane {

TextEntryEnumType::TextEntryEnumType(IEffectBase* effect, const IBounds& rect, const ITextStyle& style,
                                     int parameterIndex, const double* table, int tableLength) noexcept
    : TextEntry(effect, rect, style, parameterIndex), table_(table), tableLength_(table ? tableLength : 0) {}

void TextEntryEnumType::AcceptText(const char* text) {
  displayText_.Set(text);
  if (tableLength_ <= 0) return;
  double v = ParseLeadingNumber(text);
  if (v < table_[0]) v = table_[0];
  if (v > table_[tableLength_ - 1]) v = table_[tableLength_ - 1];
  int choice = 0;
  double previous = 0.0;
  for (int j = 0; j < tableLength_; ++j) {
    if (previous <= table_[j] && v >= table_[j]) choice = j;
    previous = table_[j];
  }
  CommitValue(choice);
}

}  // namespace torvane
