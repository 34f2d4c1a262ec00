// The effect record a host receives from the library's entry points.
#include "LoadedPlugin.h"

namespace torvane {

using EffectRecord = LoadedPlugin;

TEST_F(EffectRecord, CarriesIdentityAndCapabilities) {
  EXPECT_EQ(effect->magic, FourCharCode('V', 's', 't', 'P'));
  EXPECT_EQ(effect->uniqueID, FourCharCode('T', 'V', 'N', '1'));
  EXPECT_EQ(effect->version, 10000);
  EXPECT_EQ(effect->numParams, 14);
  EXPECT_EQ(effect->numPrograms, 1);
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags & (effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono),
            effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono);
  EXPECT_EQ(effect->flags & effFlagsProgramChunks, 0);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->initialDelay, 64);  // hosts read it right after loading
  EXPECT_NE(effect->process, nullptr);
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_NE(effect->processDoubleReplacing, nullptr);
  EXPECT_NE(effect->object, nullptr);
}

TEST_F(EffectRecord, LatencyStaysTheLookAheadAfterEveryReset) {
  Start();
  EXPECT_EQ(effect->initialDelay, 64);
}

TEST_F(EffectRecord, OlderEntryNameCreatesAnEqualEffect) {
  PluginLibrary other;
  ASSERT_TRUE(other.Load(TORVANE_PLUGIN_PATH, "main")) << other.Error();
  AEffect* second = other.CreateEffect(RecordingHost::Callback);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, effect);
  EXPECT_EQ(second->uniqueID, effect->uniqueID);
  second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(EffectRecord, AnswersIdentityRequests) {
  EXPECT_EQ(Dispatch(effIdentify), FourCharCode('N', 'v', 'E', 'f'));
  EXPECT_EQ(Text(effGetEffectName, 0), "Torvane");
  EXPECT_EQ(Text(effGetVendorString, 0), "Quillfen");
  EXPECT_EQ(Text(effGetProductString, 0), "");
  EXPECT_EQ(Dispatch(effGetVendorVersion), 10000);
  EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(effGetPlugCategory), 1);
  EXPECT_EQ(Dispatch(effGetTailSize), 0);
  EXPECT_EQ(Dispatch(effGetEffectName), 0);  // no buffer
}

}  // namespace torvane

#ifdef _WIN32
#include <memory>

#include "raster/PngLoader.h"
#include "system/ModuleResources.h"

namespace torvane {

// The DLL carries the editor's five images as "PNG" resources, ids 100 to 104.
TEST_F(EffectRecord, LibraryCarriesTheEditorImages) {
  const int sizes[][3] = {{100, 2160, 1260}, {101, 68, 120}, {102, 103, 108}, {103, 103, 72}, {104, 103, 72}};
  for (const auto& image : sizes) {
    const ResourceBytes bytes = FindPngResource(library.Module(), image[0]);
    ASSERT_NE(bytes.data, nullptr) << image[0];
    std::unique_ptr<MemBitmap> bitmap = DecodePngMemory(bytes.data, bytes.size);
    ASSERT_NE(bitmap, nullptr) << image[0];
    EXPECT_EQ(bitmap->Width(), image[1]);
    EXPECT_EQ(bitmap->Height(), image[2]);
  }
}

}  // namespace torvane
#endif
