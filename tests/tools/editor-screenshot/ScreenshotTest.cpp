// The editor drawn off-screen: the tool's command line, and pictures whose
// size follows the scale and whose faders follow the parameters, whether set
// one by one or by a state file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "effect/Torvane.h"
#include "raster/PngLoader.h"
#include "tools/editor-screenshot/EditorScreenshot.h"

namespace torvane {

namespace {
std::vector<char*> Arguments(std::vector<std::string>& args) {
  args.insert(args.begin(), "torvane-editor-screenshot");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  return argv;
}

bool Parse(std::vector<std::string> args, ScreenshotOptions& options, std::string& error) {
  std::vector<char*> argv = Arguments(args);
  return ParseScreenshotOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

// The picture for the arguments (-o is implied), or null with the error.
std::unique_ptr<MemBitmap> Shot(std::vector<std::string> args, std::string& error, GrowableBuffer* bytes = nullptr) {
  args.insert(args.end(), {"-o", "unused.png"});
  ScreenshotOptions options;
  GrowableBuffer png;
  if (!Parse(args, options, error) || !RenderEditorScreenshot(options, png, error)) return nullptr;
  if (bytes && bytes->Resize(png.Size())) std::memcpy(bytes->Data(), png.Data(), png.Size());
  return DecodePngMemory(png.Data(), static_cast<size_t>(png.Size()));
}

uint32_t At(const MemBitmap& picture, int x, int y) { return RowStart(picture, y)[x]; }
}  // namespace

TEST(ScreenshotOptions, ReadEveryOptionAndRefuseMalformedOnes) {
  ScreenshotOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"--scale=2.5", "-s", "LF Cut=50 Hz", "--position", "Dirt=0.5", "--load-state", "a.state",
                     "--meters", "1,-2,3,4,5,6,7,-20", "-o", "out.png"},
                    options, error))
      << error;
  EXPECT_EQ(options.scale, 2.5);
  ASSERT_EQ(options.settings.size(), 2u);
  EXPECT_EQ(options.settings[0].name, "LF Cut");
  EXPECT_EQ(options.settings[0].value, "50 Hz");
  EXPECT_TRUE(options.settings[1].isPosition);
  EXPECT_EQ(options.loadState, "a.state");
  EXPECT_EQ(options.meterDecibels, (std::vector<double>{1, -2, 3, 4, 5, 6, 7, -20}));
  EXPECT_EQ(options.output, "out.png");

  const std::vector<std::vector<std::string>> malformed = {
      {"--scale", "2"},                          // no output
      {"--scale", "0", "-o", "x.png"},           // not above 0
      {"--scale", "big", "-o", "x.png"},         // not a number
      {"--meters", "1,2,3", "-o", "x.png"},      // not eight
      {"--meters", "1,2,3,4,5,6,7,25", "-o", "x.png"},
      {"-s", "Process", "-o", "x.png"},          // no value
      {"--colour", "red", "-o", "x.png"},        // no such option
      {"-o"},                                    // no file
  };
  for (const auto& args : malformed) {
    error.clear();
    EXPECT_FALSE(Parse(args, options, error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

TEST(Screenshot, PictureFollowsTheScaleAndTheParameters) {
  std::string error;
  const auto top = Shot({"--scale", "2", "-s", "Process=10"}, error);
  ASSERT_TRUE(top) << error;
  EXPECT_EQ(top->Width(), 1440);
  EXPECT_EQ(top->Height(), 840);
  const auto bottom = Shot({"--scale", "2", "-s", "Process=0"}, error);
  ASSERT_TRUE(bottom) << error;
  // "Process" runs from (98, 140) to (142, 620) at scale 2 with an 80-pixel
  // handle: at the top for 10, at the bottom for 0. "Dirt" stays where it is.
  EXPECT_NE(At(*top, 120, 180), At(*bottom, 120, 180));
  EXPECT_NE(At(*top, 120, 580), At(*bottom, 120, 580));
  EXPECT_EQ(At(*top, 220, 580), At(*bottom, 220, 580));

  // The same settings from a state file give the same picture.
  Torvane effect(nullptr);
  effect.GetParameter(Torvane::kProcess)->SetClamped(10.0);
  void* data = nullptr;
  AEffect* record = effect.EffectRecord();
  const VstIntPtr size = record->dispatcher(record, effGetChunk, 1, 0, &data, 0.0f);
  const std::string state = ::testing::TempDir() + "screenshot.state";
  std::ofstream(state, std::ios::binary).write(static_cast<const char*>(data), size);
  GrowableBuffer fromSettings, fromState;
  ASSERT_TRUE(Shot({"--scale", "2", "-s", "Process=10"}, error, &fromSettings)) << error;
  ASSERT_TRUE(Shot({"--scale", "2", "--load-state", state}, error, &fromState)) << error;
  ASSERT_EQ(fromState.Size(), fromSettings.Size());
  EXPECT_EQ(std::memcmp(fromState.Data(), fromSettings.Data(), fromState.Size()), 0);
}

TEST(Screenshot, RefusesWhatTheEditorCannotShow) {
  std::string error;
  EXPECT_FALSE(Shot({"-s", "Loudness=3"}, error));
  EXPECT_NE(error.find("Process, Dirt"), std::string::npos) << error;  // the names it has
  EXPECT_FALSE(Shot({"-s", "Output=-30"}, error));
  EXPECT_NE(error.find("-20.0 to 20.0 dB"), std::string::npos) << error;
  EXPECT_FALSE(Shot({"-s", "Channel=Wide"}, error));
  EXPECT_FALSE(Shot({"-p", "Dirt=1.5"}, error));
  EXPECT_FALSE(Shot({"--scale", "50"}, error));
  const std::string notAState = ::testing::TempDir() + "not-a-state.png";
  std::ofstream(notAState, std::ios::binary) << "not a state";
  EXPECT_FALSE(Shot({"--load-state", notAState}, error));
  EXPECT_NE(error.find("not a state of Torvane"), std::string::npos) << error;
}

}  // namespace torvane
