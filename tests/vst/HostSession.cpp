#include "HostSession.h"

#include <cmath>

namespace torvane {

namespace {
constexpr int kChannelParameter = 13;
constexpr double kPi = 3.141592653589793;

template <typename Sample>
bool AllFinite(const std::vector<Sample>& samples) {
  for (Sample s : samples) {
    if (!std::isfinite(s)) return false;
  }
  return true;
}
}  // namespace

VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

BlockRunner::BlockRunner(int frames)
    : frames_(frames),
      input_(frames),
      left_(frames),
      right_(frames),
      inputDouble_(frames),
      leftDouble_(frames),
      rightDouble_(frames) {}

bool BlockRunner::Run(AEffect* effect, int block) {
  // A 55 Hz note with its octave, decaying over a few hundred milliseconds and
  // plucked again every 64 blocks.
  for (int i = 0; i < frames_; ++i) {
    const double t = ((block % 64) * frames_ + i) / 48000.0;
    input_[i] =
        static_cast<float>(0.6 * std::exp(-4.0 * t) * (std::sin(2 * kPi * 55 * t) + 0.4 * std::sin(2 * kPi * 110 * t)));
    inputDouble_[i] = input_[i];
  }
  float* inputs[] = {input_.data(), input_.data()};
  float* outputs[] = {left_.data(), right_.data()};
  double* inputsDouble[] = {inputDouble_.data(), inputDouble_.data()};
  double* outputsDouble[] = {leftDouble_.data(), rightDouble_.data()};
  bool finite = true;
  switch (block % 3) {
    case 0:
      effect->processReplacing(effect, inputs, outputs, frames_);
      break;
    case 1:
      // The host's mix that an accumulating call adds to.
      for (int i = 0; i < frames_; ++i) left_[i] = right_[i] = 0.125f;
      effect->process(effect, inputs, outputs, frames_);
      break;
    default:
      effect->processDoubleReplacing(effect, inputsDouble, outputsDouble, frames_);
      finite = AllFinite(leftDouble_) && AllFinite(rightDouble_);
      for (int i = 0; i < frames_; ++i) energy_ += std::fabs(leftDouble_[i]) + std::fabs(rightDouble_[i]);
      return finite;
  }
  for (int i = 0; i < frames_; ++i) energy_ += std::fabs(left_[i]) + std::fabs(right_[i]);
  return AllFinite(left_) && AllFinite(right_);
}

bool PlayShortSession(PluginLibrary& library, int cycle) {
  AEffect* effect = library.CreateEffect(QuietHost);
  if (!effect) return false;
  const float rates[] = {44100.0f, 48000.0f, 96000.0f};
  const int blockSizes[] = {64, 256, 512};
  const int blockSize = blockSizes[cycle % 3];
  effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rates[cycle / 3 % 3]);
  effect->dispatcher(effect, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
  effect->setParameter(effect, kChannelParameter, cycle % 2 ? 1.0f : 0.0f);
  effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
  BlockRunner runner(blockSize);
  bool finite = true;
  for (int block = 0; block < 3; ++block) finite = runner.Run(effect, block) && finite;
  effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  return finite;
}

}  // namespace torvane
