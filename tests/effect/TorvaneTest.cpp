// The effect's parameters, their mapping onto the signal chain, the output
// factor, mono and stereo processing and the meters.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "EffectHarness.h"
#include "core/ScopedFlushToZero.h"
#include "editor/IGraphics.h"
#include "editor/IHBiDirMeterControl.h"
#include "support/EditorDoubles.h"
#include "vst/MeterRequest.h"

namespace torvane {

namespace {
std::string Display(Torvane& effect, int index) {
  char text[64];
  const IParameter* p = effect.GetParameter(index);
  p->FormatDisplay(p->Value(), false, text, sizeof text);
  return text;
}

// The chain the effect should build from its parameters, assembled from the
// building blocks; the output factor is the effect's own (its law is below).
struct ReferenceChain {
  ReferenceChain(double fs, double process, int transients, const double tones[7], double fullness, double lfCutHz,
                 double dirt, double trimGain, double outputFactor)
      : trim(trimGain), factor(outputFactor) {
    for (ChannelProcessor& channel : channels) {
      channel.Reset(fs);
      channel.SetupBands(process, transients);
      for (int b = 0; b < 7; ++b) channel.SetTone(b, b == ChannelProcessor::kFullnessBand ? fullness : tones[b]);
      channel.SetLfCut(lfCutHz);
      channel.SetDirt(dirt);
    }
    limiter.Reset(fs);
    limiter.Setup(process, transients);
  }

  std::vector<double> Mono(const std::vector<double>& in) {
    std::vector<double> out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
      limiter.ProcessMono(channels[0].ProcessSample(in[i] * trim));
      out[i] = limiter.OutLeft() * factor;
    }
    return out;
  }

  void Stereo(const std::vector<double>& inLeft, const std::vector<double>& inRight, std::vector<double>& outLeft,
              std::vector<double>& outRight) {
    outLeft.resize(inLeft.size());
    outRight.resize(inLeft.size());
    for (size_t i = 0; i < inLeft.size(); ++i) {
      const double l = channels[0].ProcessSample(inLeft[i] * trim);
      const double r = channels[1].ProcessSample(inRight[i] * trim);
      limiter.ProcessStereo(l, r);
      outLeft[i] = limiter.OutLeft() * factor;
      outRight[i] = limiter.OutRight() * factor;
    }
  }

  ChannelProcessor channels[2];
  LookaheadLimiter limiter;
  double trim;
  double factor;
};

const double kFlat[7] = {};
}  // namespace

TEST(TorvaneParameters, MatchTheirPublishedDefinitions) {
  Torvane effect(nullptr);
  struct Row {
    const char* name;
    double min, max, step, defaultValue;
    const char* label;
    ParameterType type;
  };
  const Row rows[] = {
      {"Process", 0, 10, 0.1, 0, "", TypeDouble},      {"Dirt", 0, 10, 0.1, 0, "", TypeDouble},
      {"Sub Bass", -10, 10, 0.1, 0, "dB", TypeDouble}, {"Low Bass", -10, 10, 0.1, 0, "dB", TypeDouble},
      {"Hi Bass", -10, 10, 0.1, 0, "dB", TypeDouble},  {"Fullness", -10, 10, 0.1, 0, "dB", TypeDouble},
      {"Articulation", -10, 10, 0.1, 0, "dB", TypeDouble}, {"Presence", -10, 10, 0.1, 0, "dB", TypeDouble},
      {"Treble", -10, 10, 0.1, 0, "dB", TypeDouble},   {"LF Cut", 0, 8, 1, 1, "", TypeEnum},
      {"Output", -20, 20, 0.1, 0, "dB", TypeDouble},   {"Input Trim", 0, 2, 1, 1, "", TypeEnum},
      {"Transients", 0, 1, 1, 0, "", TypeBool},        {"Channel", 0, 1, 1, 0, "", TypeEnum},
  };
  ASSERT_EQ(effect.NumParameters(), 14);
  for (int i = 0; i < 14; ++i) {
    const IParameter* p = effect.GetParameter(i);
    EXPECT_STREQ(p->Name(), rows[i].name);
    EXPECT_EQ(p->Min(), rows[i].min) << rows[i].name;
    EXPECT_EQ(p->Max(), rows[i].max) << rows[i].name;
    EXPECT_EQ(p->Step(), rows[i].step) << rows[i].name;
    EXPECT_EQ(p->Value(), rows[i].defaultValue) << rows[i].name;
    EXPECT_STREQ(p->Label(), rows[i].label);
    EXPECT_EQ(p->Type(), rows[i].type) << rows[i].name;
    EXPECT_EQ(p->Shape(), 1.0);
  }
  const char* cuts[] = {"20 Hz", "30 Hz", "40 Hz", "50 Hz", "60 Hz", "70 Hz", "80 Hz", "90 Hz", "100 Hz"};
  for (int i = 0; i < 9; ++i) EXPECT_STREQ(effect.GetParameter(Torvane::kLfCut)->DisplayTextAt(i).text, cuts[i]);
  EXPECT_EQ(Display(effect, Torvane::kInputTrim), "0 dB");
  effect.GetParameter(Torvane::kInputTrim)->SetClamped(2);
  EXPECT_EQ(Display(effect, Torvane::kInputTrim), "+6 dB");
  effect.GetParameter(Torvane::kInputTrim)->SetClamped(0);
  EXPECT_EQ(Display(effect, Torvane::kInputTrim), "-6 dB");
  effect.GetParameter(Torvane::kChannel)->SetClamped(1);
  EXPECT_EQ(Display(effect, Torvane::kChannel), "Stereo");
  EXPECT_EQ(Display(effect, Torvane::kTransients), "off");
  EXPECT_STREQ(effect.PresetName(0), "-");
}

TEST(TorvaneMapping, EveryParameterReachesTheChain) {
  EffectHarness harness(44100.0, 100);
  const double tones[7] = {3.5, -2.0, 10.0, -4.5, 1.2, -10.0, 6.6};
  harness.Set(Torvane::kProcess, 6.3);
  harness.Set(Torvane::kDirt, 4.0);
  for (int b = 0; b < 7; ++b) harness.Set(Torvane::kSubBass + b, tones[b]);
  harness.Set(Torvane::kLfCut, 6);
  harness.Set(Torvane::kOutput, -7.5);
  harness.Set(Torvane::kInputTrim, 0);
  harness.Set(Torvane::kTransients, 1);
  const std::vector<double> in = BassLine(44100.0, 1.0, 99);
  std::vector<double> left, right;
  harness.Process(in, in, left, right);
  ReferenceChain reference(44100.0, 0.63, 1, tones, -4.5, 80.0, 0.4, 0.5, harness.effect.OutputFactor());
  EXPECT_EQ(left, reference.Mono(in));
}

// At its defaults the effect is the documented mono chain; "Transients" at 0.4
// still counts as off, at 0.5 as on.
TEST(TorvaneMapping, DefaultsBuildTheDocumentedChainAndTransientsSwitchAtOneHalf) {
  const std::vector<double> in = BassLine(48000.0, 1.0);
  std::vector<double> at04, at05, right;
  EffectHarness off, on;
  off.Set(Torvane::kTransients, 0.4);
  on.Set(Torvane::kTransients, 0.5);
  off.Process(in, in, at04, right);
  EXPECT_EQ(right, at04);
  on.Process(in, in, at05, right);
  EXPECT_EQ(at04, ReferenceChain(48000.0, 0.0, 0, kFlat, 0.0, 30.0, 0.0, 1.0, off.effect.OutputFactor()).Mono(in));
  EXPECT_EQ(at05, ReferenceChain(48000.0, 0.0, 1, kFlat, 0.0, 30.0, 0.0, 1.0, on.effect.OutputFactor()).Mono(in));
}

TEST(TorvaneMapping, DirtRunsOnlyAboveZero) {
  const std::vector<double> in = BassLine(48000.0, 0.5);
  std::vector<double> clean, zero, tiny, right;
  EffectHarness a, b, c;
  b.Set(Torvane::kDirt, 0.0);
  c.Set(Torvane::kDirt, 0.1);
  a.Process(in, in, clean, right);
  b.Process(in, in, zero, right);
  c.Process(in, in, tiny, right);
  EXPECT_EQ(zero, clean);
  EXPECT_NE(tiny, clean);
  EXPECT_EQ(tiny, ReferenceChain(48000.0, 0.0, 0, kFlat, 0.0, 30.0, 0.01, 1.0, c.effect.OutputFactor()).Mono(in));
}

TEST(TorvaneMapping, MovingTheLfCutClearsItsStateInBothChannelsAndTheSameValueChangesNothing) {
  const std::vector<double> a = BassLine(48000.0, 0.2, 1), b = BassLine(48000.0, 0.2, 2);
  const std::vector<double> c = BassLine(48000.0, 0.2, 3), d = BassLine(48000.0, 0.2, 4);
  EffectHarness harness;
  harness.Set(Torvane::kChannel, 1);
  std::vector<double> left, right;
  harness.Process(a, c, left, right);
  harness.Set(Torvane::kLfCut, 1);  // the corner it has: no click from cleared state
  harness.Process(b, d, left, right);
  ReferenceChain untouched(48000.0, 0.0, 0, kFlat, 0.0, 30.0, 0.0, 1.0, harness.effect.OutputFactor());
  std::vector<double> expectLeft, expectRight;
  untouched.Stereo(a, c, expectLeft, expectRight);
  untouched.Stereo(b, d, expectLeft, expectRight);
  EXPECT_EQ(left, expectLeft);
  EXPECT_EQ(right, expectRight);

  harness.Set(Torvane::kLfCut, 4);  // 60 Hz
  harness.Process(a, c, left, right);
  ReferenceChain cleared = untouched;
  for (ChannelProcessor& channel : cleared.channels) channel.SetLfCut(60.0);
  cleared.Stereo(a, c, expectLeft, expectRight);
  EXPECT_EQ(left, expectLeft);
  EXPECT_EQ(right, expectRight);  // cleared too: its old state would still sound
}

// Back from mono, the right channel starts fresh: a silent right input is
// silent at once, with nothing of the filter, envelope and delay state it had
// when stereo was last left.
TEST(TorvaneMapping, StereoResumesWithAFreshRightChannel) {
  const std::vector<double> loud = BassLine(48000.0, 0.3), silence(loud.size(), 0.0);
  EffectHarness harness;
  harness.Set(Torvane::kChannel, 1);
  std::vector<double> left, right;
  harness.Process(loud, loud, left, right);
  harness.Set(Torvane::kChannel, 0);
  harness.Process(loud, loud, left, right);
  harness.Set(Torvane::kChannel, 1);
  harness.Process(loud, silence, left, right);
  for (size_t i = 0; i < right.size(); ++i) ASSERT_EQ(right[i], 0.0) << i;
}

TEST(TorvaneMapping, MonoIgnoresTheRightInputAndStereoUsesIt) {
  const std::vector<double> in = BassLine(48000.0, 0.3), silence(in.size(), 0.0);
  std::vector<double> left, right;
  EffectHarness mono;
  mono.Process(silence, in, left, right);
  for (size_t i = 0; i < in.size(); ++i) ASSERT_TRUE(left[i] == 0.0 && right[i] == 0.0) << i;

  EffectHarness stereo;
  stereo.Set(Torvane::kChannel, 1);
  stereo.Process(silence, in, left, right);
  EXPECT_EQ(left, silence);
  EXPECT_NE(right, silence);
}

TEST(TorvaneMapping, DoublePrecisionInputsAreNotWrittenBack) {
  EffectHarness harness;
  harness.Set(Torvane::kInputTrim, 2);
  std::vector<double> in = BassLine(48000.0, 0.1);
  const std::vector<double> original = in;
  std::vector<double> left, right;
  harness.Process(in, in, left, right);
  EXPECT_EQ(in, original);
}

// "Output" is a level in dB over the output at 0 dB. The trims move the level
// into the bands by 6 dB and take most of it back: a quiet signal, which the
// leveling leaves alone, leaves at 0.996 / 1.41 ("-6 dB") or 2 / 1.41 ("+6 dB").
TEST(TorvaneOutputFactor, OutputIsALevelInDecibelsAndTheTrimsAreCompensated) {
  auto level = [](int index, double value, double scale) {
    EffectHarness harness;
    harness.Set(index, value);
    std::vector<double> in = BassLine(48000.0, 0.2), left, right;
    for (double& x : in) x *= scale;
    harness.Process(in, in, left, right);
    return std::sqrt(std::inner_product(left.begin(), left.end(), left.begin(), 0.0));
  };
  const double unity = level(Torvane::kOutput, 0, 1);
  for (double db : {-20.0, -7.5, 20.0}) {
    EXPECT_NEAR(level(Torvane::kOutput, db, 1) / unity, std::pow(10, db / 20), 1e-12) << db;
  }
  const double quiet = level(Torvane::kInputTrim, 1, 1e-5);
  EXPECT_NEAR(level(Torvane::kInputTrim, 0, 1e-5) / quiet, 0.996 / 1.41, 1e-3);
  EXPECT_NEAR(level(Torvane::kInputTrim, 2, 1e-5) / quiet, 2 / 1.41, 1e-3);
  EffectHarness harness;  // the documented factors: 1.41 at the defaults, exactly 1 with "+6 dB"
  EXPECT_EQ(harness.effect.OutputFactor(), 1.41);
  harness.Set(Torvane::kInputTrim, 2);
  EXPECT_EQ(harness.effect.OutputFactor(), 1.0);
}

TEST(TorvaneOutputFactor, UnknownIndexOnlyRecomputesTheFactor) {
  EffectHarness harness;
  harness.Set(Torvane::kOutput, -6.0);
  const std::vector<double> in = BassLine(48000.0, 0.2);
  std::vector<double> before, after, right;
  EffectHarness twin;
  twin.Set(Torvane::kOutput, -6.0);
  twin.Process(in, in, before, right);
  harness.effect.OnParameterChange(14);
  harness.effect.OnParameterChange(-1);
  harness.Process(in, in, after, right);
  EXPECT_EQ(after, before);
}

// Meter k shows band k's gain (and meter 7 the limiter's) after the block's
// last sample, on the -20..+20 dB scale; a block whose first frame is silent
// moves every meter by block size / rate of its distance to the centre.
TEST(TorvaneMeters, ShowEachBandsAndTheLimitersGainAndRelaxInSilence) {
  const double fs = 44100.0;
  const int block = 882;  // relaxes by 0.02 per block
  EffectHarness harness(fs, block);
  harness.effect.AttachEditor(std::make_unique<FakeEditor>());
  harness.Set(Torvane::kProcess, 10.0);
  std::vector<double> loud = BassLine(fs, 0.2), left, right;
  for (size_t start = 0; start < loud.size(); start += block) loud[start] = 0.9;  // every block has signal
  harness.Process(loud, loud, left, right);

  ReferenceChain reference(fs, 1.0, 0, kFlat, 0.0, 30.0, 0.0, 1.0, harness.effect.OutputFactor());
  reference.Mono(loud);
  auto position = [](double divisor) {
    return (20.0 * std::log10(std::max(std::min(1.0 / divisor, 10.0), 0.1)) + 20.0) / 40.0;
  };
  double before[8];
  for (int k = 0; k < 7; ++k) before[k] = position(reference.channels[0].BandDivisor(k));
  before[7] = position(reference.limiter.LastDivisor());
  for (int k = 0; k < 8; ++k) EXPECT_EQ(harness.effect.MeterValue(k), before[k]) << k;
  EXPECT_LT(before[7], 0.5);  // the limiter only ever reduces gain

  std::vector<double> lateSignal(block, 0.9);
  lateSignal[0] = 0.0005;  // the first frame decides: silent, so the meters relax
  harness.Process(lateSignal, lateSignal, left, right);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(harness.effect.MeterValue(k), before[k] - (before[k] - 0.5) * 0.02) << k;
}

// A block longer than a second takes an idle meter all the way to the centre,
// never past it: the meters neither swing nor grow.
TEST(TorvaneMeters, HugeBlocksRelaxTheMetersWithoutOvershoot) {
  EffectHarness harness(44100.0, 100000);
  harness.effect.AttachEditor(std::make_unique<FakeEditor>());
  std::vector<double> loud(1000, 0.9), silence(100000, 0.0), left, right;
  harness.Process(loud, loud, left, right);
  for (int round = 0; round < 3; ++round) {
    harness.Process(silence, silence, left, right);
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(harness.effect.MeterValue(k), 0.5, 1e-12) << k;
  }
}

TEST(TorvaneMeters, ReachTheEditorsMeterControlsByTheirCurrentIndex) {
  EffectHarness harness;
  auto ownedEditor = std::make_unique<FakeEditor>();
  FakeEditor* editor = ownedEditor.get();
  editor->controlValues.assign(12, -1.0);
  harness.effect.AttachEditor(std::move(ownedEditor));
  std::atomic<int> indexes[8] = {2, 3, 4, 5, 6, 7, 8, 40};  // the last one points past the controls
  for (int k = 0; k < 8; ++k) harness.effect.SetMeterControl(k, &indexes[k]);
  std::vector<double> loud(512, 0.7), left, right;
  harness.Process(loud, loud, left, right);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(editor->controlValues[indexes[k]], harness.effect.MeterValue(k));
  indexes[0] = 11;  // the controls were renumbered
  harness.Process(loud, loud, left, right);
  EXPECT_EQ(editor->controlValues[11], harness.effect.MeterValue(0));
  EXPECT_EQ(editor->controlValues[0], -1.0);
}

// The effect builds its editor itself: each block's positions reach the
// editor's eight meter controls, in meter order.
TEST(TorvaneMeters, ReachTheMetersOfTheEffectsOwnEditor) {
  EffectHarness harness;
  harness.Set(Torvane::kProcess, 10.0);
  std::vector<double> loud = BassLine(48000.0, 0.1), left, right;
  loud[0] = 0.9;
  harness.Process(loud, loud, left, right);
  const auto* editor = static_cast<const IGraphics*>(harness.effect.Editor());
  ASSERT_NE(editor, nullptr);
  int k = 0;
  for (int i = 0; i < editor->ControlCount(); ++i) {
    const auto* meter = dynamic_cast<const IHBiDirMeterControl*>(editor->GetControl(i));
    if (!meter) continue;
    ASSERT_LT(k, 8);
    EXPECT_EQ(meter->Value(), harness.effect.MeterValue(k)) << k;
    EXPECT_NE(meter->Value(), 0.5) << k;
    ++k;
  }
  EXPECT_EQ(k, 8);
}

// A host without the editor (the renderer's plot) reads the meters through the
// vendor request: once asked, they follow every block exactly as an editor's
// meters do, relaxing in silence included; a short array gets only its share.
TEST(TorvaneMeters, HostReadsTheEditorsValuesThroughTheVendorRequest) {
  EffectHarness reader, twin;
  twin.effect.AttachEditor(std::make_unique<FakeEditor>());
  double positions[9];
  std::fill(std::begin(positions), std::end(positions), -1.0);
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters, 9, positions), 8);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(positions[k], 0.5) << k;
  EXPECT_EQ(positions[8], -1.0);

  std::vector<double> loud = BassLine(48000.0, 0.3), silence(2048, 0.0), left, right;
  for (auto* harness : {&reader, &twin}) {
    harness->Set(Torvane::kProcess, 8.0);
    harness->Process(loud, loud, left, right);
  }
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters, 8, positions), 8);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(positions[k], twin.effect.MeterValue(k)) << k;
  EXPECT_LT(positions[7], 0.5);
  for (auto* harness : {&reader, &twin}) harness->Process(silence, silence, left, right);
  double few[3] = {-1.0, -1.0, -1.0};
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters, 2, few), 8);
  EXPECT_EQ(few[0], twin.effect.MeterValue(0));
  EXPECT_EQ(few[1], twin.effect.MeterValue(1));
  EXPECT_EQ(few[2], -1.0);
  EXPECT_NE(few[0], positions[0]);  // they relaxed

  // No array, or no room: nothing is written, the count still comes back.
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters, 8, nullptr), 8);
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters, -4, few), 8);
  EXPECT_EQ(few[0], twin.effect.MeterValue(0));
  // Neighbouring codes are not the request.
  EXPECT_EQ(reader.Dispatch(effVendorSpecific, kVendorSpecificReadMeters + 1, 8, positions), 0);
}

// A broken upstream plug-in or a damaged file: a sample that is not a number
// enters as silence, so the output is exactly that of the same input with 0
// in its place, on both channels, and the mix is never poisoned.
TEST(TorvaneAudio, NonFiniteInputSamplesCountAsSilence) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  std::vector<double> clean = BassLine(48000.0, 0.3), broken = clean;
  const std::pair<size_t, double> bad[] = {{0, nan}, {100, nan}, {5000, inf}, {5001, -inf}, {9000, nan}};
  for (auto [index, value] : bad) clean[index] = 0.0, broken[index] = value;
  for (double stereo : {0.0, 1.0}) {
    EffectHarness damaged, reference;
    damaged.Set(Torvane::kChannel, stereo), reference.Set(Torvane::kChannel, stereo);
    damaged.Set(Torvane::kDirt, 4.0), reference.Set(Torvane::kDirt, 4.0);
    std::vector<double> left, right, expectLeft, expectRight;
    damaged.Process(broken, broken, left, right);
    reference.Process(clean, clean, expectLeft, expectRight);
    EXPECT_EQ(left, expectLeft) << "stereo " << stereo;
    EXPECT_EQ(right, expectRight) << "stereo " << stereo;
  }
}

// Finite input can still overflow inside (the dirt layer squares its input):
// the output stays finite, and the effect keeps working afterwards.
TEST(TorvaneAudio, OverflowingInputNeverGivesNonFiniteOutput) {
  EffectHarness harness(48000.0, 256);
  harness.Set(Torvane::kChannel, 1);
  harness.Set(Torvane::kDirt, 10.0);
  harness.Set(Torvane::kProcess, 10.0);
  std::vector<double> burst(2048, 1e200), left, right;
  for (size_t i = 0; i < burst.size(); i += 2) burst[i] = -1e300;
  harness.Process(burst, burst, left, right);
  const std::vector<double> tune = BassLine(48000.0, 0.5);
  std::vector<double> tuneLeft, tuneRight;
  harness.Process(tune, tune, tuneLeft, tuneRight);
  for (const auto* out : {&left, &right, &tuneLeft, &tuneRight}) {
    for (double v : *out) ASSERT_TRUE(std::isfinite(v));
  }
}

// A channel whose state runs away mid-block (the dirt layer squares its
// input) starts afresh before the next frame, exactly as a plain frame-by-frame
// loop over the processors would do it; the other channel carries on.
TEST(TorvaneAudio, ARunawayChannelRestartsBeforeTheNextFrame) {
  const int block = 256;
  std::vector<double> left = BassLine(48000.0, 0.1), right = BassLine(48000.0, 0.1, 99);
  // A burst at the 80 Hz band's centre, left only, from the middle of a block:
  // the channel's output leaves the range of audio at once.
  for (int i = 1000; i < 2200; ++i) left[i] = 1.7e308 * std::sin(2 * 3.141592653589793 * 80 * i / 48000.0);
  EffectHarness harness(48000.0, block);
  harness.Set(Torvane::kChannel, 1);
  harness.Set(Torvane::kDirt, 5.0);
  std::vector<double> outLeft, outRight;
  harness.Process(left, right, outLeft, outRight);

  ReferenceChain reference(48000.0, 0.0, 0, kFlat, 0.0, 30.0, 0.5, 1.0, harness.effect.OutputFactor());
  auto recovered = [](double y, ChannelProcessor& channel) {
    if (StereoChain::IsAudio(y)) return y;
    channel.ClearState();
    return 0.0;
  };
  ScopedFlushToZero flushToZero;  // as the effect processes
  bool restarted = false;
  for (size_t start = 0; start < left.size(); start += block) {
    for (size_t i = start; i < std::min(left.size(), start + block); ++i) {
      const double l = reference.channels[0].ProcessSample(left[i]);
      restarted = restarted || !StereoChain::IsAudio(l);
      const double r = recovered(reference.channels[1].ProcessSample(right[i]), reference.channels[1]);
      reference.limiter.ProcessStereo(recovered(l, reference.channels[0]), r);
      ASSERT_EQ(outLeft[i], reference.limiter.OutLeft() * reference.factor) << i;
      ASSERT_EQ(outRight[i], reference.limiter.OutRight() * reference.factor) << i;
    }
    for (ChannelProcessor& channel : reference.channels) {
      if (!channel.HasFiniteState()) channel.ClearState();
    }
  }
  EXPECT_TRUE(restarted);
}

// Finite samples far beyond any audio (a damaged file, a blown-up upstream
// filter on its way to infinity), here with a sample rate no host should send,
// must not leave the output enormous either: finite in double precision, it
// would be infinite once the host takes it in single precision.
TEST(TorvaneAudio, HugeFiniteInputNeverGivesOutputBeyondSinglePrecision) {
  for (double rate : {48000.0, 6.5e37}) {
    for (double stereo : {0.0, 1.0}) {
      EffectHarness harness(rate, 256);
      harness.Set(Torvane::kChannel, stereo);
      std::vector<double> burst = BassLine(48000.0, 0.1), left, right;
      const double scales[] = {1e7, 1e11, 6.5e37, 1e160, 1e300};
      for (size_t i = 0; i < burst.size(); ++i) burst[i] = burst[i] < 0 ? -scales[i / 512 % 5] : scales[i / 512 % 5];
      harness.Process(burst, burst, left, right);
      const std::vector<double> tune = BassLine(48000.0, 0.5);
      std::vector<double> tuneLeft, tuneRight;
      harness.Process(tune, tune, tuneLeft, tuneRight);
      for (const auto* out : {&left, &right, &tuneLeft, &tuneRight}) {
        for (double v : *out) ASSERT_TRUE(std::isfinite(static_cast<float>(v))) << v << " rate " << rate;
      }
    }
  }
}

}  // namespace torvane
