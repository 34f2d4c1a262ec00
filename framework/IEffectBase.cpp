#include "framework/IEffectBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/FixedText.h"
#include "core/ScopedFlushToZero.h"
#include "framework/HostBufferBinding.h"
#include "framework/IEditor.h"
#include "framework/IResizeState.h"

namespace torvane {

IEffectBase::IEffectBase(int parameterCount, const char* channelIO, int presetCount, const char* effectName,
                         const char* productName, const char* makerName, int32_t uniqueId,
                         uint32_t version) noexcept
    : uniqueId_(uniqueId), version_(version) {
  for (int i = 0; i < parameterCount; ++i) parameters_.Add(new IParameter);
  parsedValues_.ResizeZeroFilled(NumParameters());
  for (int i = 0; i < presetCount; ++i) presets_.Add(new Preset);
  CopyFixedText(effectName_, effectName);
  CopyFixedText(productName_, productName);
  CopyFixedText(makerName_, makerName);
  ParseChannelIO(channelIO);
}

IEffectBase::~IEffectBase() = default;

void IEffectBase::ParseChannelIO(const char* channelIO) {
  int maxInputs = 0, maxOutputs = 0;
  for (const char* p = channelIO; p && *p;) {
    ChannelIO io{0, 0};
    std::sscanf(p, "%d-%d", &io.inputs, &io.outputs);
    channelIO_.Add(io);
    maxInputs = std::max(maxInputs, io.inputs);
    maxOutputs = std::max(maxOutputs, io.outputs);
    p = std::strchr(p, ' ');
    if (p) ++p;
  }
  inputPointers_.ResizeZeroFilled(maxInputs);
  outputPointers_.ResizeZeroFilled(maxOutputs);
  for (int i = 0; i < inputPointers_.Count(); ++i) {
    if (auto* channel = inputs_.Add(new InputChannel)) channel->slot = i;
  }
  for (int i = 0; i < outputPointers_.Count(); ++i) {
    if (auto* channel = outputs_.Add(new OutputChannel)) channel->slot = i;
  }
}

bool IEffectBase::LegalIO(int inputCount) const noexcept {
  for (int i = 0; i < channelIO_.Count(); ++i) {
    if (channelIO_[i].inputs == inputCount) return true;
  }
  return false;
}

void IEffectBase::OnReset() { ScopedLock lock(lock_); }

void IEffectBase::OnParameterChange(int /*index*/) { ScopedLock lock(lock_); }

void IEffectBase::OnProcessingSwitch(bool /*on*/) { ScopedLock lock(lock_); }

void IEffectBase::ProcessBlock(const double* const* inputs, double* const* outputs, int frames) {
  const int channels = NumOutputChannels();
  for (int i = 0; i < channels; ++i) {
    if (i < NumInputChannels()) {
      std::memmove(outputs[i], inputs[i], sizeof(double) * std::max(frames, 0));
    } else {
      std::fill(outputs[i], outputs[i] + std::max(frames, 0), 0.0);
    }
  }
}

void IEffectBase::HandleMidiMessage(const MidiMessage& message) { ForwardMidiMessage(message); }

bool IEffectBase::NameMidiNote(int /*note*/, char* out) {
  if (out) *out = '\0';
  return false;
}

void IEffectBase::SetParameterFromEditor(int index, double position) {
  {
    ScopedLock lock(lock_);
    IParameter* parameter = GetParameter(index);
    if (!parameter) return;
    parameter->SetFromPosition(position);
    OnParameterChange(index);
  }
  NotifyHostOfParameter(index, position);
}

void IEffectBase::AttachEditor(std::unique_ptr<IEditor> editor) {
  if (!editor) return;
  ScopedLock lock(lock_);
  // A controller belongs to the editor it was set for. One left from an
  // earlier attach goes with the editor this one replaces.
  if (!resizeStateForNextEditor_) resizeState_ = nullptr;
  resizeStateForNextEditor_ = false;
  editor->PrepareSurface();
  if (resizeState_) resizeState_->AttachToEditor();
  for (int i = 0; i < NumParameters(); ++i) {
    editor->PushParameterToControls(i, GetParameter(i)->GetPosition(), true);
  }
  editor_ = std::move(editor);
}

void IEffectBase::RefreshEditorControls() {
  if (!editor_) return;
  for (int i = 0; i < NumParameters(); ++i) {
    editor_->PushParameterToControls(i, GetParameter(i)->Value(), false);
  }
}

void IEffectBase::SetLatency(int samples) { latency_ = samples; }

void IEffectBase::SetBlockSize(int frames) {
  if (frames == blockSize_ || frames <= 0 || frames > kMaxBlockSize) return;
  ScopedLock lock(lock_);
  bool resized = true;
  for (int i = 0; i < NumInputChannels(); ++i) resized = inputs_.Get(i)->scratch.ResizeZeroFilled(frames) && resized;
  for (int i = 0; i < NumOutputChannels(); ++i) resized = outputs_.Get(i)->scratch.ResizeZeroFilled(frames) && resized;
  if (!resized) {
    // Out of memory: every scratch buffer goes back to the size still in use.
    for (int i = 0; i < NumInputChannels(); ++i) inputs_.Get(i)->scratch.ResizeZeroFilled(blockSize_);
    for (int i = 0; i < NumOutputChannels(); ++i) outputs_.Get(i)->scratch.ResizeZeroFilled(blockSize_);
    return;
  }
  blockSize_ = frames;
  for (int i = 0; i < NumInputChannels(); ++i) {
    GrowableArray<double>& scratch = inputs_.Get(i)->scratch;
    std::fill(scratch.Data(), scratch.Data() + frames, 0.0);
    // A disconnected channel's slot must follow its (possibly moved) scratch buffer.
    if (!inputs_.Get(i)->connected) SetInputConnected(i, false);
  }
  for (int i = 0; i < NumOutputChannels(); ++i) {
    GrowableArray<double>& scratch = outputs_.Get(i)->scratch;
    std::fill(scratch.Data(), scratch.Data() + frames, 0.0);
    if (!outputs_.Get(i)->connected) SetOutputConnected(i, false);
  }
}

void IEffectBase::SetSampleRate(double rate) {
  if (!std::isfinite(rate) || rate <= 0.0) return;
  {
    ScopedLock lock(lock_);
    sampleRate_ = rate;
  }
  OnReset();
}

void IEffectBase::SetInputConnected(int channel, bool connected) noexcept {
  InputChannel* input = inputs_.Get(channel);
  if (!input) return;
  ScopedLock lock(lock_);
  input->connected = connected;
  if (!connected) {
    std::fill(input->scratch.Data(), input->scratch.Data() + input->scratch.Count(), 0.0);
    inputPointers_[input->slot] = input->scratch.Data();
  }
}

void IEffectBase::SetOutputConnected(int channel, bool connected) noexcept {
  OutputChannel* output = outputs_.Get(channel);
  if (!output) return;
  ScopedLock lock(lock_);
  output->connected = connected;
  if (!connected) outputPointers_[output->slot] = output->scratch.Data();
}

// --- processing entry -------------------------------------------------------

void IEffectBase::BindInputBuffers(const float* const* inputs, int offset, int frames) noexcept {
  HostBufferBinding<const float>(inputs).ForEachConnected(inputs_, [&](InputChannel& channel, const float* source) {
    double* scratch = channel.scratch.Data();
    if (source) {
      for (int f = 0; f < frames; ++f) scratch[f] = source[offset + f];
    } else {
      std::fill(scratch, scratch + frames, 0.0);
    }
    inputPointers_[channel.slot] = scratch;
  });
}

void IEffectBase::BindOutputBuffers(float* const* outputs, int offset) noexcept {
  HostBufferBinding<float>(outputs).ForEachConnected(outputs_, [&](OutputChannel& channel, float* destination) {
    channel.hostBuffer = destination ? destination + offset : nullptr;
    outputPointers_[channel.slot] = channel.scratch.Data();
  });
}

void IEffectBase::RunBlock(int frames, bool accumulate) noexcept {
  ProcessBlock(inputPointers_.Data(), outputPointers_.Data(), frames);
  for (int i = 0; i < NumOutputChannels(); ++i) {
    OutputChannel* channel = outputs_.Get(i);
    if (!channel->connected || !channel->hostBuffer) continue;
    const double* scratch = channel->scratch.Data();
    float* host = channel->hostBuffer;
    if (accumulate) {
      for (int f = 0; f < frames; ++f) host[f] = static_cast<float>(scratch[f]) + host[f];
    } else {
      for (int f = 0; f < frames; ++f) host[f] = static_cast<float>(scratch[f]);
    }
  }
}

template <typename Sample>
void IEffectBase::SilenceOutputs(Sample* const* outputs, int frames) noexcept {
  HostBufferBinding<Sample>(outputs).ForEachConnected(outputs_, [&](OutputChannel&, Sample* destination) {
    if (destination) std::fill(destination, destination + frames, Sample(0));
  });
}

void IEffectBase::ProcessFloat(const float* const* inputs, float* const* outputs, int frames, bool accumulate) {
  if (frames < 0) return;
  ScopedFlushToZero flushToZero;
  ScopedLock lock(lock_);
  if (blockSize_ <= 0) {
    // No scratch buffers to convert into: a replacing call still owes the host silence.
    if (!accumulate) SilenceOutputs(outputs, frames);
    return;
  }
  int offset = 0;
  do {
    const int chunk = std::min(frames - offset, blockSize_);
    BindInputBuffers(inputs, offset, chunk);
    BindOutputBuffers(outputs, offset);
    RunBlock(chunk, accumulate);
    offset += chunk;
  } while (offset < frames);
}

void IEffectBase::ProcessDoubleChunk(const double* const* inputs, double* const* outputs, int offset,
                                     int frames) noexcept {
  HostBufferBinding<const double>(inputs).ForEachConnected(inputs_, [&](InputChannel& channel, const double* source) {
    if (source) {
      inputPointers_[channel.slot] = source + offset;
    } else {
      std::fill(channel.scratch.Data(), channel.scratch.Data() + frames, 0.0);
      inputPointers_[channel.slot] = channel.scratch.Data();
    }
  });
  HostBufferBinding<double>(outputs).ForEachConnected(outputs_, [&](OutputChannel& channel, double* destination) {
    outputPointers_[channel.slot] = destination ? destination + offset : channel.scratch.Data();
  });
  ProcessBlock(inputPointers_.Data(), outputPointers_.Data(), frames);
}

void IEffectBase::ProcessDouble(const double* const* inputs, double* const* outputs, int frames) {
  if (frames < 0) return;
  ScopedFlushToZero flushToZero;
  ScopedLock lock(lock_);
  // The host's buffers go to ProcessBlock whole. Where a scratch buffer stands
  // in (a missing host buffer, a channel that is not connected), the call is
  // split so that no block exceeds the scratch buffers' length.
  const bool hostCoversAll = HostBufferBinding<const double>(inputs).CoversEveryChannel(inputs_) &&
                             HostBufferBinding<double>(outputs).CoversEveryChannel(outputs_);
  if (hostCoversAll || frames <= blockSize_) {
    ProcessDoubleChunk(inputs, outputs, 0, frames);
    return;
  }
  if (blockSize_ <= 0) {
    SilenceOutputs(outputs, frames);
    return;
  }
  for (int offset = 0; offset < frames; offset += blockSize_) {
    ProcessDoubleChunk(inputs, outputs, offset, std::min(frames - offset, blockSize_));
  }
}

}  // namespace torvane
