#pragma once

namespace torvane {

// The number at the start of typed text: optional white space and sign,
// digits with an optional decimal point and exponent; whatever follows is
// ignored, and text that does not start with a number gives 0. The decimal
// point is always ".", whatever the host's locale.
double ParseLeadingNumber(const char* text) noexcept;

// The same number, and where it ends in the text; null (and value 0) when the
// text does not start with a number.
const char* ReadLeadingNumber(const char* text, double& value) noexcept;

}  // namespace torvane
