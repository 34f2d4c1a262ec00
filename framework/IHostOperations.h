#pragma once

#include <cstdint>

#include "framework/MidiMessage.h"
#include "framework/TimeInfo.h"

namespace torvane {

class IEditor;

// What an effect asks of the host that loaded it, supplied by the adapter of
// each plug-in format. The adapter owns the effect and connects itself to the
// effect's base, which forwards its host operations here; calls come from
// whichever thread is in the plug-in at the time.
class IHostOperations {
 public:
  virtual ~IHostOperations() = default;

  virtual void BeginParameterEdit(int index) = 0;
  virtual void NotifyHostOfParameter(int index, double position) = 0;
  virtual void EndParameterEdit(int index) = 0;
  virtual void NotifyHostOfDisplayChange() = 0;
  virtual bool HostRendersOffline() = 0;
  virtual int64_t HostSamplePosition() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int& numerator, int& denominator) = 0;
  virtual void HostTimeInfo(TimeInfo& info) = 0;
  virtual int IdentifyHost() = 0;
  // The editor now has this size; the adapter tells the effect's hook.
  virtual void ResizeEditor(int width, int height) = 0;
  virtual bool RequestHostWindowSize(int width, int height) = 0;
  // An editor was attached to the effect (or replaced the one it had).
  virtual void EditorAttached(const IEditor& editor) = 0;
  virtual void LatencyChanged(int samples) = 0;
  virtual bool ForwardMidiMessage(const MidiMessage& message) = 0;
  virtual bool ForwardSysEx(const SysExMessage& message) = 0;
};

}  // namespace torvane
