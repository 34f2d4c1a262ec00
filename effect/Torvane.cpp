#include "effect/Torvane.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>

#include "framework/IEditor.h"
#include "framework/EffectFactory.h"
#include "framework/FourCharCode.h"

namespace torvane {

namespace {
constexpr const char* kLfCutTexts[] = {"20 Hz", "30 Hz", "40 Hz", "50 Hz", "60 Hz",
                                       "70 Hz", "80 Hz", "90 Hz", "100 Hz"};
constexpr double kTrimGainTable[] = {0.5, 1, 2};
// Divides the trim back out of the output, so the trims change the drive into
// the bands and the limiter more than the level.
constexpr double kTrimCompensationTable[] = {0.708, 1, 1.41};
constexpr const char* kTrimTexts[] = {"-6 dB", "0 dB", "+6 dB"};
constexpr double kOutputMakeup = 1.41;
// exp(v * kDbToNaturalLog) = 10^(v / 20)
constexpr double kDbToNaturalLog = 0.1151292546497;
constexpr double kSignalThreshold = 0.001;

template <typename T, size_t N>
constexpr int Count(const T (&)[N]) {
  return static_cast<int>(N);
}
}  // namespace

Torvane::Torvane() noexcept
    : IEffectBase(kNumParameters, "1-1 2-2", 1, "Torvane", "", "Quillfen",
                 FourCharCode('T', 'V', 'N', '1'), 0x10000) {
  DefineParameters();
  // The editor can be resized, so every state carries its size.
  StoreEditorSizeInState();
  BuildEditor();
  FillDefaultPresets("-", 1);
  // Hosts read the latency right after loading; it is fixed by the look-ahead.
  SetLatency(LookaheadLimiter::kLookahead);
}

void Torvane::DefineParameters() noexcept {
  GetParameter(kProcess)->DefineDouble("Process", 0.0, 0.0, 10.0, 0.1, "", 1.0);
  GetParameter(kDirt)->DefineDouble("Dirt", 0.0, 0.0, 10.0, 0.1, "", 1.0);
  const char* toneNames[] = {"Sub Bass", "Low Bass", "Hi Bass", "Fullness", "Articulation", "Presence", "Treble"};
  for (int band = 0; band < kNumToneBands; ++band) {
    GetParameter(kSubBass + band)->DefineDouble(toneNames[band], 0.0, -10.0, 10.0, 0.1, "dB", 1.0);
  }
  IParameter* lfCut = GetParameter(kLfCut);
  lfCut->DefineEnum("LF Cut", 1, kNumLfCuts);
  for (int i = 0; i < Count(kLfCutTexts); ++i) lfCut->AddDisplayText(i, kLfCutTexts[i]);
  GetParameter(kOutput)->DefineDouble("Output", 0.0, -20.0, 20.0, 0.1, "dB", 1.0);
  IParameter* trim = GetParameter(kInputTrim);
  trim->DefineEnum("Input Trim", 1, Count(kTrimTexts));
  for (int i = 0; i < Count(kTrimTexts); ++i) trim->AddDisplayText(i, kTrimTexts[i]);
  GetParameter(kTransients)->DefineBool("Transients", false);
  IParameter* channel = GetParameter(kChannel);
  channel->DefineEnum("Channel", 0, 2);
  channel->AddDisplayText(0, "Mono");
  channel->AddDisplayText(1, "Stereo");
}

void Torvane::OnReset() {
  ScopedLock lock(Lock());
  const double fs = SampleRate();
  chain_.Left().Reset(fs);
  chain_.Right().Reset(fs);
  chain_.Limiter().Reset(fs);
  // The sections that follow "Process", "Fullness" and "LF Cut" keep the design
  // of their last change. A host that opens the effect before telling it the
  // rate would otherwise run them at the wrong corners and times until the
  // user touches those parameters, so a new rate redesigns them.
  if (fs != designedRate_) {
    designedRate_ = fs;
    for (int index : {kProcess, kFullness, kLfCut}) OnParameterChange(index);
  }
  SetLatency(LookaheadLimiter::kLookahead);
  // One block moves an idle meter by this share of its distance to the centre
  // (a time constant of about a second); a block longer than a second moves
  // it all the way, never past the centre.
  meterFall_ = std::min(1.0, BlockSize() / fs);
}

void Torvane::SetupBands() noexcept {
  const int transients = transients_ ? 1 : 0;
  chain_.Left().SetupBands(processAmount_, transients);
  chain_.Right().SetupBands(processAmount_, transients);
  chain_.Limiter().Setup(processAmount_, transients);
}

void Torvane::OnParameterChange(int index) {
  ScopedLock lock(Lock());
  const IParameter* parameter = GetParameter(index);
  const double v = parameter ? parameter->Value() : 0.0;
  bool notifyEditor = true;
  switch (index) {
    case kProcess:
      processAmount_ = parameter->GetPosition();
      SetupBands();
      break;
    case kDirt: {
      const double amount = parameter->GetPosition();
      chain_.Left().SetDirt(amount);
      chain_.Right().SetDirt(amount);
      break;
    }
    case kSubBass:
    case kLowBass:
    case kHiBass:
    case kFullness:
    case kArticulation:
    case kPresence:
    case kTreble:
      chain_.Left().SetTone(index - kSubBass, v);
      chain_.Right().SetTone(index - kSubBass, v);
      break;
    case kLfCut: {
      const double hz = kLfCutFrequencies[std::clamp(static_cast<int>(v), 0, kNumLfCuts - 1)];
      chain_.Left().SetLfCut(hz);
      chain_.Right().SetLfCut(hz);
      break;
    }
    case kOutput:
      outputGain_ = std::exp(v * kDbToNaturalLog);
      break;
    case kInputTrim: {
      const int i = std::clamp(static_cast<int>(v), 0, Count(kTrimGainTable) - 1);
      trimGain_ = kTrimGainTable[i];
      trimCompensation_ = kTrimCompensationTable[i];
      notifyEditor = false;
      break;
    }
    case kTransients:
      transients_ = v >= 0.5;
      SetupBands();
      notifyEditor = false;
      break;
    case kChannel: {
      const bool stereo = static_cast<int>(v) != 0;
      if (stereo && !stereo_) {
        // The right channel sat idle through mono processing: it comes back
        // fresh instead of replaying filter, envelope and delay state from
        // whenever stereo was last left.
        chain_.Right().ClearState();
        chain_.Limiter().ClearRightDelay();
      }
      stereo_ = stereo;
      notifyEditor = false;
      break;
    }
    default:
      notifyEditor = false;
      break;
  }
  if (notifyEditor && Editor()) Editor()->PushParameterToControls(index, v, false);
  outputFactor_ = (1.0 / trimCompensation_) * kOutputMakeup * outputGain_;
}

void Torvane::ProcessBlock(const double* const* inputs, double* const* outputs, int frames) {
  if (frames <= 0) return;
  const bool signalPresent = std::max(std::fabs(inputs[0][0]), std::fabs(inputs[1][0])) > kSignalThreshold;
  // The trim is applied as each sample is read, never written back: in double
  // precision the inputs are the host's own buffers, which it may still use.
  chain_.ProcessBlock({inputs, outputs, frames, trimGain_, outputFactor_, stereo_});
  // The meters follow every block for the editor, which the effect builds
  // with itself, and for hosts that ask for them; nobody else looks.
  if (Editor() || metersRead_) UpdateMeters(signalPresent);
}

void Torvane::AttachEditor(std::unique_ptr<IEditor> editor) {
  // The references point into the editor this one replaces, which goes now;
  // the audio thread reads them under the same lock.
  ScopedLock lock(Lock());
  if (editor && editor.get() != meterEditor_) {
    std::fill(std::begin(meterControl_), std::end(meterControl_), nullptr);
    meterEditor_ = nullptr;
  }
  IEffectBase::AttachEditor(std::move(editor));
}

void Torvane::SetMeterControl(int meter, const std::atomic<int>* controlIndex) noexcept {
  if (meter >= 0 && meter < kNumMeters) meterControl_[meter] = controlIndex;
}

void Torvane::UpdateMeters(bool signalPresent) noexcept {
  if (signalPresent) {
    for (int band = 0; band < kNumToneBands; ++band) {
      meterValues_[band] = meterScale_.Position(1.0 / chain_.Left().BandDivisor(band));
    }
    meterValues_[kNumMeters - 1] = meterScale_.Position(1.0 / chain_.Limiter().LastDivisor());
  } else {
    for (double& value : meterValues_) value = value - (value - 0.5) * meterFall_;
  }
  PushMetersToEditor();
}

void Torvane::PushMetersToEditor() noexcept {
  IEditor* editor = Editor();
  if (!editor) return;
  for (int k = 0; k < kNumMeters; ++k) {
    const int control = meterControl_[k] ? meterControl_[k]->load(std::memory_order_relaxed) : -1;
    if (control >= 0 && control < editor->ControlCount()) editor->SetControlValueFromEffect(control, meterValues_[k]);
  }
}

void Torvane::ShowMeters(const double* positions, int count) noexcept {
  ScopedLock lock(Lock());
  for (int k = 0; k < std::min(count, kNumMeters); ++k) {
    meterValues_[k] = std::isfinite(positions[k]) ? std::clamp(positions[k], 0.0, 1.0) : 0.5;
  }
  PushMetersToEditor();
}

int Torvane::ReadMeters(double* positions, int capacity) noexcept {
  metersRead_ = true;
  for (int k = 0; k < std::min(capacity, kNumMeters); ++k) positions[k] = meterValues_[k];
  return kNumMeters;
}

std::unique_ptr<IEffectBase> CreateEffect() noexcept {
  return std::unique_ptr<IEffectBase>(new (std::nothrow) Torvane);
}

}  // namespace torvane
