// The offline renderer as a user runs it: a separate process, real files and
// pipes, the freshly built Torvane library and a third-party plug-in.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "effect/Torvane.h"
#include "raster/PngLoader.h"
#include "tools/render/BassRiff.h"
#include "tools/render/PlotLayout.h"
#include "tools/render/PlotPainter.h"

namespace torvane {

namespace {

struct Outcome {
  int status;
  std::string output;  // stdout and stderr together
};

Outcome Shell(const std::string& command) {
  Outcome run{-1, ""};
  FILE* pipe = popen(("(" + command + ") 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string kRenderer = TORVANE_RENDER_PATH;

Outcome Renderer(const std::string& arguments) { return Shell(kRenderer + " " + arguments); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Planar audio in double precision: one vector per channel.
struct Audio {
  double sampleRate = 0.0;
  int format = 0;
  std::vector<std::vector<double>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

Audio ReadAudio(const std::string& path) {
  Audio audio;
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return audio;
  std::vector<double> interleaved(static_cast<size_t>(info.frames) * info.channels);
  const sf_count_t frames = sf_readf_double(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.sampleRate = info.samplerate;
  audio.format = info.format;
  audio.channels.assign(info.channels, std::vector<double>(static_cast<size_t>(frames)));
  for (sf_count_t f = 0; f < frames; ++f) {
    for (int c = 0; c < info.channels; ++c) audio.channels[c][f] = interleaved[f * info.channels + c];
  }
  return audio;
}

std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Parameter values in a program state: 8 bytes of header and a count, then
// one little-endian double per parameter, the plug-in's own parameters last.
double StateValue(const std::vector<char>& state, int parameter, int parameterCount) {
  const size_t offset = state.size() - 8 * static_cast<size_t>(parameterCount - parameter);
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<uint8_t>(state[offset + i]);
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

class RenderFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/torvane-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { Shell("rm -rf '" + dir + "'"); }

  std::string Path(const std::string& name) const { return dir + "/" + name; }
  bool Exists(const std::string& name) const { return access(Path(name).c_str(), F_OK) == 0; }

  void WriteInput(const std::string& name, const Audio& audio, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_24) {
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

Audio StereoTestSignal(double rate) {
  Audio audio;
  audio.sampleRate = rate;
  const std::vector<double> riff = SynthesizeBassRiff(rate);
  audio.channels.assign(2, std::vector<double>(riff.begin(), riff.begin() + static_cast<long>(rate)));
  for (size_t i = 0; i < audio.channels[1].size(); ++i) audio.channels[1][i] *= -0.5;
  return audio;
}

// A fresh Torvane, opened as a host opens it.
struct OpenedTorvane {
  explicit OpenedTorvane(double rate, int block) : record(effect.EffectRecord()) {
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    record->dispatcher(record, effSetBlockSize, 0, block, nullptr, 0.0f);
  }
  void Set(int index, const char* text) {
    std::string copy(text);
    record->dispatcher(record, effString2Parameter, index, 0, copy.data(), 0.0f);
  }
  std::vector<char> State() {
    void* data = nullptr;
    const VstIntPtr size = record->dispatcher(record, effGetChunk, 1, 0, &data, 0.0f);
    return std::vector<char>(static_cast<char*>(data), static_cast<char*>(data) + size);
  }
  Torvane effect{nullptr};
  AEffect* record;
};

// The same effect run in-process the way the renderer drives it: stereo,
// single precision, fixed blocks, the delay flushed with silence and cut off.
std::vector<std::vector<float>> RenderInProcess(const Audio& input, int block) {
  OpenedTorvane torvane(input.sampleRate, block);
  AEffect* record = torvane.record;
  torvane.Set(13, "Stereo");
  torvane.Set(1, "3");
  torvane.Set(9, "50 Hz");
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

// A decoded plot, or an empty one.
std::unique_ptr<MemBitmap> ReadPlot(const std::string& path) {
  std::unique_ptr<MemBitmap> image = LoadPngFile(path.c_str(), true);
  return image ? std::move(image) : std::make_unique<MemBitmap>();
}

// The rows of column x between top and bottom that show exactly `colour`:
// the first and the last, or -1 for both where there are none.
std::pair<int, int> RowsOfColour(const MemBitmap& image, int x, int top, int bottom, uint32_t colour) {
  std::pair<int, int> rows(-1, -1);
  for (int y = top; y < bottom; ++y) {
    if ((RowStart(image, y)[x] | 0xFF000000u) != colour) continue;
    if (rows.first < 0) rows.first = y;
    rows.second = y;
  }
  return rows;
}

void ExpectSameSamples(const Audio& rendered, const Audio& expected) {
  ASSERT_EQ(rendered.channels.size(), expected.channels.size());
  ASSERT_EQ(rendered.Frames(), expected.Frames());
  for (size_t c = 0; c < rendered.channels.size(); ++c) {
    for (size_t f = 0; f < rendered.Frames(); ++f) {
      ASSERT_EQ(rendered.channels[c][f], expected.channels[c][f]) << c << ":" << f;
    }
  }
}

}  // namespace

TEST_F(RenderFiles, StereoFileIsProcessedInStereoUnlessMonoIsChosen) {
  const Audio input = StereoTestSignal(44100.0);
  WriteInput("in.wav", input, SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
  const Outcome run = Renderer("-b 300 -s Dirt=3 -s 'LF Cut=50 Hz' -o " + Path("out.wav") + " " + Path("in.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "channel  Stereo (chosen for the two-channel input)")) << run.output;
  EXPECT_TRUE(Contains(run.output, "latency  64 samples (compensated)")) << run.output;
  EXPECT_TRUE(Contains(run.output, "real-time factor")) << run.output;

  const Audio rendered = ReadAudio(Path("out.wav"));
  ASSERT_EQ(rendered.channels.size(), 2u);
  ASSERT_EQ(rendered.Frames(), input.Frames());
  EXPECT_EQ(rendered.sampleRate, 44100.0);
  EXPECT_EQ(rendered.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const auto expected = RenderInProcess(input, 300);
  for (int c = 0; c < 2; ++c) {
    for (size_t f = 0; f < input.Frames(); ++f) {
      ASSERT_EQ(static_cast<float>(rendered.channels[c][f]), expected[c][f]) << c << ":" << f;
    }
  }

  // Mono chosen by the user stays mono: the left input alone, on both outputs.
  const Outcome mono = Renderer("-s channel=MONO -o " + Path("mono.wav") + " " + Path("in.wav"));
  ASSERT_EQ(mono.status, 0) << mono.output;
  EXPECT_TRUE(Contains(mono.output, "channel  Mono (set on the command line)")) << mono.output;
  EXPECT_TRUE(Contains(mono.output, "only the left input channel is processed")) << mono.output;
  const Audio monoOut = ReadAudio(Path("mono.wav"));
  ASSERT_EQ(monoOut.channels.size(), 2u);
  EXPECT_EQ(monoOut.channels[0], monoOut.channels[1]);
}

TEST_F(RenderFiles, MonoFileFeedsBothInputsAndDoublePrecisionWorks) {
  Audio mono;
  mono.sampleRate = 48000.0;
  mono.channels.push_back(SynthesizeBassRiff(48000.0));
  mono.channels[0].resize(24000);
  WriteInput("mono.flac", mono, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const Outcome run = Renderer("--double -s Channel=Stereo -o " + Path("out.wav") + " " + Path("mono.flac"));
  ASSERT_EQ(run.status, 0) << run.output;
  const Audio rendered = ReadAudio(Path("out.wav"));
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
  const Audio a = ReadAudio(Path("kept.wav")), b = ReadAudio(Path("aligned.wav"));
  ASSERT_EQ(a.Frames(), b.Frames());
  for (size_t f = 0; f < 64; ++f) EXPECT_EQ(a.channels[0][f], 0.0);
  for (size_t f = 64; f < a.Frames(); f += 97) ASSERT_EQ(a.channels[0][f], b.channels[0][f - 64]) << f;
}

TEST_F(RenderFiles, StateSavedToAFileRestoresTheSameSound) {
  const Outcome save = Renderer("-s 'Sub Bass=6.5' -s Process=7 -s 'Input Trim=+6 dB' --save-state " +
                                Path("bass.state") + " -o " + Path("first.wav"));
  ASSERT_EQ(save.status, 0) << save.output;
  const std::vector<char> saved = ReadBytes(Path("bass.state"));
  EXPECT_EQ(saved.size(), 148u);  // header, count, editor size, 14 values
  const Outcome load = Renderer("--load-state " + Path("bass.state") + " -o " + Path("second.wav"));
  ASSERT_EQ(load.status, 0) << load.output;
  const Audio first = ReadAudio(Path("first.wav")), second = ReadAudio(Path("second.wav"));
  EXPECT_EQ(first.channels, second.channels);
  ASSERT_EQ(Renderer("-o " + Path("plain.wav")).status, 0);
  EXPECT_NE(ReadAudio(Path("plain.wav")).channels, first.channels);

  // A state saved before the editor size travelled in it (124 bytes) still loads.
  std::vector<char> older(saved.begin(), saved.begin() + 12);
  older.insert(older.end(), saved.begin() + 36, saved.end());
  std::ofstream(Path("older.state"), std::ios::binary).write(older.data(), static_cast<std::streamsize>(older.size()));
  ASSERT_EQ(Renderer("--load-state " + Path("older.state") + " -o " + Path("third.wav")).status, 0);
  EXPECT_EQ(ReadAudio(Path("third.wav")).channels, first.channels);
}

TEST_F(RenderFiles, SettingsApplyInCommandLineOrderByTextNumberOrUnit) {
  const Outcome run = Renderer(
      "-s channel=STEREO -s 'LF Cut=50' -s 'Output=-3 dB' -s Transients=1 -s 'Input Trim=-6' "
      "--position Output=0.75 -s 'sub bass=2.5dB' --save-state " + Path("s.state") + " -o " + Path("o.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<char> state = ReadBytes(Path("s.state"));
  ASSERT_GE(state.size(), 12u + 14 * 8);
  EXPECT_EQ(StateValue(state, 13, 14), 1.0);   // Channel: Stereo
  EXPECT_EQ(StateValue(state, 9, 14), 3.0);    // LF Cut: 50 Hz is choice 3
  EXPECT_EQ(StateValue(state, 10, 14), 10.0);  // Output: the later position 0.75 of -20..20 dB
  EXPECT_EQ(StateValue(state, 12, 14), 1.0);   // Transients: on
  EXPECT_EQ(StateValue(state, 11, 14), 0.0);   // Input Trim: -6 dB is choice 0
  EXPECT_EQ(StateValue(state, 2, 14), 2.5);    // Sub Bass

  struct Case {
    const char* setting;
    const char* message;
  };
  const Case refused[] = {
      {"-s Output=25", "\"Output\" 25 is outside its range -20.0 to 20.0 dB"},
      {"-s 'LF Cut=55 Hz'", "\"LF Cut\" takes 20 Hz, 30 Hz, 40 Hz, 50 Hz, 60 Hz, 70 Hz, 80 Hz, 90 Hz, 100 Hz"},
      {"-s 'Sub Bass=3 Hz'", "\"Sub Bass\" is set in dB, not in \"Hz\""},
      {"-s Channel=2", "\"Channel\" takes Mono (0), Stereo (1), not \"2\""},
      {"-s Bass=3", "no parameter \"Bass\"; its parameters are:\n  Process\n  Dirt\n  Sub Bass"},
      {"--position Output=1.5", "between 0 and 1"},
  };
  for (const Case& c : refused) {
    const Outcome bad = Renderer(std::string(c.setting) + " -o " + Path("bad.wav"));
    EXPECT_EQ(bad.status, 1) << c.setting;
    EXPECT_TRUE(Contains(bad.output, c.message)) << bad.output;
    EXPECT_FALSE(Exists("bad.wav"));
  }
}

TEST_F(RenderFiles, ListsParametersWithRangeUnitDefaultAndChoices) {
  const Outcome run = Renderer("--list-params");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, " 2  Sub Bass      -10.0 to 10.0  dB    0.0\n")) << run.output;
  EXPECT_TRUE(Contains(run.output, " 9  LF Cut        20 to 100      Hz    30 Hz    20 Hz, 30 Hz, 40 Hz,")) << run.output;
  EXPECT_TRUE(Contains(run.output, "13  Channel       0 to 1               Mono     Mono (0), Stereo (1)\n"))
      << run.output;
}

TEST_F(RenderFiles, NonFiniteInputSamplesAreCountedAndReported) {
  Audio input = StereoTestSignal(48000.0);
  input.channels[0][100] = std::numeric_limits<double>::quiet_NaN();
  input.channels[0][200] = std::numeric_limits<double>::quiet_NaN();
  input.channels[1][300] = -std::numeric_limits<double>::infinity();
  WriteInput("nan.wav", input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const Outcome run = Renderer("-o " + Path("out.wav") + " " + Path("nan.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "warning: the input holds 3 samples that are not finite numbers (2 NaN, 1 infinite)"))
      << run.output;
  EXPECT_TRUE(Contains(run.output, "2 NaN left out")) << run.output;
  EXPECT_TRUE(Contains(run.output, "input   ch 2  peak   +inf dBFS")) << run.output;
}

TEST_F(RenderFiles, StreamsThroughPipesExactlyAsFromFiles) {
  const Audio input = StereoTestSignal(48000.0);
  WriteInput("in.wav", input, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(Renderer("-q -o " + Path("named.wav") + " " + Path("in.wav")).status, 0);

  // A WAV as streaming writers send it: both sizes 0xFFFFFFFF.
  std::vector<char> streamed = ReadBytes(Path("in.wav"));
  ASSERT_EQ(std::string(streamed.begin() + 36, streamed.begin() + 40), "data");
  for (size_t at : {4, 40}) std::memset(streamed.data() + at, 0xFF, 4);
  std::ofstream(Path("streamed.wav"), std::ios::binary).write(streamed.data(), streamed.size());
  const Outcome piped =
      Shell("cat " + Path("streamed.wav") + " | " + kRenderer + " -q - -o - | cat > " + Path("piped.wav"));
  ASSERT_EQ(piped.status, 0) << piped.output;
  ExpectSameSamples(ReadAudio(Path("piped.wav")), ReadAudio(Path("named.wav")));

  // OGG on standard input has no known length at all.
  WriteInput("in.ogg", input, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  ASSERT_EQ(Renderer("-q -o " + Path("ogg-named.wav") + " " + Path("in.ogg")).status, 0);
  const Outcome ogg = Shell("cat " + Path("in.ogg") + " | " + kRenderer + " -q -o " + Path("ogg-piped.flac") + " -");
  ASSERT_EQ(ogg.status, 0) << ogg.output;
  const Audio fromPipe = ReadAudio(Path("ogg-piped.flac"));
  EXPECT_EQ(fromPipe.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(fromPipe.Frames(), ReadAudio(Path("ogg-named.wav")).Frames());
}

TEST_F(RenderFiles, IntegerOutputsClipAtFullScaleAndSayHowOften) {
  const Outcome run = Renderer("-s Output=20 -e 16 -o " + Path("loud.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "samples beyond full scale were clipped")) << run.output;
  ASSERT_EQ(Renderer("-s Output=20 -o " + Path("loud-float.wav")).status, 0);
  const Audio exact = ReadAudio(Path("loud-float.wav"));
  SF_INFO info = {};
  SNDFILE* file = sf_open(Path("loud.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
  std::vector<short> samples(static_cast<size_t>(info.frames) * info.channels);
  ASSERT_EQ(sf_readf_short(file, samples.data(), info.frames), static_cast<sf_count_t>(exact.Frames()));
  sf_close(file);
  // Every sample is the float one scaled to 16 bits (within the one step that
  // rounding may take) and limited to the end of the range on its own side:
  // clipped, never wrapped around.
  int clipped = 0;
  for (size_t f = 0; f < exact.Frames(); ++f) {
    for (int c = 0; c < 2; ++c) {
      const double x = exact.channels[c][f];
      const int sample = samples[f * 2 + c];
      ASSERT_LT(std::fabs(sample - std::max(-32768.0, std::min(32767.0, x * 32768.0))), 1.0) << f;
      clipped += std::fabs(x) > 1.0;
    }
  }
  EXPECT_GT(clipped, 100);
  EXPECT_TRUE(Contains(run.output, "warning: " + std::to_string(clipped) + " samples beyond full scale")) << run.output;
}

TEST_F(RenderFiles, OutputsAreWrittenThroughAndNeverOverTheirSources) {
  // A symbolic link is written through and stays a link; the file keeps its mode.
  ASSERT_EQ(Renderer("-q -o " + Path("real.wav")).status, 0);
  ASSERT_EQ(chmod(Path("real.wav").c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.wav", Path("link.wav").c_str()), 0);
  ASSERT_EQ(Renderer("-q -s Output=-6 -o " + Path("link.wav")).status, 0);
  struct stat status = {};
  ASSERT_EQ(lstat(Path("link.wav").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  ASSERT_EQ(stat(Path("real.wav").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);

  // A named pipe is written into, not replaced.
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  const Outcome fifo = Shell("cat " + Path("fifo") + " > " + Path("from-fifo.wav") + " & " + kRenderer + " -q -o " +
                             Path("fifo") + "; wait");
  ASSERT_EQ(fifo.status, 0) << fifo.output;
  ASSERT_EQ(lstat(Path("fifo").c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
  EXPECT_EQ(ReadAudio(Path("from-fifo.wav")).Frames(), ReadAudio(Path("real.wav")).Frames());

  // A device node (where this user may make one) is written into, not replaced.
  if (mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    ASSERT_EQ(Renderer("-q -o " + Path("null")).status, 0);
    ASSERT_EQ(lstat(Path("null").c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(status.st_rdev, makedev(1, 3));
  }

  // Never over the input or a state file, whatever the path looks like.
  const std::vector<char> before = ReadBytes(Path("real.wav"));
  struct Case {
    std::string arguments;
    const char* message;
  };
  const Case refused[] = {
      {Path("real.wav") + " -o " + Path("link.wav"), "the output is the input file"},
      {dir + "/./real.wav -o " + Path("real.wav"), "the output is the input file"},
      {"--save-state " + Path("real.wav") + " " + Path("link.wav"), "--save-state is the input file"},
      {"--save-state " + Path("x.state") + " -o " + Path("x.state"), "the output is the state file"},
  };
  for (const Case& c : refused) {
    const Outcome run = Renderer("-q " + c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments;
    EXPECT_TRUE(Contains(run.output, c.message)) << run.output;
  }
  EXPECT_EQ(ReadBytes(Path("real.wav")), before);
  EXPECT_FALSE(Exists("x.state"));
}

TEST_F(RenderFiles, StateFilesThatAreNotTorvaneStatesAreRefused) {
  WriteInput("small.wav", StereoTestSignal(8000.0));
  std::vector<char> state = OpenedTorvane(48000.0, 512).State();
  std::ofstream(Path("short.state"), std::ios::binary).write(state.data(), state.size() - 8);
  state[8] = 13;  // the parameter count
  std::ofstream(Path("count.state"), std::ios::binary).write(state.data(), state.size());
  ASSERT_EQ(mkdir(Path("folder").c_str(), 0700), 0);
  struct Case {
    std::string file;
    const char* message;
  };
  const Case refused[] = {
      {"small.wav", "does not begin with the header \"tffp\""},
      {"short.state", "bytes long"},
      {"count.state", "holds 13 parameters, the plug-in has 14"},
      {"folder", "is a directory"},
      {"missing.state", "cannot read the state file"},
  };
  for (const Case& c : refused) {
    const Outcome run = Renderer("--load-state " + Path(c.file) + " -o " + Path("out.wav"));
    EXPECT_EQ(run.status, 2) << c.file;
    EXPECT_TRUE(Contains(run.output, c.message)) << run.output;
    EXPECT_FALSE(Exists("out.wav"));
  }
}

TEST_F(RenderFiles, BadInputsFailClearlyAndLeaveNoOutput) {
  std::ofstream(Path("noise.wav")) << "this is not audio";
  std::ofstream(Path("fake.so")) << "not a library";
  Audio three;
  three.sampleRate = 48000.0;
  three.channels.assign(3, std::vector<double>(1000, 0.1));
  WriteInput("three.wav", three);
  WriteInput("48k.wav", StereoTestSignal(48000.0));

  struct Case {
    std::string arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {Path("missing.wav"), 2, "cannot read"},
      {Path("noise.wav"), 2, "cannot read"},
      {"-p " + Path("missing.so"), 2, "cannot load"},
      {"-p " + Path("fake.so"), 2, "cannot load"},
      {"-p " + std::string(NOT_A_PLUGIN_PATH), 2, "is not a VST 2.4 plug-in"},
      {"-p " + std::string(NULL_PLUGIN_PATH), 2, "returned no effect record"},
      {Path("three.wav"), 2, "3 channels"},
      {"--rate 44100 " + Path("48k.wav"), 2, "sample-rate mismatch"},
      {"-o " + Path("no/such/folder/out.wav"), 2, "cannot write"},
      {"-o " + Path("out.mp9"), 1, "cannot tell the output format"},
      {"-e float -o " + Path("out.flac"), 1, "FLAC takes --sample-format 16 or 24"},
      {"--block 0", 1, "block size"},
      {"--frobnicate", 1, "unknown"},
      {"-s novalue", 1, "NAME=VALUE"},
      {Path("48k.wav") + " " + Path("48k.wav"), 1, "one input at most"},
      {"--plot-size 400x300 --plot " + Path("p.png"), 1, "from 480x320 to 7680x4320, got \"400x300\""},
      {"--plot-size 800x --plot " + Path("p.png"), 1, "WIDTHxHEIGHT"},
      {"--plot-size 800x600", 1, "give --plot FILE too"},
      {"--plot " + Path("48k.wav") + " " + Path("48k.wav"), 1, "the plot is the input file"},
      {"--plot - -o -", 1, "only one of the output, the state file and the plot"},
      {"--plot " + Path("no/such/folder/p.png"), 2, "cannot write"},
  };
  for (const Case& c : cases) {
    const bool named = Contains(c.arguments, "-o ");
    const Outcome run = Renderer(named ? c.arguments : c.arguments + " -o " + Path("out.wav"));
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    EXPECT_TRUE(Contains(run.output, c.message)) << c.arguments << "\n" << run.output;
    EXPECT_FALSE(Exists("out.wav")) << c.arguments;
  }
  const std::vector<std::string> left = {"out.wav", "out.mp9", "out.flac", "p.png"};
  for (const std::string& name : left) EXPECT_FALSE(Exists(name)) << name;
  EXPECT_TRUE(Shell("ls -A " + dir + " | grep partial").output.empty());
}

TEST_F(RenderFiles, RunsAThirdPartyPlugin) {
  const char* plugin = "/usr/lib/vst/lsp-plugins/mb-compressor-stereo.so";
  ASSERT_EQ(access(plugin, R_OK), 0) << "the setup script installs lsp-plugins-vst";
  const Audio input = StereoTestSignal(48000.0);
  WriteInput("in.wav", input);
  // Under AddressSanitizer the third-party library's own leaks are not ours to report.
  const Outcome run = Shell("ASAN_OPTIONS=detect_leaks=0 " + kRenderer + " -p " + plugin + " -b 256 -o " +
                            Path("out.wav") + " " + Path("in.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  const Audio rendered = ReadAudio(Path("out.wav"));
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

// A tone at 1800 Hz grows loud at 1.2 s, one at 80 Hz at 2.8 s. The leveling
// of the band each tone falls in pulls its gain down at that moment: in the
// plot, that lane's curve drops at the column of that time and the lane of
// the other band stays where it was. The audio comes through a pipe, so the
// renderer does not know its length while it records.
TEST_F(RenderFiles, PlotShowsEachBandsLevelingStepInItsLaneAtItsTime) {
  constexpr double kRate = 48000.0, kSeconds = 4.0, kPi = 3.14159265358979323846;
  constexpr double kPresenceStep = 1.2, kLowBassStep = 2.8;
  constexpr int kSubBass = 0, kLowBass = 1, kPresence = 5, kTreble = 6, kWidth = 960, kHeight = 540;
  Audio steps;
  steps.sampleRate = kRate;
  steps.channels.assign(1, std::vector<double>(static_cast<size_t>(kRate * kSeconds)));
  for (size_t i = 0; i < steps.Frames(); ++i) {
    const double t = i / kRate;
    steps.channels[0][i] = (t < kPresenceStep ? 0.02 : 0.3) * std::sin(2 * kPi * 1800 * t) +
                           (t < kLowBassStep ? 0.02 : 0.3) * std::sin(2 * kPi * 80 * t + 0.3);
  }
  WriteInput("steps.wav", steps, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const Outcome run = Shell("cat " + Path("steps.wav") + " | " + kRenderer + " -s Process=10 --plot-size " +
                            std::to_string(kWidth) + "x" + std::to_string(kHeight) + " --plot " + Path("p.png") +
                            " -o " + Path("out.wav") + " -");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "plot     " + Path("p.png") + " (960 x 540)")) << run.output;
  const std::unique_ptr<MemBitmap> plot = ReadPlot(Path("p.png"));
  ASSERT_EQ(plot->Width(), kWidth);
  ASSERT_EQ(plot->Height(), kHeight);

  const PlotLayout layout = PlotLayout::For(kWidth, kHeight, 8);
  ASSERT_EQ(layout.lanes.size(), 8u);
  // The middle row of a lane's curve in a column, and its mean over columns.
  auto curve = [&](int meter, int column) {
    const RasterRect& lane = layout.lanes[meter];
    const auto rows = RowsOfColour(*plot, lane.left + column, lane.top, lane.bottom, PlotPainter::LaneColour(meter));
    EXPECT_GE(rows.first, 0) << "lane " << meter << " column " << column;
    return (rows.first + rows.second) / 2.0;
  };
  auto mean = [&](int meter, int from, int to) {
    double sum = 0.0;
    for (int c = from; c < to; ++c) sum += curve(meter, c);
    return sum / (to - from);
  };
  auto columnOf = [&](double seconds) { return static_cast<int>(seconds / kSeconds * layout.Columns()); };
  struct Step {
    int meter;
    double seconds;
    int latest;   // columns the band's attack may take to show half the step
    int quiet[2];  // lanes of far bands, which stay put
  };
  const Step stepsToFind[] = {{kPresence, kPresenceStep, 2, {kLowBass, kSubBass}},
                              {kLowBass, kLowBassStep, 6, {kPresence, kTreble}}};
  for (const Step& step : stepsToFind) {
    const int at = columnOf(step.seconds);
    const double before = mean(step.meter, at - 40, at - 8), after = mean(step.meter, at + 25, at + 60);
    EXPECT_GT(after - before, 6.0) << "lane " << step.meter << ": the gain falls (rows grow downward)";
    int first = at - 8;
    while (first < at + 60 && curve(step.meter, first) - before < (after - before) / 2) ++first;
    // Meters hold for the block they follow, which may start a little before the step.
    EXPECT_GE(first, at - 3) << "lane " << step.meter;
    EXPECT_LE(first, at + step.latest) << "lane " << step.meter;
    for (int other : step.quiet) {
      EXPECT_LT(std::fabs(mean(other, at + 25, at + 60) - mean(other, at - 40, at - 8)), 1.5)
          << "lane " << other << " at " << step.seconds << " s";
    }
  }
}

// Several plug-ins packaged by Debian export only the older entry name. The
// renderer runs them, and their plot shows the two waveforms alone and says
// why: here the output's envelope is half the input's.
TEST_F(RenderFiles, PluginExportingOnlyMainRendersAndPlotsItsWaveforms) {
  const Audio input = StereoTestSignal(48000.0);
  WriteInput("in.wav", input, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  const Outcome run = Renderer("-p " + std::string(MAIN_ONLY_PLUGIN_PATH) + " --plot " + Path("p.png") + " -o " +
                               Path("out.wav") + " " + Path("in.wav"));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(run.output, "plug-in  Half Gain (")) << run.output;
  EXPECT_TRUE(Contains(run.output, "note: Half Gain has no Torvane meters: the plot shows the waveforms only"))
      << run.output;
  const Audio rendered = ReadAudio(Path("out.wav"));
  ASSERT_EQ(rendered.Frames(), input.Frames());
  for (int c = 0; c < 2; ++c) {
    for (size_t f = 0; f < input.Frames(); ++f) {
      ASSERT_EQ(rendered.channels[c][f], 0.5f * static_cast<float>(input.channels[c][f])) << c << ":" << f;
    }
  }

  const std::unique_ptr<MemBitmap> plot = ReadPlot(Path("p.png"));
  ASSERT_EQ(plot->Width(), PlotLayout::kDefaultWidth);
  ASSERT_EQ(plot->Height(), PlotLayout::kDefaultHeight);
  const PlotLayout layout = PlotLayout::For(plot->Width(), plot->Height(), 0);
  EXPECT_TRUE(layout.lanes.empty());
  int tallest = 0, matched = 0;
  for (int c = 0; c < layout.Columns(); ++c) {
    const int x = layout.left + c;
    const auto in = RowsOfColour(*plot, x, layout.input.top, layout.input.bottom, PlotPainter::WaveColour(false));
    const auto out = RowsOfColour(*plot, x, layout.output.top, layout.output.bottom, PlotPainter::WaveColour(true));
    ASSERT_GE(in.first, 0) << c;
    ASSERT_GE(out.first, 0) << c;
    const int inHeight = in.second - in.first, outHeight = out.second - out.first;
    tallest = std::max(tallest, inHeight);
    // Tall enough that the joins to the neighbouring columns do not matter.
    if (inHeight > 40) {
      EXPECT_NEAR(outHeight, inHeight / 2.0, 2.0) << c;
      ++matched;
    }
  }
  EXPECT_GT(tallest, (layout.input.bottom - layout.input.top) / 3);
  EXPECT_GT(matched, layout.Columns() / 4);
}

}  // namespace torvane
