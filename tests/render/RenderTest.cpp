// The offline renderer as a user runs it: a separate process, real files, the
// freshly built Torvane library and a third-party plug-in.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "effect/Torvane.h"
#include "tools/render/AudioFile.h"
#include "tools/render/BassRiff.h"

namespace torvane {

namespace {

struct Outcome {
  int status;
  std::string output;  // stdout and stderr together
};

Outcome Renderer(const std::string& arguments) {
  const std::string command = std::string(TORVANE_RENDER_PATH) + " " + arguments + " 2>&1";
  Outcome run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class RenderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/torvane-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string Path(const std::string& name) const { return dir + "/" + name; }
  bool Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }

  void WriteInput(const std::string& name, const AudioBuffer& audio, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_24) {
    SF_INFO info = {};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    info.format = format;
    SNDFILE* file = sf_open(Path(name).c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<double> interleaved;
    for (size_t f = 0; f < audio.Frames(); ++f) {
      for (const auto& channel : audio.channels) interleaved.push_back(channel[f]);
    }
    sf_writef_double(file, interleaved.data(), static_cast<sf_count_t>(audio.Frames()));
    sf_close(file);
  }

  std::string dir;
};

AudioBuffer StereoTestSignal(double rate) {
  AudioBuffer audio;
  audio.sampleRate = rate;
  const std::vector<double> riff = SynthesizeBassRiff(rate);
  audio.channels.assign(2, std::vector<double>(riff.begin(), riff.begin() + static_cast<long>(rate)));
  for (size_t i = 0; i < audio.channels[1].size(); ++i) audio.channels[1][i] *= -0.5;
  return audio;
}

// The same effect run in-process the way the renderer drives it: single
// precision, fixed blocks, the delay flushed with silence and cut off.
std::vector<std::vector<float>> RenderInProcess(const AudioBuffer& input, int block) {
  Torvane effect(nullptr);
  AEffect* record = effect.EffectRecord();
  record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
  record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(input.sampleRate));
  record->dispatcher(record, effSetBlockSize, 0, block, nullptr, 0.0f);
  char stereo[] = "Stereo", dirt[] = "3", cut[] = "50 Hz";
  record->dispatcher(record, effString2Parameter, 13, 0, stereo, 0.0f);
  record->dispatcher(record, effString2Parameter, 1, 0, dirt, 0.0f);
  record->dispatcher(record, effString2Parameter, 9, 0, cut, 0.0f);
  record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
  const size_t frames = input.Frames(), latency = 64, total = frames + latency;
  std::vector<std::vector<float>> in(2, std::vector<float>(total, 0.0f)), out(2, std::vector<float>(total));
  for (int c = 0; c < 2; ++c) {
    for (size_t f = 0; f < frames; ++f) in[c][f] = static_cast<float>(input.channels[c][f]);
  }
  for (size_t start = 0; start < total; start += block) {
    const int n = static_cast<int>(std::min<size_t>(block, total - start));
    float* inputs[] = {in[0].data() + start, in[1].data() + start};
    float* outputs[] = {out[0].data() + start, out[1].data() + start};
    record->processReplacing(record, inputs, outputs, n);
  }
  for (auto& channel : out) channel.erase(channel.begin(), channel.begin() + latency);
  return out;
}

}  // namespace

TEST_F(RenderFiles, RendersAFileExactlyAsTheEffectRunsInProcess) {
  const AudioBuffer input = StereoTestSignal(44100.0);
  WriteInput("in.wav", input, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
  const Outcome run = Renderer("-b 300 -s Channel=Stereo -s Dirt=3 -s 'LF Cut=50 Hz' -o " + Path("out.wav") + " " +
                           Path("in.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("latency  64 samples (compensated)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("real-time factor"), std::string::npos);

  AudioBuffer rendered;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("out.wav"), rendered, error)) << error;
  ASSERT_EQ(rendered.channels.size(), 2u);
  ASSERT_EQ(rendered.Frames(), input.Frames());
  EXPECT_EQ(rendered.sampleRate, 44100.0);
  const auto expected = RenderInProcess(input, 300);
  for (int c = 0; c < 2; ++c) {
    for (size_t f = 0; f < input.Frames(); ++f) {
      ASSERT_EQ(static_cast<float>(rendered.channels[c][f]), expected[c][f]) << c << ":" << f;
    }
  }
}

TEST_F(RenderFiles, MonoFileFeedsBothInputsAndDoublePrecisionWorks) {
  AudioBuffer mono;
  mono.sampleRate = 48000.0;
  mono.channels.push_back(std::vector<double>(SynthesizeBassRiff(48000.0)));
  mono.channels[0].resize(24000);
  WriteInput("mono.flac", mono, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const Outcome run = Renderer("--double -s Channel=Stereo -o " + Path("out.wav") + " " + Path("mono.flac"));
  ASSERT_EQ(run.status, 0) << run.output;
  AudioBuffer rendered;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("out.wav"), rendered, error));
  ASSERT_EQ(rendered.channels.size(), 2u);
  EXPECT_EQ(rendered.channels[0], rendered.channels[1]);
  double energy = 0.0;
  for (double v : rendered.channels[0]) energy += v * v;
  EXPECT_GT(energy, 1.0);
}

TEST_F(RenderFiles, LatencyIsKeptWhenAsked) {
  const Outcome kept = Renderer("--no-latency-compensation -o " + Path("kept.wav"));
  const Outcome aligned = Renderer("-o " + Path("aligned.wav"));
  ASSERT_EQ(kept.status, 0) << kept.output;
  ASSERT_EQ(aligned.status, 0) << aligned.output;
  AudioBuffer a, b;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("kept.wav"), a, error) && ReadAudioFile(Path("aligned.wav"), b, error));
  ASSERT_EQ(a.Frames(), b.Frames());
  for (size_t f = 0; f < 64; ++f) EXPECT_EQ(a.channels[0][f], 0.0);
  for (size_t f = 64; f < a.Frames(); f += 97) ASSERT_EQ(a.channels[0][f], b.channels[0][f - 64]) << f;
}

TEST_F(RenderFiles, StateSavedToAFileRestoresTheSameSound) {
  const Outcome save = Renderer("-s 'Sub Bass=6.5' -s Process=7 -s 'Input Trim=+6 dB' --save-state " +
                            Path("bass.state") + " -o " + Path("first.wav"));
  ASSERT_EQ(save.status, 0) << save.output;
  std::ifstream state(Path("bass.state"), std::ios::binary | std::ios::ate);
  EXPECT_EQ(state.tellg(), 148);
  const Outcome load = Renderer("--load-state " + Path("bass.state") + " -o " + Path("second.wav"));
  ASSERT_EQ(load.status, 0) << load.output;
  AudioBuffer first, second;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("first.wav"), first, error) && ReadAudioFile(Path("second.wav"), second, error));
  EXPECT_EQ(first.channels, second.channels);
  const Outcome plain = Renderer("-o " + Path("plain.wav"));
  AudioBuffer third;
  ASSERT_TRUE(ReadAudioFile(Path("plain.wav"), third, error));
  EXPECT_NE(third.channels, first.channels);
}

TEST_F(RenderFiles, BadInputsFailClearlyAndLeaveNoOutput) {
  std::ofstream(Path("noise.wav")) << "this is not audio";
  std::ofstream(Path("fake.so")) << "not a library";
  AudioBuffer three;
  three.sampleRate = 48000.0;
  three.channels.assign(3, std::vector<double>(1000, 0.1));
  WriteInput("three.wav", three);
  AudioBuffer at48k = StereoTestSignal(48000.0);
  WriteInput("48k.wav", at48k);

  struct Case {
    std::string arguments;
    const char* message;
  };
  const Case cases[] = {
      {Path("missing.wav"), "cannot read"},
      {Path("noise.wav"), "cannot read"},
      {"-p " + Path("missing.so"), "cannot load"},
      {"-p " + Path("fake.so"), "cannot load"},
      {"-p " + std::string(NOT_A_PLUGIN_PATH), "is not a VST 2.4 plug-in"},
      {"-p " + std::string(NULL_PLUGIN_PATH), "returned no effect record"},
      {Path("three.wav"), "3 channels"},
      {"--rate 44100 " + Path("48k.wav"), "sample-rate mismatch"},
      {"-s Bass=3", "no parameter \"Bass\"; its parameters are:\n  Process\n  Dirt\n  Sub Bass"},
      {"-s 'Sub Bass=loud'", "cannot set \"Sub Bass\" to \"loud\""},
      {"-s 'LF Cut=55 Hz'", "cannot set \"LF Cut\""},
      {"--position Output=1.5", "between 0 and 1"},
      {"--load-state " + Path("missing.state"), "cannot read the state file"},
      {"--load-state " + Path("noise.wav"), "rejected the state"},
  };
  for (const Case& c : cases) {
    const Outcome run = Renderer(c.arguments + " -o " + Path("out.wav"));
    EXPECT_EQ(run.status, 1) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
    EXPECT_FALSE(Exists("out.wav")) << c.arguments;
  }
  const Outcome unwritable = Renderer("-o " + Path("no/such/folder/out.wav"));
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.output.find("cannot write"), std::string::npos) << unwritable.output;
  EXPECT_EQ(Renderer("--block 0").status, 2);
  EXPECT_EQ(Renderer("--frobnicate").status, 2);
  EXPECT_EQ(Renderer("-s novalue").status, 2);
}

TEST_F(RenderFiles, RunsAThirdPartyPlugin) {
  const char* plugin = "/usr/lib/vst/lsp-plugins/mb-compressor-stereo.so";
  ASSERT_EQ(access(plugin, R_OK), 0) << "the setup script installs lsp-plugins-vst";
  const AudioBuffer input = StereoTestSignal(48000.0);
  WriteInput("in.wav", input);
  const Outcome run = Renderer(std::string("-p ") + plugin + " -b 256 -o " + Path("out.wav") + " " + Path("in.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  AudioBuffer rendered;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("out.wav"), rendered, error));
  ASSERT_EQ(rendered.Frames(), input.Frames());
  double energy = 0.0;
  for (const auto& channel : rendered.channels) {
    for (double v : channel) {
      ASSERT_TRUE(std::isfinite(v));
      energy += v * v;
    }
  }
  EXPECT_GT(energy, 1.0);
}

}  // namespace torvane
