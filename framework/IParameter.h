#pragma once

#include <cstddef>

#include "core/GrowableArray.h"

namespace torvane {

enum ParameterType : int { TypeNone = 0, TypeBool = 1, TypeInt = 2, TypeEnum = 3, TypeDouble = 4 };

constexpr size_t kParameterTextBytes = 32;

// A text shown instead of the number for one particular (integer) value.
struct DisplayText {
  int value;
  char text[kParameterTextBytes];
};

// One automatable parameter: its kind, name, unit, range, step, response shape,
// current value and display texts. Values are in the parameter's own units;
// host and editor talk in normalised positions 0..1 through the shape law.
// Owned by the plug-in base; read and written under the plug-in lock.
class IParameter {
 public:
  IParameter() noexcept = default;

  void DefineDouble(const char* name, double defaultValue, double min, double max, double step,
                    const char* label = "", double shape = 1.0) noexcept;
  void DefineEnum(const char* name, int defaultValue, int count, const char* label = "") noexcept;
  void DefineInt(const char* name, int defaultValue, int min, int max, const char* label = "") noexcept;
  void DefineBool(const char* name, bool defaultValue, const char* label = "") noexcept;
  void AddDisplayText(int value, const char* text) noexcept;

  // Non-finite positions and values are ignored: they never become the value.
  void SetFromPosition(double position) noexcept;
  void SetClamped(double value) noexcept;
  double GetPosition() const noexcept { return PositionOf(value_); }
  double PositionOf(double value) const noexcept;

  // Writes the display text of v (a normalised position when isNormalised) into out.
  void FormatDisplay(double v, bool isNormalised, char* out, size_t outSize,
                     bool useDisplayTexts = true) const noexcept;
  // The unit label, or "" when the current value is shown by a display text.
  const char* HostLabel() const noexcept;

  ParameterType Type() const noexcept { return type_; }
  double Value() const noexcept { return value_; }
  double Min() const noexcept { return min_; }
  double Max() const noexcept { return max_; }
  double Step() const noexcept { return step_; }
  double Shape() const noexcept { return shape_; }
  double DefaultValue() const noexcept { return defaultValue_; }
  int DisplayPrecision() const noexcept { return displayPrecision_; }
  const char* Name() const noexcept { return name_; }
  const char* Label() const noexcept { return label_; }
  bool NegateDisplay() const noexcept { return negateDisplay_; }
  void SetNegateDisplay(bool negate) noexcept { negateDisplay_ = negate; }
  int DisplayTextCount() const noexcept { return displayTexts_.Count(); }
  const DisplayText& DisplayTextAt(int i) const noexcept { return displayTexts_[i]; }

 private:
  // The first display text for v truncated toward zero, or null.
  const DisplayText* FindDisplayText(double v) const noexcept;

  ParameterType type_ = TypeNone;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double defaultValue_ = 0.0;
  int displayPrecision_ = 0;
  char name_[kParameterTextBytes] = {};
  char label_[kParameterTextBytes] = {};
  bool negateDisplay_ = false;
  GrowableArray<DisplayText> displayTexts_{1024};
};

}  // namespace torvane
