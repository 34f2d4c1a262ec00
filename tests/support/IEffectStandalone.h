#pragma once

#include "framework/IEffectBase.h"

namespace torvane {

// The plug-in base without any host: every host operation does nothing and the
// host is reported as unknown. Test drivers derive from it to run an effect
// with nothing but its processing entry and parameter records.
class IEffectStandalone : public IEffectBase {
 public:
  using IEffectBase::IEffectBase;

  void BeginParameterEdit(int) override {}
  void NotifyHostOfParameter(int, double) override {}
  void EndParameterEdit(int) override {}
  void NotifyHostOfDisplayChange() override {}
  int64_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int& numerator, int& denominator) override;
  void HostTimeInfo(TimeInfo&) override {}
  int IdentifyHost() override { return 0; }
  void ResizeEditor(int, int) override {}
  bool ForwardMidiMessage(const MidiMessage&) override { return false; }
};

}  // namespace torvane
