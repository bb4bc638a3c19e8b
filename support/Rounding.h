#pragma once
// Rounding of fractional values to whole numbers: to the nearest integer, halves
// to the even neighbour (2.5 -> 2, 3.5 -> 4), everywhere in the program.

#include <cmath>
#include <cstdint>

namespace lumora {

inline int64_t RoundHalfEven(double x) {
  // nearbyint follows the current rounding mode, which is round-to-nearest-even
  // unless someone changed it; rint-style rounding avoids the 0.49999 pitfalls
  // of floor(x + 0.5).
  return static_cast<int64_t>(std::nearbyint(x));
}

}  // namespace lumora
