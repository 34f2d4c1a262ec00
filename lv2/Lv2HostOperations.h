#pragma once

#include "framework/IHostOperations.h"

namespace torvane {

// The host operations neither LV2 adapter passes on: LV2 hosts hand time,
// offline rendering and latency through ports and features, not through
// calls, so each answer here is the one a host without them gives. The
// adapters derive from it and override what they serve.
class Lv2HostOperations : public IHostOperations {
 public:
  void BeginParameterEdit(int) override {}
  void NotifyHostOfParameter(int, double) override {}
  void EndParameterEdit(int) override {}
  void NotifyHostOfDisplayChange() override {}
  bool HostRendersOffline() override { return false; }
  int64_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int&, int&) override {}
  void HostTimeInfo(TimeInfo&) override {}
  int IdentifyHost() override { return 0; }
  void ResizeEditor(int, int) override {}
  bool RequestHostWindowSize(int, int) override { return false; }
  void EditorAttached(const IEditor&) override {}
  void LatencyChanged(int) override {}
  bool ForwardMidiMessage(const MidiMessage&) override { return false; }
  bool ForwardSysEx(const SysExMessage&) override { return false; }
};

}  // namespace torvane
