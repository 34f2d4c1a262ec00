#pragma once

#include <vector>

#include "framework/IEditor.h"
#include "framework/IParameter.h"
#include "framework/IResizeState.h"

namespace torvane {

// Stands in for the editor's resize controller: the three records it keeps
// (view, width, height), each -1 while nothing is stored.
class FakeResizeState : public IResizeState {
 public:
  FakeResizeState() {
    view.DefineInt("", -1, -1, 1000000);
    width.DefineDouble("", -1.0, -1.0, 1000000.0, 1.0);
    height.DefineDouble("", -1.0, -1.0, 1000000.0, 1.0);
  }
  int StateParameterCount() const override { return 3; }
  IParameter* StateParameter(int i) override { return i == 0 ? &view : i == 1 ? &width : &height; }
  void AttachToEditor() override { ++attached; }
  void ApplyStoredSizeOnOpen() override { ++sizeApplied; }

  IParameter view, width, height;
  int attached = 0;
  int sizeApplied = 0;
};

// Stands in for the editor: records what the plug-in pushes into it. Owned by
// the plug-in once attached, so tests keep a plain pointer to it.
class FakeEditor : public IEditor {
 public:
  struct Push {
    int parameter;
    double value;
    bool normalised;
  };

  void PrepareSurface() override { ++surfacesPrepared; }
  void PushParameterToControls(int parameter, double value, bool normalised) override {
    pushes.push_back({parameter, value, normalised});
  }
  int ControlCount() const override { return static_cast<int>(controlValues.size()); }
  void SetControlValueFromEffect(int control, double value) override { controlValues[control] = value; }
  bool OpenEditorWindow(void* parent) override {
    openedWith = parent;
    return openSucceeds;
  }
  void CloseEditorWindow() override { ++closed; }
  int Width() const override { return 720; }
  int Height() const override { return 420; }

  std::vector<Push> pushes;
  std::vector<double> controlValues;
  int surfacesPrepared = 0;
  void* openedWith = nullptr;
  bool openSucceeds = true;
  int closed = 0;
};

}  // namespace torvane
