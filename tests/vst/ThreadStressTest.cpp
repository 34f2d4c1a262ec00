// A host automating from one thread, querying from another and processing
// audio on a third, all at once. Run under ThreadSanitizer by the test command.
#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "LoadedPlugin.h"

namespace torvane {

using ThreadStress = LoadedPlugin;

TEST_F(ThreadStress, AutomationDispatcherAndAudioThreadsTogether) {
  Start(48000.0f, 256);
  std::atomic<bool> stop{false};
  std::atomic<bool> nonFinite{false};

  std::thread audio([&] {
    std::vector<float> in(256), out(256);
    std::vector<double> din(256), dout(256);
    for (int i = 0; i < 256; ++i) din[i] = in[i] = 0.4f * std::sin(i * 0.01f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    double* dinputs[] = {din.data(), din.data()};
    double* doutputs[] = {dout.data(), dout.data()};
    for (int block = 0; !stop; ++block) {
      if (block % 2) {
        effect->processReplacing(effect, inputs, outputs, 256);
      } else {
        effect->processDoubleReplacing(effect, dinputs, doutputs, 256);
      }
      for (float v : out) {
        if (!std::isfinite(v)) nonFinite = true;
      }
    }
  });
  std::thread automation([&] {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
      const int index = static_cast<int>(random() % 14);
      effect->setParameter(effect, index, static_cast<float>(random() % 1001) / 1000.0f);
      effect->getParameter(effect, static_cast<int>(random() % 15));
    }
  });
  std::thread dispatcher([&] {
    char text[256];
    for (int i = 0; i < 3000; ++i) {
      effect->dispatcher(effect, effGetParamDisplay, i % 14, 0, text, 0.0f);
      void* data = nullptr;
      const VstIntPtr size = effect->dispatcher(effect, effGetChunk, i % 2, 0, &data, 0.0f);
      std::vector<uint8_t> copy(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
      effect->dispatcher(effect, effSetChunk, i % 2, size, copy.data(), 0.0f);
      char value[] = "3.5";
      effect->dispatcher(effect, effString2Parameter, 10, 0, value, 0.0f);
      if (i % 500 == 0) effect->dispatcher(effect, effSetBlockSize, 0, 256 + i % 3, nullptr, 0.0f);
      if (i % 700 == 0) effect->dispatcher(effect, effMainsChanged, 0, i % 2, nullptr, 0.0f);
    }
  });
  automation.join();
  dispatcher.join();
  stop = true;
  audio.join();
  EXPECT_FALSE(nonFinite);
}

}  // namespace torvane
