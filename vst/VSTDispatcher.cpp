// The dispatcher entry of the effect record: every non-audio request of the host.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FixedText.h"
#include "framework/IEditor.h"
#include "framework/IResizeState.h"
#include "vst/IEffectVST.h"
#include "vst/MeterRequest.h"

namespace torvane {

namespace {
constexpr VstIntPtr kIdentifyAnswer = FourCharCode('N', 'v', 'E', 'f');
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr int kVendorSpecificDisplayText = 7;
constexpr int kVendorSpecificIsQuantised = 8;

// Host buffers for these texts: the interface's documented sizes, or the
// parameter text size for parameter texts (names, labels and values of at
// most 31 characters, which hosts provide room for).
void CopyToHost(void* ptr, size_t capacity, const char* text) {
  if (ptr) CopyFixedText(static_cast<char*>(ptr), capacity, text);
}
}  // namespace

VstIntPtr IEffectVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
  IEffectVST* plugin = FromRecord(effect);
  if (!plugin) return 0;
  if (opcode == effClose) {
    // Wait for any call still running on another thread, then let go: the
    // lock lives inside the object, which must not be destroyed while held.
    plugin->Lock().Lock();
    plugin->Lock().Unlock();
    delete plugin;
    return 0;
  }
  if (opcode == effEditOpen || opcode == effEditClose || opcode == effEditIdle) {
    return plugin->DispatchWindowRequest(opcode, ptr);
  }
  ScopedLock lock(plugin->Lock());
  return plugin->Dispatch(opcode, index, value, ptr, opt);
}

// The editor's window lock comes before the plug-in lock: a repaint thread of
// the editor's own holds it while its gestures wait for the plug-in lock. The
// idle request runs without the plug-in lock, as window messages do on
// platforms that have them.
VstIntPtr IEffectVST::DispatchWindowRequest(VstInt32 opcode, void* ptr) {
  IEditor* editor = Editor();
  if (!editor) return 0;
  ScopedLockIfAny window(editor->WindowLock());
  if (opcode == effEditIdle) {
    editor->Idle();
    return 0;
  }
  ScopedLock lock(Lock());
  if (opcode == effEditClose) {
    OnEditorClose();
    editor->CloseEditorWindow();
    return 1;
  }
  if (!editor->OpenEditorWindow(ptr)) return 0;
  OnEditorOpen();
  if (ResizeState()) ResizeState()->ApplyStoredSizeOnOpen();
  return 1;
}

VstIntPtr IEffectVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  IParameter* parameter = GetParameter(index);
  switch (opcode) {
    case effOpen:
      InitForHost();
      for (int i = 0; i < NumParameters(); ++i) OnParameterChange(i);
      return 0;
    case effSetProgram:
      if (!DoesStateChunks()) ModifyCurrentPreset();
      if (value >= 0 && value <= 0x7fffffff) LoadPreset(static_cast<int>(value));
      return 0;
    case effGetProgram:
      return CurrentPreset();
    case effSetProgramName:
      if (ptr) {
        ModifyCurrentPreset(static_cast<const char*>(ptr));
        OnPresetsChanged();
      }
      return 0;
    case effGetProgramName:
      CopyToHost(ptr, kVstMaxProgNameLen, PresetName(CurrentPreset()));
      return 0;
    case effGetParamLabel:
      if (parameter) CopyToHost(ptr, kParameterTextBytes, parameter->HostLabel());
      return 0;
    case effGetParamDisplay:
      if (parameter && ptr) parameter->FormatDisplay(parameter->Value(), false, static_cast<char*>(ptr), kParameterTextBytes);
      return 0;
    case effGetParamName:
      if (parameter) CopyToHost(ptr, kParameterTextBytes, parameter->Name());
      return 0;
    case effSetSampleRate:
      // SetSampleRate ignores a rate that is not positive and finite, and resets otherwise.
      SetSampleRate(opt);
      return 0;
    case effSetBlockSize:
      SetBlockSize(value > 0 && value <= kMaxBlockSize ? static_cast<int>(value) : 0);
      OnReset();
      return 0;
    case effMainsChanged:
      OnProcessingSwitch(value != 0);
      if (value == 0) OnReset();
      return 0;
    case effEditGetRect:
      if (!ptr || !Editor()) return 0;
      *static_cast<ERect**>(ptr) = &editorRect_;
      return 1;
    case effIdentify:
      return kIdentifyAnswer;
    case effGetChunk:
      return GetChunk(static_cast<void**>(ptr), index == 0);
    case effSetChunk:
      return SetChunk(ptr, value, index == 0);
    case effProcessEvents:
      return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated:
      return 1;
    case effString2Parameter:
      return StringToParameter(index, static_cast<const char*>(ptr));
    case effGetProgramNameIndexed:
      if (!ptr) return 0;
      CopyToHost(ptr, kVstMaxProgNameLen, PresetName(index));
      return *static_cast<const char*>(ptr) != '\0' ? 1 : 0;
    case effGetInputProperties:
    case effGetOutputProperties:
      return GetPinProperties(index, static_cast<VstPinProperties*>(ptr), opcode == effGetInputProperties);
    case effGetPlugCategory:
      return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetEffectName:
      CopyToHost(ptr, kVstMaxEffectNameLen, EffectName());
      return ptr ? 1 : 0;
    case effGetVendorString:
      CopyToHost(ptr, kVstMaxVendorStrLen, MakerName());
      return ptr ? 1 : 0;
    case effGetProductString:
      CopyToHost(ptr, kVstMaxProductStrLen, ProductName());
      return ptr ? 1 : 0;
    case effGetVendorVersion:
      return effect_.version;
    case effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return CanDo(static_cast<const char*>(ptr));
    case effGetTailSize:
      return TailSize();
    case effGetVstVersion:
      return kVstVersion;
    case effGetMidiKeyName: {
      auto* key = static_cast<MidiKeyName*>(ptr);
      if (!key) return 0;
      key->keyName[0] = '\0';
      return NameMidiNote(key->thisKeyNumber, key->keyName) ? 1 : 0;
    }
    case effGetSpeakerArrangement:
      if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
      if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
      return 1;
    default:  // effIdle, effProcessVarIo and everything unknown
      return 0;
  }
}

VstIntPtr IEffectVST::GetChunk(void** data, bool isBank) {
  if (!data) return 0;
  StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
  if (!WriteChunk(chunk, isBank) || chunk.Size() == 0) return 0;
  *data = const_cast<uint8_t*>(chunk.Data());
  return chunk.Size();
}

VstIntPtr IEffectVST::SetChunk(const void* data, VstIntPtr size, bool isBank) {
  if (!data || size < 0 || size > 0x7fffffff) return 0;
  StateChunk& chunk = isBank ? bankChunk_ : programChunk_;
  if (!chunk.Assign(data, static_cast<int>(size))) return 0;
  return ReadChunk(chunk, isBank) ? 1 : 0;
}

VstIntPtr IEffectVST::StringToParameter(int index, const char* text) {
  IParameter* parameter = GetParameter(index);
  if (!parameter) return 0;
  if (!text) return 1;
  double v = 0.0;
  if (parameter->DisplayTextCount() == 0) {
    v = std::strtod(text, nullptr);
    // "nan" and "inf" read as numbers, but they are no value for a parameter.
    if (!std::isfinite(v)) return 0;
    if (parameter->NegateDisplay()) v = -v;
  } else {
    int found = -1;
    for (int i = 0; i < parameter->DisplayTextCount() && found < 0; ++i) {
      if (std::strcmp(parameter->DisplayTextAt(i).text, text) == 0) found = i;
    }
    if (found < 0) return 0;
    v = parameter->DisplayTextAt(found).value;
  }
  if (Editor()) Editor()->PushParameterToControls(index, v, false);
  parameter->SetClamped(v);
  OnParameterChange(index);
  return 1;
}

VstIntPtr IEffectVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  VstEvent* const* entries = EventEntries(*events);
  for (int i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = entries[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      MidiMessage message;
      message.offset = midi->deltaFrames;
      message.status = static_cast<uint8_t>(midi->midiData[0]);
      message.data1 = static_cast<uint8_t>(midi->midiData[1]);
      message.data2 = static_cast<uint8_t>(midi->midiData[2]);
      HandleMidiMessage(message);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      SysExMessage message;
      message.offset = sysex->deltaFrames;
      message.size = sysex->dumpBytes;
      message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
      HandleSysEx(message);
    }
  }
  return 1;
}

VstIntPtr IEffectVST::GetPinProperties(int index, VstPinProperties* properties, bool isInput) {
  const int count = isInput ? NumInputChannels() : NumOutputChannels();
  if (!properties || index < 0 || index >= count) return 0;
  properties->flags = kVstPinIsActive;
  if (index % 2 == 0 && index < count - 1) properties->flags |= kVstPinIsStereo;
  const char* label = isInput ? GetInputChannel(index)->label.Get() : GetOutputChannel(index)->label.Get();
  if (*label) {
    CopyFixedText(properties->label, label);
  } else {
    std::snprintf(properties->label, sizeof(properties->label), "%s %d", isInput ? "Input" : "Output", index + 1);
  }
  return 1;
}

VstIntPtr IEffectVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                            const VstSpeakerArrangement* outputs) {
  if (inputs) {
    for (int i = 0; i < NumInputChannels(); ++i) SetInputConnected(i, i < inputs->numChannels);
  }
  if (outputs) {
    for (int i = 0; i < NumOutputChannels(); ++i) SetOutputConnected(i, i < outputs->numChannels);
  }
  return 1;
}

VstIntPtr IEffectVST::VendorSpecific(int index, VstIntPtr value, void* ptr, float opt) {
  IParameter* parameter = value >= 0 && value < NumParameters() ? GetParameter(static_cast<int>(value)) : nullptr;
  if (index == kVendorSpecificDisplayText) {
    if (!ptr) return 0;
    if (parameter) parameter->FormatDisplay(opt, true, static_cast<char*>(ptr), kParameterTextBytes);
    return kVendorSpecificAnswer;
  }
  if (index == kVendorSpecificIsQuantised) {
    return parameter && parameter->Type() != TypeDouble ? kVendorSpecificAnswer : 0;
  }
  if (index == kVendorSpecificReadMeters) {
    const int capacity = ptr && value > 0 ? static_cast<int>(std::min<VstIntPtr>(value, 0x7fffffff)) : 0;
    return ReadMeters(static_cast<double*>(ptr), capacity);
  }
  return 0;
}

VstIntPtr IEffectVST::CanDo(const char* text) const {
  if (!text) return 0;
  if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
  static constexpr const char* kMidiCapabilities[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                                      "receiveVstMidiEvent"};
  for (const char* midi : kMidiCapabilities) {
    if (std::strcmp(text, midi) == 0) return DoesMidi() ? 1 : 0;
  }
  return 0;
}

}  // namespace torvane
