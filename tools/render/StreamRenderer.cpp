#include "tools/render/StreamRenderer.h"

#include <algorithm>

namespace torvane {

StreamRenderer::StreamRenderer(OfflineHost& host, int blockSize, bool compensateLatency)
    : host_(host), blockSize_(blockSize), compensateLatency_(compensateLatency) {}

bool StreamRenderer::Run(AudioSource& source, SoundFileWriter& writer, const Callbacks& callbacks,
                         std::string& error) {
  const size_t block = static_cast<size_t>(blockSize_);
  const int fileChannels = source.Channels(), inputs = host_.NumInputs(), outputs = host_.NumOutputs();
  if (fileChannels > 1 && fileChannels > inputs) {
    error = "the input has " + std::to_string(fileChannels) + " channels but the plug-in only " +
            std::to_string(inputs) + " inputs";
    return false;
  }
  inputLevels_ = LevelMeter(fileChannels);
  outputLevels_ = LevelMeter(outputs);
  std::vector<double> fileFrames(block * fileChannels), outputFrames(block * outputs);
  std::vector<std::vector<double>> in(std::max(inputs, 1), std::vector<double>(block));
  std::vector<std::vector<double>> out(outputs, std::vector<double>(block));
  std::vector<double*> inPointers, outPointers;
  for (auto& channel : in) inPointers.push_back(channel.data());
  for (auto& channel : out) outPointers.push_back(channel.data());

  host_.Start();
  const size_t latency = compensateLatency_ ? static_cast<size_t>(host_.Latency()) : 0;
  size_t toDrop = latency, toFlush = latency;
  bool ended = false;
  for (;;) {
    if (callbacks.interrupted && callbacks.interrupted()) {
      error = "interrupted";
      return false;
    }
    size_t read = 0;
    if (!ended) {
      if (!source.Read(fileFrames.data(), block, read, error)) return false;
      inputLevels_.Add(fileFrames.data(), read);
      framesRead_ += read;
      ended = read < block;
    }
    // Once the input is exhausted, silence pushes the delayed tail out.
    const size_t silence = ended ? std::min(block - read, toFlush) : 0;
    toFlush -= silence;
    const size_t frames = read + silence;
    if (frames == 0) break;

    for (int c = 0; c < inputs; ++c) {
      const int from = fileChannels == 1 ? 0 : c;
      for (size_t i = 0; i < frames; ++i) {
        in[c][i] = i < read && from < fileChannels ? fileFrames[i * fileChannels + from] : 0.0;
      }
    }
    host_.Process(inPointers.data(), outPointers.data(), static_cast<int>(frames));

    const size_t skipped = std::min(toDrop, frames);
    toDrop -= skipped;
    const size_t kept = frames - skipped;
    for (size_t i = 0; i < kept; ++i) {
      for (int c = 0; c < outputs; ++c) outputFrames[i * outputs + c] = out[c][skipped + i];
    }
    outputLevels_.Add(outputFrames.data(), kept);
    if (!writer.Write(outputFrames.data(), kept, error)) return false;
    framesWritten_ += kept;
    if (callbacks.processed) {
      callbacks.processed({fileFrames.data(), read, fileChannels, outputFrames.data(), kept, outputs});
    }
    if (callbacks.progress) callbacks.progress(framesRead_);
  }
  return true;
}

}  // namespace torvane
