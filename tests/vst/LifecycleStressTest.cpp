// The plug-in library through its exported entry point under a host's
// lifecycle load: a thousand sessions one after another, and sixteen instances
// created, processing and closed on their own threads while another thread
// automates their parameters and moves state chunks between them. Run under
// LeakSanitizer (leaks) and ThreadSanitizer (races) by the test command.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "HostSession.h"

namespace torvane {

namespace {
constexpr int kCycles = 1000;
constexpr int kInstances = 16;
constexpr int kBlocksPerInstance = 500;
constexpr int kBlockFrames = 256;

std::vector<uint8_t> Chunk(AEffect* effect, bool bank) {
  void* data = nullptr;
  const VstIntPtr size = effect->dispatcher(effect, effGetChunk, bank ? 0 : 1, 0, &data, 0.0f);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// Runs body(i) on its own thread for each of count indexes and waits for all.
template <typename Body>
void OnThreads(int count, Body body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) threads.emplace_back(body, i);
  for (std::thread& thread : threads) thread.join();
}
}  // namespace

class LifecycleStress : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(library.Load(TORVANE_PLUGIN_PATH)) << library.Error(); }

  PluginLibrary library;
};

TEST_F(LifecycleStress, ThousandSessionsOneAfterAnother) {
  int failed = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    if (!PlayShortSession(library, cycle)) ++failed;
  }
  EXPECT_EQ(failed, 0);
}

TEST_F(LifecycleStress, SixteenInstancesOnTheirOwnThreadsWhileAnotherAutomatesAndSwapsState) {
  AEffect* effects[kInstances] = {};
  OnThreads(kInstances, [&](int i) {
    AEffect* effect = library.CreateEffect(QuietHost);
    if (!effect) return;
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, i % 2 ? 44100.0f : 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kBlockFrames, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    effects[i] = effect;
  });
  for (AEffect* effect : effects) ASSERT_NE(effect, nullptr);

  std::atomic<int> processing{kInstances};
  std::atomic<int> nonFinite{0};
  std::atomic<int> silent{0};
  int positionsOutOfRange = 0;
  int refusedStates = 0;
  std::thread automation([&] {
    std::mt19937 random(12);
    // At least one full round, then on until every instance has played its blocks.
    for (int round = 0; round < 1 || processing > 0; ++round) {
      for (int i = 0; i < kInstances; ++i) {
        AEffect* effect = effects[i];
        effect->setParameter(effect, static_cast<int>(random() % 14), static_cast<float>(random() % 1001) / 1000.0f);
        const float position = effect->getParameter(effect, static_cast<int>(random() % 14));
        if (!(position >= 0.0f && position <= 1.0f)) ++positionsOutOfRange;
        // A host copying one track's settings onto another, program or whole bank.
        if (round % 4 == 0) {
          const bool bank = round % 8 == 0;
          std::vector<uint8_t> state = Chunk(effects[(i + 1) % kInstances], bank);
          if (effect->dispatcher(effect, effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(state.size()), state.data(),
                                 0.0f) != 1) {
            ++refusedStates;
          }
        }
      }
    }
  });
  OnThreads(kInstances, [&](int i) {
    BlockRunner runner(kBlockFrames);
    for (int block = 0; block < kBlocksPerInstance; ++block) {
      if (!runner.Run(effects[i], block)) ++nonFinite;
    }
    if (runner.Energy() == 0.0) ++silent;
    --processing;
  });
  automation.join();

  OnThreads(kInstances, [&](int i) {
    effects[i]->dispatcher(effects[i], effMainsChanged, 0, 0, nullptr, 0.0f);
    effects[i]->dispatcher(effects[i], effClose, 0, 0, nullptr, 0.0f);
  });
  EXPECT_EQ(nonFinite, 0);
  EXPECT_EQ(silent, 0);
  EXPECT_EQ(positionsOutOfRange, 0);
  EXPECT_EQ(refusedStates, 0);
}

}  // namespace torvane
