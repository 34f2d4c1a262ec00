// One sample step of a channel's band lanes (BandLanes), written once for
// every lane type: double for the plain path, a vector of 2, 4 or 8 doubles
// for the SIMD paths. Each translation unit that uses it includes it inside a
// namespace of its own (after all headers, and for the SIMD paths inside the
// instruction-set region), so every instruction set gets its own copy that no
// other copy can stand in for at link time.
//
// The arithmetic is the scalar chain's, operation for operation and in the
// same order; additions, multiplications and divisions round the same in a
// vector lane as in a scalar register, so every lane type gives the same bits.
// Branches become selects that compute both sides and keep one lane by lane.

template <typename L>
constexpr int kLaneWidth = static_cast<int>(sizeof(L) / sizeof(double));

template <typename L>
inline L LoadLanes(const double* lanes) noexcept {
  L v;
  std::memcpy(&v, lanes, sizeof v);
  return v;
}

template <typename L>
inline void StoreLanes(double* lanes, L v) noexcept {
  std::memcpy(lanes, &v, sizeof v);
}

inline double Magnitude(double x) noexcept { return std::fabs(x); }

// fabs lane by lane: the sign bit cleared, as fabs does (-0 becomes +0).
template <typename L>
inline L Magnitude(L x) noexcept {
  // A comparison of vectors gives the integer vector of the same shape.
  using Bits = decltype(x < x);
  constexpr long long kAllButSign = 0x7fffffffffffffffll;
  return reinterpret_cast<L>(reinterpret_cast<Bits>(x) & kAllButSign);
}

inline double Splat(double x, double) noexcept { return x; }

template <typename L>
inline L Splat(double x, L) noexcept {
  L v;
  for (int lane = 0; lane < kLaneWidth<L>; ++lane) v[lane] = x;
  return v;
}

// One envelope stage: rises with the attack, falls with the release. Both
// candidates are computed and one kept, which is shorter than picking the
// coefficients first.
template <typename L>
inline L FollowLanes(BandLanes::Stage& stage, int lane, L u) noexcept {
  const L state = LoadLanes<L>(stage.state + lane);
  const L rise = state * LoadLanes<L>(stage.attackCoef + lane) + u * LoadLanes<L>(stage.attackGain + lane);
  const L fall = state * LoadLanes<L>(stage.releaseCoef + lane) + u * LoadLanes<L>(stage.releaseGain + lane);
  const L next = u > state ? rise : fall;
  StoreLanes(stage.state + lane, next);
  return next;
}

// Feeds x to every band; leaves each band's leveled and weighted output in
// leveled[] and its raw band-pass output in raw[] (kLanes entries each).
template <typename L>
[[gnu::always_inline]] inline void StepBandLanes(BandLanes& s, double x, double* leveled, double* raw) noexcept {
  for (int lane = 0; lane < BandLanes::kBands; lane += kLaneWidth<L>) {
    const L x1 = LoadLanes<L>(s.x1 + lane);
    const L x2 = LoadLanes<L>(s.x2 + lane);
    const L y1 = LoadLanes<L>(s.y1 + lane);
    const L y2 = LoadLanes<L>(s.y2 + lane);
    L y = x1 * LoadLanes<L>(s.b1 + lane) + x * LoadLanes<L>(s.b0 + lane);
    y = y + LoadLanes<L>(s.b2 + lane) * x2;
    y = y - LoadLanes<L>(s.a1 + lane) * y1;
    y = y - LoadLanes<L>(s.a2 + lane) * y2;
    StoreLanes(s.x2 + lane, x1);
    StoreLanes(s.x1 + lane, Splat(x, y));
    StoreLanes(s.y2 + lane, y1);
    StoreLanes(s.y1 + lane, y);
    StoreLanes(raw + lane, y);

    // A falling level decays from the held one (pre-decay), then passes the
    // three envelope stages.
    L level = Magnitude(y) * LoadLanes<L>(s.drive + lane);
    const L held = LoadLanes<L>(s.held + lane);
    level = level < held ? (held - level) * LoadLanes<L>(s.predecayCoef + lane) + level : level;
    StoreLanes(s.held + lane, level);
    L envelope = FollowLanes(s.stages[0], lane, level);
    envelope = FollowLanes(s.stages[1], lane, envelope);
    envelope = FollowLanes(s.stages[2], lane, envelope);

    const L divisor = envelope + LoadLanes<L>(s.offset + lane);
    StoreLanes(s.lastDivisor + lane, divisor);
    StoreLanes(leveled + lane, y / divisor * LoadLanes<L>(s.gain + lane));
  }
}
