#pragma once
// Numbers of the MP3 format that the codec offers and sizes its blocks by.

#include <array>
#include <cstdint>

#include "support/Rounding.h"

namespace lumora {

// The bit rates offered (kbit/s), highest first.
constexpr std::array<int32_t, 15> kMp3BitRates = {320, 256, 224, 192, 160, 128, 112, 96,
                                                  80,  64,  56,  48,  40,  32,  24};

// Nominal bytes of one frame: round(kbps x 144000 / rate), plus 1 for rates
// that are not a multiple of 1000 (their frames carry a padding byte now and
// then). 0 for rates below 1.
inline int32_t Mp3BlockSize(int32_t kbps, int32_t rate) {
  if (rate < 1) return 0;
  return static_cast<int32_t>(RoundHalfEven(kbps * 144000.0 / rate + (rate % 1000 != 0 ? 1 : 0)));
}

}  // namespace lumora
