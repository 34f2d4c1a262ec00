#include "editor/TypedEntryRules.h"

#include <cstring>

#include "core/LeadingNumber.h"
#include "framework/IParameter.h"

namespace torvane {

bool TypedEntryAccepts(const IParameter* parameter, char c) noexcept {
  if (!parameter) return true;
  const bool signOrDigit = c == '+' || c == '-' || (c >= '0' && c <= '9');
  switch (parameter->Type()) {
    case TypeBool:
    case TypeInt:
    case TypeEnum: return signOrDigit;
    case TypeDouble: return signOrDigit || c == '.';
    default: return true;
  }
}

double TypedParameterValue(const IParameter& parameter, const char* text) noexcept {
  if (!text) text = "";
  if (parameter.Type() == TypeBool || parameter.Type() == TypeEnum) {
    for (int i = 0; i < parameter.DisplayTextCount(); ++i) {
      if (std::strcmp(parameter.DisplayTextAt(i).text, text) == 0) return parameter.DisplayTextAt(i).value;
    }
    return 0.0;
  }
  const double value = ParseLeadingNumber(text);
  return parameter.NegateDisplay() ? -value : value;
}

}  // namespace torvane
