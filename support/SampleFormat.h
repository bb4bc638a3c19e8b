#pragma once
// The shared sample format of a take or of monitoring: rate, bits, channels.

#include <cstdint>

namespace lumora {

struct SampleFormat {
  int32_t nFreq = 44100;  // Hz
  int16_t nBit = 16;      // 8, 16 or 24
  int16_t nCh = 2;        // 1 or 2 (6 and 8 occur only in WAV files read)

  // Bytes per frame; nBit is a multiple of 8, so round(nBit / 8 * nCh) is exact.
  int32_t BlockAlign() const { return nBit / 8 * nCh; }
};

// FormatIndex of a channel count and bit depth: 0 8-bit mono, 1 8-bit stereo,
// 2 16-bit mono, 3 16-bit stereo, 4 24-bit mono, 5 24-bit stereo, 6/7 16-bit
// 6/8 channels, 8/9 24-bit 6/8 channels; -1 for any other combination.
inline int32_t FormatIndexOf(int32_t channels, int32_t bits) {
  const int32_t depth = bits == 8 ? 0 : bits == 16 ? 1 : bits == 24 ? 2 : -1;
  if (depth < 0) return -1;
  if (channels == 1 || channels == 2) return depth * 2 + (channels - 1);
  if (depth == 0) return -1;
  if (channels == 6 || channels == 8) return 6 + (depth - 1) * 2 + (channels == 8 ? 1 : 0);
  return -1;
}

}  // namespace lumora
