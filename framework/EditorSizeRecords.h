#pragma once

#include "framework/IParameter.h"

namespace torvane {

// The editor size an instance keeps in its state: the view index and the
// unscaled width and height, -1 while nothing is stored. They are parameter
// records but not host parameters. Owned by the plug-in base, which writes
// them in front of the parameter values of every state; the editor's resize
// controller reads and writes them on the window thread.
class EditorSizeRecords {
 public:
  static constexpr int kCount = 3;
  static constexpr double kNotStored = -1.0;

  EditorSizeRecords() noexcept;

  IParameter& View() noexcept { return records_[0]; }
  IParameter& Width() noexcept { return records_[1]; }
  IParameter& Height() noexcept { return records_[2]; }
  // In state order: view, width, height.
  IParameter& operator[](int index) noexcept { return records_[index]; }
  const IParameter& operator[](int index) const noexcept { return records_[index]; }

 private:
  IParameter records_[kCount];
};

}  // namespace torvane
