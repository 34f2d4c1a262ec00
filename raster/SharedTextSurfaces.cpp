#include "raster/SharedTextSurfaces.h"

#include <algorithm>
#include <memory>
#include <new>

namespace torvane {

namespace {

struct SharedState {
  std::mutex lock;
  int fonts = 0;
  std::unique_ptr<SysBitmap> glyphs;
  std::unique_ptr<SysBitmap> scratch;
};

// Built in place on first use and never destroyed: fonts held by process-wide
// caches are released during static destruction, possibly after this file's
// statics would otherwise be gone.
SharedState& State() {
  alignas(SharedState) static unsigned char storage[sizeof(SharedState)];
  static SharedState* state = new (storage) SharedState();
  return *state;
}

// Grows (never shrinks) a surface, creating it on first use.
SysBitmap* Grown(std::unique_ptr<SysBitmap>& surface, int width, int height) {
  if (!surface) {
    surface.reset(new (std::nothrow) SysBitmap(width, height));
    if (!surface) return nullptr;
  } else if (surface->Width() < width || surface->Height() < height) {
    surface->SetSize(std::max(surface->Width(), width), std::max(surface->Height(), height));
  }
  if (!surface->PixelBuffer() || surface->Width() < width || surface->Height() < height) {
    return nullptr;
  }
  return surface.get();
}

}  // namespace

void SharedTextSurfaces::AddFont() noexcept {
  SharedState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  ++state.fonts;
}

void SharedTextSurfaces::RemoveFont() noexcept {
  SharedState& state = State();
  std::lock_guard<std::mutex> lock(state.lock);
  if (--state.fonts > 0) return;
  state.fonts = 0;
  state.glyphs.reset();
  state.scratch.reset();
}

SharedTextSurfaces::Lease::Lease() noexcept : lock_(State().lock) {}

SysBitmap* SharedTextSurfaces::Lease::GlyphSurface(int side) noexcept {
  return Grown(State().glyphs, side, side);
}

SysBitmap* SharedTextSurfaces::Lease::Scratch(int width, int height) noexcept {
  return Grown(State().scratch, std::max(width, 4), std::max(height, 4));
}

}  // namespace torvane
