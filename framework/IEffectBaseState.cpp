// The reading and writing of IEffectBase's state: the chunks a host keeps,
// the parameter values in them, and the presets of a bank.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/FixedText.h"
#include "framework/IEffectBase.h"
#include "framework/IResizeState.h"

namespace torvane {

namespace {
constexpr const char* kUserPresetName = "user preset";
}  // namespace

bool IEffectBase::WriteChunk(StateChunk& chunk, bool isBank) {
  bool ok = WriteChunkHeader(chunk);
  if (isBank) {
    ModifyCurrentPreset();
    ok = ok && SerializePresets(chunk);
  } else {
    ok = ok && WriteState(chunk);
  }
  return ok;
}

bool IEffectBase::ReadChunk(const StateChunk& chunk, bool isBank) {
  int position = 0;
  const int version = ReadChunkHeader(chunk, position);
  if (isBank && version >= kChunkVersion) {
    position = UnserializePresets(chunk, position);
  } else {
    position = ReadState(chunk, position);
    if (position >= 0) ModifyCurrentPreset();
  }
  if (position < 0) return false;
  RefreshEditorControls();
  return true;
}

bool IEffectBase::WriteState(StateChunk& chunk) { return SerializeParams(chunk); }

int IEffectBase::ReadState(const StateChunk& chunk, int start) { return UnserializeParams(chunk, start); }

bool IEffectBase::SerializeParams(StateChunk& chunk) {
  ScopedLock lock(lock_);
  bool ok = chunk.PutInt(NumParameters());
  if (storesEditorSize_) {
    for (int i = 0; i < EditorSizeRecords::kCount; ++i) ok = ok && chunk.PutDouble(editorSize_[i].Value());
  }
  for (int i = 0; ok && i < NumParameters(); ++i) ok = chunk.PutDouble(GetParameter(i)->Value());
  return ok;
}

int IEffectBase::ParseParams(const StateChunk& chunk, int start, ParsedParams* parsed) const noexcept {
  int32_t storedCount = 0;
  int position = chunk.GetInt(storedCount, start);
  if (position < 0 || storedCount < 0) return -1;
  // Two layouts share the header and the count: states written before the
  // editor size travelled in them hold exactly the count's values after it.
  // The bytes left tell them apart, so neither is ever read shifted.
  const int64_t bytesLeft = chunk.Size() - static_cast<int64_t>(position);
  const int64_t valueBytes = static_cast<int64_t>(storedCount) * 8;
  const int64_t sizeBytes = EditorSizeRecords::kCount * 8;
  const bool hasSize = storesEditorSize_ ? bytesLeft != valueBytes : bytesLeft == valueBytes + sizeBytes;
  double sizeValues[EditorSizeRecords::kCount] = {};
  if (hasSize) {
    for (double& value : sizeValues) position = chunk.GetDouble(value, position);
  }
  const int valuesToRead = std::min<int>(storedCount, NumParameters());
  for (int i = 0; position >= 0 && i < valuesToRead; ++i) {
    double value = 0.0;
    position = chunk.GetDouble(value, position);
    if (parsed) parsed->values[i] = value;
  }
  // Values beyond the parameters this build knows (a newer layout) are skipped.
  if (position >= 0 && storedCount > valuesToRead) {
    const int64_t end = position + static_cast<int64_t>(storedCount - valuesToRead) * 8;
    position = end <= chunk.Size() ? static_cast<int>(end) : -1;
  }
  if (position < 0) return -1;
  if (parsed) {
    parsed->hasSize = hasSize && storesEditorSize_;
    std::copy(sizeValues, sizeValues + EditorSizeRecords::kCount, parsed->sizeValues);
    parsed->valueCount = valuesToRead;
  }
  return position;
}

int IEffectBase::UnserializeParams(const StateChunk& chunk, int start) {
  ScopedLock lock(lock_);
  // Read everything first: a damaged chunk changes nothing.
  parsedState_.values = parsedValues_.Data();
  const int position = ParseParams(chunk, start, &parsedState_);
  if (position < 0) return -1;
  if (parsedState_.hasSize) {
    for (int i = 0; i < EditorSizeRecords::kCount; ++i) editorSize_[i].SetClamped(parsedState_.sizeValues[i]);
  }
  for (int i = 0; i < parsedState_.valueCount; ++i) GetParameter(i)->SetClamped(parsedState_.values[i]);
  CallParameterChangeForAll();
  return position;
}

int IEffectBase::SkipState(const StateChunk& chunk, int start) const { return ParseParams(chunk, start, nullptr); }

void IEffectBase::CallParameterChangeForAll() {
  for (int i = 0; i < NumParameters(); ++i) OnParameterChange(i);
}

bool IEffectBase::SerializePresets(StateChunk& chunk) {
  ScopedLock lock(lock_);
  bool ok = true;
  for (int i = 0; ok && i < NumPresets(); ++i) {
    const Preset* preset = presets_.Get(i);
    const int length = static_cast<int>(std::strlen(preset->name));
    ok = chunk.PutInt(length) && chunk.PutBytes(preset->name, length) &&
         chunk.PutByte(preset->initialised ? 1 : 0) && (!preset->initialised || chunk.PutChunk(preset->state));
  }
  return ok;
}

int IEffectBase::ReadPresetHeader(const StateChunk& chunk, int position, char* name, bool& initialised) const
    noexcept {
  int32_t length = 0;
  const int afterLength = chunk.GetInt(length, position);
  if (afterLength < 0 || length < 0 || static_cast<int64_t>(afterLength) + length > chunk.Size()) return -1;
  // Names longer than the preset's field are cut, never copied past it.
  const int kept = std::min<int>(length, kPresetNameBytes - 1);
  std::memcpy(name, chunk.Data() + afterLength, kept);
  name[kept] = '\0';
  uint8_t flag = 0;
  position = chunk.GetByte(flag, afterLength + length);
  initialised = flag != 0;
  return position;
}

int IEffectBase::UnserializePresets(const StateChunk& chunk, int start) {
  ScopedLock lock(lock_);
  char name[kPresetNameBytes] = {};
  bool initialised = false;
  // A bank is taken whole or not at all: every preset must read completely
  // before the first one changes.
  int position = start;
  for (int i = 0; i < NumPresets(); ++i) {
    position = ReadPresetHeader(chunk, position, name, initialised);
    if (position >= 0 && initialised) position = SkipState(chunk, position);
    if (position < 0) return -1;
  }
  position = start;
  for (int i = 0; i < NumPresets(); ++i) {
    Preset* preset = presets_.Get(i);
    position = ReadPresetHeader(chunk, position, name, initialised);
    CopyFixedText(preset->name, name);
    preset->initialised = initialised;
    if (initialised) {
      position = ReadState(chunk, position);
      preset->state.Clear();
      WriteState(preset->state);
    }
  }
  LoadPreset(currentPreset_);
  return position;
}

void IEffectBase::ModifyCurrentPreset(const char* newName) {
  ScopedLock lock(lock_);
  Preset* preset = presets_.Get(currentPreset_);
  if (!preset) return;
  preset->state.Clear();
  WriteState(preset->state);
  if (newName && *newName) CopyFixedText(preset->name, newName);
}

int IEffectBase::CountPresetsNamedLike(const char* text) const noexcept {
  int count = 0;
  for (int i = 0; i < NumPresets(); ++i) {
    if (std::strstr(presets_.Get(i)->name, text)) ++count;
  }
  return count;
}

bool IEffectBase::LoadPreset(int index) {
  ScopedLock lock(lock_);
  Preset* preset = presets_.Get(index);
  if (!preset) return false;
  bool ok;
  if (preset->initialised) {
    ok = ReadState(preset->state, 0) > 0;
  } else {
    preset->initialised = true;
    std::snprintf(preset->name, sizeof(preset->name), "%s %d", kUserPresetName,
                  CountPresetsNamedLike(kUserPresetName) + 1);
    preset->state.Clear();
    ok = WriteState(preset->state);
  }
  if (ok) {
    currentPreset_ = index;
    OnPresetsChanged();
    RefreshEditorControls();
  }
  return ok;
}

const char* IEffectBase::PresetName(int index) const noexcept {
  const Preset* preset = presets_.Get(index);
  return preset ? preset->name : "";
}

void IEffectBase::FillDefaultPresets(const char* name, int count) {
  ScopedLock lock(lock_);
  for (int n = 0; n < count; ++n) {
    Preset* empty = nullptr;
    for (int i = 0; i < NumPresets() && !empty; ++i) {
      if (!presets_.Get(i)->initialised) empty = presets_.Get(i);
    }
    if (!empty) return;
    empty->initialised = true;
    CopyFixedText(empty->name, name && *name ? name : "Empty");
    empty->state.Clear();
    WriteState(empty->state);
  }
}

}  // namespace torvane
