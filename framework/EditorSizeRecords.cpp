#include "framework/EditorSizeRecords.h"

namespace torvane {

namespace {
// Far beyond any screen; the range only has to hold every real size.
constexpr int kLargestSize = 1000000;
}  // namespace

EditorSizeRecords::EditorSizeRecords() noexcept {
  View().DefineInt("", static_cast<int>(kNotStored), static_cast<int>(kNotStored), kLargestSize);
  Width().DefineDouble("", kNotStored, kNotStored, kLargestSize, 1.0);
  Height().DefineDouble("", kNotStored, kNotStored, kLargestSize, 1.0);
}

}  // namespace torvane
