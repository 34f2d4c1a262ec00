#include "framework/IEffectBase.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace torvane {

namespace {

// An effect with memory (a running sum per channel), so that splitting a call
// into chunks gives the same output only when the chunks are fed in order.
class SummingEffect : public IEffectBase {
 public:
  SummingEffect() : IEffectBase(2, "1-1 2-2", 1, "Test", "", "Maker", 0x54455354, 0x10000) {}

  void ProcessBlock(const double* const* inputs, double* const* outputs, int frames) override {
    ++calls;
    largestBlock = std::max(largestBlock, frames);
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames; ++i) {
        sum[c] += inputs[c][i];
        outputs[c][i] = sum[c] * 0.5;
      }
    }
  }
  void OnReset() override { ++resets; }

  double sum[2] = {};
  int calls = 0;
  int largestBlock = 0;
  int resets = 0;
};

class PassThroughEffect : public IEffectBase {
 public:
  explicit PassThroughEffect(const char* io) : IEffectBase(0, io, 0, "Pass", "", "", 0, 0) {}
};

std::vector<float> Ramp(int n, float scale) {
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i) v[i] = scale * static_cast<float>(i % 17 - 8);
  return v;
}

}  // namespace

TEST(IEffectBase, ParsesChannelConfigurations) {
  PassThroughEffect effect("1-1 2-2");
  EXPECT_EQ(effect.NumInputChannels(), 2);
  EXPECT_EQ(effect.NumOutputChannels(), 2);
  EXPECT_TRUE(effect.LegalIO(1));
  EXPECT_TRUE(effect.LegalIO(2));
  EXPECT_FALSE(effect.LegalIO(0));
  EXPECT_FALSE(effect.LegalIO(3));

  PassThroughEffect odd("1-2 x-4");  // an unreadable pair counts as (0, 0)
  EXPECT_EQ(odd.NumInputChannels(), 1);
  EXPECT_EQ(odd.NumOutputChannels(), 2);
  EXPECT_TRUE(odd.LegalIO(0));
}

TEST(IEffectBase, StartsWithDocumentedIdentityAndDefaults) {
  SummingEffect effect;
  EXPECT_EQ(effect.SampleRate(), 44100.0);
  EXPECT_EQ(effect.BlockSize(), 0);
  EXPECT_EQ(effect.Host(), -1);
  EXPECT_STREQ(effect.EffectName(), "Test");
  EXPECT_STREQ(effect.MakerName(), "Maker");
  EXPECT_STREQ(effect.PresetName(0), "empty");
  EXPECT_STREQ(effect.PresetName(1), "");
  EXPECT_EQ(effect.GetParameter(2), nullptr);
  EXPECT_EQ(effect.GetParameter(-1), nullptr);
}

TEST(IEffectBase, BaseProcessCopiesInputsAndSilencesTheRest) {
  PassThroughEffect effect("1-2");
  effect.SetInputConnected(0, true);
  effect.SetOutputConnected(0, true);
  effect.SetOutputConnected(1, true);
  effect.SetBlockSize(8);
  std::vector<float> in = Ramp(8, 0.25f), out0(8, 9.0f), out1(8, 9.0f);
  const float* inputs[] = {in.data()};
  float* outputs[] = {out0.data(), out1.data()};
  effect.ProcessFloat(inputs, outputs, 8, false);
  EXPECT_EQ(out0, in);
  EXPECT_EQ(out1, std::vector<float>(8, 0.0f));
}

TEST(IEffectBase, AccumulatingAddsIntoTheHostBuffer) {
  PassThroughEffect effect("1-1");
  effect.SetInputConnected(0, true);
  effect.SetOutputConnected(0, true);
  effect.SetBlockSize(4);
  float in[4] = {0.5f, 0.5f, -1.0f, 0.0f}, out[4] = {0.25f, 0.25f, 0.25f, 0.25f};
  const float* inputs[] = {in};
  float* outputs[] = {out};
  effect.ProcessFloat(inputs, outputs, 4, true);
  EXPECT_EQ(out[0], 0.75f);
  EXPECT_EQ(out[2], -0.75f);
  effect.ProcessFloat(inputs, outputs, 4, false);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_EQ(out[3], 0.0f);
}

TEST(IEffectBase, DisconnectedInputReadsSilenceAndTakesNoHostBuffer) {
  PassThroughEffect effect("2-2");
  effect.SetInputConnected(0, false);
  effect.SetInputConnected(1, true);
  effect.SetOutputConnected(0, true);
  effect.SetOutputConnected(1, true);
  effect.SetBlockSize(4);
  float first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8}, out0[4], out1[4];
  const float* inputs[] = {first, second};
  float* outputs[] = {out0, out1};
  effect.ProcessFloat(inputs, outputs, 4, false);
  // Channel 1 took the first host buffer; channel 0 is silent.
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out0[i], 0.0f);
    EXPECT_EQ(out1[i], first[i]);
  }
}

TEST(IEffectBase, ZeroFramesRunsAnEmptyBlock) {
  SummingEffect effect;
  for (int c = 0; c < 2; ++c) effect.SetInputConnected(c, true), effect.SetOutputConnected(c, true);
  effect.SetBlockSize(16);
  float buffer[1] = {7.0f};
  const float* inputs[] = {buffer, buffer};
  float* outputs[] = {buffer, buffer};
  effect.ProcessFloat(inputs, outputs, 0, false);
  EXPECT_EQ(effect.calls, 1);
  EXPECT_EQ(buffer[0], 7.0f);
  effect.ProcessFloat(inputs, outputs, -3, false);
  EXPECT_EQ(effect.calls, 1);
}

class ConnectedSummingEffect : public SummingEffect {
 public:
  explicit ConnectedSummingEffect(int blockSize) {
    for (int c = 0; c < 2; ++c) SetInputConnected(c, true), SetOutputConnected(c, true);
    SetBlockSize(blockSize);
  }
};

TEST(IEffectBase, OversizedSinglePrecisionCallIsSplitIntoBlocks) {
  const int frames = 1000;
  std::vector<float> left = Ramp(frames, 0.001f), right = Ramp(frames, -0.002f);
  const float* inputs[] = {left.data(), right.data()};

  ConnectedSummingEffect whole(frames);
  std::vector<float> expectL(frames), expectR(frames);
  float* expectOut[] = {expectL.data(), expectR.data()};
  whole.ProcessFloat(inputs, expectOut, frames, false);

  ConnectedSummingEffect chunked(64);
  std::vector<float> outL(frames, 1.0f), outR(frames, 1.0f);
  float* outputs[] = {outL.data(), outR.data()};
  chunked.ProcessFloat(inputs, outputs, frames, false);
  EXPECT_EQ(chunked.largestBlock, 64);
  EXPECT_EQ(chunked.calls, 16);  // 15 full blocks and one of 40
  EXPECT_EQ(outL, expectL);
  EXPECT_EQ(outR, expectR);
}

TEST(IEffectBase, DoublePrecisionHandsOverTheHostBuffersWhole) {
  ConnectedSummingEffect effect(4);
  std::vector<double> left(100, 1.0), right(100, 2.0), outL(100), outR(100);
  const double* inputs[] = {left.data(), right.data()};
  double* outputs[] = {outL.data(), outR.data()};
  effect.ProcessDouble(inputs, outputs, 100);
  EXPECT_EQ(effect.calls, 1);
  EXPECT_EQ(outL[99], 50.0);
  EXPECT_EQ(outR[99], 100.0);
}

TEST(IEffectBase, MissingHostBuffersReadAsSilenceAndAreNotWritten) {
  ConnectedSummingEffect effect(32);
  std::vector<float> left = Ramp(100, 1.0f), out(100, 3.0f);
  const float* inputs[] = {left.data(), nullptr};
  float* outputs[] = {nullptr, out.data()};
  effect.ProcessFloat(inputs, outputs, 100, false);
  EXPECT_EQ(effect.sum[1], 0.0);
  EXPECT_EQ(out[99], 0.0f);
  const double leftSum = effect.sum[0];
  effect.ProcessFloat(nullptr, nullptr, 100, false);
  effect.ProcessFloat(nullptr, nullptr, 100, true);

  std::vector<double> dleft(100, 1.0), dout(100, 5.0);
  const double* dinputs[] = {dleft.data(), nullptr};
  double* doutputs[] = {nullptr, dout.data()};
  effect.ProcessDouble(dinputs, doutputs, 100);  // longer than the block: split
  EXPECT_EQ(effect.largestBlock, 32);
  EXPECT_EQ(dout[99], 0.0);
  effect.ProcessDouble(nullptr, nullptr, 100);
  EXPECT_EQ(effect.sum[0], leftSum + 100.0);
}

TEST(IEffectBase, BlockSizeRejectsNonsenseAndKeepsScratchOnRepeat) {
  ConnectedSummingEffect effect(8);
  for (int bad : {0, -1, IEffectBase::kMaxBlockSize + 1}) {
    effect.SetBlockSize(bad);
    EXPECT_EQ(effect.BlockSize(), 8);
  }
  // Leave data in the scratch buffers, then set the same size again: kept.
  float in[8] = {1, 1, 1, 1, 1, 1, 1, 1}, out[8];
  const float* inputs[] = {in, in};
  float* outputs[] = {out, out};
  effect.ProcessFloat(inputs, outputs, 8, false);
  effect.SetBlockSize(8);
  EXPECT_EQ(effect.GetInputChannel(0)->scratch[7], 1.0);
  effect.SetBlockSize(16);
  EXPECT_EQ(effect.GetInputChannel(0)->scratch[7], 0.0);
  EXPECT_EQ(effect.GetInputChannel(0)->scratch.Count(), 16);
}

TEST(IEffectBase, SampleRateMustBePositiveAndFinite) {
  SummingEffect effect;
  effect.SetSampleRate(48000.0);
  EXPECT_EQ(effect.SampleRate(), 48000.0);
  EXPECT_EQ(effect.resets, 1);
  for (double bad : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
    effect.SetSampleRate(bad);
  }
  EXPECT_EQ(effect.SampleRate(), 48000.0);
  EXPECT_EQ(effect.resets, 1);
}

}  // namespace torvane
