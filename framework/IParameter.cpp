#include "framework/IParameter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "core/FixedText.h"

namespace torvane {

namespace {
constexpr int kMaxDisplayPrecision = 6;

// v truncated toward zero, when it fits an int.
bool TruncateToInt(double v, int& out) {
  if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0)) return false;
  out = static_cast<int>(v);
  return true;
}
}  // namespace

void IParameter::DefineDouble(const char* name, double defaultValue, double min, double max,
                              double step, const char* label, double shape) noexcept {
  if (type_ == TypeNone) type_ = TypeDouble;
  CopyFixedText(name_, name);
  CopyFixedText(label_, label);
  min_ = min;
  value_ = defaultValue_ = defaultValue;
  step_ = step;
  max_ = std::max(min + step, max);

  displayPrecision_ = 0;
  for (double d = step; displayPrecision_ < kMaxDisplayPrecision && d != std::floor(d); d *= 10.0) {
    ++displayPrecision_;
  }
  if (shape != 0.0) shape_ = shape;
}

void IParameter::DefineEnum(const char* name, int defaultValue, int count, const char* label) noexcept {
  if (type_ == TypeNone) type_ = TypeEnum;
  DefineDouble(name, defaultValue, 0.0, count - 1, 1.0, label, 1.0);
}

void IParameter::DefineInt(const char* name, int defaultValue, int min, int max, const char* label) noexcept {
  if (type_ == TypeNone) type_ = TypeInt;
  DefineDouble(name, defaultValue, min, max, 1.0, label, 1.0);
}

void IParameter::DefineBool(const char* name, bool defaultValue, const char* label) noexcept {
  if (type_ == TypeNone) type_ = TypeBool;
  DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, label, 1.0);
  AddDisplayText(0, "off");
  AddDisplayText(1, "on");
}

void IParameter::AddDisplayText(int value, const char* text) noexcept {
  DisplayText entry{value, {}};
  CopyFixedText(entry.text, text);
  displayTexts_.Add(entry);
}

void IParameter::SetFromPosition(double position) noexcept {
  if (!std::isfinite(position)) return;
  // Every road in clamps: a position below 0 would otherwise store a value
  // below the range that no later read shows or restores faithfully.
  position = std::clamp(position, 0.0, 1.0);
  double v = std::pow(position, shape_) * (max_ - min_) + min_;
  if (type_ != TypeDouble) v = std::floor(v / step_ + 0.5) * step_;
  v = std::min(v, max_);
  if (std::isfinite(v)) value_ = v;
}

void IParameter::SetClamped(double value) noexcept {
  if (std::isfinite(value)) value_ = std::clamp(value, min_, max_);
}

double IParameter::PositionOf(double value) const noexcept {
  const double v = std::clamp(value, min_, max_);
  return std::pow((v - min_) / (max_ - min_), 1.0 / shape_);
}

const DisplayText* IParameter::FindDisplayText(double v) const noexcept {
  int key;
  if (!TruncateToInt(v, key)) return nullptr;
  for (int i = 0; i < displayTexts_.Count(); ++i) {
    if (displayTexts_[i].value == key) return &displayTexts_[i];
  }
  return nullptr;
}

void IParameter::FormatDisplay(double v, bool isNormalised, char* out, size_t outSize,
                               bool useDisplayTexts) const noexcept {
  if (!out || outSize == 0) return;
  if (isNormalised) v = std::pow(v, shape_) * (max_ - min_) + min_;

  if (useDisplayTexts) {
    const DisplayText* entry = FindDisplayText(v);
    if (entry && entry->text[0] != '\0') {
      CopyFixedText(out, outSize, entry->text);
      return;
    }
  }
  if (negateDisplay_) v = -v;

  int whole;
  if (displayPrecision_ == 0 && TruncateToInt(v, whole)) {
    std::snprintf(out, outSize, "%d", whole);
  } else if (displayPrecision_ == 0) {
    std::snprintf(out, outSize, "%.0f", std::trunc(v));
  } else {
    std::snprintf(out, outSize, "%.*f", displayPrecision_, v);
  }
}

const char* IParameter::HostLabel() const noexcept {
  const DisplayText* entry = FindDisplayText(value_);
  return entry && entry->text[0] != '\0' ? "" : label_;
}

}  // namespace torvane
