// State and preset serialisation of IEffectBase.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/FixedText.h"
#include "framework/IEffectBase.h"
#include "framework/IResizeState.h"

namespace torvane {

namespace {
constexpr const char* kUserPresetName = "user preset";
}  // namespace

bool IEffectBase::SerializeParams(StateChunk& chunk) {
  ScopedLock lock(lock_);
  bool ok = chunk.PutInt(NumParameters());
  if (resizeState_) {
    for (int i = 0; i < resizeState_->StateParameterCount(); ++i) {
      ok = ok && chunk.PutDouble(resizeState_->StateParameter(i)->Value());
    }
  }
  for (int i = 0; ok && i < NumParameters(); ++i) ok = chunk.PutDouble(GetParameter(i)->Value());
  return ok;
}

int IEffectBase::UnserializeParams(const StateChunk& chunk, int start) {
  ScopedLock lock(lock_);
  int32_t storedCount = NumParameters();
  int position = chunk.GetInt(storedCount, start);
  if (position < 0) storedCount = NumParameters();
  const int valuesToRead = std::min<int>(storedCount, NumParameters());

  if (resizeState_) {
    for (int i = 0; i < resizeState_->StateParameterCount(); ++i) {
      double value = 0.0;
      position = chunk.GetDouble(value, position);
      if (position < 0) value = 0.0;
      resizeState_->StateParameter(i)->SetClamped(value);
    }
  }
  for (int i = 0; position >= 0 && i < valuesToRead; ++i) {
    double value = 0.0;
    position = chunk.GetDouble(value, position);
    if (position < 0) value = 0.0;
    GetParameter(i)->SetClamped(value);
  }
  CallParameterChangeForAll();
  return position;
}

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

int IEffectBase::UnserializePresets(const StateChunk& chunk, int start) {
  ScopedLock lock(lock_);
  int position = start;
  char nameRead[kPresetNameBytes] = {};
  for (int i = 0; i < NumPresets() && position >= 0; ++i) {
    Preset* preset = presets_.Get(i);
    int32_t length = 0;
    const int afterLength = chunk.GetInt(length, position);
    if (afterLength < 0 || length < 0 || static_cast<int64_t>(afterLength) + length > chunk.Size()) {
      position = -1;  // the name runs past the end: nothing after it can be read
    } else {
      if (length > 0) {
        // Names longer than the preset's field are cut, never copied past it.
        const int kept = std::min<int>(length, kPresetNameBytes - 1);
        std::memcpy(nameRead, chunk.Data() + afterLength, kept);
        nameRead[kept] = '\0';
      }
      position = afterLength + length;
    }
    CopyFixedText(preset->name, nameRead);

    uint8_t flag = 0;
    position = chunk.GetByte(flag, position);
    if (position >= 0) preset->initialised = flag != 0;

    if (preset->initialised) {
      position = ReadState(chunk, position);
      if (position > 0) {
        preset->state.Clear();
        WriteState(preset->state);
      }
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
