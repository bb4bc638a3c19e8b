#pragma once
// Reading one little-endian PCM sample as a signed value: 8-bit samples are
// unsigned around 128, 16 and 24 bit are two's complement.

#include <cstdint>

#include "meters/Pcm24.h"

namespace lumora {

template <int Bytes>
inline int32_t ReadPcmSample(const uint8_t* p) {
  static_assert(Bytes >= 1 && Bytes <= 3);
  if constexpr (Bytes == 1) {
    return p[0] - 128;
  } else if constexpr (Bytes == 2) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
  } else {
    return ReadSample24(p);
  }
}

}  // namespace lumora
