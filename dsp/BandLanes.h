#pragma once

#include "dsp/DspCommon.h"

namespace torvane {

// The seven band chains of one channel (band-pass filter, leveling envelope,
// divisor and tone gain) laid out structure-of-arrays: one array per
// coefficient or state, lane b holding band b, so that the block kernels can
// run all bands, and both channels, in vector lanes. Owned by a
// ChannelProcessor; designed from the reset and parameter paths and stepped on
// the audio thread, both under the plug-in lock.
struct BandLanes {
  static constexpr int kBands = 7;
  // Seven bands and one idle lane: whole vectors of 2, 4 or 8 doubles. The
  // idle lane's coefficients stay 0 and its offset 1, so it stays silent.
  static constexpr int kLanes = 8;

  // One attack/release stage of the leveling envelope, per lane.
  struct Stage {
    alignas(64) double attackCoef[kLanes] = {};
    alignas(64) double attackGain[kLanes] = {};
    alignas(64) double releaseCoef[kLanes] = {};
    alignas(64) double releaseGain[kLanes] = {};
    alignas(64) double state[kLanes] = {};
  };

  // Stores the rate in every band and designs the envelope's two smoothing
  // stages; the filters and the first stage keep their design until designed
  // again.
  void Reset(double hz) noexcept;
  void DesignBandpass(int band, double hz, double q) noexcept;
  // The band's own attack and release (first stage).
  void SetTimes(int band, double attackMs, double releaseMs) noexcept;

  // Back to the state of new bands; designs and settings stay.
  void ClearState() noexcept;
  bool HasFiniteState() const noexcept;

  // Band-pass filters, direct form I: coefficients divided by a0, then the
  // previous two inputs and outputs.
  alignas(64) double b0[kLanes] = {};
  alignas(64) double b1[kLanes] = {};
  alignas(64) double b2[kLanes] = {};
  alignas(64) double a1[kLanes] = {};
  alignas(64) double a2[kLanes] = {};
  alignas(64) double x1[kLanes] = {};
  alignas(64) double x2[kLanes] = {};
  alignas(64) double y1[kLanes] = {};
  alignas(64) double y2[kLanes] = {};
  // Leveling: |band| x drive passes the three envelope stages; the band is
  // divided by envelope + offset and weighted by its tone gain. The second
  // and third stage rise at once (Reset designs them so).
  alignas(64) double drive[kLanes] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  Stage stages[3];
  alignas(64) double offset[kLanes] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  alignas(64) double lastDivisor[kLanes] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  alignas(64) double gain[kLanes] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};

  // The rate of the next design.
  double sampleRate = kDefaultSampleRate;
};

}  // namespace torvane
