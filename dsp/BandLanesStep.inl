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

// x in every lane of a value shaped like the second argument.
inline double Splat(double x, double) noexcept { return x; }

template <typename L>
inline L Splat(double x, L) noexcept {
  L v;
  for (int lane = 0; lane < kLaneWidth<L>; ++lane) v[lane] = x;
  return v;
}

// The lanes' signal state, taken out of BandLanes for a run of samples so
// that it can stay in registers (the coefficients are read where they are),
// and put back afterwards.
template <typename L>
struct LaneState {
  static constexpr int kVectors = (BandLanes::kBands + kLaneWidth<L> - 1) / kLaneWidth<L>;

  explicit LaneState(const BandLanes& s) noexcept { Load(s); }

  void Load(const BandLanes& s) noexcept {
    for (int v = 0; v < kVectors; ++v) {
      const int lane = v * kLaneWidth<L>;
      x1[v] = LoadLanes<L>(s.x1 + lane);
      x2[v] = LoadLanes<L>(s.x2 + lane);
      y1[v] = LoadLanes<L>(s.y1 + lane);
      y2[v] = LoadLanes<L>(s.y2 + lane);
      for (int k = 0; k < 3; ++k) stage[k][v] = LoadLanes<L>(s.stages[k].state + lane);
      lastDivisor[v] = LoadLanes<L>(s.lastDivisor + lane);
    }
  }

  void Store(BandLanes& s) const noexcept {
    for (int v = 0; v < kVectors; ++v) {
      const int lane = v * kLaneWidth<L>;
      StoreLanes(s.x1 + lane, x1[v]);
      StoreLanes(s.x2 + lane, x2[v]);
      StoreLanes(s.y1 + lane, y1[v]);
      StoreLanes(s.y2 + lane, y2[v]);
      for (int k = 0; k < 3; ++k) StoreLanes(s.stages[k].state + lane, stage[k][v]);
      StoreLanes(s.lastDivisor + lane, lastDivisor[v]);
    }
  }

  L x1[kVectors], x2[kVectors], y1[kVectors], y2[kVectors];
  L stage[3][kVectors];
  L lastDivisor[kVectors];
};

// One envelope stage: rises with the attack, falls with the release. Both
// candidates are computed and one kept, which is shorter than picking the
// coefficients first.
template <typename L>
inline L FollowLanes(const BandLanes::Stage& design, int lane, L& state, L u) noexcept {
  const L rise = state * LoadLanes<L>(design.attackCoef + lane) + u * LoadLanes<L>(design.attackGain + lane);
  const L fall = state * LoadLanes<L>(design.releaseCoef + lane) + u * LoadLanes<L>(design.releaseGain + lane);
  state = u > state ? rise : fall;
  return state;
}

// The same for a stage that rises at once: its attack coefficient is 0 and
// its gain 1, and for any finite state state x 0 + u x 1 is exactly u.
template <typename L>
inline L FollowInstantLanes(const BandLanes::Stage& design, int lane, L& state, L u) noexcept {
  const L fall = state * LoadLanes<L>(design.releaseCoef + lane) + u * LoadLanes<L>(design.releaseGain + lane);
  state = u > state ? u : fall;
  return state;
}

// Feeds x to every band; leaves each band's leveled and weighted output in
// leveled[] and its raw band-pass output in raw[] (kLanes entries each).
template <typename L>
[[gnu::always_inline]] inline void StepBandLanes(const BandLanes& s, LaneState<L>& state, double x, double* leveled,
                                                 double* raw) noexcept {
  for (int v = 0; v < LaneState<L>::kVectors; ++v) {
    const int lane = v * kLaneWidth<L>;
    L y = state.x1[v] * LoadLanes<L>(s.b1 + lane) + x * LoadLanes<L>(s.b0 + lane);
    y = y + LoadLanes<L>(s.b2 + lane) * state.x2[v];
    y = y - LoadLanes<L>(s.a1 + lane) * state.y1[v];
    y = y - LoadLanes<L>(s.a2 + lane) * state.y2[v];
    state.x2[v] = state.x1[v];
    state.x1[v] = Splat(x, y);
    state.y2[v] = state.y1[v];
    state.y1[v] = y;
    StoreLanes(raw + lane, y);

    // The level passes the three envelope stages. (A pre-decay of 0 ms before
    // them passes a finite level unchanged, so there is none.)
    const L level = Magnitude(y) * LoadLanes<L>(s.drive + lane);
    L envelope = FollowLanes(s.stages[0], lane, state.stage[0][v], level);
    envelope = FollowInstantLanes(s.stages[1], lane, state.stage[1][v], envelope);
    envelope = FollowInstantLanes(s.stages[2], lane, state.stage[2][v], envelope);

    const L divisor = envelope + LoadLanes<L>(s.offset + lane);
    state.lastDivisor[v] = divisor;
    StoreLanes(leveled + lane, y / divisor * LoadLanes<L>(s.gain + lane));
  }
}
