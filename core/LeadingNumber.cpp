#include "core/LeadingNumber.h"

#include <cctype>
#include <cmath>
#include <cstdint>

namespace torvane {

namespace {

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Powers of ten that a double holds exactly.
constexpr int kExactPowers = 22;
constexpr double kPowersOfTen[kExactPowers + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Mantissas below this are exact in a double.
constexpr uint64_t kExactMantissa = uint64_t{1} << 53;
// Digits beyond these add nothing a parameter could show.
constexpr int kMaxDigits = 18;
constexpr int kMaxExponent = 400;

}  // namespace

double ParseLeadingNumber(const char* text) noexcept {
  double value;
  ReadLeadingNumber(text, value);
  return value;
}

const char* ReadLeadingNumber(const char* text, double& value) noexcept {
  value = 0.0;
  if (!text) return nullptr;
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';

  uint64_t mantissa = 0;
  int digits = 0;
  int scale = 0;  // decimal exponent of the mantissa's last digit
  bool anyDigit = false;
  for (; IsDigit(*p); ++p) {
    anyDigit = true;
    if (digits < kMaxDigits) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
      if (mantissa != 0) ++digits;
    } else {
      ++scale;
    }
  }
  if (*p == '.') {
    for (++p; IsDigit(*p); ++p) {
      anyDigit = true;
      if (digits < kMaxDigits) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        if (mantissa != 0) ++digits;
        --scale;
      }
    }
  }
  if (!anyDigit) return nullptr;

  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (*q == '+' || *q == '-') negativeExponent = *q++ == '-';
    if (IsDigit(*q)) {
      int exponent = 0;
      for (; IsDigit(*q); ++q) {
        if (exponent < kMaxExponent) exponent = exponent * 10 + (*q - '0');
      }
      scale += negativeExponent ? -exponent : exponent;
      p = q;
    }
  }

  if (mantissa == 0) return p;
  if (mantissa < kExactMantissa && scale >= -kExactPowers && scale <= kExactPowers) {
    // One correctly rounded operation on exact operands: "0.1" is the double 0.1.
    const double m = static_cast<double>(mantissa);
    value = scale < 0 ? m / kPowersOfTen[-scale] : m * kPowersOfTen[scale];
  } else {
    value = static_cast<double>(mantissa) * std::pow(10.0, scale);
  }
  if (negative) value = -value;
  return p;
}

}  // namespace torvane
