#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/RecordingHost.h"
#include "tools/vsthost/PluginLibrary.h"

namespace torvane {

// The freshly built Torvane library, loaded through its exported entry point
// and driven through the effect record only, as a host does.
class LoadedPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.Load(TORVANE_PLUGIN_PATH)) << library.Error();
    effect = library.CreateEffect(RecordingHost::Callback);
    ASSERT_NE(effect, nullptr) << library.Error();
  }

  void TearDown() override {
    if (effect) Dispatch(effClose);
  }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  // Opens the effect the way most hosts do before playing.
  void Start(float sampleRate = 48000.0f, int blockSize = 512) {
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
  }

  std::string Text(VstInt32 opcode, VstInt32 index) {
    char text[256] = "untouched";
    Dispatch(opcode, index, 0, text);
    return text;
  }

  RecordingHost host;
  PluginLibrary library;
  AEffect* effect = nullptr;
};

}  // namespace torvane
