// Audio and parameter callbacks of the loaded library.
#include <atomic>
#include <cfenv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "LoadedPlugin.h"

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace torvane {

namespace {
constexpr int kSubBass = 2, kLfCut = 9, kOutput = 10, kChannel = 13;
constexpr double kPi = 3.141592653589793;

// A plucked-string-like test tone: a decaying 55 Hz note with harmonics.
std::vector<float> Pluck(int frames, float sampleRate) {
  std::vector<float> v(frames);
  for (int i = 0; i < frames; ++i) {
    const double t = i / sampleRate;
    v[i] = static_cast<float>(0.5 * std::exp(-3.0 * t) *
                              (std::sin(2 * kPi * 55 * t) + 0.3 * std::sin(2 * kPi * 110 * t)));
  }
  return v;
}
}  // namespace

using Callbacks = LoadedPlugin;

TEST_F(Callbacks, ParametersTakePositionsAndQuantiseChoices) {
  effect->setParameter(effect, kLfCut, 0.5f);
  EXPECT_EQ(Text(effGetParamDisplay, kLfCut), "60 Hz");  // value 4
  EXPECT_EQ(effect->getParameter(effect, kLfCut), 0.5f);
  effect->setParameter(effect, kSubBass, 0.25f);
  EXPECT_EQ(Text(effGetParamDisplay, kSubBass), "-5.0");
  EXPECT_EQ(effect->getParameter(effect, kSubBass), 0.25f);
  effect->setParameter(effect, 14, 0.5f);
  EXPECT_EQ(effect->getParameter(effect, 14), 0.0f);
  EXPECT_EQ(effect->getParameter(effect, -1), 0.0f);
  for (float bad : {NAN, INFINITY, -INFINITY}) effect->setParameter(effect, kSubBass, bad);
  EXPECT_EQ(effect->getParameter(effect, kSubBass), 0.25f);
  EXPECT_EQ(host.CountOf(audioMasterAutomate), 0);  // the host's own change is not echoed
}

TEST_F(Callbacks, ReplacingAccumulatingAndDoubleAgree) {
  const int frames = 512;
  const std::vector<float> in = Pluck(frames, 48000.0f);
  std::vector<float> replaced(frames, 9.0f), added(frames, 0.25f);
  std::vector<double> din(in.begin(), in.end()), dout(frames);

  // Three instances with the same state see the same input through the three callbacks.
  auto run = [&](auto&& process) {
    LoadedPlugin::TearDown();
    effect = library.CreateEffect(RecordingHost::Callback);
    Start(48000.0f, frames);
    process();
  };
  run([&] {
    float* inputs[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
    float* outputs[] = {replaced.data(), replaced.data()};
    effect->processReplacing(effect, inputs, outputs, frames);
  });
  run([&] {
    float* inputs[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
    std::vector<float> right(frames, 0.25f);
    float* outputs[] = {added.data(), right.data()};
    effect->process(effect, inputs, outputs, frames);
  });
  run([&] {
    double* inputs[] = {din.data(), din.data()};
    std::vector<double> right(frames);
    double* outputs[] = {dout.data(), right.data()};
    effect->processDoubleReplacing(effect, inputs, outputs, frames);
  });

  bool anyNonZero = false;
  for (int i = 0; i < frames; ++i) {
    ASSERT_EQ(replaced[i], static_cast<float>(dout[i])) << i;  // rounded to float once
    ASSERT_EQ(added[i], static_cast<float>(dout[i]) + 0.25f) << i;
    anyNonZero = anyNonZero || dout[i] != 0.0;
  }
  EXPECT_TRUE(anyNonZero);
}

TEST_F(Callbacks, DoublePrecisionLeavesTheHostInputsAlone) {
  Start(48000.0f, 256);
  effect->setParameter(effect, 11, 1.0f);  // "+6 dB" trim
  std::vector<double> left(256, 0.25), right(256, -0.5), outL(256), outR(256);
  double* inputs[] = {left.data(), right.data()};
  double* outputs[] = {outL.data(), outR.data()};
  effect->processDoubleReplacing(effect, inputs, outputs, 256);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(left[i], 0.25);
    ASSERT_EQ(right[i], -0.5);
  }
}

TEST_F(Callbacks, HostMisuseDoesNotCrash) {
  Start(44100.0f, 64);
  std::vector<float> in = Pluck(1000, 44100.0f), out(1000);
  float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {out.data(), out.data()};
  effect->processReplacing(effect, inputs, outputs, 1000);  // more than the block size
  effect->processReplacing(effect, nullptr, nullptr, 64);
  effect->process(effect, nullptr, outputs, 64);
  float* holes[] = {nullptr, out.data()};
  effect->processReplacing(effect, holes, holes, 64);
  effect->processReplacing(effect, inputs, outputs, -5);
  effect->processReplacing(effect, inputs, outputs, 0);
  double* dholes[] = {nullptr, nullptr};
  effect->processDoubleReplacing(effect, dholes, dholes, 5000);
  effect->processDoubleReplacing(effect, nullptr, nullptr, 64);
  effect->processReplacing(nullptr, inputs, outputs, 64);
  effect->setParameter(nullptr, 0, 0.5f);
  EXPECT_EQ(effect->getParameter(nullptr, 0), 0.0f);
  for (float v : out) ASSERT_TRUE(std::isfinite(v));
}

// Hosts call in every order: before effOpen the parameters are not applied
// yet, and the effect must still give finite audio (silence), in both
// precisions. effOpen itself must not divide by zero: a host with
// floating-point traps enabled would die.
TEST_F(Callbacks, EveryCallOrderGivesFiniteAudio) {
  std::vector<float> in = Pluck(512, 44100.0f), out(512, 1.0f);
  std::vector<double> din(in.begin(), in.end()), dout(512, 1.0);
  float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {out.data(), out.data()};
  double* dinputs[] = {din.data(), din.data()};
  double* doutputs[] = {dout.data(), dout.data()};
  auto expectFinite = [&](const char* stage) {
    effect->processReplacing(effect, inputs, outputs, 512);
    effect->processDoubleReplacing(effect, dinputs, doutputs, 512);
    for (int i = 0; i < 512; ++i) {
      ASSERT_TRUE(std::isfinite(out[i]) && std::isfinite(dout[i])) << stage << " sample " << i;
    }
  };
  expectFinite("after creation");
  Dispatch(effMainsChanged, 0, 1);
  expectFinite("switched on before open");
  Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  expectFinite("rate before open");
#if defined(__GLIBC__) && defined(__x86_64__)
  feenableexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
#endif
  Dispatch(effOpen);
#if defined(__GLIBC__) && defined(__x86_64__)
  fedisableexcept(FE_ALL_EXCEPT);
#endif
  expectFinite("opened");
  Dispatch(effSetBlockSize, 0, 128);
  expectFinite("block size after open");
}

// Positions outside 0..1 count as the nearest end everywhere: what the host
// reads back, what is shown, what is stored and what the signal path does.
TEST_F(Callbacks, PositionsOutsideTheRangeCountAsTheNearestEnd) {
  Start(44100.0f, 256);
  effect->setParameter(effect, kSubBass, -0.5f);
  EXPECT_EQ(Text(effGetParamDisplay, kSubBass), "-10.0");
  EXPECT_EQ(effect->getParameter(effect, kSubBass), 0.0f);
  effect->setParameter(effect, kOutput, 7.0f);
  EXPECT_EQ(Text(effGetParamDisplay, kOutput), "20.0");
  void* data = nullptr;
  ASSERT_EQ(Dispatch(effGetChunk, 1, 0, &data), 148);
  double stored = 0;
  std::memcpy(&stored, static_cast<const char*>(data) + 36 + kSubBass * 8, 8);
  EXPECT_EQ(stored, -10.0);

  effect->setParameter(effect, kChannel, -1.0f);
  EXPECT_EQ(Text(effGetParamDisplay, kChannel), "Mono");
  // Mono processes the left input alone: a right-only signal stays silent.
  std::vector<float> silence(256, 0.0f), right = Pluck(256, 44100.0f), out(256, 1.0f);
  float* inputs[] = {silence.data(), right.data()};
  float* outputs[] = {out.data(), out.data()};
  for (int block = 0; block < 4; ++block) effect->processReplacing(effect, inputs, outputs, 256);
  for (float v : out) ASSERT_EQ(v, 0.0f);
}

// effClose must not destroy the effect (and the lock inside it) while another
// thread is still inside a call; it waits for the call to end.
TEST_F(Callbacks, CloseWaitsForACallStillRunningOnAnotherThread) {
  std::atomic<bool> inside{false}, release{false}, closed{false};
  host.onCall = [&](VstInt32 opcode) {
    if (opcode != audioMasterGetProductString) return;
    inside = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  std::thread opener([&] { Dispatch(effOpen); });  // asks the host its name, under the lock
  while (!inside) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::thread closer([&] {
    Dispatch(effClose);
    closed = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(closed);
  release = true;
  opener.join();
  closer.join();
  EXPECT_TRUE(closed);
  host.onCall = nullptr;
  effect = nullptr;  // closed already
}

TEST_F(Callbacks, OversizedBlockSplitsWithoutChangingTheResult) {
  const int frames = 3000;
  const std::vector<float> in = Pluck(frames, 44100.0f);
  std::vector<float> whole(frames), split(frames);
  float* inputs[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
  Start(44100.0f, frames);
  float* outputs[] = {whole.data(), whole.data()};
  effect->processReplacing(effect, inputs, outputs, frames);

  LoadedPlugin::TearDown();
  effect = library.CreateEffect(RecordingHost::Callback);
  Start(44100.0f, 256);
  outputs[0] = outputs[1] = split.data();
  effect->processReplacing(effect, inputs, outputs, frames);
  // The meters relax per block, but audio does not depend on block boundaries.
  EXPECT_EQ(split, whole);
}

TEST_F(Callbacks, SampleRateBeforeOrAfterOpenSoundsTheSame) {
  // Hosts differ in the order of open and rate: the effect must end up designed
  // for the rate it runs at either way.
  const int frames = 4800;
  const std::vector<float> in = Pluck(frames, 96000.0f);
  float* inputs[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
  std::vector<float> openFirst(frames), rateFirst(frames);
  float* outputs[] = {openFirst.data(), openFirst.data()};
  Start(96000.0f, frames);  // open, then rate
  effect->setParameter(effect, 0, 0.6f);
  effect->processReplacing(effect, inputs, outputs, frames);

  LoadedPlugin::TearDown();
  effect = library.CreateEffect(RecordingHost::Callback);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  Dispatch(effSetBlockSize, 0, frames);
  Dispatch(effOpen);
  effect->setParameter(effect, 0, 0.6f);
  outputs[0] = outputs[1] = rateFirst.data();
  effect->processReplacing(effect, inputs, outputs, frames);
  EXPECT_EQ(rateFirst, openFirst);
}

#if defined(__x86_64__)
TEST_F(Callbacks, HostFloatingPointStateIsRestored) {
  Start(44100.0f, 64);
  const unsigned before = _mm_getcsr();
  std::vector<float> in(64, 0.1f), out(64);
  float* inputs[] = {in.data(), in.data()};
  float* outputs[] = {out.data(), out.data()};
  effect->processReplacing(effect, inputs, outputs, 64);
  double* dinputs[] = {nullptr, nullptr};
  effect->processDoubleReplacing(effect, dinputs, dinputs, 64);
  EXPECT_EQ(_mm_getcsr(), before);
}
#endif

}  // namespace torvane
