#include "tools/render/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace torvane {

namespace {
constexpr int kWidth = 40;
// Ten redraws a second look smooth and cost nothing next to the render.
constexpr std::chrono::milliseconds kRedrawInterval(100);

std::string Clock(double seconds) {
  const long whole = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}
}  // namespace

ProgressBar::ProgressBar(bool enabled, int64_t totalFrames, double sampleRate)
    : enabled_(enabled && isatty(STDERR_FILENO) != 0), totalFrames_(totalFrames), sampleRate_(sampleRate) {}

void ProgressBar::Update(uint64_t frames) {
  if (!enabled_) return;
  frames_ = frames;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - lastDraw_ < kRedrawInterval) return;
  lastDraw_ = now;
  Draw(frames, false);
}

void ProgressBar::Finish() {
  if (!enabled_) return;
  Draw(frames_, true);
  std::fputc('\n', stderr);
  drawn_ = false;
}

void ProgressBar::Clear() {
  if (!enabled_ || !drawn_) return;
  std::fprintf(stderr, "\r%*s\r", kWidth + 40, "");
  drawn_ = false;
}

void ProgressBar::Draw(uint64_t frames, bool done) {
  drawn_ = true;
  if (totalFrames_ < 0) {
    std::fprintf(stderr, "\r%s of audio rendered%s", Clock(frames / sampleRate_).c_str(), done ? ", done" : "");
    return;
  }
  const double share = totalFrames_ > 0 ? std::min(1.0, static_cast<double>(frames) / totalFrames_) : 1.0;
  const int percent = done ? 100 : std::min(99, static_cast<int>(share * 100));
  const int filled = done ? kWidth : static_cast<int>(share * kWidth);
  std::fprintf(stderr, "\r[%s%s] %3d%%  %s of %s", std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), percent, Clock(frames / sampleRate_).c_str(),
               Clock(totalFrames_ / sampleRate_).c_str());
}

}  // namespace torvane
