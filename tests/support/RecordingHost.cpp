#include "RecordingHost.h"

#include <algorithm>
#include <cstring>

namespace torvane {

namespace {
RecordingHost* current = nullptr;
}

RecordingHost::RecordingHost() { current = this; }

RecordingHost::~RecordingHost() {
  if (current == this) current = nullptr;
}

VstIntPtr RecordingHost::Callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (!current) return 0;
  const VstIntPtr result = current->Handle(opcode, index, value, ptr, opt);
  if (current->onCall) current->onCall(opcode);
  return result;
}

VstIntPtr RecordingHost::Handle(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back({opcode, index, value, opt});
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), productString.c_str());
      return ptr ? 1 : 0;
    case audioMasterGetVendorVersion:
      return vendorVersion;
    case audioMasterGetCurrentProcessLevel:
      return processLevel;
    case audioMasterGetTime:
      return answerTime ? reinterpret_cast<VstIntPtr>(&time) : 0;
    case audioMasterProcessEvents: {
      const auto* events = static_cast<const VstEvents*>(ptr);
      for (int i = 0; events && i < events->numEvents; ++i) {
        if (events->events[i]->type == kVstMidiType) {
          forwardedMidi.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
        }
      }
      return eventsResult;
    }
    default:
      return 0;
  }
}

std::vector<RecordingHost::Call> RecordingHost::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

int RecordingHost::CountOf(VstInt32 opcode) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.opcode == opcode; }));
}

void RecordingHost::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

}  // namespace torvane
