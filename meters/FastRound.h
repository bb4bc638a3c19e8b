#pragma once
// Half-to-even rounding for the per-sample loops of the level scan and the gain.
// std::nearbyint is a library call here (no SSE4.1 in the baseline), which would
// cost more than the rest of a sample's work.

#include <cstdint>

namespace lumora {

// round(x) with halves to even, clamped to the int32 range (NaN gives the
// minimum). Adding and subtracting 1.5 * 2^52 leaves the integer that the
// default round-to-nearest-even mode picks; exact for |x| < 2^51.
inline int32_t RoundToInt32(double x) {
  constexpr double kLow = -2147483648.0;
  constexpr double kHigh = 2147483647.0;
  constexpr double kShift = 6755399441055744.0;
  if (!(x >= kLow)) return INT32_MIN;
  if (x > kHigh) return INT32_MAX;
  return static_cast<int32_t>((x + kShift) - kShift);
}

}  // namespace lumora
