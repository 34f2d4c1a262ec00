// The renderer's own cost. The built tool renders a stereo 24-bit file of 1
// and of 10 minutes into a float WAV, as a user runs it, and the 10 minutes
// once more drawing the plot of the meters and waveforms (--plot); the same
// 10 minutes go through the plug-in alone, in this process, in the same
// blocks, without and with the plot's recording, and the plot's picture is
// drawn once. Reports the wall time of each run, the real-time factor and the
// tool's peak memory (maximum resident set), which streaming keeps the same
// for any length. On a busy machine compare processor times: the CPU column
// of the plug-in alone against cpu_s of the tool, and the plug-in alone with
// the recording against it without.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "effect/Torvane.h"
#include "raster/MemBitmap.h"
#include "raster/PngWriter.h"
#include "tests/support/VstHosted.h"
#include "tools/render/BassRiff.h"
#include "tools/render/PlotLayout.h"
#include "tools/render/PlotPainter.h"
#include "tools/render/PlotRecorder.h"
#include "vst/MeterRequest.h"

namespace torvane {

namespace {
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kChannels = 2;

// The input for every run: the built-in riff over and over, the right channel
// at half level and inverted, so the two channels differ.
class StereoBass {
 public:
  StereoBass() : riff_(SynthesizeBassRiff(kRate)) {}
  void Next(float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
      left[i] = static_cast<float>(riff_[position_]);
      right[i] = -0.5f * left[i];
      position_ = (position_ + 1) % riff_.size();
    }
  }

 private:
  std::vector<double> riff_;
  size_t position_ = 0;
};

size_t FramesOf(int minutes) { return static_cast<size_t>(minutes * 60 * kRate); }

// A scratch folder with one input file per length, made on first use and
// removed when the program ends.
class Files {
 public:
  ~Files() {
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  std::string Input(int minutes) {
    if (inputs_.count(minutes)) return inputs_[minutes];
    const std::string path = Dir() + "/in-" + std::to_string(minutes) + "min.wav";
    SF_INFO info = {};
    info.samplerate = static_cast<int>(kRate);
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return "";
    StereoBass bass;
    std::vector<float> left(kBlock), right(kBlock), frames(kBlock * kChannels);
    for (size_t done = 0, total = FramesOf(minutes); done < total; done += kBlock) {
      const int n = static_cast<int>(std::min<size_t>(kBlock, total - done));
      bass.Next(left.data(), right.data(), n);
      for (int i = 0; i < n; ++i) {
        frames[i * 2] = left[i];
        frames[i * 2 + 1] = right[i];
      }
      sf_writef_float(file, frames.data(), n);
    }
    sf_close(file);
    return inputs_[minutes] = path;
  }
  std::string Output() { return Dir() + "/out.wav"; }
  std::string Plot() { return Dir() + "/out.png"; }

 private:
  const std::string& Dir() {
    if (dir_.empty()) {
      char pattern[] = "/tmp/torvane-render-bench-XXXXXX";
      if (mkdtemp(pattern)) dir_ = pattern;
    }
    return dir_;
  }
  std::string dir_;
  std::map<int, std::string> inputs_;
};

Files files;

// Runs the renderer to completion; false if it failed. Its maximum resident
// set and processor time (user and system) come back in `usage`.
bool RunRenderer(const std::string& input, bool plot, rusage& usage) {
  const std::string output = files.Output(), picture = files.Plot();
  const pid_t child = fork();
  if (child == 0) {
    if (plot) {
      execl(TORVANE_RENDER_PATH, TORVANE_RENDER_PATH, "-q", "--plot", picture.c_str(), "-o", output.c_str(),
            input.c_str(), static_cast<char*>(nullptr));
    } else {
      execl(TORVANE_RENDER_PATH, TORVANE_RENDER_PATH, "-q", "-o", output.c_str(), input.c_str(),
            static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  int status = 0;
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Arguments: minutes, and 1 to draw the plot too.
void RendererOnAFile(benchmark::State& state) {
  const int minutes = static_cast<int>(state.range(0));
  const bool plot = state.range(1) != 0;
  const std::string input = files.Input(minutes);
  rusage usage = {};
  for (auto _ : state) {
    if (!RunRenderer(input, plot, usage)) state.SkipWithError("the renderer failed");
  }
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
  state.counters["realtime_x"] = benchmark::Counter(minutes * 60.0, benchmark::Counter::kIsIterationInvariantRate);
  // The child's processor time: what the tool costs whatever else the machine runs.
  state.counters["cpu_s"] = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  state.counters["peak_MiB"] = usage.ru_maxrss / 1024.0;
}

// The plug-in's own processing of the same audio, as the renderer calls it:
// stereo, single precision, blocks of 512, each block also interleaved in
// double precision as the renderer hands it on. Argument plot = 1: as with
// --plot, the meters are read after every block and the block recorded for
// the picture, the difference to plot = 0 being what recording costs.
void PluginAlone(benchmark::State& state) {
  const int minutes = static_cast<int>(state.range(0));
  const bool plot = state.range(1) != 0;
  std::vector<float> inLeft(kBlock), inRight(kBlock), outLeft(kBlock), outRight(kBlock);
  std::vector<double> input(kBlock * kChannels), output(kBlock * kChannels);
  const int columns = PlotLayout::For(PlotLayout::kDefaultWidth, PlotLayout::kDefaultHeight, 8).Columns();
  for (auto _ : state) {
    state.PauseTiming();
    VstHosted<Torvane> effectHosted;
    Torvane& effect = effectHosted.effect;
    AEffect* record = VstRecord(effect);
    record->dispatcher(record, effOpen, 0, 0, nullptr, 0.0f);
    record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    record->dispatcher(record, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    record->setParameter(record, Torvane::kChannel, 1.0f);
    record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
    StereoBass bass;
    PlotRecorder recorder(4 * columns, 8);
    double meters[8] = {};
    if (plot) record->dispatcher(record, effVendorSpecific, kVendorSpecificReadMeters, 8, meters, 0.0f);
    state.ResumeTiming();
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    for (size_t done = 0, total = FramesOf(minutes); done < total; done += kBlock) {
      const int n = static_cast<int>(std::min<size_t>(kBlock, total - done));
      bass.Next(inLeft.data(), inRight.data(), n);
      record->processReplacing(record, inputs, outputs, n);
      for (int i = 0; i < n; ++i) {
        input[2 * i] = inLeft[i];
        input[2 * i + 1] = inRight[i];
        output[2 * i] = outLeft[i];
        output[2 * i + 1] = outRight[i];
      }
      if (plot) {
        record->dispatcher(record, effVendorSpecific, kVendorSpecificReadMeters, 8, meters, 0.0f);
        recorder.Add({input.data(), static_cast<size_t>(n), kChannels, output.data(), static_cast<size_t>(n),
                      kChannels},
                     meters);
      }
    }
    benchmark::DoNotOptimize(output.data());
    benchmark::DoNotOptimize(recorder.Count());
  }
  state.counters["realtime_x"] = benchmark::Counter(minutes * 60.0, benchmark::Counter::kIsIterationInvariantRate);
}

// The picture itself, once per render whatever its length: the default
// size drawn from ten minutes of recorded blocks and encoded as a PNG.
void PlotPicture(benchmark::State& state) {
  const int columns = PlotLayout::For(PlotLayout::kDefaultWidth, PlotLayout::kDefaultHeight, 8).Columns();
  PlotRecorder recorder(4 * columns, 8);
  StereoBass bass;
  std::vector<float> left(kBlock), right(kBlock);
  std::vector<double> frames(kBlock * kChannels);
  double meters[8];
  for (size_t done = 0, block = 0; done < FramesOf(10); done += kBlock, ++block) {
    bass.Next(left.data(), right.data(), kBlock);
    for (int i = 0; i < kBlock; ++i) {
      frames[2 * i] = left[i];
      frames[2 * i + 1] = right[i];
    }
    for (int k = 0; k < 8; ++k) meters[k] = 0.5 + 0.1 * std::sin(0.001 * block * (k + 1));
    recorder.Add({frames.data(), kBlock, kChannels, frames.data(), kBlock, kChannels}, meters);
  }
  PlotCaption caption;
  caption.name = "ten minutes";
  caption.sampleRate = kRate;
  caption.frames = FramesOf(10);
  for (auto _ : state) {
    MemBitmap bitmap(PlotLayout::kDefaultWidth, PlotLayout::kDefaultHeight);
    GrowableBuffer png;
    std::string error;
    PlotPainter painter(recorder, caption);
    if (!painter.Paint(bitmap, error)) state.SkipWithError(error.c_str());
    if (!EncodePng(bitmap, png)) state.SkipWithError("no PNG");
    benchmark::DoNotOptimize(png.Data());
  }
}
}  // namespace

BENCHMARK(RendererOnAFile)
    ->Args({1, 0})
    ->Args({10, 0})
    ->Args({10, 1})
    ->ArgNames({"minutes", "plot"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(PluginAlone)
    ->Args({10, 0})
    ->Args({10, 1})
    ->ArgNames({"minutes", "plot"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(PlotPicture)->Unit(benchmark::kMillisecond);

}  // namespace torvane
