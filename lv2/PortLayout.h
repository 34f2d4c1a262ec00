#pragma once

#include <cstdint>

#include "framework/EditorSizeRecords.h"

namespace torvane {

class IEffectBase;

// The LV2 identities of the plug-in, its editor and its state.
constexpr char kLv2PluginUri[] = "urn:quillfen:torvane";
constexpr char kLv2UiUri[] = "urn:quillfen:torvane#editor";
constexpr char kLv2ProgramStateUri[] = "urn:quillfen:torvane#program";

// Meter positions (0..1, 0.5 = 0 dB) span this range; meter ports carry decibels.
constexpr double kMeterFloorDb = -20.0;
constexpr double kMeterSpanDb = 40.0;

// Where each port of the LV2 plug-in lies, derived from the effect's own
// counts so that the description, the plug-in and its editor agree: the audio
// inputs, the audio outputs, one control input per parameter in index order,
// one control output per meter, the latency output, and last the editor size
// records (view, width, height) as control inputs that hosts keep but do not
// show, through which the editor hands the size to the plug-in's state. A
// value type.
class PortLayout {
 public:
  explicit PortLayout(IEffectBase& effect) noexcept;

  uint32_t AudioInput(int channel) const noexcept { return static_cast<uint32_t>(channel); }
  uint32_t AudioOutput(int channel) const noexcept { return static_cast<uint32_t>(inputs_ + channel); }
  uint32_t Parameter(int index) const noexcept { return static_cast<uint32_t>(inputs_ + outputs_ + index); }
  uint32_t Meter(int meter) const noexcept { return Parameter(parameters_) + static_cast<uint32_t>(meter); }
  uint32_t Latency() const noexcept { return Meter(meters_); }
  uint32_t EditorSize(int record) const noexcept { return Latency() + 1 + static_cast<uint32_t>(record); }
  uint32_t Count() const noexcept { return EditorSize(EditorSizeRecords::kCount); }

  // The parameter a port carries, or -1.
  int ParameterOf(uint32_t port) const noexcept;
  // The meter a port carries, or -1.
  int MeterOf(uint32_t port) const noexcept;
  // The editor size record a port carries, or -1.
  int EditorSizeOf(uint32_t port) const noexcept;

  int Inputs() const noexcept { return inputs_; }
  int Outputs() const noexcept { return outputs_; }
  int Parameters() const noexcept { return parameters_; }
  int Meters() const noexcept { return meters_; }

 private:
  int inputs_;
  int outputs_;
  int parameters_;
  int meters_;
};

// A meter position as the decibels of its port.
inline float MeterPortValue(double position) noexcept {
  return static_cast<float>(kMeterFloorDb + position * kMeterSpanDb);
}

}  // namespace torvane
