// A working VST 2.4 plug-in that exports only the older entry name, main, as
// plug-ins built for early hosts do: two channels in, two out, each output
// half its input. It has no meters and answers no vendor request.
#include <cstring>

#include "vst/VstInterface.h"

namespace torvane {
namespace {

VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  switch (opcode) {
    case effClose:
      delete effect;
      return 0;
    case effGetEffectName:
      if (ptr) std::strcpy(static_cast<char*>(ptr), "Half Gain");
      return 1;
    default:
      return 0;
  }
}

void ProcessReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
  for (int c = 0; c < 2; ++c) {
    for (VstInt32 i = 0; i < frames; ++i) outputs[c][i] = 0.5f * inputs[c][i];
  }
}

void SetParameter(AEffect*, VstInt32, float) {}
float GetParameter(AEffect*, VstInt32) { return 0.0f; }

AEffect* CreateHalfGain(audioMasterCallback) {
  auto* effect = new AEffect{};
  effect->magic = kEffectMagic;
  effect->dispatcher = Dispatcher;
  effect->setParameter = SetParameter;
  effect->getParameter = GetParameter;
  effect->numPrograms = 1;
  effect->numInputs = 2;
  effect->numOutputs = 2;
  effect->flags = effFlagsCanReplacing;
  effect->uniqueID = FourCharCode('H', 'a', 'l', 'f');
  effect->processReplacing = ProcessReplacing;
  return effect;
}

}  // namespace
}  // namespace torvane

// A C++ function cannot be named main and return a pointer: the symbol gets
// the name through an assembler label.
extern "C" __attribute__((visibility("default"))) torvane::AEffect* HalfGainEntry(
    torvane::audioMasterCallback host) __asm__("main");
extern "C" torvane::AEffect* HalfGainEntry(torvane::audioMasterCallback host) {
  return torvane::CreateHalfGain(host);
}
