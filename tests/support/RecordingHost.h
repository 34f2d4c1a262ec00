#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "vst/VstInterface.h"

namespace torvane {

// A host callback for tests: answers product string, vendor version, process
// level and time requests with what the test configured, and records every
// call (from any thread). One instance is current at a time; the callback
// reaches it through Current() since a plug-in calls back during creation.
class RecordingHost {
 public:
  struct Call {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
  };

  RecordingHost();
  ~RecordingHost();

  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);

  std::vector<Call> Calls() const;
  int CountOf(VstInt32 opcode) const;
  void Clear();

  std::string productString;
  VstIntPtr vendorVersion = 0;
  VstIntPtr processLevel = 0;
  bool answerTime = false;
  VstTimeInfo time = {};
  VstIntPtr eventsResult = 1;
  std::vector<VstMidiEvent> forwardedMidi;
  // Runs on the calling thread for every call, after it was recorded; a test
  // can block a call here or take a lock of its own.
  std::function<void(VstInt32 opcode)> onCall;

 private:
  VstIntPtr Handle(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  mutable std::mutex mutex_;
  std::vector<Call> calls_;
};

}  // namespace torvane
