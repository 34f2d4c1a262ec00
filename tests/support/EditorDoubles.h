#pragma once

#include <functional>
#include <vector>

#include "core/RecursiveLock.h"
#include "framework/IEditor.h"
#include "framework/IResizeState.h"

namespace torvane {

// Stands in for the editor's resize controller: counts the moments the
// plug-in hands control to it.
class FakeResizeState : public IResizeState {
 public:
  void AttachToEditor() override { ++attached; }
  void ApplyStoredSizeOnOpen() override { ++sizeApplied; }

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
    if (onOpen) onOpen();
    return openSucceeds;
  }
  void CloseEditorWindow() override { ++closed; }
  bool HasWindow() const override { return hasWindow; }
  void Idle() override {
    ++idles;
    if (onIdle) onIdle();
  }
  RecursiveLock* WindowLock() noexcept override { return &windowLock; }
  int Width() const override { return 720; }
  int Height() const override { return 420; }

  std::vector<Push> pushes;
  std::vector<double> controlValues;
  int surfacesPrepared = 0;
  void* openedWith = nullptr;
  bool openSucceeds = true;
  bool hasWindow = true;
  int closed = 0;
  int idles = 0;
  std::function<void()> onOpen;
  std::function<void()> onIdle;
  RecursiveLock windowLock;
};

}  // namespace torvane
