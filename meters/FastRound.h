#pragma once
// Half-to-even rounding for the per-sample loops of the level scan and the gain.
// std::nearbyint is a library call here (no SSE4.1 in the baseline), which would
// cost more than the rest of a sample's work; these forms are branch-free, so
// the compiler can vectorise the loops around them.

#include <cstdint>

namespace lumora {

// round(x) with halves to even, for x inside the int32 range (not NaN). Adding
// and subtracting 1.5 * 2^52 leaves the integer that the default
// round-to-nearest-even mode picks.
inline int32_t RoundInRange(double x) {
  constexpr double kShift = 6755399441055744.0;
  return static_cast<int32_t>((x + kShift) - kShift);
}

// round(x) with halves to even after clamping x to lo..hi (NaN gives hi); lo and
// hi must lie in the int32 range.
inline int32_t ClampedRound(double x, double lo, double hi) {
  x = x < hi ? x : hi;
  return RoundInRange(x > lo ? x : lo);
}

// round(x) with halves to even, clamped to the int32 range.
inline int32_t RoundToInt32(double x) { return ClampedRound(x, -2147483648.0, 2147483647.0); }

}  // namespace lumora
