#pragma once

namespace torvane {

class IParameter;

// What a typed-entry box bound to a parameter accepts and what its text is
// worth, the same for every platform's box. Plain functions; window thread.

// True when the box may take the character: with a parameter of a bool,
// integer or enumerated type only a sign or a digit, with a double parameter
// also the decimal point; anything without a parameter or of another type.
bool TypedEntryAccepts(const IParameter* parameter, char c) noexcept;

// The value committed text gives the parameter, in its own units: for a bool
// or enumerated parameter the value of the first display text that equals the
// text exactly (0 when none does), otherwise the number the text starts with
// (a "." as the decimal point, whatever the host's locale), negated for a
// parameter that shows its values negated.
double TypedParameterValue(const IParameter& parameter, const char* text) noexcept;

}  // namespace torvane
