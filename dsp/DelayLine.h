#pragma once

namespace torvane {

// A fixed-capacity delay: a step stores its input and returns the input of
// `length` steps earlier. Storage is a member array, so nothing is allocated
// after construction. Owned by the look-ahead limiter; stepped on the audio
// thread, rewound from the reset path, both under the plug-in lock.
class DelayLine {
 public:
  static constexpr int kCapacity = 1000;

  // Sets the delay in steps (limited to 0 .. kCapacity - 1) and rewinds to the
  // first slot. The stored samples stay, so what was in the line before comes
  // out again rather than a block of zeros.
  void SetLength(int length) noexcept;

  // Fills the line with silence; length and position stay.
  void Clear() noexcept;
  // Checks the slots in use.
  bool HasFiniteState() const noexcept;

  double Step(double u) noexcept {
    samples_[position_] = u;
    position_ = position_ < length_ ? position_ + 1 : 0;
    return samples_[position_];
  }

  // For runs of steps: the samples the next Length() steps return, oldest
  // first, into held; then Push steps with each input, returning nothing.
  int Length() const noexcept { return length_; }
  void CopyHeld(double* held) const noexcept;
  void Push(const double* inputs, int count) noexcept;

 private:
  int position_ = 0;
  int length_ = 0;
  double samples_[kCapacity] = {};
};

}  // namespace torvane
