#pragma once

#include <atomic>
#include <cmath>
#include <iterator>
#include <memory>

#include "dsp/StereoChain.h"
#include "effect/MeterScale.h"
#include "framework/IEffectBase.h"

namespace torvane {

// The effect: each channel is split into seven leveled and weighted bands,
// cleaned of sub-audio content, optionally dirtied, and both channels end in a
// stereo-linked look-ahead limiter. Created through the effect factory and
// owned by the adapter of the plug-in format a host loads; its hooks run under
// the plug-in lock on the audio thread (ProcessBlock) and the host's threads.
class Torvane final : public IEffectBase {
 public:
  enum Parameter {
    kProcess, kDirt, kSubBass, kLowBass, kHiBass, kFullness, kArticulation, kPresence, kTreble,
    kLfCut, kOutput, kInputTrim, kTransients, kChannel, kNumParameters
  };
  static constexpr int kNumMeters = 8;
  static constexpr int kNumToneBands = 7;
  // "LF Cut" choice i stands for this corner frequency in hertz.
  static constexpr double kLfCutFrequencies[] = {20, 30, 40, 50, 60, 70, 80, 90, 100};
  static constexpr int kNumLfCuts = static_cast<int>(std::size(kLfCutFrequencies));

  Torvane() noexcept;

  void OnReset() override;
  void OnParameterChange(int index) override;
  void ProcessBlock(const double* const* inputs, double* const* outputs, int frames) override;
  // An editor other than the one built with the effect has no meter controls of ours.
  void AttachEditor(std::unique_ptr<IEditor> editor) override;

  // Meter positions 0..1 (0.5 = 0 dB): the left channel's seven band gains, then the limiter's.
  double MeterValue(int meter) const noexcept { return meterValues_[meter]; }
  double OutputFactor() const noexcept { return outputFactor_; }
  // The editor's meter control for a meter, as a live reference to the
  // control's list index (attaching further controls renumbers them). The
  // editor renumbers on its window thread while this one reads on the audio
  // thread, hence the atomic.
  void SetMeterControl(int meter, const std::atomic<int>* controlIndex) noexcept;
  int ReadMeters(double* positions, int capacity) noexcept override;
  void ShowMeters(const double* positions, int count) noexcept override;
  // For tests and measurements: processes with the given instruction set's
  // kernel (every one gives the same output). False if this CPU lacks it.
  bool UseSimdPath(SimdPath path) noexcept { return chain_.UsePath(path); }

 private:
  void DefineParameters() noexcept;
  // The editor with its controls and resize controller, attached to the
  // effect (TorvaneEditorLayout.cpp).
  void BuildEditor();
  void SetupBands() noexcept;
  void UpdateMeters(bool signalPresent) noexcept;
  void PushMetersToEditor() noexcept;

  // Both channel processors and the limiter.
  StereoChain chain_;
  MeterScale meterScale_;

  double processAmount_ = 0.0;
  double outputGain_ = 0.0;
  double trimGain_ = 0.0;
  // Starts at 1 so that the output factor is finite (and 0) before the host
  // opens the effect and the parameters are applied.
  double trimCompensation_ = 1.0;
  double outputFactor_ = 0.0;
  bool stereo_ = false;
  bool transients_ = false;

  // The rate the parameter-dependent sections were last designed for.
  double designedRate_ = 44100.0;

  double meterValues_[kNumMeters] = {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};
  // Share of an idle meter's distance to the centre that one block takes back.
  double meterFall_ = 0.01;
  // Live references to the list indexes of the editor's meter controls, and
  // the editor they belong to.
  const std::atomic<int>* meterControl_[kNumMeters] = {};
  const IEditor* meterEditor_ = nullptr;
  // A host reads the meters: they follow every block even without an editor.
  bool metersRead_ = false;
};

}  // namespace torvane
