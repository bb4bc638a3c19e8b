#pragma once
// Half-to-even rounding for the per-sample loops of the level scan and the gain.
// std::nearbyint is a library call here (no SSE4.1 in the baseline), which would
// cost more than the rest of a sample's work, and the branch-free form below
// lets the compiler vectorise those loops.

#include <cstdint>

namespace lumora {

// round(x) with halves to even after clamping x to lo..hi (NaN gives lo); lo and
// hi must lie in the int32 range. Adding and subtracting 1.5 * 2^52 leaves the
// integer that the default round-to-nearest-even mode picks (exact for |x| < 2^51).
inline int32_t ClampedRound(double x, double lo, double hi) {
  constexpr double kShift = 6755399441055744.0;
  const double clamped = x > lo ? (x < hi ? x : hi) : lo;
  return static_cast<int32_t>((clamped + kShift) - kShift);
}

// round(x) with halves to even, clamped to the int32 range.
inline int32_t RoundToInt32(double x) { return ClampedRound(x, -2147483648.0, 2147483647.0); }

}  // namespace lumora
